#!/usr/bin/python3
"""The browser build played in headless Chromium; scripts/test-web runs it:
    web_test.py --site SITE --data BrikResource.dat --picture DUMPER --shots FOLDER"""

import argparse
import base64
import collections
import contextlib
import io
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

import numpy
import websocket
from PIL import Image

# ---- A small client of Chromium's DevTools protocol: headless Chromium with
# WebGL (SwiftShader through ANGLE) and one tab, to load a page in, run
# JavaScript, press keys, touch and take screenshots. Everything it starts it
# also stops.

# DOM key and code, the Windows virtual-key code Chromium reports as keyCode,
# and the text the key types.
KEYS = {"Return": ("Enter", "Enter", 13, "\r"), "Escape": ("Escape", "Escape", 27, None),
        "Left": ("ArrowLeft", "ArrowLeft", 37, None), "Down": ("ArrowDown", "ArrowDown", 40, None)}

CHROMIUM = ("--headless=new --no-sandbox --window-size=800,720 --remote-debugging-port=0"
            # WebGL without a GPU (--use-gl=swiftshader gives none here).
            " --use-angle=swiftshader --enable-unsafe-swiftshader --mute-audio --no-first-run"
            " --no-default-browser-check --disable-extensions --disable-background-networking"
            " --disable-component-update --disable-sync"
            # A tab that is not in front must keep its frames coming.
            " --disable-background-timer-throttling --disable-renderer-backgrounding"
            " --disable-backgrounding-occluded-windows").split()


def poll(what, deadline_s=60.0):
    """What `what` returns once it is truthy, or None after `deadline_s`."""
    end = time.monotonic() + deadline_s
    while not (result := what()) and time.monotonic() < end:
        time.sleep(0.2)
    return result or None


class Browser:
    """Headless Chromium with one tab under remote control; `console` and
    `exceptions` hold what the page logged and threw, in order."""

    def __init__(self, extra_args=()):
        self.profile = tempfile.mkdtemp(prefix="duobrik-chromium-")
        self.socket, self.next_id, self.console, self.exceptions = None, 0, [], []
        self.process = subprocess.Popen([shutil.which("chromium") or "chromium", *CHROMIUM,
                                         f"--user-data-dir={self.profile}", *extra_args,
                                         "about:blank"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            port = poll(self._port)
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=60) as r:
                tab = next(t for t in json.load(r) if t.get("type") == "page")
            self.socket = websocket.create_connection(tab["webSocketDebuggerUrl"], timeout=60,
                                                      suppress_origin=True)
            for domain in ("Runtime", "Page", "Log", "Network"):
                self.send(f"{domain}.enable")
        except Exception:
            self.close()
            raise

    def _port(self):  # None until Chromium has written it
        if self.process.poll() is not None:
            raise RuntimeError("Chromium ended at start")
        with contextlib.suppress(OSError, ValueError), \
                open(os.path.join(self.profile, "DevToolsActivePort")) as f:
            return int(f.readline())

    def _record(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            self.console.append(" ".join(str(a.get("value", a.get("description", "")))
                                         for a in params["args"]))
        elif method == "Log.entryAdded":
            self.console.append(params["entry"].get("text", ""))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.exceptions.append(details.get("exception", {}).get("description")
                                   or details.get("text", ""))

    def send(self, method, **params):
        """One command's result; events that arrive meanwhile are recorded."""
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while (message := json.loads(self.socket.recv())).get("id") != self.next_id:
            self._record(message)
        if "error" in message:
            raise RuntimeError(f"{method}: {message['error']}")
        return message.get("result", {})

    def pump(self):  # records the events that have come so far
        self.socket.settimeout(0.05)
        with contextlib.suppress(websocket.WebSocketTimeoutException):
            while True:
                self._record(json.loads(self.socket.recv()))
        self.socket.settimeout(60)

    def js(self, expression):
        """The value of a JavaScript expression (JSON-able values only)."""
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def key(self, name, down=True, up=True):
        key, code, vk, text = KEYS[name]
        common = {"key": key, "code": code, "windowsVirtualKeyCode": vk}
        if down:
            kind = {"type": "keyDown", "text": text} if text else {"type": "rawKeyDown"}
            self.send("Input.dispatchKeyEvent", **common, **kind)
        if up:
            self.send("Input.dispatchKeyEvent", type="keyUp", **common)

    def touch(self, kind, x=0, y=0):
        """'touchStart', 'touchMove' or 'touchEnd' of one finger at CSS pixel (x, y)."""
        points = [] if kind == "touchEnd" else [{"x": x, "y": y, "id": 1}]
        self.send("Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def screenshot(self, x, y, width, height):
        """The device pixels that show this box of CSS pixels, as rows x columns x RGB."""
        shot = self.send("Page.captureScreenshot", format="png", fromSurface=True,
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return numpy.asarray(Image.open(io.BytesIO(base64.b64decode(shot["data"]))).convert("RGB"))

    def close(self):
        try:
            self.send("Browser.close")
            self.process.wait(10)
        except Exception:  # not connected, hung up, or still there
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.process.pid, 9)  # Chromium's helpers are in its session
            self.process.wait(10)
        if self.socket:
            self.socket.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()


# ---- The tests

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
INTRO, DIGIT_0 = 85, 188  # the title screen and the digit 0 in the picture file
ARGS = PICTURES = None


def read_pictures(*indices):
    """Pictures of the data file as rows x columns x RGBA, through the dumper's
    PAM files (which Debian's Pillow cannot read)."""
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([ARGS.picture, ARGS.data, folder, *map(str, indices)], check=True)
        pam = {i: pathlib.Path(folder, f"t{i}.pam").read_bytes().split(b"ENDHDR\n", 1)
               for i in indices}
    return {i: numpy.frombuffer(pixels, numpy.uint8).reshape(
        int(re.search(rb"HEIGHT (\d+)", header)[1]), int(re.search(rb"WIDTH (\d+)", header)[1]), 4)
        for i, (header, pixels) in pam.items()}


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


def column(box):
    return (box[0] - 60 + 10) // 20  # a board square is 20 pixels


class Page(Browser):
    """The site served on a free port, in a browser of its own; `prepare` gets
    the browser before the page loads."""

    def __init__(self, site=None, browser_args=(), prepare=None):
        super().__init__(browser_args)
        self.server = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "scripts", "serve-web"), "--port", "0",
             "--quiet", site or ARGS.site], stdout=subprocess.PIPE, text=True)
        try:
            if prepare:
                prepare(self)
            self.send("Page.navigate", url=self.server.stdout.readline().strip())
        except Exception:
            self.close()
            raise

    def stop_server(self):
        if self.server.poll() is None:
            self.server.terminate()
            self.server.wait(60)
            self.server.stdout.close()

    def close(self):
        super().close()
        self.stop_server()

    def status(self):
        return self.js("document.getElementById('status').textContent")

    def until(self, what, get):
        found = poll(get)
        assert found, f"no {what} within 60 s; status: {self.status()!r}"
        return found

    def wait_state(self, state):
        """Waits for the page's own word on the run: 'running' or 'ended'."""
        self.until(f"{state} page", lambda: self.js(
            "typeof running === 'undefined' ? '' : running ? 'running' : "
            "document.getElementById('again') ? 'ended' : ''") == state)

    def ended(self):
        """Waits for the end, which threw nothing on the way; the page's word on it."""
        self.wait_state("ended")
        self.pump()
        assert self.exceptions == [], f"uncaught exceptions: {self.exceptions}"
        return self.status()

    def wait_frames(self, count):
        self.js(f"new Promise((done) => {{ let n = {count}; const step = () =>"
                " --n > 0 ? requestAnimationFrame(step) : done(true); requestAnimationFrame(step); })")

    def frame(self):
        """The picture as shown, a pixel per picture pixel; its factor; whether it
        is crisp. The canvas is what is not page background in a screenshot
        around it, the picture in it where the game's fit puts it."""
        left, top, right, bottom, width, height, ratio, colour = self.js(
            "(() => { const r = canvas.getBoundingClientRect(); return [r.left, r.top, r.right,"
            " r.bottom, canvas.width, canvas.height, devicePixelRatio,"
            " getComputedStyle(document.body).backgroundColor]; })()")
        x0, y0 = int(left) - 2, int(top) - 2
        shot = self.screenshot(x0, y0, int(right) + 3 - x0, int(bottom) + 3 - y0)
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

    def wait_frame(self, what, accept):
        return self.until(what, lambda: accept((shown := self.frame())[0]) and shown)

    def falling(self, what="falling piece", accept=lambda box: True):
        return self.until(what, lambda: (box := piece_box(self.frame()[0])) and accept(box) and box)

    def as_phone(self, width, height, angle=0):
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=3, mobile=True, screenOrientation={
                      "type": "landscapePrimary" if angle else "portraitPrimary", "angle": angle})
        self.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)

    def viewport_shot(self, name):
        shot = self.screenshot(0, 0, *self.js("[innerWidth, innerHeight]"))
        Image.fromarray(shot).save(os.path.join(ARGS.shots, name))


class DesktopTest(unittest.TestCase):
    """One page in a desktop browser, from the title through level 1 to Escape."""

    @classmethod
    def setUpClass(cls):
        cls.page = cls.enterClassContext(Page())

    def test_1_title_is_the_title_picture_with_a_blinking_prompt(self):
        self.page.wait_state("running")
        intro = PICTURES[INTRO][:, :, :3]
        self.page.wait_frame("title without its prompt", lambda f: (f == intro).all())
        self.page.wait_frame("prompt", lambda f: title_shown(f) and not (f == intro).all())

    def test_2_return_starts_level_1_and_left_moves_one_column(self):
        self.page.key("Return")
        self.page.wait_frame("score 00000 after Return", score_shown)
        start = column(self.page.falling())
        # Held into the next frame (a press and a release between the same two
        # frames cancel out, as they would for a player that fast) and let go
        # before the slide it starts ends, or the piece slides on.
        self.page.key("Left", up=False)
        self.page.wait_frames(1)
        self.page.key("Left", down=False)
        self.page.falling("move to the left", lambda box: column(box) == start - 1)
        self.page.wait_frames(20)
        self.assertEqual(column(self.page.falling()), start - 1, "moved on")

    def test_3_sound_reaches_the_audio_device(self):
        # Music plays from the title on: well above silence (-40 dBFS).
        self.page.js("""(() => { const node = Module.SDL2.audio.scriptProcessorNode,
            feed = node.onaudioprocess; window.peak = 0; node.onaudioprocess = (e) => { feed(e);
            for (const v of e.outputBuffer.getChannelData(0)) peak = Math.max(peak, Math.abs(v)); };
        })()""")
        self.page.until("sound", lambda: self.page.js("peak") > 0.01)

    def test_4_a_1920x1080_screen_shows_the_picture_twice_as_large(self):
        self.page.send("Emulation.setDeviceMetricsOverride", width=1920, height=1080,
                       deviceScaleFactor=1, mobile=False)
        self.page.until("crisp picture at twice the size",
                        lambda: self.page.frame()[1:] == (2, True))
        self.page.viewport_shot("desktop-2x.png")
        self.page.send("Emulation.clearDeviceMetricsOverride")

    def test_5_escape_ends_the_game_and_nothing_was_logged_per_frame(self):
        self.page.key("Escape")
        self.assertIn("The game has ended", self.page.ended())
        # Hundreds of frames have run: a message of every frame (or key)
        # would be there many times over.
        counts = collections.Counter(self.page.console)
        self.assertEqual([text for text, n in counts.items() if n > 3], [], "logged again and again")


class PhoneTest(unittest.TestCase):
    """One page on a 390x844 phone at three device pixels each, played by
    touch; then on its side, and loaded again with the network gone."""

    @classmethod
    def setUpClass(cls):
        cls.page = cls.enterClassContext(Page(prepare=lambda page: page.as_phone(390, 844)))

    def touch_path(self, points, end=True):
        """One finger along picture pixels `points`, as fast as it can go."""
        self.page.frame()
        left, top, scale = self.page.place
        for i, (x, y) in enumerate(points):
            self.page.touch("touchMove" if i else "touchStart", left + x * scale, top + y * scale)
        if end:
            self.page.touch("touchEnd")

    def assert_fits(self, where, placed):
        """The canvas and the buttons lie in the viewport, which does not scroll;
        the buttons are at least 48 CSS pixels, and each is `placed` by the canvas."""
        *boxes, (sx, sy, width, height, page_height) = self.page.js(
            "[canvas, ...document.querySelectorAll('.pad button')].map((e) => {"
            " const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; })"
            ".concat([[scrollX, scrollY, innerWidth, innerHeight,"
            " document.documentElement.scrollHeight]])")
        self.assertEqual((sx, sy, page_height), (0, 0, height), "the page scrolls")
        for i, (left, top, right, bottom) in enumerate(boxes):
            self.assertTrue(0 <= left and 0 <= top and right <= width and bottom <= height and
                            (i == 0 or min(right - left, bottom - top) >= 48), boxes[i])
        self.assertTrue(all(placed(boxes[0], *box) for box in boxes[1:]), f"buttons not {where}")

    def test_1_the_title_fits_unscrolled_and_crisp_and_a_tap_starts(self):
        self.page.wait_state("running")
        self.assertEqual(self.page.wait_frame("title", title_shown)[1:], (3, True), "not crisp")
        self.assert_fits("below", lambda canvas, left, top, right, bottom: top >= canvas[3])
        self.page.viewport_shot("phone-portrait-title.png")
        self.touch_path([(160, 300)])
        self.page.wait_frame("score 00000 after a tap", score_shown)

    def test_2_a_downward_drag_drops_faster(self):
        box, started = self.page.falling(), time.monotonic()
        self.touch_path([(160, 200), (160, 215), (160, 240)], end=False)
        self.page.wait_frame("piece on the floor", lambda f: (f[440:460, 60:260] > 127).any())
        self.page.touch("touchEnd")
        # Level 1 lets a piece fall a row every 800 ms: falling alone, it
        # could not have landed sooner, however busy the machine.
        rows = (460 - box[1] - box[3]) // 20
        self.assertLess(time.monotonic() - started, (rows - 1) * 0.8, f"{rows} rows, no faster")

    def test_3_a_swipe_moves_the_piece_by_the_squares_swiped(self):
        start = column(self.page.falling())
        self.touch_path([(200 - 5 * i, 300) for i in range(11)])  # two and a half squares left
        self.page.falling("two columns left", lambda box: column(box) == start - 2)
        self.page.wait_frames(30)
        self.assertEqual(column(self.page.falling()), start - 2, "moved on")
        self.page.viewport_shot("phone-portrait-play.png")

    def test_4_a_tap_turns_the_piece(self):
        box = self.page.falling()
        # An O piece looks the same turned, and one far down may land first:
        # drop it deep, let go, and take the next at the top.
        while box[2] == box[3] or box[1] > 200:
            self.touch_path([(160, 200), (160, 240)], end=False)
            self.page.falling("piece dropped deep", lambda b: b[1] > 200)
            self.page.touch("touchEnd")
            box = self.page.falling("next piece at the top", lambda b: b[1] < 120)
        self.touch_path([(160, 300)])
        self.page.falling("turned piece", lambda b: b[2:] == (box[3], box[2]))

    def test_5_on_its_side_it_fits_again_with_the_buttons_beside(self):
        self.page.as_phone(844, 390, 90)
        self.page.until("crisp picture on its side", lambda: self.page.frame()[1:] == (2, True))
        self.assert_fits("beside", lambda canvas, left, top, right, bottom:
                         right <= canvas[0] or left >= canvas[2])
        self.page.viewport_shot("phone-landscape-play.png")

    def test_6_the_buttons_are_keys_and_ending_asks_twice(self):
        def tap(selector):  # a finger up again at once: the press must still reach the game
            self.page.touch("touchStart", *self.page.js(
                f"(({{ x, y, width, height }}) => [x + width / 2, y + height / 2])("
                f"document.querySelector('{selector}').getBoundingClientRect())"))
            self.page.touch("touchEnd")
        # Right: this piece came in at the spawn column or was swiped left of
        # it. A busy machine may hold the key past a slide: it slides on.
        start = column(self.page.falling())
        tap("[aria-label=Right]")
        self.page.falling(f"move right from {start}", lambda box: column(box) > start)
        tap("#end")
        self.page.until("question from End",
                        lambda: "again" in self.page.js("document.getElementById('end').textContent"))
        self.assertEqual(self.page.status(), "", "ended at the first tap")
        tap("#end")
        self.page.ended()

    def test_7_the_manifest_parses_and_its_icons_are_there(self):
        manifest = self.page.send("Page.getAppManifest")
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
        self.page.send("Network.emulateNetworkConditions", offline=True, latency=0,
                       downloadThroughput=-1, uploadThroughput=-1)
        self.page.send("Page.reload")
        self.page.until("reloaded page", lambda: self.page.js("typeof before") == "undefined")
        self.page.wait_state("running")
        self.page.wait_frame("title offline", title_shown)


class OnePageTest(unittest.TestCase):
    """A page of its own for each case: a game pad, a browser that holds sound
    back until the player does something, one without WebGL, and pictures and
    music that are damaged."""

    # navigator.getGamepads as the page sees it, with a pad to plug in.
    FAKE_PAD = """(() => { let plugged = false;
        const pad = { id: "Test pad", index: 0, connected: true, mapping: "standard", timestamp: 1,
            axes: [0, 0, 0, 0], buttons: [...Array(17)].map(() => ({ pressed: false, value: 0 })) };
        navigator.getGamepads = () => plugged ? [pad] : [];
        window.testPad = { plugIn() { plugged = true; const e = new Event("gamepadconnected");
                                      e.gamepad = pad; dispatchEvent(e); },
            button(i, down) { pad.buttons[i] = { pressed: down, value: +down }; ++pad.timestamp; } };
    })()"""

    def test_a_pad_plugged_in_starts_steers_and_ends(self):
        page = self.enterContext(Page(prepare=lambda page: page.send(
            "Page.addScriptToEvaluateOnNewDocument", source=self.FAKE_PAD)))

        def press(button):
            page.js(f"testPad.button({button}, true)")
            page.wait_frames(1)  # the game reads the pad once a frame
            page.js(f"testPad.button({button}, false)")
        page.wait_state("running")
        page.js("testPad.plugIn()")
        page.wait_frames(3)  # the game takes the pad in the frame after
        press(9)  # Start
        page.wait_frame("score 00000 after Start", score_shown)
        start = column(page.falling())
        press(14)  # d-pad left
        page.falling("move to the left", lambda box: column(box) == start - 1)
        press(8)  # Back
        page.ended()

    def test_the_first_key_lets_held_back_sound_run(self):
        page = self.enterContext(
            Page(browser_args=["--autoplay-policy=document-user-activation-required"]))
        page.wait_state("running")
        state = "Module.SDL2.audioContext.state"
        self.assertEqual(page.js(state), "suspended", "sound ran before any key")
        page.key("Down")
        page.until("running sound", lambda: page.js(state) == "running")

    def test_without_webgl_the_page_says_why(self):
        page = self.enterContext(Page(browser_args=["--disable-3d-apis"]))
        self.assertIn("could not start: Can't Create A GL Rendering Context.", page.ended())

    def test_damaged_pictures_and_music_play_silently(self):
        site = os.path.join(self.enterContext(tempfile.TemporaryDirectory()), "site")
        shutil.copytree(ARGS.site, site)
        with open(os.path.join(site, "duobrik.js")) as f:
            script = f.read()
        with open(os.path.join(site, "duobrik.data"), "r+b") as data:
            for name in ("BrikResource.dat", "devils.mod", "three.mod"):
                data.seek(int(re.search(r'"filename":\s*"/' + re.escape(name) +
                                        r'",\s*"start":\s*(\d+)', script).group(1)))
                data.write(b"\xff" * 64)  # a picture of width -1, a module of no known kind
        page = self.enterContext(Page(site))
        page.wait_state("running")
        page.key("Return")
        # Frames go on, and nothing is drawn where no picture loaded (no
        # white blocks): the canvas stays black.
        page.wait_frames(30)
        self.assertEqual(int(page.frame()[0].max()), 0, "something drawn without pictures")
        page.key("Escape")
        page.ended()


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
