"""The real tessaline.exe under Wine on Xvfb, in Wine's virtual desktop,
driven from another process by tessaline_driver.exe as a user drives it
(keys to the focused control, menu commands, the clipboard), and read back
as the user sees it: windows, their owners and places, texts, focus.

Usage: program_test.py TESSALINE_EXE DRIVER_EXE PREFIX
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from program_texts import ABOUT_TITLE, ALREADY_RUNNING, MAIN_TITLE, PATIENCE, WARNING_TITLE  # noqa: E402
from xsession import start_and_read, wait_for  # noqa: E402

PROGRAM, DRIVER, PREFIX = (os.path.abspath(a) for a in sys.argv[1:4]) if len(sys.argv) > 3 else (None,) * 3
# The screen's density (Wine's LogPixels): 96, or 144 where pictures and
# texts are drawn at one and a half times the size.
DPI = int(os.environ.get("TESSALINE_WINE_DPI", "96"))
FACES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "design", "chinese_faces.list")
VK_RETURN, VK_ESCAPE, VK_TAB, VK_DOWN = 0x0D, 0x1B, 0x09, 0x28

# Wine's own virtual desktop draws the frames (Xvfb has no window manager).
SETTINGS = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:{dpi:08x}

"""
# 宋体 as a user of Wine maps it to a Debian face.
SONG = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="{family}"
"SimSun"="{family}"
"""


class Wine:
    """Xvfb, a Wine prefix of the test's own with its settings, and the
    driver; copies of the program are started here and ended with close()."""

    def __init__(self):
        self._xvfb, number = start_and_read(lambda fd: ["Xvfb", "-displayfd", str(fd), "-screen", "0",
                                                         "1024x768x24", "-nolisten", "tcp"])
        self.env = dict(os.environ, DISPLAY=":" + number, WINEPREFIX=PREFIX, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if not os.path.exists(os.path.join(PREFIX, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=self.env, check=True, capture_output=True)
        # Wine 8 leaves its own faces out of a new prefix.
        fonts = os.path.join(PREFIX, "drive_c", "windows", "Fonts")
        for face in ("tahoma.ttf", "tahomabd.ttf", "marlett.ttf"):
            if os.path.exists(os.path.join("/usr/share/wine/fonts", face)):
                shutil.copy(os.path.join("/usr/share/wine/fonts", face), fonts)
        self.settle(SETTINGS.format(dpi=DPI))
        self.map_song_to("AR PL UMing CN")
        self._driver = subprocess.Popen(["wine", DRIVER], env=self.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, encoding="utf-8")
        self.copies = []

    def settle(self, settings):
        with tempfile.NamedTemporaryFile("w", suffix=".reg", encoding="utf-16", delete=False) as file:
            file.write(settings)
        subprocess.run(["wine", "regedit", "/S", file.name], env=self.env, check=True, capture_output=True)
        os.unlink(file.name)

    def map_song_to(self, family):
        """What a copy started from now on draws 宋体 with."""
        self.settle(SONG.format(family=family))

    def ask(self, *words):
        self._driver.stdin.write(" ".join(str(w) for w in words) + "\n")
        self._driver.stdin.flush()
        return json.loads(self._driver.stdout.readline())

    def start(self):
        copy = subprocess.Popen(["wine", PROGRAM], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.copies.append(copy)
        return copy

    def windows(self):
        return self.ask("windows")

    def window(self, title=None, window_class=None, timeout=PATIENCE):
        def found():
            return next((w for w in self.windows() if (title is None or w["title"] == title)
                         and (window_class is None or w["class"] == window_class)), None)
        return wait_for(found, timeout, interval=0.05)

    def controls(self, window):
        return {c["name"] or c["class"]: c for c in self.ask("controls", window["hwnd"])}

    def end_copies(self):
        for copy in self.copies:
            if copy.poll() is None:
                copy.kill()
                copy.wait()
        self.copies = []
        wait_for(lambda: not self.windows(), PATIENCE)

    def close(self):
        self.end_copies()
        self._driver.stdin.close()
        self._driver.wait(timeout=PATIENCE)
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        self._xvfb.kill()
        self._xvfb.wait()


WINE = None


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.wine = WINE
        self.copy = self.wine.start()
        self.addCleanup(self.wine.end_copies)

    def lookup_window(self):
        window = self.wine.window(MAIN_TITLE)
        self.assertIsNotNone(window, f"no lookup window: {self.wine.windows()}")
        return window

    def text(self, window, name):
        return self.wine.controls(window)[name]["text"]

    def press(self, *keys):
        for key in keys:
            self.wine.ask("key", key)

    def settled(self, predicate):
        return wait_for(predicate, PATIENCE, interval=0.05)

    def test_start_up_window_then_the_lookup_window_in_its_place(self):
        splash = self.wine.window(window_class="Tessaline启动")
        self.assertIsNotNone(splash, "no start-up window")
        self.assertFalse(splash["caption"])
        self.assertTrue(splash["tool"], "a start-up window with a taskbar button")
        x, y, width, height = splash["frame"]
        self.assertLessEqual(abs(x + width / 2 - 512) + abs(y + height / 2 - 384), 1, splash)
        started = time.monotonic()
        window = self.lookup_window()
        self.assertGreaterEqual(time.monotonic() - started, 1.0, "the start-up window went early")
        self.assertIsNone(self.wine.window(window_class="Tessaline启动", timeout=0))
        wx, wy, ww, wh = window["frame"]
        self.assertLessEqual(abs((wx + ww / 2) - (x + width / 2)) + abs((wy + wh / 2) - (y + height / 2)), 1)
        # The design's 4590 x 1515 twips, and the status bar's place, at the screen's density.
        pixels = lambda *twips: [(t * DPI + 720) // 1440 for t in twips]  # noqa: E731
        self.assertEqual(window["client"][2:], pixels(4590, 1515))
        self.assertEqual(self.wine.controls(window)["StatusBar1"]["place"], pixels(0, 1260, 4590, 255))
        self.assertEqual((window["sizable"], window["minimize_box"], window["maximize_box"], window["tool"]),
                         (False, False, False, False))
        self.assertEqual(self.wine.ask("focus"), "Combo1")

    def test_a_city_and_its_code(self):
        window = self.lookup_window()
        self.wine.ask("type", "陕")
        self.assertTrue(self.settled(lambda: self.text(window, "Combo1") == "陕西省"), self.wine.controls(window))
        self.press(VK_TAB)
        self.assertTrue(self.settled(lambda: self.wine.ask("focus") == "Combo2"))
        self.press(VK_DOWN)
        self.assertTrue(self.settled(lambda: self.text(window, "Combo2") == "西安"), self.wine.controls(window))
        self.assertEqual(self.text(window, "Text1"), "029")
        self.wine.ask("type", "咸")
        self.assertTrue(self.settled(lambda: self.text(window, "Text1") == "0910"), self.wine.controls(window))
        # A municipality, committed by an input method, has its code at once, and no cities.
        self.press(VK_TAB)
        self.assertTrue(self.settled(lambda: self.wine.ask("focus") == "Combo1"))
        self.wine.ask("commit", "北京")
        self.assertTrue(self.settled(lambda: self.text(window, "Text1") == "010"), self.wine.controls(window))
        cities = self.wine.controls(window)["Combo2"]
        self.assertEqual((cities["enabled"], cities["entries"]), (False, 0))

    def test_a_code_typed_after_both_switches(self):
        window = self.lookup_window()
        self.wine.ask("move", window["hwnd"], 150, 120)
        for command in ("by-code", "by-region", "by-code"):
            self.wine.ask("command", window["hwnd"], command)
        self.assertTrue(self.settled(lambda: "Command1" in self.wine.controls(window)))
        self.assertEqual(self.lookup_window()["frame"][:2], [150, 120], "the window left its place")
        self.assertEqual(self.wine.ask("focus"), "Text1")
        self.wine.ask("type", "0571")
        self.press(VK_RETURN)
        self.assertTrue(self.settled(lambda: self.text(window, "Text2") == "  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"),
                        self.wine.controls(window))
        # Four characters, typed or pasted; 😀 is one of them, not two.
        self.wine.ask("type", "9")
        self.wine.ask("paste", "😀123")
        self.assertTrue(self.settled(lambda: self.text(window, "Text2") != "" and self.text(window, "Text1")
                                     == "0571"), self.text(window, "Text1"))
        self.press(VK_TAB, VK_TAB)  # 查询, 清除
        self.assertTrue(self.settled(lambda: self.wine.ask("focus") == "Command2"))
        self.press(VK_RETURN)
        self.assertTrue(self.settled(lambda: self.text(window, "Text1") == "" and self.text(window, "Text2") == ""))
        self.assertEqual(self.wine.ask("focus"), "Text1")
        # What an input method commits counts the same, and a paste fills what is left.
        self.wine.ask("commit", "😀05")
        self.assertTrue(self.settled(lambda: self.text(window, "Text1") == "😀05"), self.text(window, "Text1"))
        self.wine.ask("paste", "😀12")
        self.assertTrue(self.settled(lambda: self.text(window, "Text1") == "😀05😀"), self.text(window, "Text1"))

    def test_about_is_modal_over_its_window(self):
        window = self.lookup_window()
        self.wine.ask("command", window["hwnd"], "about")
        about = self.wine.window(ABOUT_TITLE)
        self.assertIsNotNone(about, f"no About: {self.wine.windows()}")
        self.assertEqual(about["owner"], window["hwnd"])
        self.assertFalse(self.wine.window(MAIN_TITLE)["enabled"], "the lookup window takes input under About")
        (x, y, w, h), (ox, oy, ow, oh) = about["frame"], window["frame"]
        self.assertLessEqual(abs(x + w / 2 - ox - ow / 2) + abs(y + h / 2 - oy - oh / 2), 1, (about, window))
        shown = {c["text"] for c in self.wine.controls(about).values()}
        self.assertLessEqual({"Tessaline", "版本：V08.05", "Velmora 版权所有"}, shown)
        # No buttons: Enter and Escape leave it open.
        self.press(VK_RETURN, VK_ESCAPE)
        time.sleep(0.3)
        self.assertIsNotNone(self.wine.window(ABOUT_TITLE, timeout=0))
        self.wine.ask("close", about["hwnd"])
        self.assertTrue(self.settled(lambda: self.wine.window(ABOUT_TITLE, timeout=0) is None))
        self.assertTrue(self.wine.window(MAIN_TITLE)["enabled"])
        self.assertEqual(self.wine.ask("focus"), "Combo1")

    def test_every_text_whole_in_its_design_font_with_each_chinese_face(self):
        faces = [line.split("|") for line in open(FACES, encoding="utf-8") if line.strip() and line[0] != "#"]
        installed = [family for _, family, _, file in faces if os.path.exists("/usr/share/fonts/" + file.strip())]
        self.assertIn("AR PL UMing CN", installed)
        for family in installed:
            with self.subTest(family):
                self.wine.end_copies()
                self.wine.map_song_to(family)
                self.copy = self.wine.start()
                window = self.lookup_window()
                self.assertEqual(self.wine.ask("probe", window["hwnd"], DPI), [])
                self.wine.ask("command", window["hwnd"], "by-code")
                self.assertTrue(self.settled(lambda: "Command1" in self.wine.controls(window)))
                self.assertEqual(self.wine.ask("probe", window["hwnd"], DPI), [])
                self.wine.ask("command", window["hwnd"], "about")
                about = self.wine.window(ABOUT_TITLE)
                self.assertEqual(self.wine.ask("probe", about["hwnd"], DPI), [])
        self.wine.map_song_to("AR PL UMing CN")

    def test_laid_out_again_on_a_monitor_of_another_density(self):
        if DPI != 96:
            self.skipTest("Wine draws the controls' own parts (a list's button, the bars' edges) at the"
                          " prefix's density: from a denser screen, a move down is not what Windows shows")
        window = self.lookup_window()
        other = 192
        self.assertEqual(self.wine.ask("probe", window["hwnd"], other, "moved"), [])
        # What opens there afterwards is drawn for it too.
        self.wine.ask("command", window["hwnd"], "by-code")
        self.assertTrue(self.settled(lambda: "Command1" in self.wine.controls(window)))
        self.assertEqual(self.wine.ask("probe", window["hwnd"], other), [])

    def test_a_second_copy_warns_and_ends_and_closing_ends_the_first(self):
        window = self.lookup_window()
        second = self.wine.start()
        warning = self.wine.window(WARNING_TITLE, timeout=PATIENCE + 5)
        self.assertIsNotNone(warning, f"no warning: {self.wine.windows()}")
        self.assertIn(ALREADY_RUNNING, {c["text"] for c in self.wine.controls(warning).values()})
        self.press(VK_RETURN)
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertIsNone(self.copy.poll())
        self.wine.ask("close", window["hwnd"])
        self.assertEqual(self.copy.wait(timeout=PATIENCE), 0)


def main():
    global WINE
    WINE = Wine()
    try:
        unittest.main(argv=[sys.argv[0], *sys.argv[4:]], verbosity=2)
    finally:
        WINE.close()


if __name__ == "__main__":
    main()
