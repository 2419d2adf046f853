"""The real program with a Chinese input method, as a Chinese desktop has
one running: ibus with its pinyin engine (ibus-libpinyin) or fcitx5 with its
own (fcitx5-chinese-addons), each set up without interaction in a home of
its own and switched to Chinese. Keys are typed with xdotool under openbox;
what the program shows is read through AT-SPI.

Each test runs in a process of its own (session_per_test), with its own X
display, D-Bus session, input method and copy of the program. Each prints
what was typed and what the program then showed.

Usage: TESSALINE_INPUT_METHOD=ibus|fcitx5 /usr/bin/python3 input_method_test.py PATH_TO_TESSALINE [TEST ...]
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

import session_per_test
from program_texts import PATIENCE, DESCRIPTION
from xsession import AccessibleCopyTestCase, XSession
from xsession import wait_for as wait_for_x

METHOD = os.environ.get("TESSALINE_INPUT_METHOD", "ibus")
ANSWER_0571 = "  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"


class InputMethodSession(XSession):
    """Xvfb and openbox, and a user whose input method is up with pinyin on:
    ibus set through its GSettings keys (kept in a key file of the private
    home), fcitx5 through its profile."""

    def __init__(self, method):
        self.method = method
        self.home = tempfile.mkdtemp(prefix="tessaline-home-")
        self._method_group = None
        super().__init__(window_manager="openbox", accessibility=True)
        try:
            {"ibus": self._start_ibus, "fcitx5": self._start_fcitx5}[method]()
        except BaseException:
            self.close()
            raise

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        env.update(HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"), GSETTINGS_BACKEND="keyfile")
        module = {"ibus": "ibus", "fcitx5": "fcitx"}[self.method]
        env.update(QT_IM_MODULE=module, GTK_IM_MODULE=module, XMODIFIERS="@im=" + module)
        return env

    def run_tool(self, *args):
        return subprocess.run(args, env=self.env(), capture_output=True, text=True, timeout=30)

    def _start_method(self, command):
        # A process group of its own: the daemons start the engine, the panel
        # and the configuration service, and all go at the end.
        self._method_group = subprocess.Popen(command, env=self.env(), start_new_session=True,
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _start_ibus(self):
        settings = [
            ("org.freedesktop.ibus.general", "preload-engines", "['libpinyin']"),
            ("org.freedesktop.ibus.general", "engines-order", "['libpinyin']"),
            ("com.github.libpinyin.ibus-libpinyin.libpinyin", "init-chinese", "true"),
            ("com.github.libpinyin.ibus-libpinyin.libpinyin", "init-full", "false"),
            # The pinyin typed shows in the box's composition, not on a line
            # of its own over the candidates. With that line, ibus 1.5.32's
            # candidate window, told to hide the list and then the line,
            # comes back as an empty frame with only its page buttons, and
            # stays until the next composition (1.5.33 mends it): the list
            # would never be seen to go.
            ("com.github.libpinyin.ibus-libpinyin.libpinyin", "display-style", "1"),
        ]
        for schema, key, value in settings:
            result = self.run_tool("gsettings", "set", schema, key, value)
            if result.returncode != 0:
                raise RuntimeError(f"gsettings set {schema} {key}: {result.stderr}")
        self._start_method(["ibus-daemon", "--emoji-extension=disable"])
        # The panel reads the keys and makes the first engine the global one.
        if not wait_for_x(lambda: self.run_tool("ibus", "engine").stdout.strip() == "libpinyin", PATIENCE):
            raise RuntimeError("ibus did not take up libpinyin")

    def _start_fcitx5(self):
        config = os.path.join(self.home, ".config", "fcitx5")
        os.makedirs(config)
        with open(os.path.join(config, "profile"), "w") as profile:
            profile.write("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=pinyin\n\n"
                          "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                          "[Groups/0/Items/1]\nName=pinyin\nLayout=\n\n"
                          "[GroupOrder]\n0=Default\n")
        with open(os.path.join(config, "config"), "w") as settings:
            # One state for every window: switched on once, on in the next window too.
            settings.write("[Behavior]\nShareInputState=All\n")
        self._start_method(["fcitx5", "--disable=wayland,waylandim"])
        if not wait_for_x(lambda: self.run_tool("fcitx5-remote").returncode == 0, PATIENCE):
            raise RuntimeError("fcitx5 did not start")

    def switch_on(self):
        """Switches the input method to Chinese where it is off by default
        (fcitx5: its keyboard first); True once it is on."""
        if self.method != "fcitx5":
            return True
        return wait_for_x(lambda: self.run_tool("fcitx5-remote", "-o").returncode == 0
                          and self.run_tool("fcitx5-remote").stdout.strip() == "2", PATIENCE)

    def close(self):
        group, self._method_group = self._method_group, None
        if group is not None:
            try:
                os.killpg(group.pid, signal.SIGTERM)
                try:
                    group.wait(timeout=10)  # fcitx5 saves its settings first
                except subprocess.TimeoutExpired:
                    pass
                os.killpg(group.pid, signal.SIGKILL)  # whatever of the group is left
            except ProcessLookupError:
                pass
            group.wait()
        super().close()
        shutil.rmtree(self.home, ignore_errors=True)

    def popups(self):
        """The override-redirect windows on the screen (candidate windows,
        open lists): {id: (x, y, width, height)}."""
        found = {}
        tree = self.run_tool("xwininfo", "-root", "-children").stdout
        for line in tree.splitlines():
            fields = line.split()
            if not fields or not fields[0].startswith("0x"):
                continue
            info = self.run_tool("xwininfo", "-id", fields[0], "-stats").stdout
            if "IsViewable" not in info or "Override Redirect State: yes" not in info:
                continue
            values = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
            found[fields[0]] = tuple(int(values[name]) for name in
                                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        return found


SESSION = session_per_test.start(lambda: InputMethodSession(METHOD))
if SESSION is not None:
    import pyatspi

    from atspi_driver import descendants, do_action, states, text, wait_for


class InputMethodTest(AccessibleCopyTestCase):
    session = SESSION
    watched = (DESCRIPTION,)

    # --- helpers ---------------------------------------------------------

    def lookup_window(self, description, program=None):
        window = super().lookup_window(description, program)
        self.x.focus(self.x_window)
        return window

    def type(self, text):
        self.x.type(self.x_window, text)

    def saw(self, typed, seen):
        print(f"  [{METHOD}] typed {typed}: {seen}", file=sys.stderr)

    def candidates(self, before, timeout=PATIENCE, where=lambda geometry: True):
        """Waits for the input method's candidate list, a popup window new or
        changed since before (the popups then) and wider than high (fcitx5
        keeps one window for the list and its narrow indicator): its (x, y,
        width, height), or None."""
        def shown():
            return [g for w, g in self.x.popups().items()
                    if before.get(w) != g and g[2] > 2 * g[3] and where(g)]
        found = wait_for_x(shown, timeout)
        return found[0] if found else None

    def candidates_gone(self, before):
        return wait_for_x(lambda: all(before.get(w) == g for w, g in self.x.popups().items()), PATIENCE)

    def ready_to_compose(self, box):
        """Waits until the input method composes in the focused box, which it
        does once the program's input context is made: a letter opens its
        candidate list, and Escape takes the composition back. A letter typed
        before that reaches the box as a key, and goes again."""
        self.assertTrue(self.x.switch_on(), f"{METHOD} stays off")
        shown = text(box)

        def composes():
            before = self.x.popups()
            self.type("a")
            if self.candidates(before, 2):
                self.keys("Escape")
                return self.candidates_gone(before)
            if text(box) != shown:
                self.keys("BackSpace")
            return False

        self.assertTrue(wait_for_x(composes, PATIENCE, interval=0.5), f"{METHOD} never composed")
        self.assertEqual(text(box), shown)

    def switch_to_code_window(self, region):
        do_action(self.only(region, pyatspi.ROLE_MENU_ITEM, "区号查询"), "Press")
        return self.lookup_window("区号查询")

    # --- tests -----------------------------------------------------------

    def test_a_province_and_a_city_chosen_by_pinyin(self):
        region = self.lookup_window("地区查询")
        provinces, cities = descendants(region, pyatspi.ROLE_COMBO_BOX)
        code = self.only(region, pyatspi.ROLE_TEXT, "区号")
        self.ready_to_compose(provinces)

        before = self.x.popups()
        self.type("jiangsu")
        self.assertTrue(self.candidates(before), "no candidates for jiangsu")
        self.assertEqual(text(provinces), "", "the composition shows in the province box")
        self.keys("space")
        self.assertTrue(wait_for(lambda: text(provinces) == "江苏省", PATIENCE), text(provinces))
        self.assertTrue(wait_for(lambda: len(descendants(cities, pyatspi.ROLE_LIST_ITEM)) == 29, PATIENCE))
        self.assertEqual(text(cities), "")
        self.saw("jiangsu Space in 省份", f"省份 {text(provinces)}, 城市 offers "
                 f"{len(descendants(cities, pyatspi.ROLE_LIST_ITEM))} cities")

        self.keys("Tab")
        self.assertTrue(wait_for(lambda: pyatspi.STATE_FOCUSED in states(cities), PATIENCE))
        self.type("suzhou")
        self.keys("1")
        self.assertTrue(wait_for(lambda: text(code) == "0512", PATIENCE), (text(cities), text(code)))
        self.assertEqual(text(cities), "苏州")
        self.assertEqual(text(provinces), "江苏省")
        self.saw("Tab, suzhou 1 in 城市", f"城市 {text(cities)}, 区号 {text(code)}")

    def test_the_candidates_open_under_the_box_typed_into(self):
        region = self.lookup_window("地区查询")
        provinces, cities = descendants(region, pyatspi.ROLE_COMBO_BOX)
        self.ready_to_compose(provinces)
        self.type("jiangsu")
        self.keys("space")
        self.assertTrue(wait_for(lambda: text(provinces) == "江苏省", PATIENCE))
        self.keys("Tab")
        self.assertTrue(wait_for(lambda: pyatspi.STATE_FOCUSED in states(cities), PATIENCE))
        for box, name in ((cities, "城市"), (provinces, "省份")):
            if box is provinces:
                self.keys("shift+Tab")
                self.assertTrue(wait_for(lambda: pyatspi.STATE_FOCUSED in states(provinces), PATIENCE))
            extents = box.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            x, y, width, height = extents.x, extents.y, extents.width, extents.height

            def under_the_box(where):
                return x - 8 <= where[0] <= x + width // 2 and y + height - 8 <= where[1] <= y + height + 40

            before = self.x.popups()
            self.type("nan")
            where = self.candidates(before)
            self.assertIsNotNone(where, f"no candidates over {name}")
            # The input method learns where the box is a moment after the
            # focus moves, and may first open the list where it was before.
            moved = self.candidates(before, PATIENCE, under_the_box)
            where = moved or where
            self.saw(f"nan in {name}", f"candidates at {where[:2]}, the box at {(x, y)} to {(x + width, y + height)}")
            self.assertTrue(moved, (where, (x, y, width, height)))
            self.keys("Escape")
            self.assertTrue(self.candidates_gone(before))

    def test_a_code_typed_in_chinese_mode(self):
        code = self.switch_to_code_window(self.lookup_window("地区查询"))
        box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        answer = self.only(code, pyatspi.ROLE_TEXT, "查询结果")
        self.ready_to_compose(box)
        self.type("0571")
        self.assertTrue(wait_for(lambda: text(box) == "0571", PATIENCE), text(box))
        self.keys("Return")
        self.assertTrue(wait_for(lambda: text(answer) == ANSWER_0571, PATIENCE), text(answer))
        self.saw("0571 Enter in 区号", f"区号 {text(box)}, 查询结果 {text(answer).strip()}")

    def test_a_long_commit_keeps_four_characters(self):
        code = self.switch_to_code_window(self.lookup_window("地区查询"))
        box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        self.ready_to_compose(box)
        self.type("zhonghuarenmingongheguo")
        self.keys("space")
        self.assertTrue(wait_for(lambda: text(box) == "中华人民", PATIENCE), text(box))
        self.saw("zhonghuarenmingongheguo Space in 区号", f"区号 {text(box)}")

    def test_enter_while_composing_runs_no_query(self):
        code = self.switch_to_code_window(self.lookup_window("地区查询"))
        box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        answer = self.only(code, pyatspi.ROLE_TEXT, "查询结果")
        self.ready_to_compose(box)
        before = self.x.popups()
        self.type("beijing")
        self.assertTrue(self.candidates(before), "no candidates for beijing")
        self.events.clear()
        # Enter is the input method's: it commits what was typed as it stands.
        self.keys("Return")
        self.assertTrue(wait_for(lambda: text(box) == "beij", PATIENCE), text(box))
        self.saw("beijing Enter in 区号", f"区号 {text(box)}, 查询结果 {text(answer)!r}")
        # A query asked for now is the first one: an answer the Enter had
        # asked for would have come before it.
        self.keys("ctrl+a", "BackSpace")
        self.type("010")
        self.keys("Return")
        self.assertTrue(wait_for(lambda: text(answer) == "  北京", PATIENCE), text(answer))
        answered = [data for _, role, _, data in self.events.seen
                    if role == pyatspi.ROLE_TEXT and isinstance(data, str) and data.strip()]
        self.assertEqual(answered, ["  北京"])

    def test_a_composition_cut_off_by_a_switch_goes_nowhere_else(self):
        region = self.lookup_window("地区查询")
        code = self.switch_to_code_window(region)
        box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        self.ready_to_compose(box)
        before = self.x.popups()
        self.type("jiang")
        self.assertTrue(self.candidates(before), "no candidates for jiang")
        do_action(self.only(code, pyatspi.ROLE_MENU_ITEM, "地区查询"), "Press")
        region = self.lookup_window("地区查询")
        provinces = descendants(region, pyatspi.ROLE_COMBO_BOX)[0]
        self.ready_to_compose(provinces)  # composes afresh in the new window
        province = text(provinces)
        self.assertEqual(province, "")
        code = self.switch_to_code_window(region)
        box = self.only(code, pyatspi.ROLE_TEXT, "区号")
        self.assertEqual(text(box), "")
        self.type("010")
        self.keys("Return")
        answer = self.only(code, pyatspi.ROLE_TEXT, "查询结果")
        self.assertTrue(wait_for(lambda: text(answer) == "  北京", PATIENCE), (text(box), text(answer)))
        self.saw("jiang in 区号, then 地区查询 and back, then 010 Enter",
                 f"省份 {province!r}, 区号 {text(box)}, 查询结果 {text(answer).strip()}")


if __name__ == "__main__":
    session_per_test.main(InputMethodTest, SESSION)
