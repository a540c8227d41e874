"""A small client of Chromium's DevTools protocol, enough to play the page.

Starts headless Chromium with WebGL (SwiftShader through ANGLE), opens one
tab and talks to it over the protocol's WebSocket: load a page, read what the
console said and which exceptions went uncaught, run JavaScript, press keys,
touch the screen and take screenshots as numpy arrays (through Pillow).
Everything it starts it also stops.
"""

import base64
import io
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import numpy
import websocket
from PIL import Image

# Keys as the page sees them: DOM key, DOM code and the Windows virtual-key
# code that Chromium also reports as keyCode; the text a key types.
KEYS = {
    "Return": ("Enter", "Enter", 13, "\r"),
    "Escape": ("Escape", "Escape", 27, None),
    "Space": (" ", "Space", 32, " "),
    "Left": ("ArrowLeft", "ArrowLeft", 37, None),
    "Up": ("ArrowUp", "ArrowUp", 38, None),
    "Right": ("ArrowRight", "ArrowRight", 39, None),
    "Down": ("ArrowDown", "ArrowDown", 40, None),
}


class DevToolsError(RuntimeError):
    pass


def poll(what, deadline_s=60.0, interval_s=0.1):
    """Calls `what` until it returns something other than None or False;
    returns that, or None once `deadline_s` has passed."""
    end = time.monotonic() + deadline_s
    while True:
        result = what()
        if result is not None and result is not False:
            return result
        if time.monotonic() >= end:
            return None
        time.sleep(interval_s)


class Browser:
    """Headless Chromium with one tab under remote control."""

    def __init__(self, extra_args=()):
        self.profile = tempfile.mkdtemp(prefix="duobrik-chromium-")
        args = [
            shutil.which("chromium") or "chromium", "--headless=new", "--no-sandbox",
            # WebGL without a GPU: ANGLE on SwiftShader. (--use-gl=swiftshader
            # gives no WebGL in this Chromium.)
            "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            "--window-size=800,720", "--no-first-run", "--no-default-browser-check",
            "--disable-extensions", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--mute-audio",
            # A tab that is not in front must keep its frames coming.
            "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
            "--disable-backgrounding-occluded-windows",
            f"--user-data-dir={self.profile}", "--remote-debugging-port=0", *extra_args,
            "about:blank",
        ]
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(args, stdout=self.log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        self.socket = None
        self.next_id = 0
        self.console = []     # (level, text) in the order they came
        self.exceptions = []  # texts of uncaught exceptions
        try:
            self._connect()
        except Exception:
            self.close()
            raise

    def _connect(self):
        port_file = os.path.join(self.profile, "DevToolsActivePort")

        def port():
            if self.process.poll() is not None:
                raise DevToolsError("Chromium ended at start")
            try:
                with open(port_file) as f:
                    return int(f.readline().strip() or 0) or None
            except (OSError, ValueError):
                return None

        number = poll(port)
        if not number:
            raise DevToolsError("Chromium did not open its DevTools port within 60 s")

        def page_target():
            with urllib.request.urlopen(f"http://127.0.0.1:{number}/json/list", timeout=10) as r:
                pages = [t for t in json.load(r) if t.get("type") == "page"]
            return pages[0]["webSocketDebuggerUrl"] if pages else None

        url = poll(page_target)
        if not url:
            raise DevToolsError("Chromium has no tab to control")
        self.socket = websocket.create_connection(url, timeout=60, suppress_origin=True)
        for domain in ("Runtime", "Page", "Log", "Network"):
            self.send(f"{domain}.enable")

    def _record(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.console.append((params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.exceptions.append(details.get("exception", {}).get("description")
                                   or details.get("text", ""))
        elif method == "Log.entryAdded":
            self.console.append((params["entry"]["level"], params["entry"].get("text", "")))

    def send(self, method, **params):
        """Sends one command and returns its result; events that arrive
        meanwhile are recorded."""
        self.next_id += 1
        ident = self.next_id
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == ident:
                if "error" in message:
                    raise DevToolsError(f"{method}: {message['error']}")
                return message.get("result", {})
            self._record(message)

    def pump(self):
        """Takes the events that have arrived so far."""
        self.socket.settimeout(0.05)
        try:
            while True:
                self._record(json.loads(self.socket.recv()))
        except websocket.WebSocketTimeoutException:
            pass
        finally:
            self.socket.settimeout(60)

    def evaluate(self, expression):
        """The value of a JavaScript expression (JSON-able values only)."""
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise DevToolsError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def key(self, name, down=True, up=True):
        """Presses (and by default releases) one of KEYS."""
        key, code, vk, text = KEYS[name]
        common = {"key": key, "code": code, "windowsVirtualKeyCode": vk,
                  "nativeVirtualKeyCode": vk}
        if down:
            kind = {"type": "keyDown", "text": text} if text else {"type": "rawKeyDown"}
            self.send("Input.dispatchKeyEvent", **common, **kind)
        if up:
            self.send("Input.dispatchKeyEvent", type="keyUp", **common)

    def touch(self, kind, x=0, y=0):
        """One touch event ('touchStart', 'touchMove', 'touchEnd') of one
        finger at CSS pixel (x, y)."""
        points = [] if kind == "touchEnd" else [{"x": x, "y": y, "id": 1}]
        self.send("Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def screenshot(self, x, y, width, height):
        """The page's device pixels showing CSS pixels x, y, width, height,
        as rows x columns x 3."""
        shot = self.send("Page.captureScreenshot", format="png", fromSurface=True,
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        image = Image.open(io.BytesIO(base64.b64decode(shot["data"]))).convert("RGB")
        return numpy.asarray(image)

    def close(self):
        if self.socket is not None:
            try:
                self.send("Browser.close")
            except Exception:
                pass
            self.socket.close()
            self.socket = None
        if self.process.poll() is None:
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                # Chromium's own helpers are in its session; end them with it.
                os.killpg(self.process.pid, 9)
                self.process.wait(10)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)
