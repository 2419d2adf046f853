"""The real program on Wayland: weston's headless compositor and Qt's Wayland
platform. Weston's headless backend has no input devices and no way for
another client to act on a window, so the program is driven the one way
left, through AT-SPI, as an assistive tool would; each test runs in a
process of its own (session_per_test).

Usage: /usr/bin/python3 wayland_test.py PATH_TO_TESSALINE [TEST ...]
"""

import sys
import unittest

import session_per_test
from program_texts import PATIENCE, MAIN_TITLE, ABOUT_TITLE, WARNING_TITLE, ALREADY_RUNNING, ACCESSIBLE
from wayland_client import PROTOCOL_LINE, toplevel_parents, toplevels
from xsession import ProgramTestCase, WestonSession

SESSION = session_per_test.start(lambda: WestonSession(accessibility=True))
if SESSION is not None:
    import pyatspi

    from atspi_driver import Program, descendants, do_action, text, wait_for


class WaylandTest(ProgramTestCase):
    def setUp(self):
        self.session = SESSION

    def tearDown(self):
        self.output = self.session.logs()
        self.session.stop_copies()

    def start(self, protocol_log=False):
        """A copy of the program; with protocol_log, it logs its Wayland
        requests, as the compositor receives them."""
        env = dict(ACCESSIBLE, **({"WAYLAND_DEBUG": "client"} if protocol_log else {}))
        copy = self.session.start(self.program_path, extra_env=env)
        return copy, Program(copy.pid)

    def parent_of(self, title):
        """The title of the toplevel the program made the parent of the one
        titled title, from its protocol log, or None."""
        return toplevel_parents(self.session.logs()).get(title)

    def lookup_window(self, description, program):
        window = program.lookup_window(description)
        self.assertIsNotNone(window, f"no lookup window described as {description}")
        return window

    def command(self, window, name):
        found = descendants(window, pyatspi.ROLE_MENU_ITEM, name)
        self.assertEqual(len(found), 1, name)
        return found[0]

    def test_start_up_and_hand_over(self):
        # Read from the protocol log, not polled through AT-SPI: the start-up
        # window is there for a moment only, and the program checks its faces
        # meanwhile, so a slow one may answer an assistive tool only after
        # that moment (the accessibility test checks its name on X11).
        copy, program = self.start(protocol_log=True)
        self.lookup_window("地区查询", program)
        # The start-up window: without a caption, Qt gives it the program's name.
        self.assertTrue(wait_for(lambda: toplevels(self.session.logs()) == [("tessaline", True), (MAIN_TITLE, False)],
                                 PATIENCE), toplevels(self.session.logs()))
        self.assertIsNone(copy.poll())
        # Qt has nothing to complain of on Wayland. Qt 6.8 notes when an
        # assistive tool (this test) asks for a window already gone: that is
        # the test's doing, not the program's.
        asked_for_a_gone_object = "qt.accessibility.atspi: Could not find accessible on path"
        printed = [line for line in self.session.logs().split("\n")[1:]
                   if line.strip() and not line.startswith(asked_for_a_gone_object) and not PROTOCOL_LINE.match(line)]
        self.assertEqual(printed, [])

    def test_a_switch_and_back_keeps_the_program_running(self):
        copy, program = self.start()
        region = self.lookup_window("地区查询", program)
        do_action(self.command(region, "区号查询"), "Press")
        code = self.lookup_window("区号查询", program)
        self.assertTrue(wait_for(lambda: len(program.windows()) == 1, PATIENCE), "the old window stayed")
        do_action(self.command(code, "地区查询"), "Press")
        self.lookup_window("地区查询", program)
        self.assertIsNone(copy.poll())

    def test_about_opens_as_a_child_of_its_window(self):
        copy, program = self.start(protocol_log=True)
        region = self.lookup_window("地区查询", program)
        took = do_action(self.command(region, "关于"), "Press")
        self.assertLess(took, 2.0)
        about = program.window(ABOUT_TITLE, timeout=PATIENCE)
        self.assertIsNotNone(about, "no About window")
        self.assertEqual(about.getRole(), pyatspi.ROLE_DIALOG)
        self.assertEqual(len(descendants(about, pyatspi.ROLE_PUSH_BUTTON)), 0)
        # Where it opens is the compositor's to say; whose it is, the program's.
        self.assertTrue(wait_for(lambda: self.parent_of(ABOUT_TITLE) == MAIN_TITLE, PATIENCE), self.parent_of(ABOUT_TITLE))
        self.assertIsNone(copy.poll())

    def test_a_second_copy_warns_and_ends(self):
        first, first_program = self.start()
        self.lookup_window("地区查询", first_program)
        second, program = self.start(protocol_log=True)
        warning = program.window(WARNING_TITLE, timeout=PATIENCE)
        self.assertIsNotNone(warning, "no warning")
        message = [label for label in descendants(warning, pyatspi.ROLE_LABEL) if label.name == ALREADY_RUNNING]
        self.assertTrue(message, [label.name for label in descendants(warning, pyatspi.ROLE_LABEL)])
        # The start-up window: without a caption, Qt gives it the program's name.
        self.assertEqual(self.parent_of(WARNING_TITLE), "tessaline")
        do_action(descendants(warning, pyatspi.ROLE_PUSH_BUTTON, "确定")[0], "Press")
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertIsNone(first.poll())
        self.lookup_window("地区查询", first_program)

    def test_every_second_copy_ends(self):
        # The program's own way out, again and again: Qt's teardown on Wayland
        # sometimes hangs, and a copy left running would hold the next one's
        # start (windows/bounded_exit.h; exit_test.py runs a hundred).
        first, first_program = self.start()
        self.lookup_window("地区查询", first_program)
        for number in range(5):
            second, program = self.start()
            warning = program.window(WARNING_TITLE, timeout=PATIENCE)
            self.assertIsNotNone(warning, f"no warning from copy {number}")
            do_action(descendants(warning, pyatspi.ROLE_PUSH_BUTTON, "确定")[0], "Press")
            self.assertEqual(second.wait(timeout=PATIENCE), 0, f"copy {number}")
        self.assertIsNone(first.poll())

    def test_a_query_in_the_code_window(self):
        _, program = self.start()
        do_action(self.command(self.lookup_window("地区查询", program), "区号查询"), "Press")
        code = self.lookup_window("区号查询", program)
        box = descendants(code, pyatspi.ROLE_TEXT, "区号")[0]
        box.queryEditableText().setTextContents("0512")
        do_action(descendants(code, pyatspi.ROLE_PUSH_BUTTON, "查询")[0], "Press")
        answer = descendants(code, pyatspi.ROLE_TEXT, "查询结果")[0]
        self.assertTrue(wait_for(lambda: text(answer) == "  江苏省苏州&吴江", PATIENCE), text(answer))


if __name__ == "__main__":
    session_per_test.main(WaylandTest, SESSION)
