"""A small client of Chromium's DevTools protocol: headless Chromium with WebGL
(SwiftShader through ANGLE) and one tab, to load a page in, run JavaScript,
press keys, touch and take screenshots. Everything it starts it also stops."""

import base64
import contextlib
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
