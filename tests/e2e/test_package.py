#!/usr/bin/env python3
"""The Debian package: built from the install rules, clean for lintian, and the
program unpacked from it copies and chimes wherever the unpacked tree stands."""

import glob
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
import test_sound as sound  # noqa: E402
from harness import H, I  # noqa: E402


def output(*cmd):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, timeout=600).stdout.strip()


class PackageTest(h.SessionTestCase):
    audio = True
    start_program = False  # the recording sink comes first

    def test_package_builds_passes_lintian_and_runs_unpacked(self):
        folder = os.path.join(self.s.tmp, "package")
        subprocess.run([os.environ["BEAMLET_CPACK"], "-G", "DEB", "-B", folder], cwd=os.environ["BEAMLET_BUILD_DIR"],
                       check=True, capture_output=True, timeout=600)
        arch, multiarch = output("dpkg", "--print-architecture"), output("dpkg-architecture", "-qDEB_HOST_MULTIARCH")
        deb = os.path.join(folder, f"beamlet_{os.environ['BEAMLET_VERSION']}_{arch}.deb")
        self.assertEqual(glob.glob(os.path.join(folder, "*.deb")), [deb])

        files = {line.split()[-1].lstrip(".") for line in output("dpkg-deb", "-c", deb).splitlines()
                 if line.startswith("-")}
        self.assertEqual(files, {"/usr/bin/beamlet", f"/usr/lib/{multiarch}/beamlet/beamlet_sound.so",
                                 "/usr/share/applications/org.orvane.Beamlet.desktop",
                                 "/usr/share/metainfo/org.orvane.Beamlet.metainfo.xml",
                                 "/usr/share/icons/hicolor/48x48/apps/org.orvane.Beamlet.png",
                                 "/usr/share/icons/hicolor/256x256/apps/org.orvane.Beamlet.png",
                                 "/usr/share/man/man1/beamlet.1.gz", "/usr/share/doc/beamlet/copyright",
                                 "/usr/share/doc/beamlet/changelog.gz"})
        lint = subprocess.run(["lintian", "--fail-on", "error,warning", deb], capture_output=True, text=True,
                              timeout=600)
        self.assertEqual((lint.returncode, [l for l in lint.stdout.splitlines() if l[:2] in ("E:", "W:")]), (0, []),
                         lint.stdout + lint.stderr)

        # Unpacked anywhere, the program finds its sound module beside itself.
        root = os.path.join(self.s.tmp, "unpacked")
        output("dpkg-deb", "-x", deb, root)
        self.s.program_path = os.path.join(root, "usr", "bin", "beamlet")
        recorder = sound.SoundRecorder(self.s, os.path.join(self.s.tmp, "heard.wav"))
        self.s.launch()
        self.assertEqual(self.s.get_code("Hi"), H + I)
        tone = os.path.join(root, "usr", "bin", "tone.wav")
        h.wait_until(lambda: os.path.exists(tone), 10, what="the notification to arrive")
        h.wait_until(lambda: not self.s.notification(), 15, what="the notification to go away")
        recorder.stop()
        _, _, heard = sound.read_wav(recorder.path)
        _, _, original = sound.read_wav(h.TONE_SOURCE)
        self.assertEqual(sound.chime_faults(heard, original), [])


if __name__ == "__main__":
    h.main()
