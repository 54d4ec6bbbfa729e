#!/usr/bin/env python3
"""The notification's chime, as it reaches the sound server: all of it, at half volume,
on every copy, and again after the sound server has restarted or where tone.wav cannot
be written; and a close that ends at once, whatever the sound server does."""

import array
import math
import os
import signal
import sys
import tempfile
import threading
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

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


class SoundRecorder:
    """A pipe sink made the only sink, read into memory by a thread, saved as WAV on stop.

    A pipe sink hands over every frame it renders, silence included; the null
    sink's monitor dropped the silences and a new stream's first 20 ms."""

    def __init__(self, session, path):
        self.session, self.path, self.chunks = session, path, []
        # One pipe per recorder: a restarted sound server needs a recorder of its own.
        self.fifo = tempfile.mktemp(suffix=".fifo", dir=session.tmp)
        os.mkfifo(self.fifo)
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()
        self.module = session.run(["pactl", "load-module", "module-pipe-sink", f"file={self.fifo}",
                                   "sink_name=recording", "format=s16le", f"rate={RATE}", "channels=2",
                                   "use_system_clock_for_timing=yes"]).stdout.strip()
        session.run(["pactl", "set-default-sink", "recording"])
        session.run(["pactl", "unload-module", "module-null-sink"])

    def _read(self):
        with open(self.fifo, "rb", buffering=0) as f:
            while data := f.read(1 << 16):
                self.chunks.append(data)

    def mark(self):
        """Bytes received so far, to a whole frame: where what plays from now on starts."""
        return sum(len(c) for c in list(self.chunks)) // 4 * 4

    def stop(self):
        # Unloading the sink closes its end of the pipe, which ends the reader.
        self.session.run(["pactl", "unload-module", self.module], check=False)
        self._thread.join(timeout=5)
        data = b"".join(self.chunks)
        with wave.open(self.path, "wb") as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(data[:len(data) // 4 * 4])


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
# Under Wine: the shortest stretch of silence that Wine's sound path inserts.
GAP_FRAMES = 200


def without_gaps(heard):
    """heard without the stretches of digital silence (both channels 0) of GAP_FRAMES
    frames or more that lie between sounds, and where they were: [(index in what is
    kept, frames)]. Wine's PulseAudio driver keeps only some 100 ms ahead; when its
    feeding thread is late (a busy machine), the server plays silence and the chime
    goes on after it: inserted, nothing lost. The chime has no such stretch of its
    own; the silence before and after the sounds stays."""
    kept, gaps, zeros, sounded = array.array("h"), [], 0, False
    for at in range(0, len(heard) - 1, 2):
        if heard[at] == 0 and heard[at + 1] == 0:
            zeros += 1
            continue
        if zeros and (not sounded or zeros < GAP_FRAMES):
            kept.extend(heard[at - 2 * zeros:at])
        elif sounded and zeros:
            gaps.append((len(kept), zeros))
        zeros, sounded = 0, True
        kept.extend(heard[at:at + 2])
    kept.extend(array.array("h", [0] * 2 * zeros))
    return kept, gaps


def with_own_silence(kept, gaps, original):
    """kept with the chime's own silence given back where an inserted stretch took it
    along (a stretch that meets one of the chime's own runs of zeros swallows it)."""
    at = aligned(kept, original)
    if at is None or at < 0:
        return kept
    half = array.array("h", (int(v / 2) for v in original))
    out, done = array.array("h"), 0
    for index, frames in gaps:
        out.extend(kept[done:index])
        done, frame = index, (len(out) - at) // 2
        own = 0
        while own < frames and 0 <= frame + own < len(half) // 2 and not any(half[2 * (frame + own):2 * (frame + own) + 2]):
            own += 1
        out.extend(array.array("h", [0] * 2 * own))
    out.extend(kept[done:])
    return out


def aligned(heard, original):
    """Where the chime starts in heard, to the frame (in samples), or None when nothing was heard."""
    start = onset(heard, ONSET_LEVEL / 2)
    if start is None:
        return None
    # Align on the onset first, then to the exact frame, on a loud stretch of the chime.
    guess = start // 2 * 2 - onset(original, ONSET_LEVEL) // 2 * 2
    a, b = 2 * RATE // 10, 2 * RATE // 5
    window = original[a:b]
    return max(range(guess - 400, guess + 402, 2),
               key=lambda at: dot(window, heard[max(0, at + a):max(0, at + b)]) if at + a >= 0 else 0)


def chime_faults(heard, original, gaps=None):
    """What is wrong with the chime in a recording: [] when it is all there, once, at half volume.
    With gaps (a list), stretches of inserted silence are taken out first and counted there."""
    if gaps is not None:
        heard, found = without_gaps(heard)
        heard = with_own_silence(heard, found, original)
        gaps.append(len(found))
    best = aligned(heard, original)
    if best is None:
        return ["nothing was heard"]
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


class SoundTest(h.SessionTestCase):
    audio = True
    start_program = False  # it must find the recording sink in place

    def setUp(self):
        if not h.audio_available():
            self.skipTest("pulseaudio tools are not installed")
        super().setUp()

    def chime_faults(self, heard, original):
        gaps = [] if h.on_windows() else None
        faults = chime_faults(heard, original, gaps)
        if gaps and gaps[0]:
            sys.stderr.write(f"\nWine's sound path inserted {gaps[0]} stretch(es) of silence into a chime\n")
        return faults

    def cycle(self, recorder, during_chime=None):
        """One copy and its whole notification cycle; returns (start, end) of it in the recording, in bytes
        (None without a recorder)."""
        start = recorder and recorder.mark()
        before = [os.stat(p).st_ino for p in self.s.tone_files()]
        self.s.click_rect(h.L["getCodeButton"])
        # tone.wav is replaced (a new file) at every arrival, just before the chime starts.
        h.wait_until(lambda: (now := [os.stat(p).st_ino for p in self.s.tone_files()]) and now != before, 10,
                     what="the notification to arrive")
        if during_chime:
            during_chime()
        # The chime ends well within the five seconds' rest; the cycle ends when the window has gone.
        h.wait_until(lambda: not self.s.notification(), 15, what="the notification to go away")
        return start, recorder and recorder.mark()

    def kill_sound_server(self):
        os.killpg(self.s.pulse.pid, signal.SIGKILL)
        self.s.pulse.wait(timeout=10)

    def restart_sound_server(self):
        """Kills the sound server mid-chime and starts it again, with its null sink."""
        h.wait_until(lambda: self.s.run(["pactl", "list", "short", "sink-inputs"]).stdout.strip(), 15,
                     what="the chime's stream")
        self.kill_sound_server()
        self.s.start_pulse()

    def test_every_copy_chimes_whole_at_half_volume_even_after_a_sound_server_restart(self):
        rate, channels, original = read_wav(h.TONE_SOURCE)
        self.assertEqual((rate, channels, len(original)), (RATE, 2, 2 * CHIME_FRAMES))
        paths = [os.path.join(self.s.tmp, name) for name in ("heard.wav", "heard-after-restart.wav")]
        recorder = SoundRecorder(self.s, paths[0])
        self.s.launch()
        self.s.click_rect(h.L["typingBox"])
        self.s.type_text("H")
        spans = [[self.cycle(recorder) for _ in range(CYCLES)]]
        # The server dies while a chime sounds; its recording ends with it.
        self.cycle(recorder, during_chime=self.restart_sound_server)
        recorder.stop()
        recorder = SoundRecorder(self.s, paths[1])
        spans.append([self.cycle(recorder)])
        recorder.stop()
        # The sound's own thread is taken down with the program, which still ends cleanly.
        self.assertEqual(self.s.close_by_image(), 0)

        results = []
        for path, cycles in zip(paths, spans):
            rate, channels, heard = read_wav(path)
            self.assertEqual((rate, channels), (RATE, 2), "the recorder's format")
            results += [self.chime_faults(heard[a // 2:b // 2], original) for a, b in cycles]
        sys.stderr.write(f"\nwhole chimes heard: {sum(not f for f in results)} of {len(results)} copies "
                         f"({CYCLES} in a row, then one after the sound server restarted)\n")
        for number, faults in enumerate(results, 1):
            with self.subTest(copy=number):
                self.assertEqual(faults, [])

    def test_every_copy_after_the_sound_server_is_back_chimes_whole(self):
        # The sound server goes down between cycles and comes back, with or without copies
        # while it is down: (copies while it is down, copies recorded once it is back).
        sequences = ((0, 2), (1, 3))
        _, _, original = read_wav(h.TONE_SOURCE)
        recorder = SoundRecorder(self.s, os.path.join(self.s.tmp, "before.wav"))
        self.s.launch()
        self.cycle(recorder)  # the chime has played before the server goes
        recordings = []
        for down_copies, back_copies in sequences:
            self.kill_sound_server()
            recorder.stop()  # its sink went with the server
            for _ in range(down_copies):
                self.cycle(None)
            self.s.start_pulse()
            recorder = SoundRecorder(self.s, os.path.join(self.s.tmp, f"back-{len(recordings)}.wav"))
            recordings.append((down_copies, recorder.path, [self.cycle(recorder) for _ in range(back_copies)]))
        recorder.stop()

        for down_copies, path, spans in recordings:
            _, _, heard = read_wav(path)
            results = [self.chime_faults(heard[a // 2:b // 2], original) for a, b in spans]
            sys.stderr.write(f"\nwith {down_copies} copies while the sound server was down, whole chimes heard "
                             f"once it was back: {sum(not f for f in results)} of {len(results)}\n")
            for copy, faults in enumerate(results, 1):
                with self.subTest(copies_while_down=down_copies, copy_once_back=copy):
                    self.assertEqual(faults, [])


    def test_the_chime_is_heard_where_tone_wav_cannot_be_written(self):
        os.mkdir(os.path.join(self.s.bindir, "tone.wav"))  # nothing replaces a folder, root included
        if h.on_windows():  # a file where the program's folder in %LOCALAPPDATA% goes
            with open(os.path.join(self.s.cache_folder(), "Orvane"), "w"):
                pass
        else:
            self.s.program_env["XDG_CACHE_HOME"] = h.TONE_SOURCE  # a file: no cache folder under it
        _, _, original = read_wav(h.TONE_SOURCE)
        recorder = SoundRecorder(self.s, os.path.join(self.s.tmp, "heard.wav"))
        self.s.launch()
        start = recorder.mark()
        self.assertEqual(self.s.get_code("H"), h.H)
        self.s.resting_notification()
        h.wait_until(lambda: not self.s.notification(), 15, what="the notification to go away")
        end = recorder.mark()
        recorder.stop()
        self.assertEqual(self.chime_faults(read_wav(recorder.path)[2][start // 2:end // 2], original), [])

    def test_a_close_ends_at_once_whatever_the_sound_server_does(self):
        # (how the program is told to end, when the sound server stops answering). A
        # start made as the window goes shows a window: none is lost to a program on its way out.
        # Windows has no SIGTERM: there it is a close request (taskkill without /F).
        request = "close request" if h.on_windows() else "SIGTERM"
        cases = (("close control", "mid-chime"), (request, "before the copy"), (request, None),
                 ("close control", None))
        _, _, original = read_wav(h.TONE_SOURCE)
        recorder = SoundRecorder(self.s, os.path.join(self.s.tmp, "heard.wav"))
        self.s.launch()
        pulse = self.s.pulse.pid
        self.addCleanup(os.kill, pulse, signal.SIGCONT)
        for how, frozen in cases:
            with self.subTest(how=how, frozen=frozen):
                if frozen == "before the copy":
                    os.kill(pulse, signal.SIGSTOP)
                self.assertEqual(self.s.get_code("H"), h.H)
                self.s.resting_notification()
                if frozen != "before the copy":
                    h.wait_until(lambda: self.s.run(["pactl", "list", "short", "sink-inputs"]).stdout.strip(), 15,
                                 what="the chime's stream")
                if frozen == "mid-chime":
                    os.kill(pulse, signal.SIGSTOP)
                old, ended, began = self.s.program, [], time.monotonic()
                threading.Thread(target=lambda: ended.append((old.wait(), time.monotonic() - began)),
                                 daemon=True).start()
                if how == "close control":
                    self.s.click_image(h.L["closeButton"])
                elif h.on_windows():
                    self.s.run(["wine", "taskkill", "/im", "beamlet.exe"], timeout=60)
                    began = time.monotonic()  # from the request's delivery: taskkill itself takes a while
                else:
                    old.send_signal(signal.SIGTERM)
                h.wait_until(lambda: not self.s.main_visible(), 10, 0.005, what="the window to go")
                self.s.launch()
                h.wait_until(lambda: ended, 10, what="the closed program to end")
                os.kill(pulse, signal.SIGCONT)
                sys.stderr.write(f"\n{how}, sound server frozen {frozen}: ended in {ended[0][1]:.3f} s\n")
                # Under Wine 8 a process whose threads wait in Wine's PulseAudio driver (on the
                # frozen server) dies of SIGSEGV as Wine ends those threads, after the program's
                # own end is done: Wine unwinds them through frames it cannot unwind. Wine's
                # fault; native Windows ends threads without unwinding, its sound engine runs
                # apart, and a native run would read 0 here too.
                wine_fault = h.on_windows() and frozen == "mid-chime"
                self.assertIn(ended[0][0], (0, -signal.SIGSEGV) if wine_fault else (0,))
                self.assertLess(ended[0][1], 2, "the close waited for the sound server")
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window], "one window, the new start's")
        # The sound server is back: the next copy chimes whole.
        start, end = self.cycle(recorder)
        recorder.stop()
        self.assertEqual(self.chime_faults(read_wav(recorder.path)[2][start // 2:end // 2], original), [])

if __name__ == "__main__":
    h.main()
