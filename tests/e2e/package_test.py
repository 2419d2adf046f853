"""Builds the Debian packages twice with scripts/package, in two different
folders, and checks what a Debian maintainer checks: byte-identical builds,
lintian without errors or warnings, a hardened and stripped program with its
debug symbols apart, the fields and files. Then unpacks the package into a
scratch root and starts the unpacked program under Xvfb until its region
window appears.

Usage: package_test.py SOURCE_DIR VERSION
"""

import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

from program_texts import MAIN_TITLE
from xsession import XSession, wait_for

SOURCE_DIR = None
VERSION = None
ARCH = subprocess.run(["dpkg", "--print-architecture"], check=True, capture_output=True,
                      text=True).stdout.strip()


def chinese_face_packages(source_dir):
    """The Debian packages of the Chinese faces, in the program's order of
    preference, each once: any one of them will do."""
    packages = []
    with open(os.path.join(source_dir, "design", "chinese_faces.list"), encoding="utf-8") as faces:
        for line in faces:
            fields = line.strip().split("|")
            if not line.startswith("#") and len(fields) >= 3 and fields[2] not in packages:
                packages.append(fields[2])
    return " | ".join(packages)


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


def build(out):
    package = subprocess.run([os.path.join(SOURCE_DIR, "scripts", "package"), out], capture_output=True, text=True)
    if package.returncode != 0:
        raise AssertionError("scripts/package failed:\n" + package.stdout + package.stderr)
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(out, "*.deb")))


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.first = os.path.join(cls.scratch.name, "first")
        cls.second = os.path.join(cls.scratch.name, "second")
        cls.debs = build(cls.first)
        cls.deb = os.path.join(cls.first, f"tessaline_{VERSION}_{ARCH}.deb")
        cls.root = os.path.join(cls.scratch.name, "root")
        run("dpkg", "-x", cls.deb, cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_the_program_and_its_debug_symbols_are_built(self):
        self.assertEqual(self.debs, [f"tessaline-dbgsym_{VERSION}_{ARCH}.deb", f"tessaline_{VERSION}_{ARCH}.deb"])

    def test_two_builds_in_different_folders_are_identical(self):
        self.assertEqual(build(self.second), self.debs)
        for name in self.debs:
            with open(os.path.join(self.first, name), "rb") as a, open(os.path.join(self.second, name), "rb") as b:
                self.assertTrue(a.read() == b.read(), f"{name} differs between two builds")

    def test_lintian_reports_no_error_and_no_warning(self):
        changes = glob.glob(os.path.join(self.first, "*.changes"))
        self.assertEqual(len(changes), 1, changes)
        report = subprocess.run(["lintian", "--pedantic", "--display-info", changes[0]],
                                capture_output=True, text=True)
        tags = [line for line in report.stdout.splitlines() if re.match(r"[EWIPX]: ", line)]
        self.assertEqual([t for t in tags if t[0] in "EW"], [], report.stdout)
        self.assertEqual(report.returncode, 0, report.stdout + report.stderr)

    def test_the_fields(self):
        fields = run("dpkg-deb", "-f", self.deb, "Package", "Version", "Depends", "Recommends")
        self.assertIn("Package: tessaline\n", fields)
        self.assertIn(f"Version: {VERSION}\n", fields)
        depends = [line for line in fields.splitlines() if line.startswith("Depends:")][0]
        self.assertIn("libqt6widgets6", depends)  # from the libraries actually linked
        self.assertTrue(depends.endswith(", " + chinese_face_packages(SOURCE_DIR)), depends)
        self.assertNotIn("Recommends:", fields)

    def test_the_program_is_hardened_and_stripped(self):
        program = os.path.join(self.root, "usr/bin/tessaline")
        sections = run("readelf", "-S", "-W", program)
        for section in (".debug_info", ".symtab", ".comment"):
            self.assertNotIn(section, sections)
        dynamic = run("readelf", "-d", "-W", program)
        self.assertRegex(dynamic, r"FLAGS.*\bBIND_NOW\b")
        self.assertRegex(dynamic, r"FLAGS_1.*\bPIE\b")
        self.assertNotRegex(dynamic, r"RPATH|RUNPATH")
        symbols = run("readelf", "--dyn-syms", "-W", program)
        self.assertIn("__stack_chk_fail", symbols)
        self.assertRegex(symbols, r"__\w+_chk@")  # fortified calls

        build_id = re.search(r"Build ID: ([0-9a-f]+)", run("readelf", "-n", program)).group(1)
        debug = run("dpkg-deb", "-c", os.path.join(self.first, self.debs[0]))
        self.assertIn(f"usr/lib/debug/.build-id/{build_id[:2]}/{build_id[2:]}.debug", debug)

    def test_the_files(self):
        for path in ("usr/bin/tessaline",
                     "usr/share/applications/net.velmora.Tessaline.desktop",
                     "usr/share/metainfo/net.velmora.Tessaline.metainfo.xml",
                     "usr/share/icons/hicolor/32x32/apps/net.velmora.Tessaline.png",
                     "usr/share/icons/hicolor/128x128/apps/net.velmora.Tessaline.png",
                     "usr/share/man/man1/tessaline.1.gz",
                     "usr/share/doc/tessaline/changelog.gz"):
            self.assertTrue(os.path.exists(os.path.join(self.root, path)), path)
        self.assertFalse(glob.glob(os.path.join(self.root, "usr/include/*")), "developer files in the package")
        with open(os.path.join(self.root, "usr/share/doc/tessaline/copyright")) as copyright:
            self.assertTrue(copyright.readline().startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                                                            "copyright-format/1.0/"))
        with open(os.path.join(self.root, "usr/share/metainfo/net.velmora.Tessaline.metainfo.xml")) as metainfo:
            self.assertIn("<project_license>MIT</project_license>", metainfo.read())

    def test_the_unpacked_program_runs(self):
        x = XSession()
        try:
            copy = x.start(os.path.join(self.root, "usr/bin/tessaline"))
            self.assertTrue(wait_for(lambda: x.windows_named(copy.pid, MAIN_TITLE), 6),
                            "the unpacked program showed no region window")
        finally:
            x.close()


if __name__ == "__main__":
    SOURCE_DIR = os.path.abspath(sys.argv[1])
    VERSION = sys.argv[2]
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)
