"""The Windows installer under Wine: it installs the program under Program
Files with a Start-menu shortcut and an uninstall entry, a newer version
replaces it, and removing it leaves none of that behind.

Usage: installer_test.py MSI WXS_TEMPLATE PREFIX
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

MSI, TEMPLATE, PREFIX = (os.path.abspath(a) for a in sys.argv[1:4]) if len(sys.argv) > 3 else (None,) * 3
ENV = dict(os.environ, WINEPREFIX=PREFIX or "", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
ENV.pop("DISPLAY", None)
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def wine(*args):
    return subprocess.run(["wine", *args], env=ENV, capture_output=True, text=True, errors="replace")


def drive_c(*path):
    return os.path.join(PREFIX, "drive_c", *path)


def entries():
    """The uninstall entries named Tessaline: {version}."""
    out = wine("reg", "query", UNINSTALL, "/s").stdout
    found, version, name = [], None, None
    for line in out.splitlines() + [""]:
        if line.startswith("HKEY_"):
            if name == "Tessaline":
                found.append(version)
            version = name = None
        elif (m := re.match(r"\s+DisplayName\s+REG_SZ\s+(.*)", line)):
            name = m.group(1).strip()
        elif (m := re.match(r"\s+DisplayVersion\s+REG_SZ\s+(.*)", line)):
            version = m.group(1).strip()
    if name == "Tessaline":
        found.append(version)
    return found


class InstallerTest(unittest.TestCase):
    def setUp(self):
        shutil.rmtree(PREFIX, ignore_errors=True)
        subprocess.run(["wineboot", "-i"], env=ENV, check=True, capture_output=True)
        self.addCleanup(lambda: subprocess.run(["wineserver", "-k"], env=ENV, capture_output=True))

    def newer(self, directory):
        """The same program packaged as version 8.6."""
        shutil.copy(os.path.join(os.path.dirname(MSI), "tessaline.exe"), directory)
        shutil.copy(os.path.join(os.path.dirname(MSI), "tessaline.ico"), directory)
        with open(TEMPLATE) as source, open(os.path.join(directory, "tessaline.wxs"), "w") as out:
            out.write(source.read().replace("@PROJECT_VERSION@", "8.6"))
        subprocess.run(["wixl", "--arch", "x64", "-o", "newer.msi", "tessaline.wxs"], cwd=directory, check=True,
                       capture_output=True)
        return os.path.join(directory, "newer.msi")

    def test_install_upgrade_remove(self):
        program = drive_c("Program Files", "Tessaline", "tessaline.exe")
        # The Start menu's programs: all users', or, as Wine resolves it, the
        # installing user's.
        shortcuts = [drive_c(*base, "Microsoft", "Windows", "Start Menu", "Programs", "Tessaline.lnk")
                     for base in (("ProgramData",), ("users", os.environ.get("USER", "root"), "AppData", "Roaming"))]
        self.assertEqual(wine("msiexec", "/i", MSI, "/qn").returncode, 0)
        self.assertTrue(os.path.exists(program), "not under Program Files")
        with open(program, "rb") as installed, open(os.path.join(os.path.dirname(MSI), "tessaline.exe"), "rb") as built:
            self.assertEqual(installed.read(), built.read())
        self.assertTrue(any(os.path.exists(s) for s in shortcuts), "no Start-menu shortcut")
        self.assertEqual(entries(), ["8.5.0"])

        with tempfile.TemporaryDirectory() as directory:
            self.assertEqual(wine("msiexec", "/i", self.newer(directory), "/qn").returncode, 0)
            self.assertEqual(entries(), ["8.6.0"], "the older version stayed beside the newer")
            self.assertTrue(os.path.exists(program))
            self.assertEqual(wine("msiexec", "/x", os.path.join(directory, "newer.msi"), "/qn").returncode, 0)
        self.assertEqual(entries(), [])
        self.assertFalse(os.path.exists(program), "the program stayed")
        self.assertFalse(any(os.path.exists(s) for s in shortcuts), "the shortcut stayed")
        self.assertFalse(os.path.exists(os.path.dirname(program)), "its folder stayed")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[4:]], verbosity=2)
