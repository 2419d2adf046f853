"""The real program under sway (headless backend), read through sway's IPC,
driven through a virtual keyboard and AT-SPI; each test runs in a process of
its own with a sway of its own. Run as root, sway and the program run as an
unprivileged user (see sway_session).

Usage: /usr/bin/python3 sway_test.py PATH_TO_TESSALINE [TEST ...]
"""

import os
import subprocess
import tempfile
import unittest

import session_per_test
from desktop_checks import DesktopChecks
from sway_session import SwaySession
from wayland_client import toplevel_parents
from program_texts import ACCESSIBLE, PATIENCE
from xsession import ProgramTestCase, wait_for

SESSION = session_per_test.start(lambda: SwaySession(accessibility=True))
APP_ID = "net.velmora.Tessaline"


class SwayTest(DesktopChecks, ProgramTestCase):
    session = SESSION
    # sway's IPC does not say whose child a window is; the program's own
    # protocol log does.
    start_env = {**ACCESSIBLE, "WAYLAND_DEBUG": "client"}
    kept = ("id", "frame")  # just after a map, sway's window_rect may lag the title bar its frame has

    def press(self, window, *keys):
        self.session.focus(window)
        self.session.key(*keys)

    def assert_frameless(self, window):
        self.assertFalse(window.server_decorated, window)
        self.assertEqual(window.frame, window.client)

    def assert_belongs_to(self, child, owner):
        self.assertEqual(toplevel_parents(self.session.logs()).get(child.title), owner.title)

    def assert_over(self, window, owner):
        # sway centres a window's client area, not its frame, and on the screen
        # rather than over its parent: over, then, is within.
        (x, y, width, height), (ox, oy, owidth, oheight) = window.frame, owner.frame
        self.assertTrue(ox <= x and oy <= y and x + width <= ox + owidth and y + height <= oy + oheight,
                        (window.frame, owner.frame))

    test_about_opens_over_its_lookup_window = unittest.skip(
        "sway 1.7 centres every new floating window on the screen, whoever's child it is")(
        DesktopChecks.test_about_opens_over_its_lookup_window)
    test_lookup_windows_are_fixed_and_on_the_taskbar = unittest.skip(
        "sway's IPC reports no window's type, owner or maximise button, and sway has no taskbar")(
        DesktopChecks.test_lookup_windows_are_fixed_and_on_the_taskbar)

    def test_the_lookup_window_as_sway_sees_it(self):
        window = self.lookup_window_of(self.start())
        self.assertEqual(window.app, APP_ID)
        # Of fixed size, so floating, in a frame of sway's.
        self.assertTrue(window.native["floating"])
        # sway frames it once the program has asked for a frame of the
        # compositor's (xdg-decoration), which may come after the first map.
        self.assertTrue(wait_for(lambda: self.now(window).server_decorated, PATIENCE), self.now(window))
        self.assertTrue(window.native["focused"])
        with tempfile.TemporaryDirectory() as directory:
            picture = os.path.join(directory, "window.png")
            self.session.capture(picture, window)
            described = subprocess.run(["identify", "-format", "%w %h %k", picture], capture_output=True,
                                       text=True).stdout.split()
            self.assertEqual(tuple(int(v) for v in described[:2]), window.frame[2:])
            self.assertGreater(int(described[2]), 100, "a blank picture")


if __name__ == "__main__":
    session_per_test.main(SwayTest, SESSION)
