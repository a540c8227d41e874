"""A small client of Chromium's DevTools protocol, enough to play the page.

Starts headless Chromium with WebGL (SwiftShader through ANGLE), opens one
tab and talks to it over the protocol's WebSocket: load a page, read what the
console said and which exceptions went uncaught, run JavaScript, press keys
and take screenshots as numpy arrays. Everything it starts it also stops.
"""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request
import zlib

import numpy
import websocket

# Keys as the page sees them: DOM key, DOM code and the Windows virtual-key
# code that Chromium also reports as keyCode.
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


def poll_until(take, accept, deadline_s=60.0, interval_s=0.1):
    """Calls `take` until `accept` holds for what it returned; returns that,
    or None once `deadline_s` has passed."""
    found = []

    def attempt():
        value = take()
        if accept(value):
            found.append(value)
            return True
        return None

    return found[0] if poll(attempt, deadline_s, interval_s) else None


def decode_png(data):
    """An 8-bit RGB or RGBA PNG (what Chromium writes) as an array of rows x
    columns x 3 (alpha dropped). Rows filtered by "average" or "Paeth" are
    undone pixel by pixel, which takes seconds per picture: screenshots are
    asked for with the fast encoding, which does not use them."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    width = int.from_bytes(header[0:4], "big")
    height = int.from_bytes(header[4:8], "big")
    depth, colour, interlace = header[8], header[9], header[12]
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError(f"PNG kind not handled: depth {depth}, colour {colour}")
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = numpy.frombuffer(zlib.decompress(b"".join(idat)), dtype=numpy.uint8)
    raw = raw.reshape(height, stride + 1)
    out = numpy.zeros((height, stride), dtype=numpy.int32)
    prior = numpy.zeros(stride, dtype=numpy.int32)
    for y in range(height):
        kind, line = raw[y, 0], raw[y, 1:].astype(numpy.int32)
        if kind == 0:
            row = line
        elif kind == 1:
            row = (line.reshape(-1, channels).cumsum(axis=0).reshape(-1)) & 0xFF
        elif kind == 2:
            row = (line + prior) & 0xFF
        elif kind in (3, 4):
            # These depend on the pixel to the left, so go pixel by pixel.
            row = numpy.zeros(stride, dtype=numpy.int32)
            for x in range(stride):
                left = row[x - channels] if x >= channels else 0
                if kind == 3:
                    pred = (left + prior[x]) // 2
                else:
                    up_left = prior[x - channels] if x >= channels else 0
                    p = left + prior[x] - up_left
                    pa, pb, pc = abs(p - left), abs(p - prior[x]), abs(p - up_left)
                    pred = left if pa <= pb and pa <= pc else (prior[x] if pb <= pc else up_left)
                row[x] = (line[x] + pred) & 0xFF
        else:
            raise ValueError(f"PNG filter {kind}")
        out[y] = row
        prior = row
    return out.reshape(height, width, channels)[:, :, :3].astype(numpy.uint8)


def decode_ppm(data):
    """A binary PPM (P6, maxval 255) as rows x columns x 3."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = numpy.frombuffer(data, numpy.uint8, width * height * 3, pos + 1)
    return pixels.reshape(height, width, 3)


def encode_png(pixels):
    """Rows x columns x 3 uint8 as a PNG file's bytes."""
    height, width, _ = pixels.shape
    rows = numpy.zeros((height, width * 3 + 1), dtype=numpy.uint8)
    rows[:, 1:] = pixels.reshape(height, width * 3)

    def chunk(kind, body):
        return (len(body).to_bytes(4, "big") + kind + body +
                zlib.crc32(kind + body).to_bytes(4, "big"))

    header = width.to_bytes(4, "big") + height.to_bytes(4, "big") + bytes([8, 2, 0, 0, 0])
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows.tobytes(), 9)) + chunk(b"IEND", b""))


class Browser:
    """Headless Chromium with one tab under remote control."""

    def __init__(self, chromium=None, width=800, height=720, extra_args=()):
        self.profile = tempfile.mkdtemp(prefix="duobrik-chromium-")
        binary = chromium or shutil.which("chromium") or "chromium"
        args = [
            binary, "--headless=new", "--no-sandbox",
            # WebGL without a GPU: ANGLE on SwiftShader. (--use-gl=swiftshader
            # gives no WebGL in this Chromium.)
            "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            "--force-device-scale-factor=1", f"--window-size={width},{height}",
            "--no-first-run", "--no-default-browser-check", "--disable-extensions",
            "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--mute-audio",
            # A tab that is not in front must keep its frames coming.
            "--disable-background-timer-throttling",
            "--disable-renderer-backgrounding", "--disable-backgrounding-occluded-windows",
            f"--user-data-dir={self.profile}", "--remote-debugging-port=0",
            *extra_args, "about:blank",
        ]
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(args, stdout=self.log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        self.socket = None
        self.next_id = 0
        self.console = []     # (level, text) in the order they came
        self.exceptions = []  # texts of uncaught exceptions
        self.events = []      # every other event, as (method, params)
        try:
            self._connect()
        except Exception:
            self.close()
            raise

    def _connect(self):
        port_file = os.path.join(self.profile, "DevToolsActivePort")

        def port():
            if self.process.poll() is not None:
                raise DevToolsError("Chromium ended at start: " + self.log_tail())
            try:
                with open(port_file) as f:
                    first = f.readline().strip()
                return int(first) if first else None
            except (OSError, ValueError):
                return None

        number = poll(port, 60)
        if not number:
            raise DevToolsError("Chromium did not open its DevTools port within 60 s")

        def page_target():
            with urllib.request.urlopen(f"http://127.0.0.1:{number}/json/list", timeout=10) as r:
                targets = json.load(r)
            pages = [t for t in targets if t.get("type") == "page"]
            return pages[0]["webSocketDebuggerUrl"] if pages else None

        url = poll(page_target, 60)
        if not url:
            raise DevToolsError("Chromium has no tab to control")
        self.socket = websocket.create_connection(url, timeout=60, suppress_origin=True)
        self.send("Runtime.enable")
        self.send("Page.enable")
        self.send("Log.enable")

    def log_tail(self, lines=20):
        try:
            with open(os.path.join(self.profile, "chromium.log"), errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""

    def _record(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.console.append((params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text", "")
            self.exceptions.append(text)
        elif method == "Log.entryAdded":
            entry = params["entry"]
            self.console.append((entry["level"], entry.get("text", "")))
        else:
            self.events.append((method, params))

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

    def navigate(self, url):
        self.send("Page.navigate", url=url)

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
            params = dict(common, type="keyDown" if text else "rawKeyDown")
            if text:
                params["text"] = text
            self.send("Input.dispatchKeyEvent", **params)
        if up:
            self.send("Input.dispatchKeyEvent", type="keyUp", **common)

    def screenshot(self, x, y, width, height):
        """The page's pixels in CSS pixels x, y, width, height (at scale 1)
        as rows x columns x 3."""
        shot = self.send("Page.captureScreenshot", format="png", fromSurface=True,
                         optimizeForSpeed=True,
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return decode_png(base64.b64decode(shot["data"]))

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
