#!/usr/bin/python3
"""The browser build, played in headless Chromium over the DevTools protocol.

    tests/web/web_test.py --site SITE --data BrikResource.dat --native GAME --shots FOLDER

The page is served by scripts/serve-web. The title frame is held pixel for
pixel against the Linux build's (GAME under the X server that DISPLAY names,
as `make test-web` runs it under xvfb-run); the play screen is checked
against the pictures of the data file the page packed. Screenshots of both
builds go to FOLDER. Every wait polls with a deadline of 60 s.
"""

import argparse
import collections
import contextlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import numpy

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools import Browser, decode_png, decode_ppm, encode_png, poll, poll_until  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEADLINE = 60
ARGS = None


def read_pictures(path):
    """Every picture of a picture file as rows x columns x 4 (RGBA) arrays."""
    with open(path, "rb") as f:
        data = f.read()
    pictures, pos = [], 0
    while pos + 8 <= len(data):
        width = int.from_bytes(data[pos:pos + 4], "little", signed=True)
        height = int.from_bytes(data[pos + 4:pos + 8], "little", signed=True)
        size = width * height * 4
        if width < 0 or height < 0 or pos + 8 + size > len(data):
            break
        bgra = numpy.frombuffer(data, numpy.uint8, size, pos + 8).reshape(height, width, 4)
        pictures.append(bgra[:, :, [2, 1, 0, 3]])
        pos += 8 + size
    return pictures


def picture_difference(shot, x, y, picture, size=None):
    """Mean difference (0..1) between the shot at (x, y) and a picture
    (stretched to `size` = (w, h) as the game draws it, nearest texel), over
    the picture's opaque pixels only: what shows through the rest is not its
    business."""
    if size is not None:
        w, h = size
        rows = numpy.arange(h) * picture.shape[0] // h
        cols = numpy.arange(w) * picture.shape[1] // w
        picture = picture[rows][:, cols]
    h, w = picture.shape[:2]
    region = shot[y:y + h, x:x + w].astype(int)
    opaque = picture[:, :, 3] == 255
    if region.shape[:2] != (h, w) or not opaque.any():
        return 1.0
    return float(numpy.abs(region - picture[:, :, :3].astype(int))[opaque].mean() / 255)


def bright_box(shot, x, y, w, h):
    """Bounding box (x, y, w, h) in screen pixels of the pixels brighter than
    half in the region; None when there are none. Inside the board that is
    the falling piece: the background shows through, but dim."""
    region = shot[y:y + h, x:x + w].max(axis=2) > 127
    if not region.any():
        return None
    rows = numpy.flatnonzero(region.any(axis=1))
    cols = numpy.flatnonzero(region.any(axis=0))
    return (x + cols[0], y + rows[0], cols[-1] - cols[0] + 1, rows[-1] - rows[0] + 1)


def board_column(box):
    return (box[0] - 60 + 10) // 20


def save(name, pixels):
    with open(os.path.join(ARGS.shots, name), "wb") as f:
        f.write(encode_png(pixels))


class LinuxGame:
    """The Linux build under X: started, shown and keyed with xdotool, shot
    with ImageMagick's import."""

    def __init__(self, game):
        env = dict(os.environ, SDL_AUDIODRIVER="dummy")
        game = os.path.abspath(game)
        self.process = subprocess.Popen([game], cwd=os.path.dirname(game), env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def window():
            if self.process.poll() is not None:
                raise RuntimeError("the Linux game ended before showing its window")
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Duobrik$"],
                                   capture_output=True, text=True).stdout.split()
            return found[0] if found else None

        self.window = None
        self.window = poll(window, DEADLINE)
        if not self.window:
            self.close()
            raise RuntimeError("no window 'Duobrik' within 60 s")

    def shot(self):
        ppm = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"],
                             capture_output=True, check=True).stdout
        return decode_ppm(ppm)

    def key(self, name):
        subprocess.run(["xdotool", "key", "--window", self.window, name], check=True)

    def close(self):
        if self.process.poll() is None:
            try:
                if self.window:
                    self.key("Escape")
                self.process.wait(DEADLINE)
            except (subprocess.SubprocessError, OSError):
                self.process.kill()
                self.process.wait()


class Site:
    """The page served over HTTP on a free port by scripts/serve-web."""

    def __init__(self, folder):
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "scripts", "serve-web"), "--port", "0",
             "--quiet", folder], stdout=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url.startswith("http://"):
            self.close()
            raise RuntimeError("scripts/serve-web printed no address")

    def close(self):
        self.process.terminate()
        self.process.wait(DEADLINE)
        self.process.stdout.close()


class PagePlayer:
    """One tab with the game's page loaded, and what it takes to look at it."""

    def __init__(self, url, sound_needs_a_gesture=False, extra_args=()):
        # Sound may start at once, or only after the player did something,
        # as most browsers have it by default.
        policy = ("document-user-activation-required" if sound_needs_a_gesture
                  else "no-user-gesture-required")
        self.browser = Browser(extra_args=[f"--autoplay-policy={policy}", *extra_args])
        self.browser.navigate(url)

    def state(self):
        """The page's own word on the run: 'loading', 'running' or 'ended'."""
        return self.browser.evaluate(
            "typeof running === 'undefined' ? 'loading' :"
            " running ? 'running' : (document.getElementById('again') ? 'ended' : 'loading')")

    def wait_running(self):
        return poll(lambda: self.state() == "running", DEADLINE)

    def canvas_shot(self):
        box = self.browser.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.left + scrollX, r.top + scrollY]; })()")
        return self.browser.screenshot(box[0], box[1], 320, 480)

    def status(self):
        return self.browser.evaluate("document.getElementById('status').textContent")

    def wait_frames(self, count):
        """Returns once the browser has drawn `count` more frames."""
        self.browser.evaluate(
            f"new Promise((done) => {{ let n = {count}; const step = () =>"
            " --n > 0 ? requestAnimationFrame(step) : done(true); requestAnimationFrame(step); })")

    def exceptions(self):
        self.browser.pump()
        return list(self.browser.exceptions)

    def close(self):
        self.browser.close()


@contextlib.contextmanager
def served_page(folder, **options):
    """A PagePlayer on the page in `folder`, served for as long as it lives."""
    site = Site(folder)
    try:
        page = PagePlayer(site.url, **options)
        try:
            yield page
        finally:
            page.close()
    finally:
        site.close()


class BrowserGameTest(unittest.TestCase):
    """One page played from the title through level 1 to Escape, in order."""

    @classmethod
    def setUpClass(cls):
        cls.pictures = read_pictures(ARGS.data)
        cls.linux_titles, cls.linux_play = cls.linux_reference()
        cls.site = Site(ARGS.site)
        cls.page = PagePlayer(cls.site.url)

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        cls.site.close()
        cls.save_side_by_side()

    @classmethod
    def save_side_by_side(cls):
        """Linux beside the browser, title above play, for people to look at."""
        names = [["linux-title.png", "web-title.png"], ["linux-play.png", "web-play.png"]]
        paths = [[os.path.join(ARGS.shots, n) for n in row] for row in names]
        if not all(os.path.exists(p) for row in paths for p in row):
            return
        gap = 8
        sheet = numpy.full((2 * 480 + 3 * gap, 2 * 320 + 3 * gap, 3), 255, numpy.uint8)
        for r, row in enumerate(paths):
            for c, path in enumerate(row):
                with open(path, "rb") as f:
                    y, x = gap + r * (480 + gap), gap + c * (320 + gap)
                    sheet[y:y + 480, x:x + 320] = decode_png(f.read())
        save("side-by-side.png", sheet)

    @classmethod
    def linux_reference(cls):
        """The Linux build's two title frames (prompt shown and hidden), and
        a frame of level 1."""
        game = LinuxGame(ARGS.native)
        try:
            intro = cls.pictures[85]
            frames = []

            def both_states():
                shot = game.shot()
                # The title picture is opaque and covers the screen; away
                # from the prompt it must show as it is.
                outside = shot.copy()
                outside[40:100] = intro[40:100, :, :3]
                if (outside == intro[:, :, :3]).all() and \
                        not any((shot == f).all() for f in frames):
                    frames.append(shot)
                return len(frames) == 2

            if not poll(both_states, DEADLINE, 0.05):
                raise RuntimeError(f"the Linux title showed {len(frames)} distinct frames, not 2")
            game.key("Return")
            play = poll_until(game.shot, lambda s: cls.score_shown(s), DEADLINE)
            if play is None:
                raise RuntimeError("the Linux game showed no level 1")
            for i, frame in enumerate(frames):
                save(f"linux-title-{i}.png", frame)
            save("linux-play.png", play)
            return frames, play
        finally:
            game.close()

    @classmethod
    def score_shown(cls, shot):
        """True when the score reads 00000: level 1 has started."""
        return all(picture_difference(shot, 50 + 28 * k, 7, cls.pictures[188]) < 0.04
                   for k in range(5))

    def assertNoExceptions(self):
        self.assertEqual(self.page.exceptions(), [], "uncaught exceptions on the page")

    def test_1_page_loads_and_runs(self):
        self.assertTrue(self.page.wait_running(),
                        f"page not running within 60 s; status: {self.page.status()!r}")
        self.assertNoExceptions()
        # From now on, every block the audio device plays is looked at.
        self.page.browser.evaluate("""(() => {
            const node = Module.SDL2.audio.scriptProcessorNode;
            const feed = node.onaudioprocess;
            window.testPeak = 0;
            node.onaudioprocess = (e) => {
                feed(e);
                for (let c = 0; c < e.outputBuffer.numberOfChannels; ++c) {
                    for (const v of e.outputBuffer.getChannelData(c)) {
                        testPeak = Math.max(testPeak, Math.abs(v));
                    }
                }
            };
            return true;
        })()""")

    def test_2_title_matches_the_linux_frame(self):
        diffs = []

        def same_as_linux():
            shot = self.page.canvas_shot()
            for linux in self.linux_titles:
                if (shot == linux).all():
                    save("web-title.png", shot)
                    save("linux-title.png", linux)
                    return True
            diffs.append(shot)
            return False

        if not poll(same_as_linux, DEADLINE, 0.2):
            shot = diffs[-1]
            save("web-title.png", shot)
            counts = [int((shot != linux).any(axis=2).sum()) for linux in self.linux_titles]
            nearest = self.linux_titles[counts.index(min(counts))]
            where = numpy.argwhere((shot != nearest).any(axis=2))[:10]
            self.fail(f"title differs from the Linux frame in {min(counts)} pixels; "
                      f"first (row, column): {where.tolist()}")

    def test_3_return_starts_level_1(self):
        self.page.browser.key("Return")
        digits = poll_until(self.page.canvas_shot, self.score_shown, DEADLINE)
        self.assertIsNotNone(digits, "no score 00000 within 60 s of Return")
        save("web-play.png", digits)
        frame = {  # picture: (x, y, stretched size or None)
            9: (50, 50, None), 12: (260, 50, None), 1: (50, 460, None),
            6: (50, 60, (10, 400)), 11: (60, 50, (200, 10)), 3: (60, 460, (200, 10)),
        }
        for picture, (x, y, size) in frame.items():
            with self.subTest(frame_picture=picture):
                self.assertLess(picture_difference(digits, x, y, self.pictures[picture], size),
                                0.04, f"frame picture {picture} not at ({x}, {y})")
        preview = poll(lambda: bright_box(self.page.canvas_shot(), 195, 0, 120, 50), DEADLINE)
        self.assertIsNotNone(preview, "no preview piece")
        x, y, w, h = preview
        self.assertTrue(198 <= x <= 201 and 38 <= w <= 80 and y >= 4 and y + h <= 46,
                        f"preview box {w}x{h} at ({x}, {y}) is not a piece at (200, 25)")

    def test_4_left_moves_the_piece_one_column(self):
        start = poll(lambda: bright_box(self.page.canvas_shot(), 60, 60, 200, 400), DEADLINE)
        self.assertIsNotNone(start, "no falling piece in the board")
        column = board_column(start)
        # Held over two frames: a press and release between the same two
        # frames cancel out, as they would for a player that fast, and one
        # held for longer than a slide (100 ms) moves on.
        self.page.browser.key("Left", up=False)
        self.page.wait_frames(2)
        self.page.browser.key("Left", down=False)

        def moved():
            box = bright_box(self.page.canvas_shot(), 60, 60, 200, 400)
            return box is not None and board_column(box) == column - 1

        self.assertTrue(poll(moved, DEADLINE), f"piece not moved from column {column} to "
                                               f"{column - 1}")
        self.page.wait_frames(20)
        self.assertTrue(moved(), "Left moved the piece more than one column")

    def test_5_game_keys_do_not_scroll_the_page(self):
        browser = self.page.browser
        # A window lower than the page, so that it could scroll.
        browser.send("Emulation.setDeviceMetricsOverride", width=800, height=300,
                     deviceScaleFactor=1, mobile=False)
        try:
            browser.evaluate("window.scrollTo(0, 0)")
            for key in ("Down", "Space"):
                browser.key(key)
            self.page.wait_frames(2)  # the keys have been taken
            self.assertEqual(browser.evaluate("scrollY"), 0, "Down or Space scrolled the page")
        finally:
            browser.send("Emulation.clearDeviceMetricsOverride")

    def test_6_audio_runs_and_is_fed_with_sound(self):
        state = poll_until(lambda: self.page.browser.evaluate("Module.SDL2.audioContext.state"),
                           lambda s: s == "running", DEADLINE)
        self.assertEqual(state, "running", "audio context not running")
        # Music plays from the title on: well above silence (-40 dBFS).
        peak = poll_until(lambda: self.page.browser.evaluate("testPeak"), lambda p: p > 0.01,
                          DEADLINE)
        self.assertIsNotNone(peak, "the audio device was fed only silence")

    def test_7_escape_ends_the_game(self):
        self.page.browser.key("Escape")
        self.assertTrue(poll(lambda: self.page.state() == "ended", DEADLINE),
                        f"page did not end; status: {self.page.status()!r}")
        self.assertIn("The game has ended", self.page.status())
        self.assertNoExceptions()

    def test_8_nothing_is_logged_per_frame(self):
        # Hundreds of frames have run by now: a message of every frame (or
        # of every key) would be there many times over.
        self.page.browser.pump()
        counts = collections.Counter(text for _, text in self.page.browser.console)
        self.assertEqual([text for text, n in counts.items() if n > 3], [],
                         "messages logged again and again")


class HeldBackSoundTest(unittest.TestCase):
    """A browser that holds sound back until the player does something: the
    first key lets it run."""

    def test_first_key_starts_the_sound(self):
        with served_page(ARGS.site, sound_needs_a_gesture=True) as page:
            self.assertTrue(page.wait_running(), f"status: {page.status()!r}")
            context = "Module.SDL2.audioContext.state"
            self.assertEqual(page.browser.evaluate(context), "suspended",
                             "sound ran before any key")
            page.browser.key("Down")
            self.assertTrue(poll(lambda: page.browser.evaluate(context) == "running", DEADLINE),
                            "sound still held back after a key")


class NoWebGLTest(unittest.TestCase):
    """A browser without WebGL: the game cannot open its window, and the page
    says why instead of showing a dead canvas."""

    def test_page_says_why_the_game_cannot_start(self):
        with served_page(ARGS.site, extra_args=["--disable-3d-apis"]) as page:
            self.assertTrue(poll(lambda: page.state() == "ended", DEADLINE),
                            f"status: {page.status()!r}")
            self.assertIn("could not start: Can't Create A GL Rendering Context.", page.status())
            self.assertEqual(page.exceptions(), [], "uncaught exceptions")


class DamagedDataTest(unittest.TestCase):
    """A page whose packed picture file and music are damaged runs all the
    same: nothing drawn where pictures are missing, silence, no crash."""

    def test_damaged_pictures_and_music_play_silently(self):
        folder = tempfile.mkdtemp(prefix="duobrik-damaged-")
        try:
            site = os.path.join(folder, "site")
            shutil.copytree(ARGS.site, site)
            with open(os.path.join(site, "duobrik.js")) as f:
                script = f.read()
            with open(os.path.join(site, "duobrik.data"), "r+b") as data:
                for name in ("BrikResource.dat", "devils.mod", "three.mod"):
                    found = re.search(r'"filename":\s*"/' + re.escape(name) +
                                      r'",\s*"start":\s*(\d+)', script)
                    self.assertIsNotNone(found, f"{name} not in the packed data")
                    # A picture record of width -1, a module of no known kind.
                    data.seek(int(found.group(1)))
                    data.write(b"\xff" * 64)
            with served_page(site) as page:
                self.assertTrue(page.wait_running(), f"status: {page.status()!r}")
                page.browser.key("Return")
                # Frames go on, and nothing is drawn where no picture loaded
                # (no white blocks): the canvas stays black.
                page.wait_frames(30)
                self.assertEqual(int(page.canvas_shot().max()), 0,
                                 "something was drawn without pictures")
                page.browser.key("Escape")
                self.assertTrue(poll(lambda: page.state() == "ended", DEADLINE),
                                f"status: {page.status()!r}")
                self.assertIn("The game has ended", page.status())
                self.assertEqual(page.exceptions(), [], "uncaught exceptions")
        finally:
            shutil.rmtree(folder, ignore_errors=True)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--data", required=True, help="the picture file the site packed")
    parser.add_argument("--native", required=True, help="the Linux game")
    parser.add_argument("--shots", required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.shots, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
