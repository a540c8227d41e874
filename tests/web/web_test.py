#!/usr/bin/python3
"""The browser build, played in headless Chromium over the DevTools protocol.

    tests/web/web_test.py --site SITE --data BrikResource.dat --picture DUMPER --shots FOLDER

The page in SITE is served by scripts/serve-web and played on a desktop, on
a phone (touch; 390x844 CSS pixels at three device pixels each) and with a
game pad that the page is made to believe in; then in a browser that holds
sound back, one without WebGL, and with its data damaged. What it shows is
held against the pictures of the data file it packed, written out by DUMPER
(duobrik-e2e-picture). Screenshots go to FOLDER. Every wait polls with a
deadline of 60 s.
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
ARGS = None
INTRO, DIGIT_0 = 85, 188  # the title screen and the digit 0 in the picture file


def read_pictures(*indices):
    """Pictures of the site's picture file as rows x columns x 4 (RGBA)."""
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
    """The title picture everywhere but the blinking prompt's rows."""
    intro = PICTURES[INTRO][:, :, :3]
    return (numpy.delete(frame, range(40, 100), 0) == numpy.delete(intro, range(40, 100), 0)).all()


def score_shown(frame):
    """The score reads 00000: a level has started."""
    digit = PICTURES[DIGIT_0]
    opaque = digit[:, :, 3] == 255
    h, w = digit.shape[:2]
    return all(numpy.abs(frame[7:7 + h, x:x + w].astype(int) - digit[:, :, :3])[opaque].mean()
               < 10 for x in range(50, 190, 28))


def piece_box(frame, top=60, bottom=460):
    """(x, y, w, h) of the pixels brighter than half between board rows `top`
    and `bottom`: the falling piece (the background shows through, but dim)."""
    region = frame[top:bottom, 60:260].max(axis=2) > 127
    if not region.any():
        return None
    rows, cols = numpy.flatnonzero(region.any(axis=1)), numpy.flatnonzero(region.any(axis=0))
    return (60 + cols[0], top + rows[0], cols[-1] - cols[0] + 1, rows[-1] - rows[0] + 1)


def piece_column(frame):
    box = piece_box(frame)
    return None if box is None else (box[0] - 60 + 10) // 20


class Page:
    """The page served on a free port by scripts/serve-web, in a browser of
    its own; `prepare` gets the browser before the page loads."""

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

    def state(self):
        """The page's own word on the run: 'loading', 'running' or 'ended'."""
        return self.js("typeof running === 'undefined' ? 'loading' : running ? 'running' :"
                       " (document.getElementById('again') ? 'ended' : 'loading')")

    def wait_state(self, state):
        assert poll(lambda: self.state() == state, DEADLINE), \
            f"page not {state} within 60 s; status: {self.status()!r}"

    def status(self):
        return self.js("document.getElementById('status').textContent")

    def wait_frames(self, count):
        self.js(f"new Promise((done) => {{ let n = {count}; const step = () =>"
                " --n > 0 ? requestAnimationFrame(step) : done(true); requestAnimationFrame(step); })")

    def frame(self):
        """The picture as shown, one entry per picture pixel, its factor, and
        whether each picture pixel is a whole block of factor x factor device
        pixels. The canvas is found in a screenshot around it as what is not
        the page's background (its spare pixels are black); the picture lies
        in it where the game's fit puts it."""
        left, top, right, bottom, width, height, ratio, colour = self.js(
            "(() => { const r = canvas.getBoundingClientRect(); return [r.left, r.top, r.right,"
            " r.bottom, canvas.width, canvas.height, devicePixelRatio,"
            " getComputedStyle(document.body).backgroundColor]; })()")
        x0, y0 = int(left) - 2, int(top) - 2
        shot = self.browser.screenshot(x0, y0, int(right) + 3 - x0, int(bottom) + 3 - y0)
        page = numpy.array([int(v) for v in re.findall(r"\d+", colour)[:3]])
        canvas = (shot != page).any(axis=2)
        rows, cols = numpy.flatnonzero(canvas.any(axis=1)), numpy.flatnonzero(canvas.any(axis=0))
        factor = max(1, min(width // 320, height // 480))
        x = cols[0] + (width - 320 * factor) // 2
        y = rows[0] + height - (height - 480 * factor) // 2 - 480 * factor
        picture = shot[y:y + 480 * factor, x:x + 320 * factor]
        frame = picture[::factor, ::factor]
        crisp = picture.shape[:2] == (480 * factor, 320 * factor) and \
            (frame.repeat(factor, 0).repeat(factor, 1) == picture).all()
        self.place = (x0 + x / ratio, y0 + y / ratio, factor, ratio)  # for touches
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
        return list(self.browser.exceptions)

    def viewport_shot(self, name):
        width, height = self.js("[innerWidth, innerHeight]")
        save(name, self.browser.screenshot(0, 0, width, height))


class DesktopTest(unittest.TestCase):
    """One page on a desktop browser, played from the title through level 1
    to Escape, in order."""

    @classmethod
    def setUpClass(cls):
        cls.page = Page()

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def test_1_page_loads_and_runs(self):
        self.page.wait_state("running")
        self.assertEqual(self.page.exceptions(), [], "uncaught exceptions on the page")
        # From now on, every block the audio device plays is looked at.
        self.page.js("""(() => {
            const node = Module.SDL2.audio.scriptProcessorNode, feed = node.onaudioprocess;
            window.testPeak = 0;
            node.onaudioprocess = (e) => {
                feed(e);
                for (let c = 0; c < e.outputBuffer.numberOfChannels; ++c) {
                    for (const v of e.outputBuffer.getChannelData(c)) {
                        testPeak = Math.max(testPeak, Math.abs(v));
                    }
                }
            };
        })()""")

    def test_2_title_is_the_title_picture_with_a_blinking_prompt(self):
        intro = PICTURES[INTRO][:, :, :3]
        self.page.wait_frame(lambda f: (f == intro).all(), "title without its prompt")
        self.page.wait_frame(lambda f: title_shown(f) and not (f == intro).all(), "prompt")

    def test_3_return_starts_level_1(self):
        self.page.browser.key("Return")
        save("web-play.png", self.page.wait_frame(score_shown, "score 00000 after Return")[0])

    def test_4_left_moves_the_piece_one_column(self):
        start = self.page.piece_column()
        # Held over two frames: a press and release between the same two
        # frames cancel out, as they would for a player that fast.
        self.page.browser.key("Left", up=False)
        self.page.wait_frames(2)
        self.page.browser.key("Left", down=False)
        self.page.wait_frame(lambda f: piece_column(f) == start - 1, "move to the left")
        self.page.wait_frames(20)
        self.assertEqual(piece_column(self.page.frame()[0]), start - 1, "moved on")

    def test_5_game_keys_do_not_scroll_the_page(self):
        for key in ("Down", "Space"):
            self.page.browser.key(key)
        self.page.wait_frames(2)
        self.assertEqual(self.page.js("[scrollX, scrollY]"), [0, 0], "the page scrolled")

    def test_6_audio_runs_and_is_fed_with_sound(self):
        self.assertTrue(poll(lambda: self.page.js("Module.SDL2.audioContext.state") == "running",
                             DEADLINE), "audio context not running")
        # Music plays from the title on: well above silence (-40 dBFS).
        self.assertTrue(poll(lambda: self.page.js("testPeak") > 0.01, DEADLINE),
                        "the audio device was fed only silence")

    def test_7_a_1920x1080_screen_shows_the_picture_twice_as_large(self):
        self.page.browser.send("Emulation.setDeviceMetricsOverride", width=1920, height=1080,
                               deviceScaleFactor=1, mobile=False)
        try:
            poll(lambda: self.page.frame()[1] == 2, DEADLINE)
            _, factor, crisp = self.page.frame()
            self.assertEqual((factor, crisp), (2, True), "not crisp at twice the size")
            self.page.viewport_shot("desktop-2x.png")
        finally:
            self.page.browser.send("Emulation.clearDeviceMetricsOverride")

    def test_8_escape_ends_the_game(self):
        self.page.browser.key("Escape")
        self.page.wait_state("ended")
        self.assertIn("The game has ended", self.page.status())
        self.assertEqual(self.page.exceptions(), [], "uncaught exceptions on the page")

    def test_9_nothing_is_logged_per_frame(self):
        # Hundreds of frames have run by now: a message of every frame (or
        # of every key) would be there many times over.
        self.page.browser.pump()
        counts = collections.Counter(text for _, text in self.page.browser.console)
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
    """One page on a phone, played by touch, in order; then turned on its
    side, and loaded again with the network gone."""

    @classmethod
    def setUpClass(cls):
        cls.page = Page(prepare=as_phone(390, 844))

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def touch_path(self, points, end=True):
        """One finger along picture pixels `points`, a frame apart."""
        self.page.frame()
        left, top, factor, ratio = self.page.place
        for i, (x, y) in enumerate(points):
            css = (left + x * factor / ratio, top + y * factor / ratio)
            self.page.browser.touch("touchStart" if i == 0 else "touchMove", *css)
            self.page.wait_frames(1)
        if end:
            self.page.browser.touch("touchEnd")

    def assert_fits(self):
        box = self.page.js("(() => { const r = canvas.getBoundingClientRect();"
                           " return [r.left, r.top, r.right, r.bottom, scrollX, scrollY,"
                           " innerWidth, innerHeight, document.documentElement.scrollHeight]; })()")
        left, top, right, bottom, sx, sy, width, height, page_height = box
        self.assertTrue(left >= 0 and top >= 0 and right <= width and bottom <= height,
                        f"canvas {box[:4]} outside the {width}x{height} viewport")
        self.assertEqual((sx, sy, page_height), (0, 0, height), "the page scrolls")
        buttons = self.page.js("[...document.querySelectorAll('.pad button')].map((b) =>"
                               " { const r = b.getBoundingClientRect(); return [r.left, r.top,"
                               " r.width, r.height]; })")
        for x, y, w, h in buttons:
            self.assertTrue(w >= 48 and h >= 48 and x >= 0 and y >= 0 and x + w <= width and
                            y + h <= height, f"button {w}x{h} at ({x}, {y})")
        return buttons, (left, top, right, bottom)

    def test_1_title_fits_unscrolled_and_crisp(self):
        self.page.wait_state("running")
        frame, factor, crisp = self.page.wait_frame(title_shown, "title")
        self.assertEqual((factor, crisp), (3, True), "the title is not crisp at 3 device pixels")
        buttons, canvas = self.assert_fits()
        self.assertTrue(all(y >= canvas[3] for _, y, _, _ in buttons), "buttons not below")
        self.page.viewport_shot("phone-portrait-title.png")

    def test_2_a_tap_starts(self):
        self.touch_path([(160, 300)])
        self.page.wait_frame(score_shown, "score 00000 after a tap")

    def test_3_a_downward_drag_drops_faster(self):
        box = piece_box(self.page.frame()[0])
        started = time.monotonic()
        self.touch_path([(160, 200), (160, 215), (160, 240)], end=False)
        self.page.wait_frame(lambda f: sum((piece_box(f) or (0, 0))[1::2]) >= 458, "piece on the floor")
        self.page.browser.touch("touchEnd")
        # Level 1 lets a piece fall a row every 800 ms.
        rows = (460 - box[1] - box[3]) // 20
        self.assertLess(time.monotonic() - started, rows * 0.8 / 2, "no faster than its fall")

    def test_4_a_swipe_moves_the_piece_by_the_squares_swiped(self):
        start = self.page.piece_column()
        # Two and a half squares to the left: two columns.
        self.touch_path([(200 - 5 * i, 300) for i in range(11)])
        self.page.wait_frame(lambda f: piece_column(f) == start - 2, "two columns left")
        self.page.wait_frames(30)
        self.assertEqual(piece_column(self.page.frame()[0]), start - 2, "moved on")
        self.assert_fits()
        self.page.viewport_shot("phone-portrait-play.png")

    def test_5_a_tap_turns_the_piece(self):
        def falling():
            return piece_box(self.page.frame()[0], bottom=380)  # above the pieces dropped
        box = falling()
        # An O piece looks the same turned, and one far down may land first:
        # drop it, and take the next.
        while box is None or box[2] == box[3] or box[1] > 120:
            self.touch_path([(160, 200), (160, 240)], end=False)
            poll(lambda: falling() is None, DEADLINE)
            box = poll(falling, DEADLINE)
            self.page.browser.touch("touchEnd")
        self.touch_path([(160, 300)])
        turned = poll(lambda: (lambda b: b and (b[2], b[3]) == (box[3], box[2]))(falling()),
                      DEADLINE)
        self.assertTrue(turned, f"the {box[2]}x{box[3]} piece did not turn")

    def test_6_turned_on_its_side_it_fits_again(self):
        as_phone(844, 390, 90)(self.page.browser)
        poll(lambda: self.page.frame()[1] == 2, DEADLINE)
        _, factor, crisp = self.page.frame()
        self.assertEqual((factor, crisp), (2, True), "not crisp at 2 device pixels on its side")
        buttons, canvas = self.assert_fits()
        self.assertTrue(all(x + w <= canvas[0] or x >= canvas[2] for x, _, w, _ in buttons),
                        "buttons not beside the picture")
        self.page.viewport_shot("phone-landscape-play.png")

    def test_7_the_manifest_parses_and_its_icons_are_there(self):
        manifest = self.page.browser.send("Page.getAppManifest")
        self.assertEqual(manifest["errors"], [], "manifest errors")
        for icon in json.loads(manifest["data"])["icons"]:
            with Image.open(os.path.join(ARGS.site, icon["src"])) as image:
                self.assertEqual("%dx%d" % image.size, icon["sizes"], icon["src"])

    def test_8_once_loaded_it_starts_offline(self):
        kept = self.page.js("navigator.serviceWorker.ready.then(() => caches.keys()).then((k) =>"
                            " Promise.all(k.map((n) => caches.open(n).then((c) => c.keys()))))"
                            ".then((lists) => lists.flat().length)")
        self.assertGreaterEqual(kept, 9, "the service worker kept too little")
        self.page.stop_server()
        self.page.browser.send("Network.emulateNetworkConditions", offline=True, latency=0,
                               downloadThroughput=-1, uploadThroughput=-1)
        self.page.browser.send("Page.reload")
        self.page.wait_state("running")
        self.page.wait_frame(title_shown, "title offline")


class GamePadTest(unittest.TestCase):
    """A pad plugged in while the page runs (navigator.getGamepads faked
    before the page loads): Start leaves the title, the d-pad steers, Back ends."""

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

    def press(self, page, button):
        page.js(f"testPad.button({button}, true)")
        page.wait_frames(3)
        page.js(f"testPad.button({button}, false)")

    def test_the_pad_plays(self):
        page = Page(prepare=lambda b: b.send("Page.addScriptToEvaluateOnNewDocument",
                                             source=self.FAKE_PAD))
        try:
            page.wait_state("running")
            page.js("testPad.plugIn()")
            page.wait_frames(3)  # the game takes the pad in the frame after
            self.press(page, 9)  # Start
            page.wait_frame(score_shown, "score 00000 after Start")
            start = page.piece_column()
            self.press(page, 14)  # d-pad left
            page.wait_frame(lambda f: piece_column(f) == start - 1, "move to the left")
            self.press(page, 8)  # Back
            page.wait_state("ended")
        finally:
            page.close()


class HardPlacesTest(unittest.TestCase):
    """A browser that holds sound back until the player does something, one
    without WebGL, and a page whose pictures and music are damaged."""

    def test_the_first_key_starts_held_back_sound(self):
        page = Page(browser_args=["--autoplay-policy=document-user-activation-required"])
        try:
            page.wait_state("running")
            context = "Module.SDL2.audioContext.state"
            self.assertEqual(page.js(context), "suspended", "sound ran before any key")
            page.browser.key("Down")
            self.assertTrue(poll(lambda: page.js(context) == "running", DEADLINE),
                            "sound still held back after a key")
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
        os.remove(os.path.join(site, "sw.js"))  # nothing kept from the good page
        with open(os.path.join(site, "duobrik.js")) as f:
            script = f.read()
        with open(os.path.join(site, "duobrik.data"), "r+b") as data:
            for name in ("BrikResource.dat", "devils.mod", "three.mod"):
                found = re.search(r'"filename":\s*"/' + re.escape(name) + r'",\s*"start":\s*(\d+)',
                                  script)
                # A picture record of width -1, a module of no known kind.
                data.seek(int(found.group(1)))
                data.write(b"\xff" * 64)
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
    parser.add_argument("--site", required=True)
    parser.add_argument("--data", required=True, help="the picture file the site packed")
    parser.add_argument("--picture", required=True, help="duobrik-e2e-picture")
    parser.add_argument("--shots", required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.shots, exist_ok=True)
    PICTURES = read_pictures(INTRO, DIGIT_0)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
