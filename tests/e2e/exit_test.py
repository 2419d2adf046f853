"""Every copy ends once its event loop is over, on Wayland (weston's headless
compositor), where Qt's own teardown sometimes hangs (windows/bounded_exit.h).

Copies of tests/exit_probe.cpp, which ends the way the program does, are
started and closed one after another; each must be gone within a bound and
must have run either the whole teardown or the bounded way out, never neither.
The real program's own ends, through its warning, are in wayland_test.py.

Usage: exit_test.py PATH_TO_EXIT_PROBE [unittest arguments]
TESSALINE_EXITS sets how many copies (default 100).
"""

import os
import subprocess
import sys
import unittest

from xsession import WestonSession

PROBE = None
EXITS = int(os.environ.get("TESSALINE_EXITS", "100"))
# A bound on a hang, not on speed: start-up, 0.3 s of window, the teardown
# and at most the 5 s the way out waits.
PATIENCE = 60
LEFT_EARLY = "Qt's teardown did not end in time; leaving without it"


class ExitTest(unittest.TestCase):
    def setUp(self):
        self.session = WestonSession()
        self.addCleanup(self.session.close)

    def run_copy(self, *args):
        """Runs one copy to its end: (status, standard output, standard error)."""
        copy = subprocess.Popen([PROBE, *args], env=self.session.env(), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        try:
            out, err = copy.communicate(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            copy.kill()
            out, err = copy.communicate()
            self.fail(f"a copy was still running after {PATIENCE} s\n{out}{err}")
        return copy.returncode, out, err

    def test_every_copy_ends(self):
        cut_short = 0
        for number in range(EXITS):
            status, out, err = self.run_copy()
            with self.subTest(copy=number):
                self.assertEqual(status, 0, err)
                self.assertIn("event loop ended with 0", out)
                if LEFT_EARLY in err:
                    cut_short += 1
                    self.assertNotIn("teardown finished", out)
                else:
                    self.assertIn("teardown finished", out, err)
        print(f"\n{EXITS} copies ended; {cut_short} through the bounded way out", file=sys.stderr)

    def test_a_hanging_teardown_ends_with_the_loops_status_and_its_output(self):
        status, out, err = self.run_copy("hang")
        self.assertEqual(status, 3, err)
        self.assertIn("event loop ended with 3", out)  # flushed on the way out
        self.assertNotIn("teardown finished", out)
        self.assertIn(LEFT_EARLY, err)


if __name__ == "__main__":
    PROBE = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]], verbosity=2)
