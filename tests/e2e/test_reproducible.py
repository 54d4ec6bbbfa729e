#!/usr/bin/env python3
"""One source, one package: the package built a second time, from a copy of the
source in other folders, later, in another time zone, locale and umask, is the
same file byte for byte as the one built from this build's install rules. When it
is not, the test names every file of the package that differs and how (and adds
diffoscope's report when diffoscope is installed). The same holds for the Windows
installer and zip of the Windows build in BEAMLET_WINDOWS_BUILD_DIR, if one is
named, built again by the copy's scripts/dev.sh windows."""

import hashlib
import io
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import unittest

SKIP = 77
BUILD = os.environ.get("BEAMLET_BUILD_DIR", "")
SOURCE = os.environ.get("BEAMLET_SOURCE_DIR", "")
CMAKE = os.environ.get("BEAMLET_CMAKE", "cmake")
CPACK = os.environ.get("BEAMLET_CPACK", "cpack")
WINDOWS_BUILD = os.environ.get("BEAMLET_WINDOWS_BUILD_DIR", "")
OTHER_UMASK = 0o077


def run(cmd, **kwargs):
    done = subprocess.run(cmd, capture_output=True, text=True, timeout=1500, **kwargs)
    if done.returncode != 0:
        raise AssertionError(f"{' '.join(cmd)} failed ({done.returncode}):\n{done.stdout[-3000:]}{done.stderr[-3000:]}")
    return done.stdout


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":")[0] == name:
                return value
    return ""


def git_checkout(source):
    """Whether the source is its own git checkout (not a folder inside another)."""
    if shutil.which("git") is None:
        return False
    top = subprocess.run(["git", "-C", source, "rev-parse", "--show-toplevel"], capture_output=True, text=True)
    return top.returncode == 0 and os.path.realpath(top.stdout.strip()) == os.path.realpath(source)


def copy_source(source, target):
    """Copies what a clone or a tarball would hold (with local changes), without build folders."""
    if git_checkout(source):
        listed = run(["git", "-C", source, "ls-files", "-z", "--cached", "--others", "--exclude-standard"])
        names = [n for n in listed.split("\0") if n and os.path.lexists(os.path.join(source, n))]
    else:
        names = []
        for folder, dirs, files in os.walk(source):
            dirs[:] = [d for d in dirs if d != ".git"
                       and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt"))]
            names += [os.path.relpath(os.path.join(folder, f), source) for f in files]
    for name in names:
        os.makedirs(os.path.dirname(os.path.join(target, name)), exist_ok=True)
        shutil.copy(os.path.join(source, name), os.path.join(target, name), follow_symlinks=False)


def build_package(build, folder, env=None, umask=None):
    run([CPACK, "-G", "DEB", "-B", folder], cwd=build, env=env, preexec_fn=umask and (lambda: os.umask(umask)))
    debs = [os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".deb")]
    if len(debs) != 1:
        raise AssertionError(f"expected one package in {folder}, found {debs}")
    return debs[0]


def ar_members(data):
    """The members of a Debian package (an ar archive): name -> (header fields, content)."""
    assert data[:8] == b"!<arch>\n", "not an ar archive"
    members, at = {}, 8
    while at < len(data):
        header = data[at:at + 60]
        name, mtime, uid, gid, mode, size = (header[s:e].decode().strip() for s, e in
                                             ((0, 16), (16, 28), (28, 34), (34, 40), (40, 48), (48, 58)))
        content = data[at + 60:at + 60 + int(size)]
        members[name.rstrip("/")] = ({"mtime": mtime, "uid": uid, "gid": gid, "mode": mode}, content)
        at += 60 + int(size) + int(size) % 2
    return members


def entries(deb):
    """Every file of the package with what the archive says about it, keyed by member and path."""
    with open(deb, "rb") as f:
        members = ar_members(f.read())
    found = {}
    for member, (fields, content) in members.items():
        found[member] = dict(fields, order=list(members).index(member), sha256=hashlib.sha256(content).hexdigest())
        if ".tar" in member:
            with tarfile.open(fileobj=io.BytesIO(content), mode="r:*") as tar:
                for order, info in enumerate(tar.getmembers()):
                    body = tar.extractfile(info).read() if info.isfile() else b""
                    found[f"{member}/{info.name}"] = {
                        "order": order, "type": info.type, "mode": oct(info.mode), "owner": f"{info.uname}:{info.gname}",
                        "ids": f"{info.uid}:{info.gid}", "mtime": info.mtime, "link": info.linkname,
                        "sha256": hashlib.sha256(body).hexdigest()}
    return found


def differences(first, second):
    """One line per package file that differs: its name and what differs."""
    lines = []
    for name in sorted(set(first) | set(second)):
        a, b = first.get(name), second.get(name)
        if a is None or b is None:
            lines.append(f"{name}: only in the {'second' if a is None else 'first'} package")
        elif a != b:
            lines.append(f"{name}: " + ", ".join(f"{k} {a[k]} != {b[k]}" for k in a if a[k] != b.get(k)))
    return lines


def file_sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def diffoscope(first, second):
    """The start of diffoscope's report on two files, when it is installed (on a whole
    binary it can run to a million lines)."""
    if not shutil.which("diffoscope"):
        return ""
    return "\n\ndiffoscope:\n" + subprocess.run(
        ["diffoscope", "--text", "-", "--max-text-report-size", "60000", first, second],
        capture_output=True, text=True, timeout=900).stdout[:60000]


def other_locale():
    current = os.environ.get("LC_ALL") or os.environ.get("LANG") or "C"
    available = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    others = [loc for loc in available if loc.lower().replace("-", "") != current.lower().replace("-", "")]
    return next((loc for loc in others if not loc.startswith(("C", "POSIX"))), others[0] if others else "C")


def elsewhere():
    """The environment of a second build: the far side of the date line, another
    locale, and a compiler cache that compiles anew instead of handing back the
    first build's objects."""
    env = dict(os.environ, TZ="Pacific/Kiritimati" if os.environ.get("TZ") != "Pacific/Kiritimati" else "UTC",
               LC_ALL=other_locale(), CCACHE_RECACHE="1")
    if "SOURCE_DATE_EPOCH" not in env and git_checkout(SOURCE):
        # The copy has no history: it gets the date the first build took from git.
        env["SOURCE_DATE_EPOCH"] = run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"]).strip()
    return env


class ReproduciblePackageTest(unittest.TestCase):
    def test_second_build_elsewhere_gives_the_same_package(self):
        # Inside this build's folder, so that a compiler cache that writes the
        # paths below its base folder as relative ones (ccache's base_dir) does so
        # in both builds.
        tmp = tempfile.mkdtemp(prefix="reproducible-", dir=BUILD)
        first = build_package(BUILD, os.path.join(tmp, "first"))

        # The second build: other folder names at another depth (the build folder
        # where it is from the source here), elsewhere() and a strict umask.
        source = os.path.join(tmp, "second", "a", "longer", "path", "beamlet-source-copy")
        build = os.path.normpath(os.path.join(source, os.path.relpath(BUILD, SOURCE)))
        copy_source(SOURCE, source)
        env = elsewhere()
        strict = {"env": env, "preexec_fn": lambda: os.umask(OTHER_UMASK)}
        run([CMAKE, "-S", source, "-B", build, "-G", cache_value(BUILD, "CMAKE_GENERATOR"),
             "-DCMAKE_BUILD_TYPE=" + cache_value(BUILD, "CMAKE_BUILD_TYPE"),
             "-DCMAKE_CXX_COMPILER=" + cache_value(BUILD, "CMAKE_CXX_COMPILER"),
             "-DCMAKE_CXX_COMPILER_LAUNCHER=" + cache_value(BUILD, "CMAKE_CXX_COMPILER_LAUNCHER"),
             "-DBEAMLET_SANITIZE=" + (cache_value(BUILD, "BEAMLET_SANITIZE") or "OFF"), "-DBEAMLET_TESTS=OFF"],
            **strict)
        run([CMAKE, "--build", build, "-j", str(os.cpu_count() or 2)], **strict)
        second = build_package(build, os.path.join(tmp, "second", "package"), env, OTHER_UMASK)

        with open(first, "rb") as a, open(second, "rb") as b:
            same = a.read() == b.read()
        if not same:
            self.fail(f"the two packages differ (both kept in {tmp}):\n"
                      + "\n".join(differences(entries(first), entries(second))) + diffoscope(first, second))
        shutil.rmtree(tmp)

    @unittest.skipUnless(WINDOWS_BUILD, "no Windows build named (BEAMLET_WINDOWS_BUILD_DIR)")
    def test_second_windows_build_elsewhere_gives_the_same_installer_and_zip(self):
        run([CMAKE, "--build", WINDOWS_BUILD, "--target", "installer"])
        tmp = tempfile.mkdtemp(prefix="reproducible-", dir=WINDOWS_BUILD)
        source = os.path.join(tmp, "a", "longer", "path", "beamlet-source-copy")
        copy_source(SOURCE, source)
        second = os.path.join(source, "build-windows")
        run([os.path.join(source, "scripts", "dev.sh"), "windows"], env=dict(elsewhere(), BEAMLET_WINDOWS_BUILD_DIR=second),
            preexec_fn=lambda: os.umask(OTHER_UMASK))
        names = sorted(f for f in os.listdir(WINDOWS_BUILD) if f.startswith("beamlet-") and f.endswith((".exe", ".zip")))
        self.assertEqual(len(names), 2, names)
        differing = [n for n in names if file_sha256(os.path.join(WINDOWS_BUILD, n)) != file_sha256(os.path.join(second, n))]
        if differing:
            self.fail(f"{', '.join(differing)} differ (kept in {WINDOWS_BUILD} and {second}):"
                      + "".join(diffoscope(os.path.join(WINDOWS_BUILD, n), os.path.join(second, n)) for n in differing))
        shutil.rmtree(tmp)


if __name__ == "__main__":
    missing = [t for t in ("dpkg-deb", "dpkg-shlibdeps") if shutil.which(t) is None]
    if missing or not BUILD or not SOURCE:
        print(f"skipped: needs {', '.join(missing) or 'BEAMLET_BUILD_DIR and BEAMLET_SOURCE_DIR'}")
        sys.exit(SKIP)
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    sys.exit(SKIP if result.testsRun and len(result.skipped) == result.testsRun else 0)
