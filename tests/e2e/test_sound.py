#!/usr/bin/env python3
"""The notification's chime, as it reaches the sound server: all of it, at half volume."""

import array
import math
import os
import sys
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

TONE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "sound", "tone.wav")
RATE = 44100
CHIME_FRAMES = 133_888
TAIL_FRAMES = int(0.3 * RATE)
# The chime's first sounding frames stand out of the silence by far more than this.
ONSET_LEVEL = 200


def read_wav(path):
    """(frame rate, channels, interleaved 16-bit samples) of a PCM WAV file."""
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            raise AssertionError(f"{path}: {8 * w.getsampwidth()}-bit samples, expected 16")
        samples = array.array("h", w.readframes(w.getnframes()))
        if sys.byteorder == "big":
            samples.byteswap()
        return w.getframerate(), w.getnchannels(), samples


def onset(samples, level):
    """Index of the first sample whose magnitude reaches level, or None."""
    return next((i for i, v in enumerate(samples) if abs(v) >= level), None)


def dot(a, b):
    return math.fsum(x * y for x, y in zip(a, b))


def rms(a):
    return math.sqrt(dot(a, a) / len(a)) if len(a) else 0.0


def correlation(a, b):
    return dot(a, b) / math.sqrt(dot(a, a) * dot(b, b))


def silent_from(played, original):
    """Where the recording falls silent for good while the chime still sounds, or None.

    Counted in samples; silence is anything within one step of zero, as halving
    the samples may leave.
    """
    end = len(played)
    while end > 0 and abs(played[end - 1]) <= 1:
        end -= 1
    return end if any(abs(v) > 3 for v in original[end:]) else None


class SoundTest(h.SessionTestCase):
    audio = True
    start_program = False  # it must find the recording sink in place

    def setUp(self):
        if not h.audio_available():
            self.skipTest("pulseaudio tools are not installed")
        super().setUp()

    def test_the_whole_chime_plays_at_half_volume(self):
        rate, channels, original = read_wav(TONE)
        self.assertEqual((rate, channels, len(original)), (RATE, 2, 2 * CHIME_FRAMES))

        recording_path = os.path.join(self.s.tmp, "heard.wav")
        recorder = self.s.record_sound(recording_path)
        self.s.launch()
        self.s.click_rect(h.TYPING_BOX)
        self.s.type_text("H")
        self.s.click_rect(h.GET_CODE)
        h.wait_until(self.s.tone_files, 10, what="the notification to arrive")
        time.sleep(CHIME_FRAMES / RATE + 0.7)
        self.s.stop_recording(recorder)

        rate, channels, heard = read_wav(recording_path)
        self.assertEqual((rate, channels), (RATE, 2), "the recorder's format")
        start = onset(heard, ONSET_LEVEL / 2)
        self.assertIsNotNone(start, "nothing was heard")
        # Align on the onset first, then to the exact frame, on a loud stretch of the chime.
        guess = start // 2 * 2 - onset(original, ONSET_LEVEL) // 2 * 2
        a, b = 2 * RATE // 10, 2 * RATE // 5
        window = original[a:b]
        best = max(range(guess - 400, guess + 402, 2),
                   key=lambda at: dot(window, heard[max(0, at + a):max(0, at + b)]) if at + a >= 0 else 0)
        self.assertGreaterEqual(best, 0, f"the recording lacks the chime's first {-best // 2} frames")
        played = heard[best:best + len(original)]
        self.assertEqual(len(played), len(original),
                         f"the recording ends {(len(original) - len(played)) // 2} frames into the chime")

        with self.subTest("the chime at half volume"):
            self.assertGreater(correlation(original, played), 0.99, "what played is not the chime")
            self.assertAlmostEqual(rms(played) / rms(original), 0.5, delta=0.03, msg="not at half volume")
            # Sample by sample too, up to the quiet tail (checked below): scaling may round, nothing more.
            body = len(original) - 2 * TAIL_FRAMES
            worst = max(abs(p - o / 2) for p, o in zip(played[:body], original[:body]))
            self.assertLessEqual(worst, 64, "the chime is distorted")
        with self.subTest("to its very end"):
            # The tail is quiet, so check it on its own: a cut would hardly show over the whole.
            tail_original, tail_played = original[-2 * TAIL_FRAMES:], played[-2 * TAIL_FRAMES:]
            stopped = silent_from(played, original)
            if stopped is not None:
                self.fail(f"the chime stops {(len(original) - stopped) // 2} frames "
                          f"({(len(original) - stopped) / 2 / RATE:.3f} s) before its end")
            self.assertGreater(correlation(tail_original, tail_played), 0.95, "the chime's last 0.3 s is missing")
            self.assertAlmostEqual(rms(tail_played) / rms(tail_original), 0.5, delta=0.05)
        with self.subTest("once"):
            after = heard[best + len(original):]
            self.assertLess(max(map(abs, after), default=0), ONSET_LEVEL, "something played after the chime")


if __name__ == "__main__":
    h.main()
