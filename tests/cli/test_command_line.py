#!/usr/bin/env python3
"""The command line, byte for byte: what it writes, where, and its exit status.
Run without any display, as these options must work without one.

    test_command_line.py PROGRAM
    test_command_line.py --windows=DIR    the Windows build's console companion under
                                          Wine, as cmd.exe runs it: cmd /c beamlet ...
"""

import glob
import os
import fcntl
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import wine_prefix  # noqa: E402

WINDOWS = sys.argv[1].startswith("--windows=") if len(sys.argv) > 1 else False
if WINDOWS:
    WINDOWS_DIR = wine_prefix.windows_build(sys.argv.pop(1).split("=", 1)[1])  # or exits 77
    BEAMLET = None  # set up by setUpModule: a prefix of its own with the program on drive C:
else:
    BEAMLET = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ["BEAMLET"]
ENV = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
CWD = None


def setUpModule():
    global BEAMLET, CWD, WORK
    if not WINDOWS:
        return
    WORK = tempfile.mkdtemp(prefix="beamlet-cli-")
    prefix, home = os.path.join(WORK, "wine"), os.path.join(WORK, "home")
    os.makedirs(home)
    ENV.update({"HOME": home, **wine_prefix.wine_env(prefix)})
    if os.environ.get("BEAMLET_WINE_PREFIX"):
        wine_prefix.copy_prefix(os.environ["BEAMLET_WINE_PREFIX"], prefix, home)
    else:
        subprocess.run(["wine", "wineboot", "-i"], env=ENV, check=True, capture_output=True, timeout=600)
    CWD = os.path.join(prefix, "drive_c", "beamlet")
    os.makedirs(CWD)
    for name in ("beamlet.exe", "beamlet.com"):
        shutil.copy2(os.path.join(WINDOWS_DIR, name), CWD)
    # cmd.exe, in the program's folder, finds beamlet.com before beamlet.exe.
    BEAMLET = ("wine", "cmd", "/c", "beamlet")
    # One server for every command, ended with the test.
    subprocess.Popen(["wineserver", "-p"], env=ENV).wait(timeout=60)
    # The first Windows program starts Wine's own services, which live on holding the
    # pipes it was given (a test would wait for their end): start them on none, with
    # a program that waits for input until the module ends.
    global KEEPER
    KEEPER = subprocess.Popen(["wine", "cmd", "/k"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, env=ENV, cwd=CWD)
    # (and wait until they run: the keeper's start may come too late to be the one that starts them)
    subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, env=ENV, cwd=CWD, timeout=300, check=True)


def tearDownModule():
    if WINDOWS:
        KEEPER.stdin.close()
        wine_prefix.end_wineserver(ENV)
        KEEPER.wait(timeout=60)
        shutil.rmtree(WORK, ignore_errors=True)


def program_command(*args):
    return [*BEAMLET, *args] if WINDOWS else [BEAMLET, *args]


def program_pids(started):
    """The processes of the program that `started` runs: under Wine, beamlet.com,
    which cmd.exe starts as a process of its own (and Wine detaches from its parent)."""
    if not WINDOWS:
        return [started.pid]
    found = []
    for environ in glob.glob("/proc/[0-9]*/environ"):
        try:
            with open(environ, "rb") as f:
                ours = f"WINEPREFIX={ENV['WINEPREFIX']}".encode() in f.read().split(b"\0")
            with open(os.path.join(os.path.dirname(environ), "cmdline"), "rb") as f:
                command = f.read()
        except OSError:
            continue
        if ours and command.startswith(b"beamlet "):
            found.append(int(environ.split("/")[2]))
    return found


def reason(linux, windows):
    """Why a stream failed, in the system's own words (under Wine, Wine's)."""
    return windows if WINDOWS else linux
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
    command = program_command(*args)
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
                              stderr=subprocess.PIPE, env=ENV, cwd=CWD, timeout=60)
    finally:
        for fd in opened:
            os.close(fd)


def emoticon_error(argument):
    return f'beamlet: --emoticon takes a number from 1 to 66, not "{argument}"'


NOT_READ, NOT_WRITTEN = "beamlet: cannot read standard input: ", "beamlet: cannot write to standard output: "
NO_SPACE = reason("No space left on device", "Disk full.")
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
    # (Linux only: Wine hands a Windows program its arguments as UTF-16, dropping the bytes that are not
    # UTF-8 on the way, so the program never sees them. A native Windows run would pass a lone surrogate.)
    *([] if WINDOWS else [(["--code", b"a\xff\xfeb"], b"", None, 2, b"", "beamlet: argument 2 is not valid UTF-8 text")]),
    (["--code", "-"], DIRECTORY, None, 2, b"", NOT_READ + reason("Is a directory", "Invalid function.")),
    (["--code", "-"], CLOSED, None, 2, b"", NOT_READ + reason("Bad file descriptor", "Invalid function.")),
    # The emoticon's number is plain decimal digits in range; 4294967300 wraps to 4 in a 32-bit int.
    *[(["--emoticon", n], b"", None, 2, b"", emoticon_error(n))
      for n in ("0", "67", "seven", " 5", "5 ", "+5", "", "4294967300", "\u0665")],
    # Output that cannot be written.
    (["--code", "Hi"], b"", CLOSED, 3, b"", NOT_WRITTEN + reason("Bad file descriptor", "Invalid handle.")),
    (["--code", "Hi"], b"", FULL, 3, b"", NOT_WRITTEN + NO_SPACE),
    (["--emoticon", "4"], b"", FULL, 3, b"", NOT_WRITTEN + NO_SPACE),
    (["--help"], b"", FULL, 3, b"", NOT_WRITTEN + NO_SPACE),
    (["--version"], b"", FULL, 3, b"", NOT_WRITTEN + NO_SPACE),
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

    @unittest.skipIf(WINDOWS, "Linux only: a Windows program reads a handle, which has no non-blocking mode "
                              "to be handed; Wine waits on the pipe whatever its Unix flags say")
    def test_standard_input_handed_over_non_blocking(self):
        """An empty non-blocking pipe says 'nothing yet', not 'the end': the text written later is coded."""
        read_end, write_end = os.pipe()
        fcntl.fcntl(read_end, fcntl.F_SETFL, os.O_NONBLOCK)
        program = subprocess.Popen(program_command("--code", "-"), stdin=read_end, stdout=subprocess.PIPE,
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
        stays flat, and a reader that stops ends the program quietly: by SIGPIPE, as
        it ends any filter, on Linux; on Windows, which has no such signal, with status 3."""
        limit_kb, wanted = 64 << 10, 8 << 20
        yes = subprocess.Popen(["yes", "Hi \u00e9"], stdout=subprocess.PIPE)
        program = subprocess.Popen(program_command("--code", "-"), stdin=yes.stdout, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, env=ENV, cwd=CWD)
        yes.stdout.close()
        out, peak = bytearray(), 0
        deadline = time.monotonic() + 60
        try:
            while len(out) < wanted and peak < limit_kb and time.monotonic() < deadline:
                peak = max([peak, *map(peak_resident_kb, program_pids(program))])
                if select.select([program.stdout], [], [], 0.1)[0]:
                    chunk = os.read(program.stdout.fileno(), 1 << 16)
                    if not chunk:
                        break
                    out += chunk
            peak = max([peak, *map(peak_resident_kb, program_pids(program))])
            self.assertLess(peak, limit_kb, "peak resident kB")
            self.assertGreaterEqual(len(out), wanted)
            unit = H + I + SPACE
            whole = len(out) // len(unit)
            self.assertEqual(out[:whole * len(unit)], unit * whole)
            program.stdout.close()
            self.assertEqual(program.wait(timeout=60), 3 if WINDOWS else -signal.SIGPIPE)
            self.assertEqual(program.stderr.read(), b"")
        finally:
            for process in (program, yes):
                process.kill()
                process.wait()
            program.stderr.close()


if __name__ == "__main__":
    unittest.main()
