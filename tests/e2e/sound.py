#!/usr/bin/python3
"""What the game played, read from the file that SDL's "disk" audio driver
writes (signed 16-bit stereo at 44.1 kHz, the format the game asks for).

    sound.py effect RAW FROM DATA EXPECTED MIN_RISE
        From byte offset FROM on, the game's row-clear effects (files in DATA)
        are looked for in the recording: EXPECTED must be there whole, at the
        level the game mixes a centred effect at, no other one may fit as a
        whole, and the loudest 50 ms of EXPECTED must stand
        MIN_RISE dB or more above the music's median 50 ms level of the two
        seconds before FROM.

It prints what it measured and exits 1 with the reason when a check fails.
"""

import sys
import wave

import numpy as np

RATE = 44100
FRAME = 4  # bytes: 16-bit stereo
# libmikmod mixes a centred effect at 127/512 (left) and 128/512 (right) of
# the file's own level; the mono mix of both sides takes their mean.
EFFECT_GAIN = 127.5 / 512
EFFECTS = ["rotate", "1line", "2lines", "3lines", "4lines", "touched"]


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def mono(raw, first, last=None):
    with open(raw, "rb") as f:
        data = f.read()
    first = max(0, int(first) // FRAME * FRAME)
    last = len(data) if last is None else min(len(data), int(last) // FRAME * FRAME)
    pcm = np.frombuffer(data[first:last], dtype="<i2").astype(np.float64) / 32768.0
    return pcm.reshape(-1, 2).mean(axis=1)


def window_db(x, seconds):
    n = int(seconds * RATE)
    count = len(x) // n
    power = np.square(x[: count * n]).reshape(count, n).mean(axis=1)
    return 10 * np.log10(np.maximum(power, 1e-20))


def effect_file(data, name):
    with wave.open(f"{data}/{name}_mono.wav", "rb") as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64) / 32768.0


def find(x, template):
    """Best offset of `template` in `x`, its correlation there and the gain
    that fits it to `x`."""
    n = len(x) + len(template)
    size = 1 << (n - 1).bit_length()
    corr = np.fft.irfft(np.fft.rfft(x, size) * np.conj(np.fft.rfft(template, size)), size)
    corr = corr[: len(x) - len(template) + 1]
    # Normalised by the energy of x under the template at each offset.
    c = np.concatenate([[0.0], np.cumsum(np.square(x))])
    under = np.sqrt(np.maximum(c[len(template) :] - c[: -len(template)], 1e-20))
    norm = corr / (under * np.linalg.norm(template))
    at = int(np.argmax(norm))
    gain = corr[at] / np.sum(np.square(template))
    return at, float(norm[at]), float(gain)


def effect(raw, first, data, expected, min_rise):
    before = mono(raw, int(first) - 2 * RATE * FRAME, first)
    x = mono(raw, first)
    if len(x) < RATE:
        fail(f"only {len(x) / RATE:.2f} s recorded after the clear began")
    # Each row-clear effect is fitted where it matches best. The one that
    # plays fits whole, at the level the mix gives a centred effect; one that
    # does not can only fit a part of it that sounds alike, at a fraction of
    # that level. (A touch-down plays too; it is not a candidate.)
    fits = {}
    for name in EFFECTS[1:5]:
        template = effect_file(data, name)
        if len(template) < len(x):
            at, corr, gain = find(x, template)
            fits[name] = (at, corr, gain / EFFECT_GAIN)
    print("fitted at: " + ", ".join(f"{k} {v[2]:.2f} of its level" for k, v in fits.items()))
    if expected not in fits:
        fail(f"too little recorded to look for {expected}")
    at, corr, ratio = fits[expected]
    print(f"{expected} at {at / RATE:.2f} s after the mark, correlation {corr:.2f}")
    if not 0.75 <= ratio <= 1.25 or corr < 0.25:
        fail(f"{expected} is not there whole: {ratio:.2f} of its level, correlation {corr:.2f}")
    # Music with a note in common can lend another effect part of a fit.
    for name, (_, _, other) in fits.items():
        if name != expected and other > min(0.8, ratio - 0.15):
            fail(f"{name} fits the recording as well, at {other:.2f} of its level")
    template = effect_file(data, expected)
    loudest = np.max(window_db(x[at : at + len(template)], 0.05))
    music = np.median(window_db(before, 0.05))
    print(f"loudest 50 ms {loudest:.1f} dBFS over music at {music:.1f} dBFS")
    if loudest - music < min_rise:
        fail(f"{expected} rises only {loudest - music:.1f} dB out of the music")


def main():
    if len(sys.argv) == 7 and sys.argv[1] == "effect":
        effect(sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5], float(sys.argv[6]))
    else:
        fail(__doc__)


if __name__ == "__main__":
    main()
