#!/usr/bin/env python3
"""The command line, byte for byte: what it writes, where, and its exit status.
Run without any display, as these options must work without one."""

import os
import fcntl
import select
import signal
import subprocess
import sys
import time
import unittest

BEAMLET = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ["BEAMLET"]
ENV = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
H, I = b"[[186097158158768]]\f", b"[[149883275129464]]\f"
SPACE = b"[[295067077213176]]\f"
ENTRY_4 = (b"[[304473112932635]]\f[[304473116265968]]\f[[304473109599302]]\f\r\n"
           b"\f[[304473106265969]]\f[[304473119599301]]\f[[304473216265958]]\f\r\n"
           b"\f[[304473206265959]]\f[[304473212932625]]\f[[304473209599292]]\f\r\n")

# Where standard input comes from or standard output goes, besides a pipe.
CLOSED, DIRECTORY, FULL = "closed", "a directory", "/dev/full"


class Usage(str):
    """An error line followed by the usage."""


HELP = b"the usage"  # stands for what --help writes


def run(args, stdin=b"", stdout=None):
    closes = [redirect for redirect, stream in (("<&-", stdin), (">&-", stdout)) if stream == CLOSED]
    command = [BEAMLET, *args]
    if closes:
        command = ["sh", "-c", 'exec "$0" "$@" ' + " ".join(closes), *command]
    opened = []
    if stdin == DIRECTORY:
        opened.append(os.open("/", os.O_RDONLY | os.O_DIRECTORY))
    if stdout == FULL:
        opened.append(os.open(FULL, os.O_WRONLY))
    try:
        return subprocess.run(command, input=stdin if isinstance(stdin, bytes) else None,
                              stdin=opened[0] if stdin == DIRECTORY else (subprocess.DEVNULL if stdin == CLOSED else None),
                              stdout=opened[-1] if stdout == FULL else subprocess.PIPE,
                              stderr=subprocess.PIPE, env=ENV, timeout=60)
    finally:
        for fd in opened:
            os.close(fd)


def emoticon_error(argument):
    return f'beamlet: --emoticon takes a number from 1 to 66, not "{argument}"'


NOT_WRITTEN = "beamlet: cannot write to standard output: "
# args, standard input, standard output, status, what it writes, what it says on standard error.
CASES = [
    (["--code", "Hi"], b"", None, 0, H + I, ""),
    (["--code", "H i\n%é"], b"", None, 0, H + SPACE + I, ""),  # no token for line breaks, '%' or non-ASCII
    (["--code", "%\t\u00e9\u4e2d"], b"", None, 0, b"", ""),
    (["--code", "-"], "Hi".encode(), None, 0, H + I, ""),
    (["--code", "-"], "\n%\u00e9\U0001F600".encode(), None, 0, b"", ""),
    (["--emoticon", "4"], b"", None, 0, ENTRY_4, ""),
    (["--emoticon", "0000000000000000000004"], b"", None, 0, ENTRY_4, ""),  # leading zeros are fine
    # Text that is not UTF-8, on standard input or in an argument, or input that cannot be read.
    (["--code", "-"], b"Hi\xff", None, 2, b"", "beamlet: standard input is not valid UTF-8 text"),
    (["--code", "-"], b"\xc3", None, 2, b"", "beamlet: standard input is not valid UTF-8 text"),
    (["--code", b"a\xff\xfeb"], b"", None, 2, b"", "beamlet: argument 2 is not valid UTF-8 text"),
    (["--code", "-"], DIRECTORY, None, 2, b"", "beamlet: cannot read standard input: Is a directory"),
    (["--code", "-"], CLOSED, None, 2, b"", "beamlet: cannot read standard input: Bad file descriptor"),
    # The emoticon's number is plain decimal digits in range; 4294967300 wraps to 4 in a 32-bit int.
    *[(["--emoticon", n], b"", None, 2, b"", emoticon_error(n))
      for n in ("0", "67", "seven", " 5", "5 ", "+5", "", "4294967300", "\u0665")],
    # Output that cannot be written.
    (["--code", "Hi"], b"", CLOSED, 3, b"", NOT_WRITTEN + "Bad file descriptor"),
    (["--code", "Hi"], b"", FULL, 3, b"", NOT_WRITTEN + "No space left on device"),
    (["--emoticon", "4"], b"", FULL, 3, b"", NOT_WRITTEN + "No space left on device"),
    (["--help"], b"", FULL, 3, b"", NOT_WRITTEN + "No space left on device"),
    (["--version"], b"", FULL, 3, b"", NOT_WRITTEN + "No space left on device"),
    # Options the program does not know, or cannot tell which of two is meant.
    (["--bogus"], b"", None, 2, b"", Usage("beamlet: Unknown option 'bogus'.")),
    (["--help-all"], b"", None, 2, b"", Usage("beamlet: Unknown option 'help-all'.")),
    (["--code"], b"", None, 2, b"", Usage("beamlet: Missing value after '--code'.")),
    (["stray"], b"", None, 2, b"", Usage('beamlet: unexpected argument "stray"')),
    (["--code", "a", "--code", "b"], b"", None, 2, b"", Usage("beamlet: --code is given more than once")),
    (["--emoticon", "1", "--emoticon", "2"], b"", None, 2, b"", Usage("beamlet: --emoticon is given more than once")),
    (["--code", "a", "--emoticon", "1"], b"", None, 2, b"", Usage("beamlet: --code and --emoticon cannot be given together")),
    (["--version"], b"", None, 0, f"beamlet {os.environ['BEAMLET_VERSION']}\n".encode(), ""),
    # --help and --version win over whatever else the line holds; as an option's value they are that value.
    (["--help", "--code"], b"", None, 0, HELP, ""),
    (["--bogus", "--help"], b"", None, 0, HELP, ""),
    (["stray", "--emoticon", "1", "--emoticon", "2", "-h", "--version"], b"", None, 0, HELP, ""),
    (["--code", "a", "--emoticon", "1", "-v"], b"", None, 0, f"beamlet {os.environ['BEAMLET_VERSION']}\n".encode(), ""),
    (["--emoticon", "--help"], b"", None, 2, b"", emoticon_error("--help")),
]


def peak_resident_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            return next((int(line.split()[1]) for line in status if line.startswith("VmHWM:")), 0)
    except FileNotFoundError:
        return 0


class CommandLineTest(unittest.TestCase):
    def test_cases(self):
        usage = run(["--help"]).stdout
        self.assertIn(b"--emoticon <N>", usage)
        for args, stdin, stdout, status, out, err in CASES:
            with self.subTest(args=args, stdin=stdin if len(stdin) < 20 else "...", stdout=stdout):
                res = run(args, stdin, stdout)
                self.assertEqual(res.returncode, status, res.stderr)
                self.assertEqual(res.stdout or b"", usage if out is HELP else out)
                if isinstance(err, Usage):
                    self.assertEqual(res.stderr, err.encode() + b"\n\n" + usage)
                else:
                    self.assertEqual(res.stderr, err.encode() + b"\n" if err else b"")

    def test_ten_megabytes_from_standard_input(self):
        text = ("Hi \u00e9\n" * 2_000_000).encode()
        self.assertGreater(len(text), 10_000_000)
        res = run(["--code", "-"], text)
        self.assertEqual((res.returncode, res.stderr), (0, b""))
        self.assertEqual(res.stdout, (H + I + SPACE) * 2_000_000)

    def test_standard_input_handed_over_non_blocking(self):
        """An empty non-blocking pipe says 'nothing yet', not 'the end': the text written later is coded."""
        read_end, write_end = os.pipe()
        fcntl.fcntl(read_end, fcntl.F_SETFL, os.O_NONBLOCK)
        program = subprocess.Popen([BEAMLET, "--code", "-"], stdin=read_end, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, env=ENV)
        os.close(read_end)
        deadline = time.monotonic() + 60
        # Until it waits for input (sleeping) or has given up on it (ended).
        while program.poll() is None and time.monotonic() < deadline:
            with open(f"/proc/{program.pid}/stat") as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] == "S":
                    break
            time.sleep(0.01)
        if program.poll() is None:
            os.write(write_end, b"Hi")
        os.close(write_end)
        out, err = program.communicate(timeout=60)
        self.assertEqual((program.returncode, out, err), (0, H + I, b""))

    def test_endless_input(self):
        """`yes | beamlet --code -`: the codes come while the input goes on, memory
        stays flat, and a reader that stops ends the program by SIGPIPE, quietly."""
        limit_kb, wanted = 64 << 10, 8 << 20
        yes = subprocess.Popen(["yes", "Hi \u00e9"], stdout=subprocess.PIPE)
        program = subprocess.Popen([BEAMLET, "--code", "-"], stdin=yes.stdout, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, env=ENV)
        yes.stdout.close()
        out, peak = bytearray(), 0
        deadline = time.monotonic() + 60
        try:
            while len(out) < wanted and peak < limit_kb and time.monotonic() < deadline:
                peak = max(peak, peak_resident_kb(program.pid))
                if select.select([program.stdout], [], [], 0.1)[0]:
                    chunk = os.read(program.stdout.fileno(), 1 << 16)
                    if not chunk:
                        break
                    out += chunk
            peak = max(peak, peak_resident_kb(program.pid))
            self.assertLess(peak, limit_kb, "peak resident kB")
            self.assertGreaterEqual(len(out), wanted)
            unit = H + I + SPACE
            whole = len(out) // len(unit)
            self.assertEqual(out[:whole * len(unit)], unit * whole)
            program.stdout.close()
            self.assertEqual(program.wait(timeout=60), -signal.SIGPIPE)
            self.assertEqual(program.stderr.read(), b"")
        finally:
            for process in (program, yes):
                process.kill()
                process.wait()
            program.stderr.close()


if __name__ == "__main__":
    unittest.main()
