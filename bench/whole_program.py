#!/usr/bin/env python3
"""The whole game against the bare GL window, each under an Xvfb of its own.

    whole_program.py BIN RUNS SECONDS PRESSES

For each of RUNS rounds, starts the bare window and then the game, each
under its own `xvfb-run`, and measures: the time from exec to the first
buffer swap (a preloaded shim, $SHIM, notes it), the processor share of the
process over SECONDS on the title screen and again in play (level 1; the
bare window has no title, it is simply measured twice), the share of the
mixer thread (named duobrik-music), the key-to-screen latency over PRESSES
presses (bench/LatencyProbe), and the peak memory (VmHWM). Processor time
is read per thread from /proc/PID/task/*/schedstat, the time each thread
spent on a processor, so the figures stay the process's own on a busy
machine.

Prints one line per program and round, then one table of medians over the
rounds (the latencies of all rounds pooled).
"""

import glob
import json
import os
import signal
import statistics
import subprocess
import sys
import time

def xvfb(screen):
    return ["xvfb-run", "-a", "-s", f"-screen 0 {screen}x24"]


# Each program with the screen it runs on. On 1200x1700 the game's window
# opens at three times the picture's size (85% of the height holds 1440).
PROGRAMS = {
    "bare_gl_window": ("bare_gl_window", "1024x768"),
    "duobrik": ("duobrik", "1024x768"),
    "duobrik_3x": ("duobrik", "1200x1700"),
}


def thread_times(pid):
    """{tid: (name, nanoseconds on a processor)} of every live thread."""
    out = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(task + "/comm") as f:
                name = f.read().strip()
            with open(task + "/schedstat") as f:
                ns = int(f.read().split()[0])
            out[task] = (name, ns)
        except (OSError, ValueError, IndexError):
            pass
    return out


def cpu_share(pid, seconds):
    """Percent of one core for the process and for its mixer thread."""
    before, t0 = thread_times(pid), time.monotonic()
    time.sleep(seconds)
    after, t1 = thread_times(pid), time.monotonic()
    wall_ns = (t1 - t0) * 1e9
    total = music = 0
    for task, (name, ns) in after.items():
        spent = ns - before.get(task, (name, 0))[1]
        total += spent
        if name == "duobrik-music":
            music += spent
    return 100.0 * total / wall_ns, 100.0 * music / wall_ns


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


def one_run(bin_dir, program, seconds, presses):
    """Runs inside Xvfb: one program, all its figures as a dict."""
    name = "^Duobrik$" if program == "duobrik" else "^bare$"
    swap_file = f"/tmp/duobrik-bench-swap.{os.getpid()}"
    if os.path.exists(swap_file):
        os.remove(swap_file)
    env = dict(os.environ, LD_PRELOAD=os.environ["SHIM"], FIRST_SWAP_FILE=swap_file)
    start = time.time()
    proc = subprocess.Popen(["./" + program], cwd=bin_dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    fig = {"program": program}
    try:
        window = find_window(name, time.monotonic() + 30)
        deadline = time.monotonic() + 30
        while not os.path.exists(swap_file) and time.monotonic() < deadline:
            time.sleep(0.005)
        time.sleep(0.05)
        if os.path.exists(swap_file):
            with open(swap_file) as f:
                fig["first_frame_ms"] = (float(f.read()) - start) * 1000
        time.sleep(1.0)  # start-up settles
        fig["title"], fig["title_music"] = cpu_share(proc.pid, seconds)
        if program == "duobrik" and window:
            subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True)
            subprocess.run(["xdotool", "key", "space"], capture_output=True)
            time.sleep(1.0)
        fig["play"], fig["play_music"] = cpu_share(proc.pid, seconds)
        if program == "duobrik" and window and presses > 0:
            r = subprocess.run([os.path.join(bin_dir, "latency_probe"), window, str(presses)],
                               capture_output=True, text=True, timeout=presses * 3 + 60)
            fig["latencies"] = [float(line.split()[2]) for line in r.stdout.splitlines()
                                if line.startswith("press ") and line.endswith(" ms")
                                and "no change" not in line]
            fig["lost"] = sum(1 for line in r.stdout.splitlines() if "no change" in line)
        fig["peak_mb"] = status_kb(proc.pid, "VmHWM") / 1024
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
    return fig


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def percentile(values, p):
    if not values:
        return None
    s = sorted(values)
    return s[min(len(s) - 1, int(p * len(s)))]


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--one":
        print(json.dumps(one_run(sys.argv[2], sys.argv[3], float(sys.argv[4]), int(sys.argv[5]))))
        return
    bin_dir, runs, seconds, presses = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), int(
        sys.argv[4])
    results = {name: [] for name in PROGRAMS}
    for run in range(runs):
        for program, (executable, screen) in PROGRAMS.items():
            r = subprocess.run(xvfb(screen) + [sys.executable, __file__, "--one", bin_dir,
                                               executable, str(seconds), str(presses)],
                               capture_output=True, text=True)
            lines = [l for l in r.stdout.splitlines() if l.startswith("{")]
            if not lines:
                print(f"run {run + 1} {program}: no figures ({r.stderr.strip()[-200:]})")
                continue
            fig = json.loads(lines[-1])
            results[program].append(fig)
            lat = fig.get("latencies", [])
            lat_text = (f", key-to-screen median {statistics.median(lat):.1f} ms over {len(lat)}"
                        if lat else "")
            print(f"run {run + 1} {program:15s}: title {fig['title']:.2f}%, "
                  f"play {fig['play']:.2f}%, first frame {fig.get('first_frame_ms', 0):.0f} ms, "
                  f"peak {fig['peak_mb']:.1f} MB{lat_text}", flush=True)

    def cell(program, key, fmt):
        v = median([f.get(key) for f in results[program]])
        return "n/a" if v is None else fmt.format(v)

    def latency(program):
        lat = [x for f in results[program] for x in f.get("latencies", [])]
        lost = sum(f.get("lost", 0) for f in results[program])
        return (f"{statistics.median(lat):.1f} / {percentile(lat, 0.9):.1f} ms "
                f"({len(lat)} presses, {lost} lost)" if lat else "n/a")

    def with_mixer(program, key):
        return (cell(program, key, "{:.2f}%") + " (mixer thread "
                + cell(program, key + "_music", "{:.2f}%") + ")")

    rows = [
        ("CPU on the title screen", cell("bare_gl_window", "title", "{:.2f}%"),
         with_mixer("duobrik", "title"), with_mixer("duobrik_3x", "title")),
        ("CPU in play (level 1)", cell("bare_gl_window", "play", "{:.2f}%"),
         with_mixer("duobrik", "play"), with_mixer("duobrik_3x", "play")),
        ("key-to-screen, median / p90", "–", latency("duobrik"), latency("duobrik_3x")),
    ] + [(label, cell("bare_gl_window", key, fmt), cell("duobrik", key, fmt),
          cell("duobrik_3x", key, fmt))
         for label, key, fmt in [("first frame after exec", "first_frame_ms", "{:.0f} ms"),
                                 ("peak memory", "peak_mb", "{:.1f} MB")]]
    print()
    print(f"Medians of {runs} runs, {seconds:.0f} s per phase, one Xvfb per program and run:")
    print()
    print("| | bare GL window | Duobrik | Duobrik, 3x window |")
    print("|---|---|---|---|")
    for label, bare, game, game3 in rows:
        print(f"| {label} | {bare} | {game} | {game3} |")


if __name__ == "__main__":
    main()
