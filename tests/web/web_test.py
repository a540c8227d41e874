#!/usr/bin/python3
"""The browser build, played in headless Chromium over the DevTools protocol.

    tests/web/web_test.py --site SITE --data BrikResource.dat --picture DUMPER --shots FOLDER

The page in SITE, served by scripts/serve-web, is played on a desktop, on a
phone by touch (390x844 CSS pixels, three device pixels each), with a game
pad the page is made to believe in, offline, and in hard places. What it
shows is held against the pictures of the data file it packed, written out by
DUMPER (duobrik-e2e-picture). Screenshots go to FOLDER. Every wait polls for
up to 60 s.
"""

import argparse
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import numpy
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools import Browser, poll  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEADLINE = 60
INTRO, DIGIT_0 = 85, 188  # the title screen and the digit 0 in the picture file
ARGS = PICTURES = None


def read_pictures(*indices):
    """Pictures of the picture file as rows x columns x RGBA, through the dumper's PAM files."""
    pictures = {}
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([ARGS.picture, ARGS.data, folder, *map(str, indices)], check=True)
        for index in indices:
            with open(os.path.join(folder, f"t{index}.pam"), "rb") as f:
                header, pixels = f.read().split(b"ENDHDR\n", 1)
            fields = dict(line.split(" ", 1) for line in header.decode().splitlines()[1:])
            shape = (int(fields["HEIGHT"]), int(fields["WIDTH"]), 4)
            pictures[index] = numpy.frombuffer(pixels, numpy.uint8).reshape(shape)
    return pictures


def save(name, pixels):
    Image.fromarray(pixels).save(os.path.join(ARGS.shots, name))


def title_shown(frame):
    """The title picture everywhere but the rows of its blinking prompt."""
    intro = PICTURES[INTRO][:, :, :3]
    return (numpy.delete(frame, range(40, 100), 0) == numpy.delete(intro, range(40, 100), 0)).all()


def score_shown(frame):
    """The score reads 00000: a level has started."""
    digit = PICTURES[DIGIT_0]
    opaque, (h, w) = digit[:, :, 3] == 255, digit.shape[:2]
    return all(numpy.abs(frame[7:7 + h, x:x + w].astype(int) - digit[:, :, :3])[opaque].mean()
               < 10 for x in range(50, 190, 28))


def piece_box(frame):
    """(x, y, w, h) of the falling piece: the topmost run of board rows with
    pixels brighter than half (the background shows through, but dim), above
    a gap from the pieces that lie below."""
    region = frame[60:460, 60:260].max(axis=2) > 127
    rows = numpy.flatnonzero(region.any(axis=1))
    if len(rows) == 0:
        return None
    rows = rows[:numpy.append(numpy.flatnonzero(numpy.diff(rows) > 1), len(rows) - 1)[0] + 1]
    cols = numpy.flatnonzero(region[rows[0]:rows[-1] + 1].any(axis=0))
    return (60 + cols[0], 60 + rows[0], cols[-1] - cols[0] + 1, rows[-1] - rows[0] + 1)


def piece_column(frame):
    box = piece_box(frame)
    return None if box is None else (box[0] - 60 + 10) // 20


class Page:
    """The page served on a free port, in a browser of its own; `prepare`
    gets the browser before the page loads."""

    def __init__(self, site=None, browser_args=(), prepare=None):
        self.server = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "scripts", "serve-web"), "--port", "0",
             "--quiet", site or ARGS.site], stdout=subprocess.PIPE, text=True)
        self.browser = Browser(browser_args)
        if prepare:
            prepare(self.browser)
        self.browser.send("Page.navigate", url=self.server.stdout.readline().strip())

    def stop_server(self):
        if self.server.poll() is None:
            self.server.terminate()
            self.server.wait(DEADLINE)
            self.server.stdout.close()

    def close(self):
        self.browser.close()
        self.stop_server()

    def js(self, expression):
        return self.browser.evaluate(expression)

    def wait_state(self, state):
        """Waits for the page's own word on the run: 'running' or 'ended'."""
        now = "typeof running === 'undefined' ? '' : running ? 'running' : " \
              "document.getElementById('again') ? 'ended' : ''"
        assert poll(lambda: self.js(now) == state, DEADLINE), \
            f"page not {state} within 60 s; status: {self.status()!r}"

    def status(self):
        return self.js("document.getElementById('status').textContent")

    def wait_frames(self, count):
        self.js(f"new Promise((done) => {{ let n = {count}; const step = () =>"
                " --n > 0 ? requestAnimationFrame(step) : done(true); requestAnimationFrame(step); })")

    def frame(self):
        """The picture as shown, one entry per picture pixel; its factor; and
        whether each of its pixels is a whole factor x factor block of device
        pixels. The canvas is what is not page background in a screenshot
        around it (its spare pixels are black), the picture in it where the
        game's fit puts it."""
        left, top, right, bottom, width, height, ratio, colour = self.js(
            "(() => { const r = canvas.getBoundingClientRect(); return [r.left, r.top, r.right,"
            " r.bottom, canvas.width, canvas.height, devicePixelRatio,"
            " getComputedStyle(document.body).backgroundColor]; })()")
        x0, y0 = int(left) - 2, int(top) - 2
        shot = self.browser.screenshot(x0, y0, int(right) + 3 - x0, int(bottom) + 3 - y0)
        canvas = (shot != [int(v) for v in re.findall(r"\d+", colour)[:3]]).any(axis=2)
        if not canvas.any():
            return numpy.zeros((480, 320, 3), numpy.uint8), 0, False  # not laid out yet
        factor = max(1, min(width // 320, height // 480))
        x = numpy.flatnonzero(canvas.any(axis=0))[0] + (width - 320 * factor) // 2
        y = numpy.flatnonzero(canvas.any(axis=1))[0] + height - (height - 480 * factor) // 2 \
            - 480 * factor
        picture = shot[y:y + 480 * factor, x:x + 320 * factor]
        frame = picture[::factor, ::factor]
        crisp = picture.shape[:2] == (480 * factor, 320 * factor) and \
            (frame.repeat(factor, 0).repeat(factor, 1) == picture).all()
        self.place = (x0 + x / ratio, y0 + y / ratio, factor / ratio)  # for touches
        return frame, factor, crisp

    def wait_frame(self, accept, what):
        """The first (frame, factor, crisp) whose frame `accept` takes."""
        found = poll(lambda: (lambda f: f if accept(f[0]) else None)(self.frame()), DEADLINE, 0.2)
        assert found, f"no {what} within 60 s"
        return found

    def piece_column(self):
        return piece_column(self.wait_frame(piece_box, "falling piece")[0])

    def exceptions(self):
        self.browser.pump()
        return self.browser.exceptions

    def viewport_shot(self, name):
        save(name, self.browser.screenshot(0, 0, *self.js("[innerWidth, innerHeight]")))


class DesktopTest(unittest.TestCase):
    """One page in a desktop browser, from the title through level 1 to Escape."""

    @classmethod
    def setUpClass(cls):
        cls.page = Page()

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def test_1_title_is_the_title_picture_with_a_blinking_prompt(self):
        self.page.wait_state("running")
        intro = PICTURES[INTRO][:, :, :3]
        self.page.wait_frame(lambda f: (f == intro).all(), "title without its prompt")
        self.page.wait_frame(lambda f: title_shown(f) and not (f == intro).all(), "prompt")

    def test_2_return_starts_level_1_and_left_moves_one_column(self):
        self.page.browser.key("Return")
        self.page.wait_frame(score_shown, "score 00000 after Return")
        start = self.page.piece_column()
        # Held into the next frame (a press and a release between the same two
        # frames cancel out, as they would for a player that fast) and let go
        # before the slide it starts ends, or the piece slides on.
        self.page.browser.key("Left", up=False)
        self.page.wait_frames(1)
        self.page.browser.key("Left", down=False)
        self.page.wait_frame(lambda f: piece_column(f) == start - 1, "move to the left")
        self.page.wait_frames(20)
        self.assertEqual(piece_column(self.page.frame()[0]), start - 1, "moved on")

    def test_3_sound_reaches_the_audio_device(self):
        # Music plays from the title on: well above silence (-40 dBFS).
        self.page.js("""(() => {
            const node = Module.SDL2.audio.scriptProcessorNode, feed = node.onaudioprocess;
            window.peak = 0;
            node.onaudioprocess = (e) => {
                feed(e);
                for (const v of e.outputBuffer.getChannelData(0)) peak = Math.max(peak, Math.abs(v));
            };
        })()""")
        self.assertTrue(poll(lambda: self.page.js("peak") > 0.01, DEADLINE), "only silence")

    def test_4_a_1920x1080_screen_shows_the_picture_twice_as_large(self):
        self.page.browser.send("Emulation.setDeviceMetricsOverride", width=1920, height=1080,
                               deviceScaleFactor=1, mobile=False)
        poll(lambda: self.page.frame()[1] == 2, DEADLINE)
        self.assertEqual(self.page.frame()[1:], (2, True), "not crisp at twice the size")
        self.page.viewport_shot("desktop-2x.png")
        self.page.browser.send("Emulation.clearDeviceMetricsOverride")

    def test_5_escape_ends_the_game_and_nothing_was_logged_per_frame(self):
        self.page.browser.key("Escape")
        self.page.wait_state("ended")
        self.assertIn("The game has ended", self.page.status())
        self.assertEqual(self.page.exceptions(), [], "uncaught exceptions")
        # Hundreds of frames have run: a message of every frame (or key)
        # would be there many times over.
        counts = collections.Counter(self.page.browser.console)
        self.assertEqual([text for text, n in counts.items() if n > 3], [], "logged again and again")


def as_phone(width, height, angle=0):
    def metrics(browser):
        browser.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                     deviceScaleFactor=3, mobile=True, screenOrientation={
                         "type": "landscapePrimary" if angle else "portraitPrimary",
                         "angle": angle})
        browser.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    return metrics


class PhoneTest(unittest.TestCase):
    """One page on a phone, played by touch; then on its side, and loaded
    again with the network gone."""

    @classmethod
    def setUpClass(cls):
        cls.page = Page(prepare=as_phone(390, 844))

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def touch_path(self, points, end=True):
        """One finger along picture pixels `points`, as fast as it can go."""
        self.page.frame()
        left, top, scale = self.page.place
        for i, (x, y) in enumerate(points):
            self.page.browser.touch("touchMove" if i else "touchStart", left + x * scale,
                                    top + y * scale)
        if end:
            self.page.browser.touch("touchEnd")

    def falling(self, accept):
        """The box of the falling piece once `accept` takes it."""
        box = poll(lambda: (lambda b: b if b and accept(b) else None)(
            piece_box(self.page.frame()[0])), DEADLINE)
        self.assertTrue(box, "no such falling piece within 60 s")
        return box

    def assert_fits(self):
        """The canvas and the buttons lie in the viewport, which does not
        scroll; the buttons are at least 48 CSS pixels; their boxes."""
        boxes = self.page.js(
            "[canvas, ...document.querySelectorAll('.pad button')].map((e) => {"
            " const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; })"
            ".concat([[scrollX, scrollY, innerWidth, innerHeight,"
            " document.documentElement.scrollHeight]])")
        *boxes, (sx, sy, width, height, page_height) = boxes
        self.assertEqual((sx, sy, page_height), (0, 0, height), "the page scrolls")
        for i, (left, top, right, bottom) in enumerate(boxes):
            self.assertTrue(0 <= left and 0 <= top and right <= width and bottom <= height and
                            (i == 0 or min(right - left, bottom - top) >= 48), boxes[i])
        return boxes[0], boxes[1:]

    def test_1_the_title_fits_unscrolled_and_crisp_and_a_tap_starts(self):
        self.page.wait_state("running")
        self.assertEqual(self.page.wait_frame(title_shown, "title")[1:], (3, True), "not crisp")
        canvas, buttons = self.assert_fits()
        self.assertTrue(all(top >= canvas[3] for _, top, _, _ in buttons), "buttons not below")
        self.page.viewport_shot("phone-portrait-title.png")
        self.touch_path([(160, 300)])
        self.page.wait_frame(score_shown, "score 00000 after a tap")

    def test_2_a_downward_drag_drops_faster(self):
        box, started = self.falling(lambda b: True), time.monotonic()
        self.touch_path([(160, 200), (160, 215), (160, 240)], end=False)
        self.page.wait_frame(lambda f: (f[440:460, 60:260] > 127).any(), "piece on the floor")
        self.page.browser.touch("touchEnd")
        # Level 1 lets a piece fall a row every 800 ms: falling alone, it
        # could not have landed sooner, however busy the machine.
        rows = (460 - box[1] - box[3]) // 20
        self.assertLess(time.monotonic() - started, (rows - 1) * 0.8, f"{rows} rows, no faster")

    def test_3_a_swipe_moves_the_piece_by_the_squares_swiped(self):
        start = self.page.piece_column()
        self.touch_path([(200 - 5 * i, 300) for i in range(11)])  # two and a half squares left
        self.page.wait_frame(lambda f: piece_column(f) == start - 2, "two columns left")
        self.page.wait_frames(30)
        self.assertEqual(piece_column(self.page.frame()[0]), start - 2, "moved on")
        self.page.viewport_shot("phone-portrait-play.png")

    def test_4_a_tap_turns_the_piece(self):
        box = self.falling(lambda b: True)
        # An O piece looks the same turned, and one far down may land first:
        # drop it deep, let go, and take the next at the top.
        while box[2] == box[3] or box[1] > 200:
            self.touch_path([(160, 200), (160, 240)], end=False)
            self.falling(lambda b: b[1] > 200)
            self.page.browser.touch("touchEnd")
            box = self.falling(lambda b: b[1] < 120)
        self.touch_path([(160, 300)])
        self.falling(lambda b: b[2:] == (box[3], box[2]))

    def test_5_on_its_side_it_fits_again_with_the_buttons_beside(self):
        as_phone(844, 390, 90)(self.page.browser)
        poll(lambda: self.page.frame()[1] == 2, DEADLINE)
        self.assertEqual(self.page.frame()[1:], (2, True), "not crisp on its side")
        canvas, buttons = self.assert_fits()
        self.assertTrue(all(right <= canvas[0] or left >= canvas[2]
                            for left, _, right, _ in buttons), "buttons not beside")
        self.page.viewport_shot("phone-landscape-play.png")

    def test_6_the_buttons_are_keys_and_ending_asks_twice(self):
        def tap(selector):
            """A finger up again at once: the press must still reach the game."""
            x, y = self.page.js(f"(() => {{ const r = document.querySelector('{selector}')"
                                ".getBoundingClientRect(); return [r.x + r.width / 2,"
                                " r.y + r.height / 2]; })()")
            self.page.browser.touch("touchStart", x, y)
            self.page.browser.touch("touchEnd")
        # Right: this piece came in at the spawn column or was swiped left of
        # it. A busy machine may hold the key past a slide: it slides on.
        start = self.page.piece_column()
        tap("[aria-label=Right]")
        self.page.wait_frame(lambda f: (piece_column(f) or 0) > start, f"move from {start}")
        tap("#end")
        self.assertTrue(poll(lambda: "again" in self.page.js(
            "document.getElementById('end').textContent"), DEADLINE), "End asked nothing")
        self.assertEqual(self.page.status(), "", "ended at the first tap")
        tap("#end")
        self.page.wait_state("ended")

    def test_7_the_manifest_parses_and_its_icons_are_there(self):
        manifest = self.page.browser.send("Page.getAppManifest")
        self.assertEqual(manifest["errors"], [], "manifest errors")
        for icon in json.loads(manifest["data"])["icons"]:
            with Image.open(os.path.join(ARGS.site, icon["src"])) as image:
                self.assertEqual("%dx%d" % image.size, icon["sizes"], icon["src"])

    def test_8_once_loaded_it_starts_offline(self):
        self.page.js("window.before = true")
        kept = self.page.js("navigator.serviceWorker.ready.then(() => caches.keys()).then((k) =>"
                            " Promise.all(k.map((n) => caches.open(n).then((c) => c.keys()))))"
                            ".then((lists) => lists.flat().length)")
        self.assertEqual(kept, len(os.listdir(ARGS.site)), "the site and its folder, less sw.js")
        self.page.stop_server()
        self.page.browser.send("Network.emulateNetworkConditions", offline=True, latency=0,
                               downloadThroughput=-1, uploadThroughput=-1)
        self.page.browser.send("Page.reload")
        poll(lambda: self.page.js("typeof before") == "undefined", DEADLINE)
        self.page.wait_state("running")
        self.page.wait_frame(title_shown, "title offline")


class GamePadTest(unittest.TestCase):
    """A pad plugged in while the page runs (navigator.getGamepads faked before
    the page loads): Start leaves the title, the d-pad steers, Back ends."""

    FAKE_PAD = """(() => {
        const pad = { id: "Test pad", index: 0, connected: true, mapping: "standard",
                      timestamp: 1, axes: [0, 0, 0, 0], buttons: [] };
        for (let i = 0; i < 17; ++i) pad.buttons.push({ pressed: false, touched: false, value: 0 });
        let plugged = false;
        navigator.getGamepads = () => plugged ? [pad] : [];
        window.testPad = {
            plugIn() { plugged = true; const e = new Event("gamepadconnected"); e.gamepad = pad;
                       dispatchEvent(e); },
            button(i, down) { pad.buttons[i] = { pressed: down, touched: down, value: +down };
                              pad.timestamp += 1; },
        };
    })()"""

    def test_the_pad_plays(self):
        page = Page(prepare=lambda b: b.send("Page.addScriptToEvaluateOnNewDocument",
                                             source=self.FAKE_PAD))

        def press(button):
            page.js(f"testPad.button({button}, true)")
            page.wait_frames(1)  # the game reads the pad once a frame
            page.js(f"testPad.button({button}, false)")
        try:
            page.wait_state("running")
            page.js("testPad.plugIn()")
            page.wait_frames(3)  # the game takes the pad in the frame after
            press(9)  # Start
            page.wait_frame(score_shown, "score 00000 after Start")
            start = page.piece_column()
            press(14)  # d-pad left
            page.wait_frame(lambda f: piece_column(f) == start - 1, "move to the left")
            press(8)  # Back
            page.wait_state("ended")
        finally:
            page.close()


class HardPlacesTest(unittest.TestCase):
    """A browser that holds sound back until the player does something, one
    without WebGL, and a page whose pictures and music are damaged."""

    def test_the_first_key_lets_held_back_sound_run(self):
        page = Page(browser_args=["--autoplay-policy=document-user-activation-required"])
        try:
            page.wait_state("running")
            state = "Module.SDL2.audioContext.state"
            self.assertEqual(page.js(state), "suspended", "sound ran before any key")
            page.browser.key("Down")
            self.assertTrue(poll(lambda: page.js(state) == "running", DEADLINE), "still held")
        finally:
            page.close()

    def test_without_webgl_the_page_says_why(self):
        page = Page(browser_args=["--disable-3d-apis"])
        try:
            page.wait_state("ended")
            self.assertIn("could not start: Can't Create A GL Rendering Context.", page.status())
            self.assertEqual(page.exceptions(), [], "uncaught exceptions")
        finally:
            page.close()

    def test_damaged_pictures_and_music_play_silently(self):
        folder = tempfile.mkdtemp(prefix="duobrik-damaged-")
        site = os.path.join(folder, "site")
        shutil.copytree(ARGS.site, site)
        with open(os.path.join(site, "duobrik.js")) as f:
            script = f.read()
        with open(os.path.join(site, "duobrik.data"), "r+b") as data:
            for name in ("BrikResource.dat", "devils.mod", "three.mod"):
                data.seek(int(re.search(r'"filename":\s*"/' + re.escape(name) +
                                        r'",\s*"start":\s*(\d+)', script).group(1)))
                data.write(b"\xff" * 64)  # a picture of width -1, a module of no known kind
        page = Page(site)
        try:
            page.wait_state("running")
            page.browser.key("Return")
            # Frames go on, and nothing is drawn where no picture loaded (no
            # white blocks): the canvas stays black.
            page.wait_frames(30)
            self.assertEqual(int(page.frame()[0].max()), 0, "something drawn without pictures")
            page.browser.key("Escape")
            page.wait_state("ended")
            self.assertEqual(page.exceptions(), [], "uncaught exceptions")
        finally:
            page.close()
            shutil.rmtree(folder, ignore_errors=True)


def main():
    global ARGS, PICTURES
    parser = argparse.ArgumentParser()
    for option in ("--site", "--data", "--picture", "--shots"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.shots, exist_ok=True)
    PICTURES = read_pictures(INTRO, DIGIT_0)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
