#!/usr/bin/env python3
"""The Windows installer and the portable zip, under Wine, in fresh 64-bit
prefixes on the private desktop: the installer, run silently, puts the program
and its licences in the user's Programs folder with a Start menu entry that
shows the program's icon and starts it; the program started so copies, and keeps
its chime in the user's local application data; the uninstaller refuses while the
program runs and, run silently once it has closed, leaves the prefix's files and
the registry as they were before the install. The zip's program runs from
wherever it is unpacked.

Needs wine, makensis and a Windows build (BEAMLET_WINDOWS_BUILD_DIR, made by
scripts/dev.sh windows); skips (77) without them. Prints the sizes, the times
and what it compared.
"""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest
import zipfile

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
WINDOWS_BUILD = os.environ.get("BEAMLET_WINDOWS_BUILD_DIR", "")
PRODUCT = "Orvane Beamlet"
SHIPPED = {"beamlet.exe", "beamlet.com", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "licenses/LGPL-3.0.txt",
           "licenses/GPL-3.0.txt"}
# Registry keys and values that name the program or what its installer leaves.
OURS = re.compile(r"orvane|beamlet|~nsu|\\uninstall\b", re.I)


def built(suffix):
    found = [f for f in os.listdir(WINDOWS_BUILD) if f.startswith("beamlet-") and f.endswith(suffix)]
    if len(found) != 1:
        raise AssertionError(f"expected one beamlet-*{suffix} in {WINDOWS_BUILD}, found {found}")
    return os.path.join(WINDOWS_BUILD, found[0])


def files_under(root):
    """Every file and folder below root, as paths relative to it."""
    return {os.path.relpath(os.path.join(top, name), root) for top, folders, files in os.walk(root)
            for name in folders + files}


def registry(prefix):
    """The prefix's registry entries that are ours: {(hive, key): {value lines}} (values of any key
    that name us, and every value of a key that does)."""
    found = {}
    for hive in ("system.reg", "user.reg", "userdef.reg"):
        key = None
        with open(os.path.join(prefix, hive), encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                header = re.match(r"^\[(.+)\]( \d+)?$", line)
                if header:
                    key = header.group(1)
                    if OURS.search(key):
                        found[(hive, key)] = set()
                elif key and line and not line.startswith("#") and (OURS.search(key) or OURS.search(line)):
                    found.setdefault((hive, key), set()).add(line)
    return found


class WindowsPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # The installer of this build's program, made again if the program changed.
        done = subprocess.run([os.environ.get("BEAMLET_CMAKE", "cmake"), "--build", WINDOWS_BUILD, "--target", "installer"],
                              capture_output=True, text=True, timeout=1200)
        if done.returncode != 0:
            raise AssertionError(f"building the installer failed:\n{done.stdout[-3000:]}{done.stderr[-3000:]}")
        cls.setup, cls.zip = built("-setup.exe"), built(".zip")
        with zipfile.ZipFile(cls.zip) as archive:
            cls.zipped = {info.filename: archive.read(info) for info in archive.infolist()}
        print(f"\ninstaller {os.path.getsize(cls.setup):,} bytes, zip {os.path.getsize(cls.zip):,} bytes")

    def session(self):
        s = WineSession()
        s.__enter__()
        self.addCleanup(s.stop)
        s.wine_env = dict(s.env(), PATH=os.environ.get("PATH", os.defpath))
        return s

    def wine(self, s, *args, timeout=300, idle=True):
        """Runs a Windows program to its end; its status and the seconds it took, until the
        prefix is idle again if asked (an uninstaller goes on in a copy of itself)."""
        started = time.monotonic()
        done = subprocess.run(["wine", *args], env=s.wine_env, capture_output=True, timeout=timeout)
        if idle:
            subprocess.run(["wineserver", "-w"], env=s.wine_env, timeout=timeout, check=True)
        return done.returncode, time.monotonic() - started

    def copy_and_close(self, s, tone):
        """Copies typed text and waits for the chime's file; closes the program."""
        self.assertEqual(s.get_code("Hi"), h.H + h.I)
        h.wait_until(lambda: os.path.exists(tone), 20, what=f"tone.wav in {tone}")
        h.wait_until(lambda: s.notification() is None, 30, what="the notification to go")
        s.close_by_window_manager(s.main_window)
        self.assertEqual(s.wait_exit(30), 0)

    def test_installs_runs_and_uninstalls_leaving_nothing(self):
        s = self.session()
        subprocess.run(["wineserver", "-w"], env=s.wine_env, timeout=300, check=True)
        before_files, before_registry = files_under(s.prefix), registry(s.prefix)

        status, install_time = self.wine(s, self.setup, "/S")
        self.assertEqual(status, 0)
        users = os.path.join(s.prefix, "drive_c", "users")
        [user] = [os.path.join(users, name) for name in os.listdir(users) if name != "Public"]
        folder = os.path.join(user, "AppData", "Local", "Programs", PRODUCT)
        self.assertEqual(files_under(folder) - {"licenses"}, SHIPPED | {"uninstall.exe"})
        # What the installer puts in place is what the zip holds, byte for byte.
        zip_folder = os.path.splitext(os.path.basename(self.zip))[0]
        for name in SHIPPED:
            with open(os.path.join(folder, name), "rb") as f:
                self.assertEqual(f.read(), self.zipped[f"{zip_folder}/{name}"], name)

        # The entry in the list of installed programs.
        entry = {line.split("=", 1)[0].strip('"'): line.split("=", 1)[1] for line in
                 registry(s.prefix)[("user.reg", r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane.Beamlet")]}
        windows_folder = "C:\\\\users\\\\" + os.path.basename(user) + "\\\\AppData\\\\Local\\\\Programs\\\\" + PRODUCT
        self.assertEqual({k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon",
                                                     "InstallLocation", "QuietUninstallString")},
                         {"DisplayName": f'"{PRODUCT}"', "DisplayVersion": f'"{os.environ["BEAMLET_VERSION"]}"',
                          "Publisher": '"Orvane"', "DisplayIcon": f'"{windows_folder}\\\\beamlet.exe,0"',
                          "InstallLocation": f'"{windows_folder}"',
                          "QuietUninstallString": f'"\\"{windows_folder}\\\\uninstall.exe\\" /S"'})
        size_kib = int(entry["EstimatedSize"].split(":")[1], 16)
        shipped_kib = sum(os.path.getsize(os.path.join(folder, n)) for n in SHIPPED) / 1024
        self.assertLess(abs(size_kib - shipped_kib), 16)

        # The Start menu entry, as the desktop shows it: Wine makes a menu entry of every
        # shortcut, with the icon it finds where the shortcut points.
        shortcut = os.path.join(user, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                                f"{PRODUCT}.lnk")
        self.assertTrue(os.path.exists(shortcut))
        menu_entry = os.path.join(s.home, ".local", "share", "applications", "wine", "Programs", f"{PRODUCT}.desktop")
        h.wait_until(lambda: os.path.exists(menu_entry), 30, what="the desktop's menu entry")
        with open(menu_entry, encoding="utf-8") as f:
            icon = re.search(r"^Icon=(.+)$", f.read(), re.M).group(1)
        icon_file = os.path.join(s.home, ".local", "share", "icons", "hicolor", "48x48", "apps", icon + ".png")
        h.wait_until(lambda: os.path.exists(icon_file), 30, what="the menu entry's icon")
        differing = subprocess.run(["compare", "-metric", "AE", icon_file, os.path.join(HERE, "..", "..", "assets",
                                    "main", "icon.png"), "null:"], capture_output=True, text=True).stderr.strip()
        self.assertEqual(differing, "0", "the menu entry's icon is not the program's")

        # The shortcut starts the program (its starter ends at once, as from the Start menu).
        subprocess.run(["wine", "start", "/unix", shortcut], env=s.wine_env, timeout=60, check=True)
        window = h.wait_until(lambda: s.windows(h.MAIN_TITLE), 60, what="the window started by the shortcut")
        s.close_by_window_manager(window[0])
        subprocess.run(["wineserver", "-w"], env=s.wine_env, timeout=60, check=True)

        # Run from there, it counts itself installed: its chime goes to the local application data.
        s.program_path = os.path.join(folder, "beamlet.exe")
        s.launch()
        self.assertEqual(s.get_code("Hi"), h.H + h.I)
        tone = os.path.join(user, "AppData", "Local", "Orvane", "beamlet", "tone.wav")
        h.wait_until(lambda: os.path.exists(tone), 20, what="tone.wav in the local application data")
        self.assertFalse(os.path.exists(os.path.join(folder, "tone.wav")))

        # While it runs, the uninstaller (run in place, to see its status) refuses and takes nothing.
        # (The folder goes last and unquoted: wine quotes no argument without spaces.)
        in_place = ("_?=" + windows_folder.replace("\\\\", "\\")).split(" ")
        status, _ = self.wine(s, os.path.join(folder, "uninstall.exe"), "/S", *in_place, idle=False)
        self.assertEqual(status, 2)
        self.assertEqual(files_under(folder) - {"licenses"}, SHIPPED | {"uninstall.exe"})

        h.wait_until(lambda: s.notification() is None, 30, what="the notification to go")
        s.close_by_window_manager(s.main_window)
        self.assertEqual(s.wait_exit(30), 0)

        uninstaller_size = os.path.getsize(os.path.join(folder, "uninstall.exe"))
        status, uninstall_time = self.wine(s, os.path.join(folder, "uninstall.exe"), "/S")
        self.assertEqual(status, 0)
        # Windows deletes the uninstaller's copy of itself in %TEMP% at the next start.
        status, _ = self.wine(s, "wineboot", "-r")
        self.assertEqual(status, 0)
        left = sorted(files_under(s.prefix) - before_files)
        gone = sorted(before_files - files_under(s.prefix))
        after_registry = registry(s.prefix)
        print(f"install {install_time:.1f} s, uninstall {uninstall_time:.1f} s (each with Wine's start), "
              f"uninstaller {uninstaller_size:,} bytes\n"
              f"files compared: {len(before_files)}; left: {left}; gone: {gone}\n"
              f"registry entries of ours before: {sorted(before_registry)}; after: {sorted(after_registry)}")
        print("the desktop's menu entry (Wine's, outside the prefix) "
              + ("is still there" if os.path.exists(menu_entry) else "went with it"))
        self.assertEqual((left, gone), ([], []))
        self.assertEqual(after_registry, before_registry)

    def test_zip_runs_unpacked_anywhere(self):
        s = self.session()
        folder = os.path.join(s.prefix, "drive_c", "unpacked")
        with zipfile.ZipFile(self.zip) as archive:
            archive.extractall(folder)
        [top] = os.listdir(folder)
        self.assertEqual(files_under(os.path.join(folder, top)) - {"licenses"}, SHIPPED)
        s.program_path = os.path.join(folder, top, "beamlet.exe")
        s.launch()
        # Not installed: its chime goes beside it.
        self.copy_and_close(s, os.path.join(folder, top, "tone.wav"))


if __name__ == "__main__":
    tools = ("wine", "wineserver", "makensis", "compare", *("Xvfb", "openbox", "xdotool", "xclip", "xprop", "wmctrl"))
    missing = [t for t in tools if shutil.which(t) is None]
    if missing or not WINDOWS_BUILD or not os.path.exists(os.path.join(WINDOWS_BUILD, "beamlet.exe")):
        print(f"skipped: needs {', '.join(missing) or 'a Windows build in BEAMLET_WINDOWS_BUILD_DIR'}")
        sys.exit(SKIP)
    sys.path.insert(0, HERE)
    sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "windows"))
    import harness as h  # noqa: E402
    from wine_smoke import wine_session_class  # noqa: E402
    WineSession = wine_session_class(h, WINDOWS_BUILD)
    unittest.main(verbosity=2)
