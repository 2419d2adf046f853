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
    closes_to_end = True

    def x11_window(self, window):
        found = self.session.x11_window(window)
        self.assertIsNotNone(found, f"no X window for {window}")
        return found

    def press(self, window, *keys):
        self.session.press(self.x11_window(window), *keys)

    def assert_frameless(self, window):
        self.assertFalse(window.server_decorated, window)

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
        self.assertEqual(window.app, "tessaline")
        self.assertTrue(window.server_decorated)


if __name__ == "__main__":
    session_per_test.main(KWinX11Test, SESSION)
