#!/usr/bin/env python3
"""The Debian package: built from the install rules, clean for lintian, and the
program unpacked from it copies and chimes wherever the unpacked tree stands;
installed, it writes nothing into the system's folders."""

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

    def test_installed_and_run_by_root_it_writes_nothing_under_its_prefix(self):
        # Root may write into /usr/bin, and a tone.wav left there would outlive the package's purge.
        if os.geteuid() != 0:
            self.skipTest("laying the package over /usr and running it as root takes root")
        folder = os.path.join(self.s.tmp, "package")
        subprocess.run([os.environ["BEAMLET_CPACK"], "-G", "DEB", "-B", folder], cwd=os.environ["BEAMLET_BUILD_DIR"],
                       check=True, capture_output=True, timeout=600)
        [deb] = glob.glob(os.path.join(folder, "*.deb"))
        unpacked, written, work = (os.path.join(self.s.tmp, name) for name in ("unpacked", "written", "work"))
        output("dpkg-deb", "-x", deb, unpacked)
        os.makedirs(written)
        os.makedirs(work)
        # The package's files laid over /usr, as installed, in a mount namespace of the program's own:
        # whatever it writes under /usr lands in `written`, and the system's /usr stays as it is.
        layers = f"lowerdir={unpacked}/usr:/usr,upperdir={written},workdir={work}"
        installed = ["unshare", "--mount", "--propagation", "private",
                     "sh", "-c", f'mount -t overlay beamlet -o {layers} /usr && exec "$0"']
        if subprocess.run([*installed, "/bin/true"], capture_output=True, timeout=60).returncode != 0:
            self.skipTest("this system allows no overlay mount in a namespace of one's own")
        self.s.program_path = "/usr/bin/beamlet"
        self.s.launch(wrapper=installed)
        self.assertEqual(self.s.get_code("Hi"), H + I)
        cached = os.path.join(self.s.home, ".cache", "Orvane", "beamlet", "tone.wav")

        def under_prefix():
            return [os.path.relpath(os.path.join(top, name), written)
                    for top, folders, files in os.walk(written) for name in folders + files]

        h.wait_until(lambda: os.path.exists(cached) or under_prefix(), 10, what="tone.wav to be written")
        h.wait_until(lambda: not self.s.notification(), 15, what="the notification to go away")
        self.assertEqual(under_prefix(), [])
        self.assertTrue(os.path.exists(cached))


if __name__ == "__main__":
    h.main()
