"""The real program under KDE's compositor on Wayland (kwin_wayland, virtual
backend), read through KWin's scripting interface, driven through its
fake-input protocol and AT-SPI; each test runs in a process of its own with a
KWin of its own.

Where KWin composites without OpenGL, its screenshot interface does not
exist, and the picture test is marked as an expected failure with its reason.

Usage: /usr/bin/python3 kwin_wayland_test.py PATH_TO_TESSALINE [TEST ...]
"""

import os
import subprocess
import tempfile
import unittest

import session_per_test
from desktop_checks import SCREEN, DesktopChecks
from kwin_session import KWinWaylandSession
from xsession import ProgramTestCase

SESSION = session_per_test.start(lambda: KWinWaylandSession(accessibility=True))
APP_ID = "net.velmora.Tessaline"


def _without_opengl(test):
    """KWin's screenshot interface is an effect that runs only on OpenGL
    compositing. KWin 5.27's virtual backend gets OpenGL from Mesa's
    software renderer even without a GPU; KWin 6's only on a DRM render node
    (/dev/dri/renderD*), and falls back to software compositing where there
    is none, as in a container without a GPU. Decided in the process that
    runs the test, where the session already runs (see session_per_test)."""
    test.failure_reason = "KWin composites without OpenGL here: no screenshot interface"
    if SESSION is not None and SESSION.compositing_type() != "gl2":
        return unittest.expectedFailure(test)
    return test


class KWinWaylandTest(DesktopChecks, ProgramTestCase):
    session = SESSION

    def press(self, window, *keys):
        self.session.activate(window)
        self.session.key(*keys)

    def assert_frameless(self, window):
        self.assertFalse(window.server_decorated, window)
        self.assertEqual(window.frame, window.native["buffer"])

    def test_the_lookup_window_as_kwin_sees_it(self):
        copy = self.start()
        window = self.lookup_window_of(copy)
        self.assertEqual((window.app, window.native["desktop_file"]), (APP_ID, APP_ID))
        # KWin's title bar above the client, which is of fixed size.
        self.assertTrue(window.server_decorated, window)
        x, y, width, height = window.frame
        self.assertTrue(0 <= x and 0 <= y and x + width <= SCREEN[0] and y + height <= SCREEN[1], window.frame)

    @_without_opengl
    def test_a_picture_of_the_lookup_window(self):
        window = self.lookup_window_of(self.start())
        _, _, width, height = window.frame
        with tempfile.TemporaryDirectory() as directory:
            picture = os.path.join(directory, "window.png")
            picture_width, picture_height, _ = self.session.capture(picture, window)
            # The frame, and KWin's shadow round it.
            self.assertGreaterEqual(picture_width, width)
            self.assertGreaterEqual(picture_height, height)
            colours = subprocess.run(["identify", "-format", "%k", picture], capture_output=True, text=True).stdout
            self.assertGreater(int(colours), 100, "a blank picture")


if __name__ == "__main__":
    session_per_test.main(KWinWaylandTest, SESSION)
