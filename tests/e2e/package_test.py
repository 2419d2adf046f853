"""Builds the Debian package, unpacks it into a scratch root and starts the
unpacked program under Xvfb until its region window appears.

Usage: package_test.py BUILD_DIR
"""

import glob
import os
import subprocess
import sys
import tempfile
import unittest

from xsession import MAIN_TITLE, XSession, wait_for

BUILD_DIR = None


class PackageTest(unittest.TestCase):
    def test_the_unpacked_package_runs(self):
        with tempfile.TemporaryDirectory() as scratch:
            subprocess.run(["cpack", "-G", "DEB", "-B", scratch, "--config",
                            os.path.join(BUILD_DIR, "CPackConfig.cmake")],
                           check=True, stdout=subprocess.DEVNULL)
            debs = glob.glob(os.path.join(scratch, "*.deb"))
            self.assertEqual(len(debs), 1, debs)

            fields = subprocess.run(["dpkg-deb", "-f", debs[0], "Package", "Depends", "Recommends"],
                                    check=True, capture_output=True, text=True).stdout
            self.assertIn("Package: tessaline", fields)
            self.assertIn("libqt6widgets6", fields)  # from the libraries actually linked
            depends = [line for line in fields.splitlines() if line.startswith("Depends:")][0]
            self.assertIn("fonts-arphic-uming | fonts-noto-cjk | fonts-arphic-ukai | fonts-wqy-microhei"
                          " | fonts-wqy-zenhei", depends)
            self.assertNotIn("Recommends:", fields)

            root = os.path.join(scratch, "root")
            subprocess.run(["dpkg", "-x", debs[0], root], check=True)
            for path in ("usr/bin/tessaline",
                         "usr/share/applications/net.velmora.Tessaline.desktop",
                         "usr/share/metainfo/net.velmora.Tessaline.metainfo.xml",
                         "usr/share/icons/hicolor/32x32/apps/net.velmora.Tessaline.png",
                         "usr/share/icons/hicolor/128x128/apps/net.velmora.Tessaline.png"):
                self.assertTrue(os.path.exists(os.path.join(root, path)), path)
            self.assertFalse(glob.glob(os.path.join(root, "usr/include/*")), "developer files in the package")

            x = XSession()
            try:
                copy = x.start(os.path.join(root, "usr/bin/tessaline"))
                self.assertTrue(wait_for(lambda: x.windows_named(copy.pid, MAIN_TITLE), 6),
                                "the unpacked program showed no region window")
            finally:
                x.close()


if __name__ == "__main__":
    BUILD_DIR = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
