"""The real program under a real EWMH window manager (openbox) on Xvfb: what
the window manager is told about each window, read from the outside as xprop
reads it, and where the windows open.

Usage: window_manager_test.py PATH_TO_TESSALINE [unittest arguments]
TESSALINE_WINDOW_MANAGER=xfwm4 (or mutter) runs the same checks under that
window manager instead.
"""

import os
import subprocess
import sys
import unittest

from desktop_checks import centre
from program_texts import PATIENCE, MAIN_TITLE, ABOUT_TITLE, WARNING_TITLE
from xsession import ProgramTestCase, XSession, wait_for

PROGRAM = None
MWM_DECORATIONS_GIVEN = 1 << 1
MWM_DECOR_MINIMIZE = 1 << 5
MWM_DECOR_MAXIMIZE = 1 << 6
MWM_FUNC_MINIMIZE = 1 << 3
MWM_FUNC_MAXIMIZE = 1 << 4


class WindowManagerTest(ProgramTestCase):
    window_manager = os.environ.get("TESSALINE_WINDOW_MANAGER", "openbox")

    def setUp(self):
        self.x = XSession(window_manager=self.window_manager)
        self.addCleanup(self.x.close)

    def tearDown(self):
        self.output = self.x.logs()

    # --- helpers ---------------------------------------------------------

    def splash(self, copy):
        found = wait_for(lambda: [w for w, t in self.x.windows(copy.pid).items() if t not in (MAIN_TITLE, WARNING_TITLE)],
                         PATIENCE)
        if not found:
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.x.env(), capture_output=True, text=True)
            self.fail(f"no start-up window; the windows now:\n{tree.stdout}")
        return found[0]

    def lookup_window_of(self, copy):
        found = wait_for(lambda: self.x.windows_named(copy.pid, MAIN_TITLE), PATIENCE)
        self.assertTrue(found, f"no lookup window appeared; the program has {self.x.windows(copy.pid)}")
        return found[0]

    def switch(self, copy, window):
        self.assertTrue(self.x.switch_lookup(window, PATIENCE), f"the other lookup window did not open; the program has {self.x.windows(copy.pid)}")
        self.assertEqual(self.x.windows(copy.pid), {window: MAIN_TITLE})
        return window

    def open_about(self, copy, window):
        self.x.alt(window)
        self.x.key(window, "Right", "Return")  # the greyed command is passed over
        found = wait_for(lambda: self.x.windows_named(copy.pid, ABOUT_TITLE), PATIENCE)
        self.assertTrue(found, f"no About window; the program has {self.x.windows(copy.pid)}")
        return found[0]

    def assert_offers_no_minimise_or_maximise(self, window):
        flags, functions, decorations = self.x.motif_hints(window)
        self.assertTrue(flags & MWM_DECORATIONS_GIVEN)
        self.assertFalse(decorations & (MWM_DECOR_MINIMIZE | MWM_DECOR_MAXIMIZE))
        self.assertFalse(functions & (MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE))
        actions = self.x.atoms(window, "_NET_WM_ALLOWED_ACTIONS")
        self.assertNotIn("_NET_WM_ACTION_MAXIMIZE_HORZ", actions)
        self.assertNotIn("_NET_WM_ACTION_MAXIMIZE_VERT", actions)
        self.assertNotIn("_NET_WM_ACTION_RESIZE", actions)

    # --- tests -----------------------------------------------------------

    def test_the_start_up_window_has_no_frame_and_no_taskbar_button(self):
        copy = self.x.start(PROGRAM)
        splash = self.splash(copy)
        self.assertEqual(self.x.atoms(splash, "_NET_WM_WINDOW_TYPE")[0], "_NET_WM_WINDOW_TYPE_SPLASH")
        # Without a frame also for window managers that ignore the type.
        flags, _, decorations = self.x.motif_hints(splash)
        self.assertTrue(flags & MWM_DECORATIONS_GIVEN)
        self.assertEqual(decorations, 0)
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", self.x.atoms(splash, "_NET_WM_STATE"))
        # Managed, then either in a frame with no borders or in none at all.
        self.assertTrue(wait_for(lambda: self.x.property(splash, "WM_STATE"), PATIENCE), "the window manager left the start-up window unmanaged")
        if self.x.framed(splash):
            self.assertTrue(wait_for(lambda: self.x.property(splash, "_NET_FRAME_EXTENTS"), PATIENCE), "a frame with no extents")
            self.assertEqual(self.x.property(splash, "_NET_FRAME_EXTENTS"), "0, 0, 0, 0")
        self.assertEqual(self.x.size(splash), (397, 166))

    def test_the_first_lookup_window_opens_centred_where_the_start_up_window_was(self):
        copy = self.x.start(PROGRAM)
        splash = self.x.client_rect(self.splash(copy))
        region = self.lookup_window_of(copy)
        self.assertTrue(wait_for(lambda: self.x.property(region, "_NET_FRAME_EXTENTS"), PATIENCE), "never framed")
        (x, y), (cx, cy) = centre(self.x.client_rect(region)), centre(splash)
        self.assertLessEqual(abs(x - cx), 1, (self.x.client_rect(region), splash))
        self.assertLessEqual(abs(y - cy), 1, (self.x.client_rect(region), splash))

    def test_a_switch_keeps_the_window_where_the_user_put_it(self):
        copy = self.x.start(PROGRAM)
        window = self.lookup_window_of(copy)
        self.assertTrue(wait_for(lambda: self.x.property(window, "_NET_FRAME_EXTENTS"), PATIENCE), "never framed")
        self.x.move(window, 187, 212)
        self.assertTrue(wait_for(lambda: self.x.position(window) == (187, 212), PATIENCE), f"moved, but at {self.x.position(window)}")
        where, size = self.x.frame_position(window), self.x.size(window)
        for _ in range(3):
            window = self.switch(copy, window)
            self.assertEqual((self.x.frame_position(window), self.x.size(window)), (where, size))
        self.assertIsNone(copy.poll())

    def test_lookup_windows_are_fixed_and_on_the_taskbar(self):
        copy = self.x.start(PROGRAM)
        window = self.lookup_window_of(copy)
        for _ in range(2):
            self.assertEqual(self.x.atoms(window, "_NET_WM_WINDOW_TYPE"), ["_NET_WM_WINDOW_TYPE_NORMAL"])
            self.assertNotIn("_NET_WM_STATE_SKIP_TASKBAR", self.x.atoms(window, "_NET_WM_STATE"))
            self.assertIsNone(self.x.transient_for(window))
            self.assertTrue(wait_for(lambda: self.x.atoms(window, "_NET_WM_ALLOWED_ACTIONS"), PATIENCE))
            self.assert_offers_no_minimise_or_maximise(window)
            window = self.switch(copy, window)

    def test_about_belongs_to_its_lookup_window(self):
        copy = self.x.start(PROGRAM)
        window = self.lookup_window_of(copy)
        self.assertTrue(wait_for(lambda: self.x.property(window, "_NET_FRAME_EXTENTS"), PATIENCE), "never framed")
        self.x.move(window, 150, 120)
        self.assertTrue(wait_for(lambda: self.x.position(window) == (150, 120), PATIENCE), f"moved, but at {self.x.position(window)}")
        window = self.switch(copy, window)  # from the code window too
        owner = self.x.client_rect(window)

        about = self.open_about(copy, window)
        # Its own X window, and no other: nothing of it lands in the main window.
        self.assertEqual(self.x.windows(copy.pid), {window: MAIN_TITLE, about: ABOUT_TITLE})
        self.assertEqual(self.x.transient_for(about), window)
        self.assertEqual(self.x.atoms(about, "_NET_WM_WINDOW_TYPE")[0], "_NET_WM_WINDOW_TYPE_DIALOG")
        states = self.x.atoms(about, "_NET_WM_STATE")
        self.assertIn("_NET_WM_STATE_MODAL", states)
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states)
        self.assertTrue(wait_for(lambda: self.x.atoms(about, "_NET_WM_ALLOWED_ACTIONS"), PATIENCE))
        self.assert_offers_no_minimise_or_maximise(about)
        (x, y), (cx, cy) = centre(self.x.client_rect(about)), centre(owner)
        self.assertLessEqual(abs(x - cx), 1, (self.x.client_rect(about), owner))
        self.assertLessEqual(abs(y - cy), 1, (self.x.client_rect(about), owner))

        self.x.request_close(about)
        self.assertTrue(wait_for(lambda: not self.x.windows_named(copy.pid, ABOUT_TITLE), PATIENCE), f"About stayed: {self.x.windows(copy.pid)}")
        self.assertEqual(self.x.windows(copy.pid), {window: MAIN_TITLE})
        self.assertEqual(self.x.client_rect(window), owner)
        self.x.request_close(window)
        self.assertEqual(copy.wait(timeout=PATIENCE), 0)

    def test_the_warning_opens_over_its_start_up_window(self):
        first = self.x.start(PROGRAM)
        self.lookup_window_of(first)
        second = self.x.start(PROGRAM)
        splash = self.splash(second)
        warning = wait_for(lambda: self.x.windows_named(second.pid, WARNING_TITLE), PATIENCE)
        self.assertTrue(warning, f"no warning; the second copy has {self.x.windows(second.pid)}")
        self.assertEqual(self.x.transient_for(warning[0]), splash)
        (x, y), (cx, cy) = centre(self.x.client_rect(warning[0])), centre(self.x.client_rect(splash))
        self.assertLessEqual(abs(x - cx), 1, (self.x.client_rect(warning[0]), self.x.client_rect(splash)))
        self.assertLessEqual(abs(y - cy), 1, (self.x.client_rect(warning[0]), self.x.client_rect(splash)))
        self.x.key(warning[0], "Return")
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertIsNone(first.poll())


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
