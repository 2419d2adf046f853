"""Private sessions for driving the real program: an X display (Xvfb,
xdotool, and a small Xlib client for what xdotool cannot do, a window
manager's close request) or a Wayland compositor (weston), each with a
D-Bus session of its own."""

import ctypes
import dataclasses
import os
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

from program_texts import ACCESSIBLE, MAIN_TITLE, PATIENCE


def wait_for(predicate, timeout, interval=0.05):
    """Polls predicate until it returns something true; returns that, or None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


@dataclasses.dataclass(frozen=True)
class Unreported:
    """A field of a Window that its desktop cannot report, and why. Neither
    true nor false: a check has to ask for it (DesktopChecks.assert_reports)."""

    reason: str

    def __bool__(self):
        raise TypeError(f"unreported: {self.reason}")


@dataclasses.dataclass
class Window:
    """One window as a desktop reports it, whichever desktop. Rectangles are
    (x, y, width, height) on the screen, in logical pixels."""

    id: object               # the desktop's own: an X window, KWin's internalId, sway's con_id, mutter's id
    title: str
    pid: int
    frame: tuple             # with the desktop's frame round it
    client: tuple            # the program's own area
    parent: object           # the id of the window it belongs to (transient for), None for none
    modal: bool
    kind: str                # "normal", "dialog", "splash", or another of the desktop's names
    on_taskbar: bool
    in_switcher: bool        # in Alt+Tab
    server_decorated: bool   # the desktop draws a frame for it
    maximizable: bool        # the desktop offers to maximise it
    app: str                 # what ties it to its menu entry: app id, WM_CLASS, desktop entry
    native: dict = dataclasses.field(default_factory=dict)  # what only this desktop reports


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def private_bus(env):
    """A D-Bus session bus of its own (no autolaunched one shared between
    tests): returns the daemon and its address."""
    return start_and_read(lambda fd: ["dbus-daemon", "--session", "--nofork", f"--print-address={fd}"], env=env)


def start_and_read(command, **options):
    """Starts a server that reports its address on a file descriptor:
    command(fd) gives its arguments. Returns the process and that line."""
    read_end, write_end = os.pipe()
    args = command(write_end)
    process = subprocess.Popen(args, pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               **options)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        line = pipe.readline().strip()
    if not line:
        process.kill()
        raise RuntimeError(f"{args[0]} did not start")
    return process, line


def start_accessibility_bus(env):
    """Starts the accessibility bus on the session bus, as a desktop with a
    screen reader has it running before any program starts."""
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                    "org.a11y.Bus.GetAddress"], env=env, check=True, stdout=subprocess.DEVNULL, timeout=30)


X11_SOCKETS = "/tmp/.X11-unix"


def share_x11_sockets():
    """Makes the folder of the machine's X sockets as a running system has
    it: root's or ours, mode 1777, as systemd-tmpfiles makes it at boot.
    Every X server of every session puts its socket there. On a machine
    that has run none yet it is not there, and the first server makes it:
    Xvfb with mode 1777, but mutter under umask 022 with 1755, and then
    refuses it for its own XWayland ("Directory "/tmp/.X11-unix" is not
    writable"; gnome-shell ends). So whether the GNOME suite started
    depended on which desktop suite happened to start an X server first."""
    try:
        os.mkdir(X11_SOCKETS)
    except FileExistsError:
        pass
    info = os.lstat(X11_SOCKETS)
    if stat.S_IMODE(info.st_mode) != 0o1777 and info.st_uid == os.geteuid():
        os.chmod(X11_SOCKETS, 0o1777)


def _atoms(value):
    return [atom.strip() for atom in value.split(",")] if value else []


class Session:
    """What every test session has of its own: a runtime directory, a D-Bus
    session bus (with the accessibility bus on it if asked for), the copies
    of the program it started and what they printed."""

    def __init__(self, accessibility=False):
        share_x11_sockets()
        self.runtime_dir = tempfile.mkdtemp(prefix="tessaline-run-")
        os.chmod(self.runtime_dir, 0o700)
        self._logs = tempfile.mkdtemp(prefix="tessaline-logs-")
        self._copies = []
        self._helpers = []
        self._server = None
        self.bus_address = None
        bus, self.bus_address = private_bus(self.env())
        self._helpers.append(bus)
        if accessibility:
            start_accessibility_bus(self.env())

    def stop_copies(self):
        for copy in self._copies:
            if copy.poll() is None:
                copy.kill()
                copy.wait()

    def close(self):
        self.stop_copies()
        for helper in reversed(self._helpers):
            if helper.poll() is None:
                helper.terminate()
                try:
                    helper.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    helper.kill()
                    helper.wait()
        if self._server is not None:
            self._server.terminate()
            self._server.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
        shutil.rmtree(self._logs, ignore_errors=True)

    def env(self, runtime_dir=None):
        env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        env["XDG_RUNTIME_DIR"] = runtime_dir or self.runtime_dir
        if self.bus_address:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    # How copies are started beyond their environment: a session whose
    # compositor runs as another user starts them as that user.
    _as_user = {}

    def start(self, program, runtime_dir=None, prefix=(), extra_env=None):
        env = self.env(runtime_dir)
        env.update(extra_env or {})
        log = open(os.path.join(self._logs, f"copy-{len(self._copies)}.log"), "w")
        copy = subprocess.Popen([*prefix, program], env=env, stdout=log, stderr=subprocess.STDOUT, **self._as_user)
        log.close()
        self._copies.append(copy)
        return copy

    # --- windows, for a session that reads them from its compositor ---------
    # (a subclass gives compositor_windows(pid=None), bottom to top)

    def compositor_window(self, pid, title, timeout, other_than=None):
        """Waits for a window of that process with that title (and not the
        window other_than); returns it, or None."""
        def find():
            return next((w for w in self.compositor_windows(pid) if w.title == title and w.id != other_than), None)
        return wait_for(find, timeout, interval=0.1)

    def window_by_id(self, window_id):
        return next((w for w in self.compositor_windows() if w.id == window_id), None)

    def logs(self):
        """What the copies started so far printed, for a failure's report."""
        text = []
        for name in sorted(os.listdir(self._logs)):
            with open(os.path.join(self._logs, name), errors="replace") as log:
                text.append(f"--- {name}\n{log.read()}")
        return "\n".join(text)


class WestonSession(Session):
    """Weston's headless compositor on a Wayland socket of its own; programs
    started here run on Qt's Wayland platform."""

    socket = "tessaline-wayland"

    def __init__(self, accessibility=False):
        super().__init__(accessibility)
        self._server = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1024", "--height=768",
             f"--socket={self.socket}", "--idle-time=0", "--no-config"],
            env=Session.env(self), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(os.path.join(self.runtime_dir, self.socket)), 10):
            self.close()
            raise RuntimeError("weston did not start")

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        # The program may have a runtime directory of its own; the socket
        # is named by its full path then.
        env["WAYLAND_DISPLAY"] = os.path.join(self.runtime_dir, self.socket)
        env["QT_QPA_PLATFORM"] = "wayland"
        return env


class XSession(Session):
    """Xvfb on a free display, and, if asked for, a window manager on it."""

    def __init__(self, size="1024x768x24", listen_for_all=False, window_manager=None, accessibility=False):
        # -noreset: a server that resets when its last client leaves refuses
        # connections for a moment, and copies come and go here.
        args = ["-screen", "0", size, "-nolisten", "tcp", "-noreset"]
        if listen_for_all:
            args.append("-ac")  # other local users may connect
        server, number = start_and_read(lambda fd: ["Xvfb", "-displayfd", str(fd), *args])
        self.display = ":" + number
        # Be sure it takes clients before any copy tries to connect.
        ready = wait_for(lambda: subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                                                stderr=subprocess.DEVNULL).returncode == 0, 10)
        if not ready:
            server.kill()
            raise RuntimeError("Xvfb on " + self.display + " takes no clients")
        super().__init__(accessibility)
        self._server = server
        self.window_manager = window_manager
        if window_manager:
            self._start_window_manager(window_manager)

    def _start_window_manager(self, name):
        # openbox names itself on the root window early in its start, and a
        # window mapped before it has finished starting may never be managed:
        # on Debian 13 it dropped the start-up window so ("Trying to manage
        # unmapped window"). It runs its --startup command once it has
        # started (instead of the desktop's autostart, which has no place in
        # a test), and that command says so.
        started = os.path.join(self.runtime_dir, "window-manager-started")
        commands = {
            "openbox": ["openbox", "--sm-disable", "--startup", f"touch {started}"],
            "xfwm4": ["xfwm4", "--compositor=off", "--sm-client-disable"],
            "mutter": ["mutter", "--x11", "--replace", "--sm-disable"],
        }
        manager = subprocess.Popen(commands[name], env=self.env(), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self._helpers.append(manager)
        # Running once it names itself on the root window (EWMH), and for
        # openbox once its start-up command has run.
        if not wait_for(lambda: self.root_property("_NET_SUPPORTING_WM_CHECK")
                        and (name != "openbox" or os.path.exists(started)), 10):
            raise RuntimeError(name + " did not start")

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        env["DISPLAY"] = self.display
        return env

    # --- windows ---------------------------------------------------------

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True)
        return result.stdout.split() if result.returncode == 0 else []

    def windows(self, pid):
        """The visible top-level windows of a process: {id: title}."""
        found = {}
        for window in self.xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", ""):
            name = subprocess.run(["xdotool", "getwindowname", window], env=self.env(),
                                  capture_output=True, text=True).stdout.rstrip("\n")
            found[int(window)] = name
        return found

    def windows_named(self, pid, title):
        return [w for w, name in self.windows(pid).items() if name == title]

    def root_property(self, name):
        return self.property("root", name)

    def property(self, window, name):
        """An X property as xprop prints it, without the name; None if unset."""
        return self.properties(window, name)[name]

    def properties(self, window, *names):
        """{name: property as xprop prints it, or None if unset}, read at once."""
        target = ["-root"] if window == "root" else ["-id", str(window)]
        result = subprocess.run(["xprop", *target, *names], env=self.env(), capture_output=True, text=True)
        # One entry for each name, in order; a value may take several lines.
        entries = re.split(r"\n(?=\S)", result.stdout.strip()) if result.returncode == 0 else []
        found = dict.fromkeys(names)
        for name, line in zip(names, entries):
            if "not found" not in line and "no such atom" not in line and (":" in line or "=" in line):
                found[name] = line.split("=", 1)[1].strip() if "=" in line else line.split(":", 1)[1].strip()
        return found

    def atoms(self, window, name):
        """An atom-list property (_NET_WM_STATE, _NET_WM_WINDOW_TYPE) as a list."""
        return _atoms(self.property(window, name))

    def compositor_windows(self, pid=None):
        """The visible top-level windows of a process, as the window manager has them."""
        return [w for w in map(self.describe, self.windows(pid)) if w]

    def describe(self, window):
        """What an X window and its window manager say of it (None once it is
        unmapped): its frame is the window with the frame extents round it."""
        fields = self._window_info(window)
        if fields.get("Map State", "").strip() != "IsViewable":
            return None
        title = subprocess.run(["xdotool", "getwindowname", str(window)], env=self.env(), capture_output=True,
                               text=True).stdout.rstrip("\n")
        x, y, width, height = self.client_rect(window, fields)
        found = self.properties(window, "_NET_FRAME_EXTENTS", "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE",
                                "_NET_WM_ALLOWED_ACTIONS", "WM_CLASS", "_NET_WM_PID")
        extents = found["_NET_FRAME_EXTENTS"]
        left, right, top, bottom = (int(v) for v in extents.split(",")) if extents else (0, 0, 0, 0)
        states, types, actions = (_atoms(found[name]) for name in
                                  ("_NET_WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_ALLOWED_ACTIONS"))
        return Window(
            id=window, title=title, pid=int(found["_NET_WM_PID"] or 0),
            frame=(x - left, y - top, width + left + right, height + top + bottom), client=(x, y, width, height),
            parent=self.transient_for(window), modal="_NET_WM_STATE_MODAL" in states,
            kind=types[0].removeprefix("_NET_WM_WINDOW_TYPE_").lower() if types else None,  # the preferred
            on_taskbar="_NET_WM_STATE_SKIP_TASKBAR" not in states,
            in_switcher=Unreported("no EWMH property says"),
            server_decorated=any((left, right, top, bottom)) if extents else Unreported("no frame extents yet"),
            maximizable=("_NET_WM_ACTION_MAXIMIZE_HORZ" in actions or "_NET_WM_ACTION_MAXIMIZE_VERT" in actions)
            if actions else Unreported("no allowed actions yet"),
            app=found["WM_CLASS"] and found["WM_CLASS"].rsplit(",", 1)[-1].strip(' "'),
            native={"extents": extents, "types": types})

    window_by_id = describe

    def move_frame(self, window, x, y):
        """Moves a window's frame to (x, y), as its user would by dragging it."""
        left, _, top, _ = (int(v) for v in (window.native["extents"] or "0, 0, 0, 0").split(","))
        self.move(window.id, x + left, y + top)

    def close_window(self, window):
        self.request_close(window.id)

    def press(self, window, *keys):
        """Keys as the user types them into the window; Alt alone enters the menu bar."""
        if keys[0] == "Alt_L":
            self.alt(window)
            keys = keys[1:]
        if keys:
            self.key(window, *keys)

    def role(self, window):
        """WM_WINDOW_ROLE: which lookup the main window shows."""
        value = self.property(window, "WM_WINDOW_ROLE")
        return value.strip('"') if value else None

    def switch_lookup(self, window, timeout):
        """Switches the main window to the other lookup through the menu bar
        with the keyboard (Alt lands on the other lookup's command, past the
        greyed one; Enter), and waits until it shows it: returns its role,
        or None."""
        before = self.role(window)
        self.alt(window)
        self.key(window, "Return")
        return wait_for(lambda: (role := self.role(window)) != before and role, timeout)

    def transient_for(self, window):
        """The window WM_TRANSIENT_FOR names, or None."""
        value = self.property(window, "WM_TRANSIENT_FOR")
        return int(value.rsplit("#", 1)[1], 16) if value and "#" in value else None

    def motif_hints(self, window):
        """_MOTIF_WM_HINTS as (flags, functions, decorations), or None."""
        value = self.property(window, "_MOTIF_WM_HINTS")
        return tuple(int(v, 16) for v in value.split(",")[:3]) if value else None

    def client_rect(self, window, fields=None):
        """Where the window is on the screen, from xwininfo's fields (read now if not given)."""
        fields = fields or self._window_info(window)
        return tuple(int(fields[name]) for name in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def _window_info(self, window, *options):
        """What xwininfo says of a window, as a dict of its "name: value" lines."""
        out = subprocess.run(["xwininfo", "-id", str(window), *options], env=self.env(),
                             capture_output=True, text=True).stdout
        return dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)

    def framed(self, window):
        """Whether the window manager put the window in a frame window of its
        own (openbox, xfwm4: even a frame with no borders); mutter leaves an
        undecorated window a child of the root."""
        fields = self._window_info(window, "-tree")
        return fields["Parent window id"].split()[0] != fields["Root window id"].split()[0]

    def size(self, window):
        return self.client_rect(window)[2:]

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", str(window))

    def key(self, window, *keys):
        self.focus(window)
        self.xdotool("key", "--delay", "40", *keys)

    def type(self, window, text):
        self.focus(window)
        self.xdotool("type", "--delay", "40", text)

    def move(self, window, x, y):
        """Moves a window elsewhere, as its user would by dragging it."""
        subprocess.run(["xdotool", "windowmove", str(window), str(x), str(y)], env=self.env())

    def alt(self, window):
        """Alt pressed and released alone, which enters the menu bar."""
        self.focus(window)
        self.xdotool("keydown", "Alt_L")
        time.sleep(0.1)
        self.xdotool("keyup", "Alt_L")
        time.sleep(0.1)

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", str(window), str(x), str(y), "click", "1")

    def request_close(self, window):
        """What a window manager's close button sends: WM_DELETE_WINDOW."""
        xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                    ctypes.POINTER(_XEvent)]
        xlib.XFlush.argtypes = [ctypes.c_void_p]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = xlib.XOpenDisplay(self.display.encode())
        if not display:
            raise RuntimeError("cannot open " + self.display)
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(display)
        xlib.XCloseDisplay(display)

    def screenshot(self, window, path):
        subprocess.run(["import", "-window", str(window), path], env=self.env(), check=True)


class ProgramTestCase(unittest.TestCase):
    """A test of the real program that, when it fails, prints what the
    program wrote: tearDown keeps it in self.output, from Session.logs()."""

    output = ""

    def run(self, result=None):
        failures = len(result.failures) + len(result.errors) if result else 0
        outcome = super().run(result)
        if result and len(result.failures) + len(result.errors) > failures:
            print(self.output, file=sys.stderr)
        return outcome


def kill_hard(process):
    process.send_signal(signal.SIGKILL)
    process.wait()


class AccessibleCopyTestCase(ProgramTestCase):
    """Each test starts one copy of the program in the test module's session
    (session, set by the subclass) with Qt's accessibility bridge on:
    self.copy, self.program to read it through AT-SPI, and self.events, the
    AT-SPI events of the kinds in watched from the start. The copies end
    with the test."""

    session = None
    watched = ()

    def setUp(self):
        # Imported here: pyatspi joins the accessibility bus as it is
        # imported, which the session starts.
        from atspi_driver import Events, Program

        self.x = self.session
        self.events = Events(*self.watched)
        self.addCleanup(self.events.close)
        self.copy = self.x.start(self.program_path, extra_env=ACCESSIBLE)
        self.program = Program(self.copy.pid)

    def tearDown(self):
        self.output = self.x.logs()
        self.x.stop_copies()

    def lookup_window(self, description, program=None):
        """The lookup window so described, through AT-SPI; self.x_window
        becomes its X window, where keys go, as a user's would, to the
        window the window manager has active."""
        window = (program or self.program).lookup_window(description)
        self.assertIsNotNone(window, f"no lookup window described as {description}")
        self.x_window = self.x_window_named(MAIN_TITLE)
        return window

    def x_window_named(self, title):
        """The program's X window with that title: AT-SPI may report a window
        before the X server has it mapped."""
        found = wait_for(lambda: self.x.windows_named(self.copy.pid, title), PATIENCE)
        self.assertTrue(found, f"no X window named {title}")
        return found[0]

    def only(self, root, role, name=None):
        from atspi_driver import descendants

        found = descendants(root, role, name)
        self.assertEqual(len(found), 1, f"{len(found)} objects of role {role} named {name!r}")
        return found[0]

    def keys(self, *keys):
        self.x.key(self.x_window, *keys)
