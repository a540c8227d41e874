#!/usr/bin/python3
"""The whole game against the bare GL window, each under an Xvfb of its own.

    whole_program.py BIN RUNS SECONDS PRESSES [BASELINE_BIN]

For each of RUNS rounds, starts the bare window and then the game, each
under its own `xvfb-run`, and measures: the time from exec to the first
buffer swap, the processor share of the process over SECONDS on the title
screen and again in play (level 1; the bare window has no title, it is
simply measured twice), each thread's share and wake-ups per second, the
audio callbacks per second and the processor time each takes, the
key-to-screen latency over PRESSES presses (bench/LatencyProbe), and the
peak memory (VmHWM). Processor time and wake-ups are read per thread from
/proc/PID/task/*/schedstat (time on a processor, times switched in), so
the figures stay the process's own on a busy machine.

Then, in another Xvfb, the game plays level 1 on SDL's disk audio driver
writing into a pipe, and Up is pressed PRESSES times through XTest: the
effect latency is the time from a press until the block holding the first
sample of the rotate effect reaches the pipe, the effect found in the music
by its shape (the file scaled to where the mixer puts a centred effect).

A preloaded shim ($SHIM, bench/BenchShim.c) notes the first swap, counts
the callbacks and blocks queued, and unbuffers the disk driver's file.
BASELINE_BIN, another build's bin folder, is measured beside the game.

Prints one line per program and round, then tables of medians over the
rounds (the latencies of all rounds pooled).
"""

import ctypes
import glob
import json
import os
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import wave

import numpy as np


def xvfb(screen):
    return ["xvfb-run", "-a", "-s", f"-screen 0 {screen}x24"]


# Each program with the screen it runs on. On 1200x1700 the game's window
# opens at three times the picture's size (85% of the height holds 1440).
PROGRAMS = {
    "bare_gl_window": ("bare_gl_window", "1024x768"),
    "duobrik": ("duobrik", "1024x768"),
    "duobrik_3x": ("duobrik", "1200x1700"),
}
# The disk driver's blocks: 16-bit stereo at 44.1 kHz, as the game asks.
RATE = 44100
FRAME_BYTES = 4
# libmikmod mixes a centred effect at 127/512 (left) and 128/512 (right) of
# the file's own level.
EFFECT_GAIN = 127.5 / 512
# Up presses this far apart: the rotate effect lasts 85 ms.
EFFECT_SPACING_S = 0.4


def thread_figures(pid):
    """{task: (name, nanoseconds on a processor, times switched in)}."""
    out = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(task + "/comm") as f:
                name = f.read().strip()
            with open(task + "/schedstat") as f:
                fields = f.read().split()
            name = "main" if task.endswith(f"/{pid}") else name
            out[task] = (name, int(fields[0]), int(fields[2]))
        except (OSError, ValueError, IndexError):
            pass
    return out


def read_counters(path):
    """(callbacks, nanoseconds in them, blocks queued) from the shim."""
    try:
        with open(path, "rb") as f:
            data = f.read(24)
        return struct.unpack("<3Q", data) if len(data) == 24 else (0, 0, 0)
    except OSError:
        return (0, 0, 0)


def measure(pid, seconds, counters):
    """Percent of one core for the process, each thread's share and
    wake-ups per second (by name), and the audio callbacks' figures."""
    before, c0, t0 = thread_figures(pid), read_counters(counters), time.monotonic()
    time.sleep(seconds)
    after, c1, t1 = thread_figures(pid), read_counters(counters), time.monotonic()
    wall = t1 - t0
    total = 0
    threads = {}
    for task, (name, ns, runs) in after.items():
        _, ns0, runs0 = before.get(task, (name, 0, 0))
        total += ns - ns0
        share, wakes = threads.get(name, (0.0, 0.0))
        threads[name] = (share + 100.0 * (ns - ns0) / (wall * 1e9), wakes + (runs - runs0) / wall)
    callbacks = c1[0] - c0[0]
    audio = {
        "callbacks_per_s": callbacks / wall,
        "callback_us": (c1[1] - c0[1]) / callbacks / 1000 if callbacks else None,
        "queued_per_s": (c1[2] - c0[2]) / wall,
    }
    return 100.0 * total / (wall * 1e9), threads, audio


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def find_window(name, deadline):
    while time.monotonic() < deadline:
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                           capture_output=True, text=True)
        if r.stdout.strip():
            return r.stdout.split()[0]
        time.sleep(0.01)
    return None


def start(bin_dir, program, extra_env):
    env = dict(os.environ, LD_PRELOAD=os.environ["SHIM"], **extra_env)
    return subprocess.Popen(["./" + program], cwd=bin_dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop(proc):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()


def start_play(window):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True)
    subprocess.run(["xdotool", "key", "space"], capture_output=True)
    time.sleep(1.0)


def one_run(bin_dir, program, seconds, presses):
    """Runs inside Xvfb: one program, all its figures as a dict."""
    name = "^Duobrik$" if program == "duobrik" else "^bare$"
    scratch = tempfile.mkdtemp(prefix="duobrik-bench-")
    swap_file = os.path.join(scratch, "swap")
    counters = os.path.join(scratch, "counters")
    begun = time.time()
    proc = start(bin_dir, program, {"FIRST_SWAP_FILE": swap_file, "BENCH_COUNTERS": counters})
    fig = {"program": program}
    try:
        window = find_window(name, time.monotonic() + 30)
        deadline = time.monotonic() + 30
        while not os.path.exists(swap_file) and time.monotonic() < deadline:
            time.sleep(0.005)
        time.sleep(0.05)
        if os.path.exists(swap_file):
            with open(swap_file) as f:
                fig["first_frame_ms"] = (float(f.read()) - begun) * 1000
        time.sleep(1.0)  # start-up settles
        fig["title"], fig["title_threads"], fig["title_audio"] = measure(proc.pid, seconds, counters)
        if program == "duobrik" and window:
            start_play(window)
        fig["play"], fig["play_threads"], fig["play_audio"] = measure(proc.pid, seconds, counters)
        if program == "duobrik" and window and presses > 0:
            probe = os.path.join(os.environ.get("BIN", bin_dir), "latency_probe")
            r = subprocess.run([probe, window, str(presses)],
                               capture_output=True, text=True, timeout=presses * 3 + 60)
            fig["latencies"] = [float(line.split()[2]) for line in r.stdout.splitlines()
                                if line.startswith("press ") and line.endswith(" ms")
                                and "no change" not in line]
            fig["lost"] = sum(1 for line in r.stdout.splitlines() if "no change" in line)
        fig["peak_mb"] = status_kb(proc.pid, "VmHWM") / 1024
    finally:
        stop(proc)
    return fig


class X11Keys:
    """Key presses through XTest, timed by this process's own clock."""

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.display = self.x.XOpenDisplay(None)

    def send(self, key, down):
        code = self.x.XKeysymToKeycode(self.display, self.x.XStringToKeysym(key.encode()))
        self.xtst.XTestFakeKeyEvent(self.display, code, 1 if down else 0, 0)
        self.x.XFlush(self.display)


class PipeRecorder(threading.Thread):
    """Reads what the disk driver writes into a pipe, noting when each read
    returned: (seconds, bytes recorded until then)."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.path, self.data, self.arrivals = path, bytearray(), []

    def run(self):
        fd = os.open(self.path, os.O_RDONLY)
        while True:
            chunk = os.read(fd, 1 << 16)
            if not chunk:
                break
            self.data += chunk
            self.arrivals.append((time.monotonic(), len(self.data)))
        os.close(fd)

    def bytes_by(self, moment):
        return max([n for t, n in self.arrivals if t <= moment], default=0)

    def arrival_of(self, byte):
        return next((t for t, n in self.arrivals if n > byte), None)


def best_fit(x, template):
    """Offset of `template` in `x` by normalised correlation, with the
    correlation there and the gain that fits it."""
    size = 1 << (len(x) + len(template) - 1).bit_length()
    corr = np.fft.irfft(np.fft.rfft(x, size) * np.conj(np.fft.rfft(template, size)), size)
    corr = corr[: len(x) - len(template) + 1]
    c = np.concatenate([[0.0], np.cumsum(np.square(x))])
    under = np.sqrt(np.maximum(c[len(template):] - c[: -len(template)], 1e-20))
    norm = corr / (under * np.linalg.norm(template))
    at = int(np.argmax(norm))
    return at, float(norm[at]), float(corr[at] / np.sum(np.square(template)))


def effect_run(bin_dir, presses):
    """Runs inside Xvfb: the rotate effect's latency over `presses` turns."""
    scratch = tempfile.mkdtemp(prefix="duobrik-bench-")
    pipe = os.path.join(scratch, "sound")
    os.mkfifo(pipe)
    recorder = PipeRecorder(pipe)
    recorder.start()
    proc = start(bin_dir, "duobrik", {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": pipe,
                                      "BENCH_UNBUFFERED": pipe})
    pressed = []
    try:
        window = find_window("^Duobrik$", time.monotonic() + 30)
        if not window:
            return {"effect_ms": [], "effect_lost": presses}
        time.sleep(1.0)
        start_play(window)
        # A turn asked for before the first piece is in waits for it.
        time.sleep(1.5)
        keys = X11Keys()
        for _ in range(presses):
            moment = time.monotonic()
            keys.send("Up", True)
            time.sleep(0.05)
            keys.send("Up", False)
            pressed.append(moment)
            time.sleep(EFFECT_SPACING_S - 0.05)
        time.sleep(0.5)
    finally:
        stop(proc)
        recorder.join(5)
    with wave.open(os.path.join(bin_dir, "rotate_mono.wav"), "rb") as w:
        template = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2") / 32768.0
    usable = len(recorder.data) // FRAME_BYTES * FRAME_BYTES
    sound = np.frombuffer(bytes(recorder.data[:usable]), dtype="<i2") / 32768.0
    sound = sound.reshape(-1, 2).mean(axis=1)
    latencies, lost = [], 0
    for moment in pressed:
        first = recorder.bytes_by(moment) // FRAME_BYTES
        window = sound[first: first + int(EFFECT_SPACING_S * RATE)]
        if len(window) <= len(template):
            lost += 1
            continue
        at, corr, gain = best_fit(window, template)
        arrival = recorder.arrival_of((first + at) * FRAME_BYTES)
        # A turn the board did not allow plays nothing; a fit at another
        # level or shape is the music.
        if corr < 0.5 or not 0.7 <= gain / EFFECT_GAIN <= 1.3 or arrival is None:
            lost += 1
            continue
        latencies.append((arrival - moment) * 1000)
    return {"effect_ms": latencies, "effect_lost": lost}


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def percentile(values, p):
    if not values:
        return None
    s = sorted(values)
    return s[min(len(s) - 1, int(p * len(s)))]


def run_in_xvfb(screen, args):
    r = subprocess.run(xvfb(screen) + [sys.executable, __file__] + args,
                       capture_output=True, text=True)
    lines = [line for line in r.stdout.splitlines() if line.startswith("{")]
    return json.loads(lines[-1]) if lines else None, r.stderr.strip()[-200:]


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--one":
        print(json.dumps(one_run(sys.argv[2], sys.argv[3], float(sys.argv[4]), int(sys.argv[5]))))
        return
    if len(sys.argv) > 1 and sys.argv[1] == "--effect":
        print(json.dumps(effect_run(sys.argv[2], int(sys.argv[3]))))
        return
    bin_dir, runs, seconds, presses = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), int(
        sys.argv[4])
    programs = {name: (bin_dir, exe, screen) for name, (exe, screen) in PROGRAMS.items()}
    games = ["duobrik"]
    if len(sys.argv) > 5 and sys.argv[5]:
        programs["baseline"] = (sys.argv[5], "duobrik", "1024x768")
        games.append("baseline")
    results = {name: [] for name in programs}
    effects = {name: [] for name in games}
    for run in range(runs):
        for name, (where, executable, screen) in programs.items():
            fig, err = run_in_xvfb(screen, ["--one", where, executable, str(seconds),
                                            str(presses)])
            if fig is None:
                print(f"run {run + 1} {name}: no figures ({err})")
                continue
            results[name].append(fig)
            lat = fig.get("latencies", [])
            lat_text = (f", key-to-screen median {statistics.median(lat):.1f} ms over {len(lat)}"
                        if lat else "")
            print(f"run {run + 1} {name:15s}: title {fig['title']:.2f}%, "
                  f"play {fig['play']:.2f}%, first frame {fig.get('first_frame_ms', 0):.0f} ms, "
                  f"peak {fig['peak_mb']:.1f} MB{lat_text}", flush=True)
        for name in games:
            fig, err = run_in_xvfb("1024x768", ["--effect", programs[name][0], str(presses)])
            if fig is None:
                print(f"run {run + 1} {name} effect latency: no figures ({err})")
                continue
            effects[name].append(fig)
            lat = fig["effect_ms"]
            print(f"run {run + 1} {name:15s}: effect latency "
                  + (f"median {statistics.median(lat):.1f} ms over {len(lat)}, "
                     if lat else "none measured, ") + f"{fig['effect_lost']} lost", flush=True)

    def cell(program, key, fmt, sub=None):
        v = median([(f.get(key) or {}).get(sub) if sub else f.get(key) for f in results[program]])
        return "n/a" if v is None else fmt.format(v)

    def pooled(values, lost):
        return (f"{statistics.median(values):.1f} / {percentile(values, 0.9):.1f} ms "
                f"({len(values)} presses, {lost} lost)" if values else "n/a")

    def latency(program):
        return pooled([x for f in results[program] for x in f.get("latencies", [])],
                      sum(f.get("lost", 0) for f in results[program]))

    def effect(program):
        if program not in effects:
            return "–"
        return pooled([x for f in effects[program] for x in f["effect_ms"]],
                      sum(f["effect_lost"] for f in effects[program]))

    def audio(program, phase):
        calls = cell(program, phase + "_audio", "{:.0f}", "callbacks_per_s")
        each = cell(program, phase + "_audio", "{:.0f} µs", "callback_us")
        queued = cell(program, phase + "_audio", "{:.0f}", "queued_per_s")
        return f"{calls} ({each}); {queued} queued"

    names = list(programs)
    rows = [
        ("CPU on the title screen", lambda p: cell(p, "title", "{:.2f}%")),
        ("CPU in play (level 1)", lambda p: cell(p, "play", "{:.2f}%")),
        ("audio callbacks per second (processor time each); blocks queued per second, title",
         lambda p: audio(p, "title")),
        ("the same in play", lambda p: audio(p, "play")),
        ("key-to-screen, median / p90",
         lambda p: latency(p) if p != "bare_gl_window" else "–"),
        ("rotate effect, key to device, median / p90", effect),
        ("first frame after exec", lambda p: cell(p, "first_frame_ms", "{:.0f} ms")),
        ("peak memory", lambda p: cell(p, "peak_mb", "{:.1f} MB")),
    ]
    print()
    print(f"Medians of {runs} runs, {seconds:.0f} s per phase, one Xvfb per program and run:")
    print()
    print("| | " + " | ".join(names) + " |")
    print("|---" * (len(names) + 1) + "|")
    for label, value in rows:
        print(f"| {label} | " + " | ".join(value(p) for p in names) + " |")

    print()
    print("Threads: share of a core and wake-ups per second, medians; threads below")
    print("0.01% and 1 wake-up a second left out:")
    print()
    print("| program | phase | thread | CPU | wake-ups per second |")
    print("|---|---|---|---|---|")
    for program in names:
        for phase in ("title", "play"):
            seen = sorted({t for f in results[program] for t in f.get(phase + "_threads", {})})
            for thread in seen:
                figs = [f[phase + "_threads"].get(thread, (0.0, 0.0)) for f in results[program]]
                share, wakes = median([s for s, _ in figs]), median([w for _, w in figs])
                if share >= 0.01 or wakes >= 1:
                    print(f"| {program} | {phase} | {thread} | {share:.2f}% | {wakes:.0f} |")


if __name__ == "__main__":
    main()
