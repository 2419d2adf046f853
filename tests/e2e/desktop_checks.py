"""What should hold for the real program under any desktop, read from the
desktop's side (xsession.Window, where a field the desktop cannot report is
Unreported and not checked): the checks the desktops' suites share. The
program is driven as a person drives it, by keys, and read as a screen reader
reads it, through AT-SPI (each test runs in a process of its own, see
session_per_test). A desktop's test case mixes DesktopChecks in and says how
a key reaches a window there and what "no frame" looks like to its desktop."""

from program_texts import PATIENCE, MAIN_TITLE, ABOUT_TITLE, WARNING_TITLE, ACCESSIBLE
from xsession import Unreported, wait_for

SCREEN = (1024, 768)   # the sessions' default, in logical pixels
MOVED_TO = (400, 300)  # where the user drags the lookup window
START_UP_TITLE = "tessaline"  # a window without a caption gets the program's name


def atspi():
    """The AT-SPI driver, imported only in a test's own process, once its
    session's bus is set: pyatspi joins the bus it finds at import."""
    import atspi_driver
    return atspi_driver


def centre(rect):
    x, y, width, height = rect
    return x + width / 2, y + height / 2


class DesktopChecks:
    """Mixed into a desktop's test case, before xsession.ProgramTestCase (not
    a test case itself, so that nothing collects it without a desktop)."""

    session = None        # the test process's session, set by the module
    program_path = None

    def setUp(self):
        self.assertIsNotNone(self.session, "run through session_per_test")

    def tearDown(self):
        self.output = self.session.logs()
        self.session.stop_copies()

    # --- what each desktop says --------------------------------------------

    def press(self, window, *keys):
        """Keys, as the user types them into window."""
        raise NotImplementedError

    def assert_frameless(self, window):
        raise NotImplementedError

    def assert_belongs_to(self, child, owner):
        """child is the owner's for the desktop (transient for it, its child
        toplevel)."""
        self.assertEqual(child.parent, owner.id)

    def assert_fixed(self, window):
        """What else says the window is of fixed size, where the desktop has it."""

    start_env = ACCESSIBLE  # what the program needs besides, for the checks above
    # Whether the About check ends the copy by closing its window (X11): ended so on Wayland, LeakSanitizer
    # reports the xdg-activation tokens Qt's Wayland plugin never frees (not suppressed in tests/lsan.supp).
    closes_to_end = False
    placement_patience = PATIENCE  # how long a new window may take to reach its place
    kept = ("id", "frame", "client")  # what of a lookup window stays the same while About opens and closes

    # --- helpers -------------------------------------------------------------

    def start(self):
        return self.session.start(self.program_path, extra_env=self.start_env)

    def now(self, window):
        """The window as the desktop has it now (None once it is gone)."""
        return self.session.window_by_id(window.id)

    def assert_reports(self, window, **expected):
        """Each field of the window as expected, where its desktop reports it."""
        for name, value in expected.items():
            if not isinstance(getattr(window, name), Unreported):
                self.assertEqual(getattr(window, name), value, f"{name}: {window}")

    def lookup_window_of(self, copy):
        """The copy's one lookup window, once it is the copy's only window."""
        def only():
            found = self.session.compositor_windows(copy.pid)
            return found[0] if [w.title for w in found] == [MAIN_TITLE] else None
        window = wait_for(only, PATIENCE)
        self.assertIsNotNone(window, f"no lookup window, or more than one window: {self.reported(copy)}")
        return window

    def reported(self, copy):
        return self.session.compositor_windows(copy.pid)

    def page(self, copy, description):
        """Waits until a screen reader sees the lookup window as description
        (地区查询, 区号查询): what tells the user which lookup it offers."""
        window = atspi().Program(copy.pid).window(MAIN_TITLE, description, PATIENCE)
        self.assertIsNotNone(window, f"no lookup window described as {description}")
        return window

    def move(self, window, where):
        self.session.move_frame(window, *where)
        self.assertTrue(wait_for(lambda: self.now(window).frame[:2] == where, PATIENCE),
                        f"the desktop did not move the window to {where}: {self.now(window)}")
        return self.now(window)

    def switch(self, copy, window, to):
        """Switches to the other lookup by the menu's first command, Alt
        then Enter; returns the lookup window once it offers that lookup."""
        self.press(window, "Alt_L", "Return")
        self.page(copy, to)
        return self.lookup_window_of(copy)

    def open_about(self, copy, window):
        self.press(window, "Alt_L", "Right", "Return")  # the greyed command is passed over
        about = self.session.compositor_window(copy.pid, ABOUT_TITLE, PATIENCE)
        self.assertIsNotNone(about, f"no About window: {self.reported(copy)}")
        return about

    def start_up_window(self, copy):
        window = wait_for(lambda: next((w for w in self.session.compositor_windows(copy.pid)
                                        if w.title == START_UP_TITLE), None), PATIENCE)
        self.assertIsNotNone(window, f"no start-up window: {self.reported(copy)}")
        return window

    def assert_over(self, window, owner, tolerance=2):
        """window's frame is centred over owner's, as the user sees them."""
        (x, y), (ox, oy) = centre(window.frame), centre(owner.frame)
        self.assertLessEqual(abs(x - ox), tolerance, (window.frame, owner.frame))
        self.assertLessEqual(abs(y - oy), tolerance, (window.frame, owner.frame))

    def assert_warning_over(self, warning, splash):
        self.assert_over(warning, splash)

    # --- checks --------------------------------------------------------------

    def test_the_start_up_window_is_centred_without_a_frame(self):
        splash = self.start_up_window(self.start())
        self.assert_reports(splash, kind="splash", on_taskbar=False)
        self.assert_frameless(splash)
        (x, y), (sx, sy) = centre(splash.frame), centre((0, 0, *SCREEN))
        self.assertLessEqual(abs(x - sx), 1, splash.frame)
        self.assertLessEqual(abs(y - sy), 1, splash.frame)

    def test_a_switch_keeps_the_place_after_a_move(self):
        copy = self.start()
        self.page(copy, "地区查询")
        window = moved = self.move(self.lookup_window_of(copy), MOVED_TO)
        for lookup in ("区号查询", "地区查询", "区号查询"):
            window = self.switch(copy, window, lookup)
            self.assertTrue(wait_for(lambda: self.now(window) and self.now(window).frame == moved.frame,
                                     self.placement_patience),
                            f"{lookup} opened at {self.now(window)}, not where the user put the window: {moved}")
        self.assertIsNone(copy.poll())

    def test_lookup_windows_are_fixed_and_on_the_taskbar(self):
        copy = self.start()
        self.page(copy, "地区查询")
        window = self.lookup_window_of(copy)
        for lookup in ("区号查询", "地区查询"):
            self.assert_reports(window, kind="normal", on_taskbar=True, parent=None)
            self.assert_fixed(window)
            self.assert_reports(self.now(window), maximizable=False)
            window = self.switch(copy, window, lookup)

    def test_about_belongs_to_its_lookup_window(self):
        copy = self.start()
        self.page(copy, "地区查询")
        window = self.lookup_window_of(copy)
        for then in ("区号查询", None):  # from either lookup window
            about = self.open_about(copy, window)
            # Its own window, and no other: nothing of it lands in the lookup window.
            self.assertEqual({w.id: w.title for w in self.reported(copy)}, {window.id: MAIN_TITLE, about.id: ABOUT_TITLE})
            self.assert_belongs_to(about, window)
            self.assert_reports(about, kind="dialog", modal=True, on_taskbar=False)
            self.assert_fixed(about)
            self.assert_reports(self.now(about), maximizable=False)
            self.session.close_window(about)
            self.assertTrue(wait_for(lambda: self.now(about) is None, PATIENCE), f"About stayed: {self.reported(copy)}")
            after = self.lookup_window_of(copy)
            self.assertEqual([getattr(after, f) for f in self.kept], [getattr(window, f) for f in self.kept])
            self.assertIsNone(copy.poll())
            window = self.switch(copy, after, then) if then else after
        if self.closes_to_end:
            self.session.close_window(window)
            self.assertEqual(copy.wait(timeout=PATIENCE), 0)

    def test_about_opens_over_its_lookup_window(self):
        copy = self.start()
        self.page(copy, "地区查询")
        # Away from the middle of the screen, where a desktop that centres
        # every new window would put About anyway.
        window = self.move(self.lookup_window_of(copy), (150, 120))
        for then in ("区号查询", None):  # from either lookup window
            about = self.open_about(copy, window)
            self.assertTrue(wait_for(lambda: self.now(about), PATIENCE), f"About went: {self.reported(copy)}")
            self.assert_over(self.now(about), self.now(window))
            if then:
                self.session.close_window(about)
                self.assertTrue(wait_for(lambda: self.now(about) is None, PATIENCE), f"About stayed: {self.reported(copy)}")
                window = self.switch(copy, window, then)

    def test_the_warning_opens_over_the_start_up_window(self):
        first = self.start()
        self.page(first, "地区查询")
        second = self.start()
        warning = self.session.compositor_window(second.pid, WARNING_TITLE, PATIENCE)
        self.assertIsNotNone(warning, f"no warning: {self.reported(second)}")
        splash = self.start_up_window(second)
        self.assert_belongs_to(warning, splash)
        self.assert_warning_over(self.now(warning), splash)
        self.press(warning, "Return")
        self.assertEqual(second.wait(timeout=PATIENCE), 0)
        self.assertIsNone(first.poll())

    def test_a_code_typed_and_entered(self):
        driver = atspi()
        copy = self.start()
        region = self.page(copy, "地区查询")
        # The switch as a screen reader's user makes it, the code as anyone types it.
        driver.do_action(driver.descendants(region, driver.pyatspi.ROLE_MENU_ITEM, "区号查询")[0], "Press")
        code = self.page(copy, "区号查询")
        self.press(self.lookup_window_of(copy), "0", "5", "1", "2", "Return")
        answer = driver.descendants(code, driver.pyatspi.ROLE_TEXT, "查询结果")[0]
        self.assertTrue(driver.wait_for(lambda: driver.text(answer) == "  江苏省苏州&吴江", PATIENCE),
                        driver.text(answer))
