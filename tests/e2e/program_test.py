"""End-to-end tests of the real program in a real X session.

Usage: program_test.py PATH_TO_TESSALINE [unittest arguments]
"""

import os
import pwd
import shutil
import sys
import tempfile
import time
import unittest

from program_texts import PATIENCE, MAIN_TITLE, WARNING_TITLE
from xsession import ProgramTestCase, XSession, kill_hard, wait_for

PROGRAM = None
SPLASH_SIZE = (397, 166)  # 393 x 162 of picture inside a 2-pixel frame
# Bounds on waits: polls end as soon as the window is there, so these only
# matter when something is wrong, or slow (the sanitizer build, a busy machine).


class ProgramTest(ProgramTestCase):
    def setUp(self):
        self.x = XSession()
        self.addCleanup(lambda: self.x.close())

    def tearDown(self):
        self.output = self.x.logs()

    # --- helpers ---------------------------------------------------------

    def splash(self, copy):
        """The copy's start-up window: visible and of the picture's size."""
        for window, title in self.x.windows(copy.pid).items():
            if title not in (MAIN_TITLE, WARNING_TITLE) and self.x.size(window) == SPLASH_SIZE:
                return window
        return None

    def main_window(self, copy, timeout=PATIENCE):
        found = wait_for(lambda: self.x.windows_named(copy.pid, MAIN_TITLE), timeout)
        self.assertTrue(found, "no lookup window appeared")
        self.assertEqual(len(found), 1, "more than one lookup window open")
        return found[0]

    def warning(self, copy, timeout=PATIENCE):
        found = wait_for(lambda: self.x.windows_named(copy.pid, WARNING_TITLE), timeout)
        self.assertTrue(found, "no warning appeared")
        return found[0]

    def start_running_copy(self):
        copy = self.x.start(PROGRAM)
        self.main_window(copy)
        return copy

    def switch(self, copy, window):
        """Through the menu bar with the keyboard; the main window stays the
        one window the program has open."""
        self.assertTrue(self.x.switch_lookup(window, PATIENCE), "the other lookup window did not open")
        self.assertIsNone(copy.poll(), "the program ended while switching")
        self.assertEqual(self.x.windows_named(copy.pid, MAIN_TITLE), [window])
        return window

    # --- tests -----------------------------------------------------------

    def test_start_shows_the_start_up_window_then_the_region_window(self):
        started = time.monotonic()
        copy = self.x.start(PROGRAM)
        self.assertTrue(wait_for(lambda: self.splash(copy), PATIENCE), "no start-up window")
        self.assertEqual(self.x.windows_named(copy.pid, MAIN_TITLE), [])

        self.main_window(copy)
        waited = time.monotonic() - started
        self.assertGreaterEqual(waited, 1.4)
        self.assertLess(waited, 1.5 + PATIENCE)
        self.assertIsNone(self.splash(copy), "the start-up window stayed")
        self.assertEqual(self.x.windows_named(copy.pid, WARNING_TITLE), [])

    def test_the_start_up_window_ignores_a_close_request(self):
        copy = self.x.start(PROGRAM)
        splash = wait_for(lambda: self.splash(copy), PATIENCE)
        self.x.request_close(splash)
        self.main_window(copy)
        self.assertIsNone(copy.poll())

    def test_a_second_copy_warns_and_ends_while_the_first_runs_on(self):
        first = self.start_running_copy()
        first_window = self.main_window(first)

        second = self.x.start(PROGRAM)
        self.assertTrue(wait_for(lambda: self.splash(second), PATIENCE), "the second copy showed no start-up window")
        self.assertEqual(self.x.windows_named(second.pid, WARNING_TITLE), [], "warned before the start-up wait")
        warning = self.warning(second)
        self.assertEqual(self.x.windows_named(second.pid, MAIN_TITLE), [])

        self.x.key(warning, "Return")  # OK
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertIsNone(first.poll())
        self.assertEqual(self.x.windows_named(first.pid, MAIN_TITLE), [first_window])

    def test_a_killed_copy_does_not_block_the_next(self):
        first = self.start_running_copy()
        kill_hard(first)
        second = self.x.start(PROGRAM)
        self.main_window(second)
        self.assertEqual(self.x.windows_named(second.pid, WARNING_TITLE), [])

    def test_of_two_copies_started_together_one_runs_on(self):
        copies = [self.x.start(PROGRAM), self.x.start(PROGRAM)]
        settled = wait_for(lambda: all(self.x.windows_named(c.pid, MAIN_TITLE) or self.x.windows_named(c.pid, WARNING_TITLE)
                                       for c in copies), PATIENCE)
        self.assertTrue(settled, "the copies did not both get past the start-up window")
        runners = [c for c in copies if self.x.windows_named(c.pid, MAIN_TITLE)]
        warned = [c for c in copies if self.x.windows_named(c.pid, WARNING_TITLE)]
        self.assertEqual((len(runners), len(warned)), (1, 1))

        self.x.key(self.warning(warned[0]), "Return")
        self.assertEqual(warned[0].wait(timeout=PATIENCE), 0)
        time.sleep(0.2)
        self.assertIsNone(runners[0].poll())

    def test_switching_windows_keeps_the_program_running(self):
        copy = self.start_running_copy()
        window = self.main_window(copy)
        self.assertEqual(self.x.role(window), "lookup-by-region")
        for _ in range(3):
            window = self.switch(copy, window)
            self.assertEqual(self.x.role(window), "lookup-by-code")
            window = self.switch(copy, window)
            self.assertEqual(self.x.role(window), "lookup-by-region")
        self.assertIsNone(copy.poll())

    def test_a_close_request_ends_the_program(self):
        copy = self.start_running_copy()
        window = self.main_window(copy)
        # Also when the region window was reached by switching back.
        window = self.switch(copy, window)
        window = self.switch(copy, window)
        self.x.request_close(window)
        self.assertEqual(copy.wait(timeout=PATIENCE), 0)

    def test_a_close_request_to_the_code_window_ends_the_program(self):
        copy = self.start_running_copy()
        window = self.switch(copy, self.main_window(copy))
        self.x.request_close(window)
        self.assertEqual(copy.wait(timeout=PATIENCE), 0)

    def no_chinese_font(self):
        """The environment of a machine without Chinese fonts."""
        no_chinese = os.environ.get("TESSALINE_NO_CHINESE_FONTS")
        if not no_chinese:
            self.skipTest("TESSALINE_NO_CHINESE_FONTS names a fontconfig set-up without Chinese fonts")
        return {"FONTCONFIG_FILE": no_chinese}

    def assertWarnedOnceOfTheMissingFont(self):
        lines = [line for line in self.x.logs().splitlines() if "font" in line]
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("fonts-arphic-uming", lines[0])
        self.assertIn("AR PL UMing", lines[0])

    def test_without_a_chinese_font_it_says_so_and_runs(self):
        copy = self.x.start(PROGRAM, extra_env=self.no_chinese_font())
        window = self.main_window(copy)
        # While it runs, not only as it ends.
        self.assertTrue(wait_for(lambda: "font" in self.x.logs(), PATIENCE), "no warning while running")
        self.x.request_close(window)
        self.assertEqual(copy.wait(timeout=PATIENCE), 0)
        self.assertWarnedOnceOfTheMissingFont()

    def test_without_a_chinese_font_a_second_copy_says_so_once_and_ends(self):
        first = self.start_running_copy()
        second = self.x.start(PROGRAM, extra_env=self.no_chinese_font())
        self.x.key(self.warning(second), "Return")
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertWarnedOnceOfTheMissingFont()
        self.assertIsNone(first.poll())

    def test_with_a_chinese_font_it_says_nothing(self):
        copy = self.start_running_copy()
        self.x.request_close(self.main_window(copy))
        self.assertEqual(copy.wait(timeout=PATIENCE), 0)
        self.assertNotIn("font", self.x.logs())

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv"), "needs root to run a second user")
    def test_another_users_copy_does_not_block(self):
        self.x.close()
        self.x = XSession(listen_for_all=True)
        mine = self.start_running_copy()

        nobody = pwd.getpwnam("nobody")
        theirs_runtime = tempfile.mkdtemp(prefix="tessaline-nobody-")
        self.addCleanup(shutil.rmtree, theirs_runtime, True)
        os.chown(theirs_runtime, nobody.pw_uid, nobody.pw_gid)
        os.chmod(theirs_runtime, 0o700)
        theirs = self.x.start(PROGRAM, runtime_dir=theirs_runtime,
                              prefix=("setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}",
                                      "--clear-groups", "env", f"HOME={theirs_runtime}"))
        # Both run on: nobody's copy looks in nobody's runtime directory.
        self.main_window(theirs)
        self.assertEqual(self.x.windows_named(theirs.pid, WARNING_TITLE), [])
        self.assertIsNone(mine.poll())


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
