#!/usr/bin/env python3
"""Writes assets/sound/tone.wav, the chime played when a copy is confirmed.

Run by hand from anywhere:

    python3 tools/sound/make_tone.py [--output PATH]   # rewrite the file
    python3 tools/sound/make_tone.py --check           # fail if it is stale

The chime is a rising E major arpeggio (E5, G#5, B5) of soft bell tones: each note
has a few partials that die away exponentially, the upper ones faster, so the attack
is bright and the tail mellow. The notes sit slightly left, centre and slightly right.
The file layout is fixed because the program ships it byte for byte: a RIFF header,
a 16-byte "fmt " chunk (PCM, stereo, 44.1 kHz, 16 bit) and a "data" chunk of exactly
133,888 frames, nothing else. Output is deterministic, so reruns give the same bytes.
"""

import argparse
import math
import pathlib
import struct
import sys
from array import array

RATE = 44100
CHANNELS = 2
BITS = 16
FRAMES = 133888                      # about 3.04 s
BLOCK_ALIGN = CHANNELS * BITS // 8
DATA_BYTES = FRAMES * BLOCK_ALIGN    # 535,552
FILE_BYTES = 12 + (8 + 16) + (8 + DATA_BYTES)  # 535,596

PEAK_DBFS = -3.0
ATTACK = 0.004      # s; a raised-cosine onset keeps each strike free of clicks
FADE_OUT = 0.6      # s; the tail is brought smoothly to exact silence

# (start in s, frequency in Hz, pan from -1 left to +1 right, loudness)
NOTES = [
    (0.00, 659.26, -0.35, 1.00),   # E5
    (0.13, 830.61, 0.00, 0.85),    # G#5
    (0.26, 987.77, 0.35, 0.80),    # B5
]

# Bell partials: (frequency ratio, relative level, decay time constant in s).
# The 2.76 and 5.40 ratios give the slightly inharmonic ring of a small bell.
PARTIALS = [
    (1.00, 1.00, 0.85),
    (2.00, 0.30, 0.45),
    (2.76, 0.16, 0.25),
    (5.40, 0.06, 0.10),
]
# The right channel's partials are a hair sharper: a slow, gentle shimmer across the image.
DETUNE_RIGHT = 0.6  # Hz


def require(condition, message):
    # Not assert: python3 -O drops those, and a broken chime would be written out.
    if not condition:
        raise SystemExit(f"{pathlib.Path(__file__).name}: {message}")


def render():
    left = [0.0] * FRAMES
    right = [0.0] * FRAMES
    two_pi = 2.0 * math.pi
    for start, freq, pan, loudness in NOTES:
        angle = (pan + 1.0) * math.pi / 4.0           # equal-power panning
        gains = (math.cos(angle) * loudness, math.sin(angle) * loudness)
        first = int(round(start * RATE))
        for ratio, level, tau in PARTIALS:
            f_left = freq * ratio
            f_right = f_left + DETUNE_RIGHT
            # Stop once the partial is 80 dB down; it adds nothing audible after that.
            length = min(FRAMES - first, int(tau * math.log(1e4) * RATE))
            for n in range(length):
                t = n / RATE
                env = level * math.exp(-t / tau)
                if t < ATTACK:
                    env *= 0.5 - 0.5 * math.cos(math.pi * t / ATTACK)
                i = first + n
                left[i] += gains[0] * env * math.sin(two_pi * f_left * t)
                right[i] += gains[1] * env * math.sin(two_pi * f_right * t)

    fade = int(FADE_OUT * RATE)
    for n in range(fade):
        g = 0.5 + 0.5 * math.cos(math.pi * (n + 1) / fade)   # reaches 0 on the last frame
        left[FRAMES - fade + n] *= g
        right[FRAMES - fade + n] *= g

    peak = max(max(abs(s) for s in left), max(abs(s) for s in right))
    scale = 32767 * 10 ** (PEAK_DBFS / 20) / peak
    samples = array("h")
    for l, r in zip(left, right):
        samples.append(int(round(l * scale)))
        samples.append(int(round(r * scale)))
    return samples


def wav_bytes(samples):
    if sys.byteorder != "little":
        samples.byteswap()
    data = samples.tobytes()
    require(len(data) == DATA_BYTES, f"{len(data)} bytes of samples, expected {DATA_BYTES}")
    header = b"RIFF" + struct.pack("<I", FILE_BYTES - 8) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, CHANNELS, RATE,
                                RATE * BLOCK_ALIGN, BLOCK_ALIGN, BITS)
    body = header + fmt + b"data" + struct.pack("<I", DATA_BYTES) + data
    require(len(body) == FILE_BYTES, f"{len(body)} bytes in the file, expected {FILE_BYTES}")
    return body


def main():
    default = pathlib.Path(__file__).resolve().parents[2] / "assets" / "sound" / "tone.wav"
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only report whether the file is current")
    parser.add_argument("--output", type=pathlib.Path, default=default)
    args = parser.parse_args()

    samples = render()
    # The first and last frames must be silent, or the player would click.
    require(samples[0] == samples[1] == 0 and samples[-1] == samples[-2] == 0,
            "the first and last frames are not silent")
    wav = wav_bytes(samples)
    if args.check:
        current = args.output.read_bytes() if args.output.exists() else b""
        if current != wav:
            print(f"{args.output} is stale; rerun {pathlib.Path(__file__).name}", file=sys.stderr)
            return 1
        print(f"{args.output} is current")
        return 0
    args.output.parent.mkdir(parents=True, exist_ok=True)
    args.output.write_bytes(wav)
    peak = max(abs(s) for s in samples)
    print(f"wrote {args.output}: {FILE_BYTES} bytes, {FRAMES} frames, "
          f"peak {20 * math.log10(peak / 32768):.2f} dBFS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
