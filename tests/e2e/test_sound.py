#!/usr/bin/env python3
"""The notification's chime, as it reaches the sound server: all of it, at half volume,
on every copy, and again after the sound server has restarted."""

import array
import math
import os
import signal
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


CYCLES = 12


def chime_faults(heard, original):
    """What is wrong with the chime in a recording: [] when it is all there, once, at half volume."""
    start = onset(heard, ONSET_LEVEL / 2)
    if start is None:
        return ["nothing was heard"]
    # Align on the onset first, then to the exact frame, on a loud stretch of the chime.
    guess = start // 2 * 2 - onset(original, ONSET_LEVEL) // 2 * 2
    a, b = 2 * RATE // 10, 2 * RATE // 5
    window = original[a:b]
    best = max(range(guess - 400, guess + 402, 2),
               key=lambda at: dot(window, heard[max(0, at + a):max(0, at + b)]) if at + a >= 0 else 0)
    if best < 0:
        return [f"the recording lacks the chime's first {-best // 2} frames"]
    played = heard[best:best + len(original)]
    if len(played) != len(original):
        return [f"the recording ends {(len(original) - len(played)) // 2} frames into the chime"]

    faults = []
    if correlation(original, played) <= 0.99:
        faults.append("what played is not the chime")
    level = rms(played) / rms(original)
    if abs(level - 0.5) > 0.03:
        faults.append(f"played at {level:.3f} of full volume, not half")
    # Sample by sample too, up to the quiet tail (checked below): scaling may round, nothing more.
    body = len(original) - 2 * TAIL_FRAMES
    worst = max(abs(p - o / 2) for p, o in zip(played[:body], original[:body]))
    if worst > 64:
        faults.append(f"the chime is distorted (a sample off by {worst:.0f})")
    # The tail is quiet, so check it on its own: a cut would hardly show over the whole.
    stopped = silent_from(played, original)
    if stopped is not None:
        faults.append(f"the chime stops {(len(original) - stopped) // 2} frames "
                      f"({(len(original) - stopped) / 2 / RATE:.3f} s) before its end")
    tail_original, tail_played = original[-2 * TAIL_FRAMES:], played[-2 * TAIL_FRAMES:]
    if correlation(tail_original, tail_played) <= 0.95 \
            or abs(rms(tail_played) / rms(tail_original) - 0.5) > 0.05:
        faults.append("the chime's last 0.3 s is missing or not at half volume")
    after = heard[best + len(original):]
    if max(map(abs, after), default=0) >= ONSET_LEVEL:
        faults.append("something played after the chime")
    return faults


def identity(path):
    try:
        st = os.stat(path)
    except OSError:
        return None
    return st.st_ino, st.st_mtime_ns


class SoundTest(h.SessionTestCase):
    audio = True
    start_program = False  # it must find the recording sink in place

    def setUp(self):
        if not h.audio_available():
            self.skipTest("pulseaudio tools are not installed")
        super().setUp()

    def tones(self):
        return {p: identity(p) for p in self.s.tone_files()}

    def cycle(self, recorder, during_chime=None):
        """One copy and its whole notification cycle; returns (start, end) of it in the recording, in bytes."""
        start = recorder.mark()
        before = self.tones()
        self.s.click_rect(h.GET_CODE)
        # tone.wav is replaced (a new file) at every arrival, just before the chime starts.
        h.wait_until(lambda: (now := self.tones()) and now != before, 10, what="the notification to arrive")
        if during_chime:
            during_chime()
        # The chime ends well within the five seconds' rest; the cycle ends when the window has gone.
        h.wait_until(lambda: self.s.notification() is None, 15, what="the notification to go away")
        return start, recorder.mark()

    def restart_sound_server(self):
        """Kills the sound server mid-chime and starts it again, with its null sink."""
        h.wait_until(lambda: self.s.playing_streams() > 0, 5, what="the chime's stream")
        os.killpg(self.s.pulse.pid, signal.SIGKILL)
        self.s.pulse.wait(timeout=10)
        self.s._start_pulse()

    def test_every_copy_chimes_whole_at_half_volume_even_after_a_sound_server_restart(self):
        rate, channels, original = read_wav(TONE)
        self.assertEqual((rate, channels, len(original)), (RATE, 2, 2 * CHIME_FRAMES))

        first_path = os.path.join(self.s.tmp, "heard.wav")
        recorder = self.s.record_sound(first_path)
        self.s.launch()
        self.s.click_rect(h.TYPING_BOX)
        self.s.type_text("H")
        spans = [self.cycle(recorder) for _ in range(CYCLES)]
        # The server dies while a chime sounds; its recording ends with it.
        self.cycle(recorder, during_chime=self.restart_sound_server)
        self.s.stop_recording(recorder)

        second_path = os.path.join(self.s.tmp, "heard-after-restart.wav")
        recorder = self.s.record_sound(second_path)
        after_restart = self.cycle(recorder)
        self.s.stop_recording(recorder)
        # The sound's own thread is taken down with the program, which still ends cleanly.
        self.assertEqual(self.s.close_by_image(), 0, "the close image ends the program with status 0")

        results = []
        for path, cycles in ((first_path, spans), (second_path, [after_restart])):
            rate, channels, heard = read_wav(path)
            self.assertEqual((rate, channels), (RATE, 2), "the recorder's format")
            results += [chime_faults(heard[a // 2:b // 2], original) for a, b in cycles]
        whole = sum(not faults for faults in results)
        sys.stderr.write(f"\nwhole chimes heard: {whole} of {len(results)} copies "
                         f"({CYCLES} in a row, then one after the sound server restarted)\n")
        for number, faults in enumerate(results, 1):
            label = f"copy {number}" + (" (after the restart)" if number == len(results) else "")
            with self.subTest(label):
                self.assertEqual(faults, [])


if __name__ == "__main__":
    h.main()
