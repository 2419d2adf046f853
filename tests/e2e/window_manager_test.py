"""The real program under a real EWMH window manager (openbox) on Xvfb: what
the window manager is told about each window, read from the outside as xprop
reads it, and where the windows open: desktop_checks, with a session of its
own for each test and no accessibility bus, as a plain X session has.

Usage: window_manager_test.py PATH_TO_TESSALINE [unittest arguments]
TESSALINE_WINDOW_MANAGER=xfwm4 (or mutter) runs the same checks under that
window manager instead.
"""

import os
import sys
import unittest

from desktop_checks import DesktopChecks, centre
from program_texts import PATIENCE, MAIN_TITLE
from xsession import ProgramTestCase, XSession, wait_for

MWM_DECORATIONS_GIVEN, MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE = 1 << 1, 1 << 3, 1 << 4
MWM_DECOR_MINIMIZE, MWM_DECOR_MAXIMIZE = 1 << 5, 1 << 6
ROLES = {"地区查询": "lookup-by-region", "区号查询": "lookup-by-code"}  # WM_WINDOW_ROLE


class WindowManagerTest(DesktopChecks, ProgramTestCase):
    window_manager = os.environ.get("TESSALINE_WINDOW_MANAGER", "openbox")
    start_env = {}
    closes_to_end = True
    placement_patience = 0  # the X window stays through a switch, in its place once its role says so

    def setUp(self):
        self.session = XSession(window_manager=self.window_manager)
        self.addCleanup(self.session.close)

    def press(self, window, *keys):
        self.session.press(window.id, *keys)

    def page(self, copy, description):
        """Which lookup the window offers, as its role says to a window manager."""
        found = wait_for(lambda: [w for w in self.session.windows_named(copy.pid, MAIN_TITLE)
                                  if self.session.role(w) == ROLES[description]], PATIENCE)
        self.assertTrue(found, f"no lookup window with role {ROLES[description]}: {self.reported(copy)}")

    def lookup_window_of(self, copy):
        window = super().lookup_window_of(copy)
        # Framed before anything is asked of it: a move before then is undone.
        self.assertTrue(wait_for(lambda: self.session.property(window.id, "_NET_FRAME_EXTENTS"), PATIENCE),
                        "never framed")
        return self.now(window)

    def switch(self, copy, window, to):
        switched = super().switch(copy, window, to)
        self.assertEqual(switched.id, window.id, "the switch made another X window")  # only its role changes
        return switched

    def assert_frameless(self, window):
        # Without a frame also for window managers that ignore the type.
        flags, _, decorations = self.session.motif_hints(window.id)
        self.assertTrue(flags & MWM_DECORATIONS_GIVEN)
        self.assertEqual(decorations, 0)
        # Managed, then either in a frame with no borders or in none at all.
        self.assertTrue(wait_for(lambda: self.session.property(window.id, "WM_STATE"), PATIENCE),
                        "the window manager left the start-up window unmanaged")
        if self.session.framed(window.id):
            self.assertTrue(wait_for(lambda: self.session.property(window.id, "_NET_FRAME_EXTENTS"), PATIENCE),
                            "a frame with no extents")
            self.assertEqual(self.session.property(window.id, "_NET_FRAME_EXTENTS"), "0, 0, 0, 0")
        self.assertEqual(window.client[2:], (397, 166))

    def assert_fixed(self, window):
        if window.title == MAIN_TITLE:  # a lookup window is a normal one, and nothing besides
            self.assertEqual(window.native["types"], ["_NET_WM_WINDOW_TYPE_NORMAL"])
        self.assertTrue(wait_for(lambda: self.session.atoms(window.id, "_NET_WM_ALLOWED_ACTIONS"), PATIENCE))
        flags, functions, decorations = self.session.motif_hints(window.id)
        self.assertTrue(flags & MWM_DECORATIONS_GIVEN)
        self.assertFalse(decorations & (MWM_DECOR_MINIMIZE | MWM_DECOR_MAXIMIZE))
        self.assertFalse(functions & (MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE))
        actions = self.session.atoms(window.id, "_NET_WM_ALLOWED_ACTIONS")
        for action in ("MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE"):
            self.assertNotIn("_NET_WM_ACTION_" + action, actions)

    def assert_over(self, window, owner, tolerance=1):
        # On X11 the program centres a window's client area, before any
        # frame is known, and the frames may differ.
        (x, y), (ox, oy) = centre(window.client), centre(owner.client)
        self.assertLessEqual(abs(x - ox), tolerance, (window.client, owner.client))
        self.assertLessEqual(abs(y - oy), tolerance, (window.client, owner.client))

    test_a_code_typed_and_entered = unittest.skip(
        "a plain X session has no accessibility bus to read the answer from; end_to_end types codes on X11")(
        DesktopChecks.test_a_code_typed_and_entered)

    def test_the_first_lookup_window_opens_centred_where_the_start_up_window_was(self):
        copy = self.start()
        splash = self.start_up_window(copy)
        self.assert_over(self.lookup_window_of(copy), splash)


if __name__ == "__main__":
    WindowManagerTest.program_path = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
