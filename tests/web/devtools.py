"""A small client of Chromium's DevTools protocol, enough to play the page.

Headless Chromium with WebGL (SwiftShader through ANGLE) and one tab, driven
over the protocol's WebSocket: load a page, collect the console and uncaught
exceptions, run JavaScript, press keys, touch, and take screenshots as numpy
arrays (through Pillow). Everything it starts it also stops.
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

# DOM key and code, the Windows virtual-key code Chromium reports as keyCode,
# and the text the key types.
KEYS = {
    "Return": ("Enter", "Enter", 13, "\r"),
    "Escape": ("Escape", "Escape", 27, None),
    "Left": ("ArrowLeft", "ArrowLeft", 37, None),
    "Down": ("ArrowDown", "ArrowDown", 40, None),
}


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
        args = [shutil.which("chromium") or "chromium", "--headless=new", "--no-sandbox",
                # WebGL without a GPU (--use-gl=swiftshader gives none here).
                "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                "--window-size=800,720", "--no-first-run", "--no-default-browser-check",
                "--disable-extensions", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--mute-audio",
                # A tab that is not in front must keep its frames coming.
                "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                "--disable-backgrounding-occluded-windows", f"--user-data-dir={self.profile}",
                "--remote-debugging-port=0", *extra_args, "about:blank"]
        self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        self.socket, self.next_id = None, 0
        self.console, self.exceptions = [], []  # texts, in the order they came
        try:
            port = poll(self._port)
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=60) as r:
                page = [t for t in json.load(r) if t.get("type") == "page"][0]
            self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60,
                                                      suppress_origin=True)
            for domain in ("Runtime", "Page", "Log", "Network"):
                self.send(f"{domain}.enable")
        except Exception:
            self.close()
            raise

    def _port(self):
        if self.process.poll() is not None:
            raise RuntimeError("Chromium ended at start")
        try:
            with open(os.path.join(self.profile, "DevToolsActivePort")) as f:
                return int(f.readline().strip() or 0) or None
        except (OSError, ValueError):
            return None

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
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
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
            raise RuntimeError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def key(self, name, down=True, up=True):
        """Presses (and by default releases) one of KEYS."""
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
        """The device pixels that show CSS pixels x, y, width, height, as rows x
        columns x 3."""
        shot = self.send("Page.captureScreenshot", format="png", fromSurface=True,
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return numpy.asarray(Image.open(io.BytesIO(base64.b64decode(shot["data"]))).convert("RGB"))

    def close(self):
        if self.socket is not None:
            try:
                self.send("Browser.close")
            except Exception:
                pass
            self.socket.close()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, 9)  # Chromium's helpers are in its session
            self.process.wait(10)
        shutil.rmtree(self.profile, ignore_errors=True)
