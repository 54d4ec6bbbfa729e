#!/usr/bin/env python3
"""The Wine prefixes of the end-to-end tests' Windows leg. A test run makes one
prefix (some 20 to 30 seconds) with the tests' Windows-side helper in it
(wine_tool.c), and every session copies it (well under a second) and ends the
copy's wineserver with it:

    wine_prefix.py make DIR --windows=BUILD   a fresh 64-bit prefix in DIR (an old one is
                                              removed first) for the Windows build in BUILD
    wine_prefix.py remove DIR

Exits 77 (skipped) when Wine is not installed or no Windows build is named.
"""

import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def wine_env(prefix):
    # No prompts for Wine's .NET and HTML engines, which nothing here needs.
    return {"WINEPREFIX": prefix, "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


def end_wineserver(env, wrapper=()):
    """Ends the prefix's wineserver and every Windows process it serves, and waits for it to go."""
    for args in (["-k"], ["-w"]):
        try:
            subprocess.run([*wrapper, "wineserver", *args], env=env, timeout=60, check=False, capture_output=True)
        except subprocess.TimeoutExpired:
            pass


def remove_server_folder(prefix, whole=False):
    """Removes what an ended wineserver leaves in the temporary folder: Debian's Wine
    names a folder there in the prefix's wineserver file (copies share the ready
    prefix's), in which each prefix's server has a folder of its own."""
    try:
        with open(os.path.join(prefix, "wineserver")) as f:
            folder = os.path.join(os.environ.get("TMPDIR") or "/tmp", os.path.basename(f.read().strip()))
        st = os.stat(prefix)
    except OSError:
        return
    shutil.rmtree(folder if whole else os.path.join(folder, f"server-{st.st_dev:x}-{st.st_ino:x}"), ignore_errors=True)


def copy_prefix(template, prefix, home):
    """A prefix of its own, from a ready one: the system folder's 600 MB of programs
    and libraries, which nothing writes, linked; the rest (the registry, which
    wineserver replaces whole when it saves, and the user's folders) copied."""
    system = os.path.join(template, "drive_c", "windows", "system32")

    def copy(src, dst):
        if os.path.commonpath([src, system]) == system:
            os.link(src, dst)
        else:
            shutil.copy2(src, dst)

    shutil.copytree(template, prefix, symlinks=True, copy_function=copy)
    # The user's shell folders (Desktop, Documents...) link to the HOME the prefix
    # was made with: link them to this one's.
    for root, dirs, files in os.walk(os.path.join(prefix, "drive_c", "users")):
        for name in dirs + files:
            path = os.path.join(root, name)
            if os.path.islink(path) and os.path.isabs(os.readlink(path)):
                os.unlink(path)
                os.symlink(home, path)


TOOL_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine_tool.c")
TOOL = ("drive_c", "tests", "wine_tool.exe")  # in a prefix


def add_tool(prefix):
    """Builds the tests' Windows-side helper (wine_tool.c) into the prefix."""
    path = os.path.join(prefix, *TOOL)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["x86_64-w64-mingw32-gcc", "-std=c11", "-O2", "-Wall", "-o", path, TOOL_SOURCE], check=True,
                   timeout=300)


def host_env(prefix, home):
    # No display: a prefix needs none, and nothing may reach the user's own desktop.
    base = {k: v for k, v in os.environ.items() if not k.startswith(("DISPLAY", "WAYLAND_", "XDG_", "DBUS_"))}
    return {**base, "HOME": home, **wine_env(prefix)}


def remove(prefix):
    if os.path.isdir(prefix):
        end_wineserver(host_env(prefix, prefix))
        remove_server_folder(prefix, whole=True)
        shutil.rmtree(prefix)


def make(prefix):
    remove(prefix)
    with tempfile.TemporaryDirectory(prefix="beamlet-wine-home-") as home:
        env = host_env(prefix, home)
        made = subprocess.run(["wine", "wineboot", "-i"], env=env, timeout=600, capture_output=True, text=True)
        # The registry is whole on disk once the server has ended by itself.
        subprocess.run(["wineserver", "-w"], env=env, timeout=300, check=False)
        end_wineserver(env)
    if made.returncode != 0 or not os.path.isdir(os.path.join(prefix, "drive_c", "windows", "system32")):
        sys.exit(f"wineboot failed ({made.returncode}): {made.stderr[-2000:]}")
    add_tool(prefix)


def windows_build(folder):
    """The Windows build folder to test, or exits 77 (skipped) when Wine or the build is missing."""
    missing = [t for t in ("wine", "wineserver") if shutil.which(t) is None]
    lacking = [n for n in ("beamlet.exe", "beamlet.com") if not folder or not os.path.isfile(os.path.join(folder, n))]
    if missing or lacking:
        print("skipping: " + (f"not installed: {', '.join(missing)}" if missing else
                              "no Windows build named (BEAMLET_WINDOWS_BUILD_DIR)" if not folder else
                              f"no Windows build in {folder} (scripts/dev.sh windows makes one): {', '.join(lacking)}"))
        sys.exit(SKIP)
    return os.path.abspath(folder)


def main():
    command, args = sys.argv[1:2], sys.argv[2:]
    if command == ["make"] and len(args) == 2 and args[1].startswith("--windows="):
        windows_build(args[1].split("=", 1)[1])
        make(os.path.abspath(args[0]))
    elif command == ["remove"] and len(args) == 1:
        if shutil.which("wineserver"):
            remove(os.path.abspath(args[0]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
