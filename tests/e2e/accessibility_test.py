"""The real program with the Linux accessibility stack, as a screen reader
sees it: Xvfb with a window manager, a private D-Bus session with the
accessibility bus, and AT-SPI read and driven with pyatspi.

Each test runs in a process of its own, with its own session and copy of the
program (session_per_test).

Usage: /usr/bin/python3 accessibility_test.py PATH_TO_TESSALINE [TEST ...]
"""

import sys
import unittest

import session_per_test
from program_texts import PATIENCE, START_UP_NAME, ABOUT_TITLE, ABOUT_TEXT, DESCRIPTION, FOCUSED
from xsession import AccessibleCopyTestCase, XSession

SESSION = session_per_test.start(lambda: XSession(window_manager="openbox", accessibility=True))
if SESSION is not None:
    import pyatspi

    from atspi_driver import descendants, do_action, states, text, wait_for



class AccessibilityTest(AccessibleCopyTestCase):
    session = SESSION
    watched = (DESCRIPTION, FOCUSED)

    # --- helpers ---------------------------------------------------------

    def described(self, role, detail):
        """Waits for a description change to detail on an object of role."""
        return self.events.wait(lambda kind, r, name, data: kind == DESCRIPTION and r == role and data == detail,
                                PATIENCE)

    def told(self, kind, role, name, data, after=-1):
        """Where in the events seen so far this one is, the first after the
        index after; None if not there."""
        for i, (k, r, n, d) in enumerate(self.events.seen):
            if i > after and (k, r, n) == (kind, role, name) and (data is None or d == data):
                return i
        return None

    def wait_told(self, kind, role, name, data=None, after=-1):
        wait_for(lambda: self.told(kind, role, name, data, after) is not None, PATIENCE)
        index = self.told(kind, role, name, data, after)
        self.assertIsNotNone(index, (kind, role, name, data, self.events.seen))
        return index

    def carrying(self, root, text):
        """The objects below root whose name, description or text holds text."""
        found = []
        for obj in descendants(root):
            try:
                shown = obj.queryText().getText(0, -1)
            except NotImplementedError:
                shown = ""
            if any(text in (s or "") for s in (obj.name, obj.description, shown)):
                found.append((obj.getRoleName(), obj.name))
        return found

    def switch_to_code_window(self, region):
        do_action(self.only(region, pyatspi.ROLE_MENU_ITEM, "区号查询"), "Press")
        return self.lookup_window("区号查询")

    # --- tests -----------------------------------------------------------

    def test_the_start_up_window_says_what_its_picture_says(self):
        splash = self.program.window(START_UP_NAME, timeout=PATIENCE)
        self.assertIsNotNone(splash, "the start-up window has no name")
        self.lookup_window("地区查询")
        self.assertTrue(self.program.gone(START_UP_NAME))

    def test_the_lookup_windows_are_told_apart(self):
        region = self.lookup_window("地区查询")
        caption = region.name
        code = self.switch_to_code_window(region)
        self.assertEqual(code.name, caption)  # the same caption
        do_action(self.only(code, pyatspi.ROLE_MENU_ITEM, "地区查询"), "Press")
        self.lookup_window("地区查询")

    def test_the_boxes_keep_their_names_with_the_entry_chosen(self):
        region = self.lookup_window("地区查询")
        provinces, cities = descendants(region, pyatspi.ROLE_COMBO_BOX)
        self.assertEqual((provinces.name, cities.name), ("省份", "城市"))
        self.keys(*["Down"] * 7)  # 江苏省
        self.assertTrue(wait_for(lambda: text(provinces) == "江苏省", PATIENCE), text(provinces))
        self.keys("Tab", "Down")  # 南京
        self.assertTrue(wait_for(lambda: text(cities) == "南京", PATIENCE), text(cities))
        # What a reader says: the name, then the entry it reads as the text.
        self.assertEqual((provinces.name, cities.name), ("省份", "城市"))
        self.assertIn(pyatspi.STATE_FOCUSED, states(cities))

    def test_an_assistive_tool_chooses_an_entry(self):
        region = self.lookup_window("地区查询")
        provinces, cities = descendants(region, pyatspi.ROLE_COMBO_BOX)
        code = self.only(region, pyatspi.ROLE_TEXT, "区号")
        do_action(self.only(provinces, pyatspi.ROLE_LIST_ITEM, "浙江省"), "Toggle")
        self.assertTrue(wait_for(lambda: text(provinces) == "浙江省", PATIENCE))
        self.assertTrue(wait_for(lambda: len(descendants(cities, pyatspi.ROLE_LIST_ITEM)) == 39, PATIENCE))
        do_action(self.only(cities, pyatspi.ROLE_LIST_ITEM, "余姚"), "Toggle")
        self.assertTrue(wait_for(lambda: text(code) == "0574", PATIENCE), text(code))
        do_action(self.only(provinces, pyatspi.ROLE_LIST_ITEM, "北京"), "Toggle")
        self.assertTrue(wait_for(lambda: text(code) == "010", PATIENCE), text(code))
        self.assertNotIn(pyatspi.STATE_ENABLED, states(cities))

    def test_answers_are_presented_where_the_focus_is(self):
        region = self.lookup_window("地区查询")
        provinces = descendants(region, pyatspi.ROLE_COMBO_BOX)[0]
        code_box = self.only(region, pyatspi.ROLE_TEXT, "区号")
        self.keys("Down")  # 北京
        self.assertTrue(self.described(pyatspi.ROLE_COMBO_BOX, "010"), self.events.seen)
        self.assertIn(pyatspi.STATE_FOCUSED, states(provinces))
        self.assertNotIn(pyatspi.STATE_ENABLED, states(code_box))  # the output box stays disabled

        code = self.switch_to_code_window(region)
        answer = self.only(code, pyatspi.ROLE_TEXT, "查询结果")
        self.events.clear()
        self.x.type(self.x_window, "0571")
        self.keys("Return")
        self.assertTrue(self.described(pyatspi.ROLE_TEXT, "  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"), self.events.seen)
        self.assertIn(pyatspi.STATE_FOCUSED, states(self.only(code, pyatspi.ROLE_TEXT, "区号")))
        self.assertNotIn(pyatspi.STATE_ENABLED, states(answer))
        # The prompt and the error text too, and an answer asked for twice.
        for typed, said in (("", "  请输入区号，然后进行查询！"), ("9", "  您所查询的区号错误！请重新输入！"),
                            ("9", "  您所查询的区号错误！请重新输入！")):
            self.events.clear()
            self.keys("ctrl+a", "BackSpace", *([typed] if typed else []), "Return")
            self.assertTrue(self.described(pyatspi.ROLE_TEXT, said), (typed, self.events.seen))

    def test_about_from_an_assistive_tool_and_back(self):
        region = self.lookup_window("地区查询")
        code = self.switch_to_code_window(region)
        self.x.type(self.x_window, "010")
        took = do_action(self.only(code, pyatspi.ROLE_MENU_ITEM, "关于"), "Press")
        self.assertLess(took, 2.0, "the Press waited for About to close")
        about = self.program.window(ABOUT_TITLE, timeout=PATIENCE)
        self.assertIsNotNone(about, "no About window")
        # Modal for the window system (_NET_WM_STATE_MODAL) and for assistive tools.
        self.assertEqual(about.getRole(), pyatspi.ROLE_DIALOG)
        self.assertIn(pyatspi.STATE_MODAL, states(about))
        about_x = self.x_window_named(ABOUT_TITLE)
        self.assertIn("_NET_WM_STATE_MODAL", self.x.atoms(about_x, "_NET_WM_STATE"))
        # What Orca leaves out of a dialog (captions of fewer than three
        # words) About tells as a notice on itself, and keeps no more.
        self.wait_told(DESCRIPTION, pyatspi.ROLE_DIALOG, ABOUT_TITLE, ABOUT_TEXT)
        self.assertTrue(wait_for(lambda: about.description == "", PATIENCE), about.description)

        self.x.request_close(about_x)
        self.assertTrue(self.program.gone(ABOUT_TITLE))
        # The focus is back in the code box: typing and Enter go on.
        code_box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        self.assertTrue(wait_for(lambda: pyatspi.STATE_FOCUSED in states(code_box), PATIENCE))
        self.assertEqual(text(code_box), "010")
        self.keys("Return")
        self.assertTrue(wait_for(lambda: text(self.only(code, pyatspi.ROLE_TEXT, "查询结果")) == "  北京", PATIENCE))

    def test_each_lookup_window_says_its_prompt_when_it_opens(self):
        region = self.lookup_window("地区查询")
        self.said_on_opening(region, pyatspi.ROLE_COMBO_BOX, "省份", "请选择省份和市区进行查询！")
        self.events.clear()
        code = self.switch_to_code_window(region)
        # Shown in place of the other, no window is activated: it names itself.
        self.said_on_opening(code, pyatspi.ROLE_TEXT, "区号", "区号查询 请输入区号进行查询！")

    def said_on_opening(self, window, role, name, prompt):
        """The prompt is a notice on the control the window put the focus on,
        after the focus: a reader that follows the focus takes a description
        change only there. No control keeps it."""
        said = self.wait_told(DESCRIPTION, role, name, prompt)
        self.assertLess(self.told(FOCUSED, role, name, None), said, self.events.seen)
        control = self.only(window, role, name)
        self.assertTrue(wait_for(lambda: control.description == "", PATIENCE), control.description)

    def test_clearing_says_so_and_leaves_no_answer(self):
        code = self.switch_to_code_window(self.lookup_window("地区查询"))
        answer = "  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"
        self.x.type(self.x_window, "0571")
        self.keys("Return")
        self.assertTrue(self.described(pyatspi.ROLE_TEXT, answer), self.events.seen)
        code_box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        clear = self.only(code, pyatspi.ROLE_PUSH_BUTTON, "清除")
        self.keys("Tab", "Tab")
        self.assertTrue(wait_for(lambda: pyatspi.STATE_FOCUSED in states(clear), PATIENCE))

        self.events.clear()
        self.keys("space")
        # The answer withdrawn from the code box, then the notice on 清除 (and
        # taken back), then the focus on the code box: Orca says "已清除",
        # then "区号 text", and nothing of the answer.
        withdrawn = self.wait_told(DESCRIPTION, pyatspi.ROLE_TEXT, "区号", "")
        said = self.wait_told(DESCRIPTION, pyatspi.ROLE_PUSH_BUTTON, "清除", "已清除")
        focused = self.wait_told(FOCUSED, pyatspi.ROLE_TEXT, "区号")
        self.assertLess(withdrawn, said)
        self.assertLess(said, focused)
        # Taken back: Qt 6.8 also reports the empty description that goes
        # before the notice, so the one after it is looked for.
        self.wait_told(DESCRIPTION, pyatspi.ROLE_PUSH_BUTTON, "清除", "", after=said)
        self.assertEqual(self.carrying(code, "浙江省杭州"), [])

        # Back on the code box later: nothing of the answer comes back.
        self.keys("shift+Tab", "Tab")
        self.assertTrue(wait_for(lambda: self.told(FOCUSED, pyatspi.ROLE_PUSH_BUTTON, "清除", None) is not None
                                 and pyatspi.STATE_FOCUSED in states(code_box), PATIENCE))
        self.assertEqual(code_box.description, "")
        self.assertFalse([e for e in self.events.seen if isinstance(e[3], str) and "浙江省杭州" in e[3]])

    def test_alt_in_the_region_window_lands_on_a_command(self):
        self.lookup_window("地区查询")
        self.events.clear()
        self.x.alt(self.x_window)
        landed = self.events.wait(lambda kind, role, name, data: kind == FOCUSED and role == pyatspi.ROLE_MENU_ITEM,
                                  PATIENCE)
        self.assertTrue(landed, self.events.seen)
        self.assertEqual([name for _, _, name, _ in landed], ["区号查询"])
        self.keys("Return")
        self.lookup_window("区号查询")


if __name__ == "__main__":
    session_per_test.main(AccessibilityTest, SESSION)
