"""The real program under KDE's window manager on X11 (kwin_x11 on Xvfb),
read through KWin's scripting interface, driven by xdotool and AT-SPI; each
test runs in a process of its own with a KWin of its own.

Usage: /usr/bin/python3 kwin_x11_test.py PATH_TO_TESSALINE [TEST ...]
"""

import session_per_test
from desktop_checks import DesktopChecks, centre
from kwin_session import KWinX11Session
from xsession import ProgramTestCase

SESSION = session_per_test.start(lambda: KWinX11Session(accessibility=True))


class KWinX11Test(DesktopChecks, ProgramTestCase):
    session = SESSION

    def x11_window(self, window):
        found = self.session.x11_window(window)
        self.assertIsNotNone(found, f"no X window for {window}")
        return found

    def press(self, window, *keys):
        x11_id = self.x11_window(window)
        if keys[0] == "Alt_L":  # alone, which enters the menu bar
            self.session.alt(x11_id)
            keys = keys[1:]
        self.session.key(x11_id, *keys)

    def assert_frameless(self, window):
        self.assertFalse(window.server_decorated, window)

    def assert_belongs_to(self, child, owner):
        self.assertEqual(child.transient_for, owner.id)

    def assert_warning_over(self, warning, splash):
        # On X11 the program places the warning before any frame is known:
        # its client area centred over the start-up window, which has none,
        # so KWin's title bar puts the frame half its height higher.
        client = self.session.client_rect(self.x11_window(warning))
        (x, y), (sx, sy) = centre(client), centre(splash.frame)
        self.assertLessEqual(abs(x - sx), 1, (client, splash.frame))
        self.assertLessEqual(abs(y - sy), 1, (client, splash.frame))

    def test_the_lookup_window_as_kwin_sees_it(self):
        window = self.lookup_window_of(self.start())
        # WM_CLASS, which the menu entry names as its StartupWMClass.
        self.assertEqual(window.resource_class, "tessaline")
        self.assertTrue(window.server_decorated)
        self.assertTrue(window.normal)
        self.assertFalse(window.maximizable)
        self.assertFalse(window.skip_taskbar)

    def test_the_start_up_window_stays_off_the_taskbar(self):
        splash = self.start_up_window(self.start())
        self.assertTrue(splash.splash)
        self.assertTrue(splash.skip_taskbar)

    def test_about_is_a_modal_dialog_off_the_taskbar(self):
        copy = self.start()
        self.page(copy, "地区查询")
        about = self.open_about(copy, self.lookup_window_of(copy))
        self.assertTrue(about.dialog)
        self.assertTrue(about.modal)
        self.assertTrue(about.skip_taskbar)
        self.assertFalse(about.maximizable)


if __name__ == "__main__":
    session_per_test.main(KWinX11Test, SESSION)
