"""KDE's compositor as a test session: kwin_wayland on its virtual (headless)
backend, or kwin_x11 on Xvfb, each with its own runtime directory and D-Bus
session bus. What KWin knows of a window is read through its scripting
interface, the way a KWin script sees it; its ScreenShot2 interface takes the
pictures; on Wayland, keys and clicks go in through KWin's fake-input
protocol, as a remote-input tool's would.

Runs under Debian's /usr/bin/python3 (GLib's D-Bus through python3-gi).
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading

from gi.repository import Gio, GLib

from wayland_client import FakeInput, press_keys
from xsession import Session, Unreported, Window, XSession, wait_for

STARTUP = 30  # seconds KWin may take to come up (llvmpipe on a busy machine)
SCRIPT_PATIENCE = 10


def _window(w, x11):
    """A window as tessalineWindow below reports it: the client area from KWin 6
    only, the X window from KWin 5 only (see KWinX11Session.x11_window)."""
    kind = "splash" if w["splash"] else "dialog" if w["dialog"] else "normal" if w["normal"] else "other"
    modal, on_taskbar, in_switcher = w["modal"], not w["skip_taskbar"], not w["skip_switcher"]
    if not x11:  # what KWin has there is its own default, not the program's word
        kind = Unreported("xdg-shell gives a window no type: KWin calls every one normal")
        modal = Unreported("KWin 5.27 speaks no xdg-dialog-v1, which would tell it")
        on_taskbar = in_switcher = Unreported("only KDE's plasma-shell protocol would tell it, which Qt does not speak")
    client = tuple(w["client"]) if w["client"] else Unreported("KWin 5 tells a script no client area")
    return Window(id=w["id"], title=w["title"], pid=w["pid"], frame=tuple(w["frame"]), client=client,
                  parent=w["transient_for"], modal=modal, kind=kind, on_taskbar=on_taskbar,
                  in_switcher=in_switcher, server_decorated=w["server_decorated"],
                  maximizable=w["maximizable"], app=w["resource_class"],
                  # The client's surface; on Wayland with KWin's decoration, the client area.
                  native={"buffer": tuple(w["buffer"]), "desktop_file": w["desktop_file"], "x11_id": w["x11_id"]})


_WINDOW_FIELDS = """
function tessalineRect(r) { return [r.x, r.y, r.width, r.height]; }
// noBorder is what the client asked for on X11, but only the user's choice on
// Wayland; there a frame larger than the client's surface is KWin's decoration.
// (KWin 6 no longer tells a script a window's X id, so the session says which.)
function tessalineServerDecorated(c) {
    if (tessalineX11)
        return !c.noBorder;
    var f = c.frameGeometry, b = c.bufferGeometry;
    return f.width > b.width || f.height > b.height;
}
function tessalineWindow(c) {
    return {
        id: c.internalId.toString(), title: c.caption, resource_class: c.resourceClass,
        desktop_file: c.desktopFileName, pid: c.pid,
        frame: tessalineRect(c.frameGeometry), buffer: tessalineRect(c.bufferGeometry),
        client: c.clientGeometry ? tessalineRect(c.clientGeometry) : null,
        server_decorated: tessalineServerDecorated(c),
        transient_for: c.transientFor ? c.transientFor.internalId.toString() : null,
        modal: c.modal, skip_taskbar: c.skipTaskbar, skip_switcher: c.skipSwitcher, maximizable: c.maximizable,
        normal: c.normalWindow, dialog: c.dialog, splash: c.splash,
        x11_id: c.windowId === undefined ? null : c.windowId
    };
}
// KWin 5 names the list clientList, KWin 6 windowList.
function tessalineWindows() {
    return workspace.clientList ? workspace.clientList() : workspace.windowList();
}
function tessalineFind(id) {
    var all = tessalineWindows();
    for (var i = 0; i < all.length; i++) {
        if (all[i].internalId.toString() === id)
            return all[i];
    }
    return null;
}
"""


def _session_bus(address):
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)


class KWin:
    """What the sessions below ask of the KWin they run: mixed into each.
    Needs self.bus_address and self._kwin_log, the file KWin's standard error
    goes to (a script's print() lands there, which is how it reports)."""

    _kwin_log = None
    _dbus = None
    _scripts = 0
    _x11 = False

    def _bus(self):
        if self._dbus is None:
            self._dbus = _session_bus(self.bus_address)
        return self._dbus

    def _call(self, path, interface, method, args, reply, timeout=SCRIPT_PATIENCE, fds=None):
        result, _ = self._bus().call_with_unix_fd_list_sync(
            "org.kde.KWin", path, interface, method, args, GLib.VariantType(reply), Gio.DBusCallFlags.NONE,
            int(timeout * 1000), fds, None)
        return result.unpack()

    def _kwin_answers(self):
        try:
            owner = self._bus().call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                          "NameHasOwner", GLib.Variant("(s)", ("org.kde.KWin",)),
                                          GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, 2000, None)
            return owner.unpack()[0] and self.run_script("report(1);", timeout=5) == [1]
        except GLib.Error:
            return False

    def compositor_log(self):
        with open(self._kwin_log, errors="replace") as log:
            return log.read()

    def _close_kwin(self):
        if self._dbus is not None:
            self._dbus.close_sync(None)
            self._dbus = None

    # --- scripting ---------------------------------------------------------

    def run_script(self, body, timeout=SCRIPT_PATIENCE):
        """Runs JavaScript in KWin; report(value) in it hands a value back.
        Returns the values reported, in order; None if the script did not
        finish within timeout."""
        self._scripts += 1
        token = f"tessaline-{os.getpid()}-{self._scripts}"
        directory = os.path.dirname(self._kwin_log)
        path = os.path.join(directory, f"{token}.js")
        with open(path, "w") as script:
            script.write(f"var tessalineX11 = {json.dumps(self._x11)};\n")
            script.write(_WINDOW_FIELDS)
            script.write(f"function report(v) {{ print('{token} ' + JSON.stringify(v)); }}\n")
            script.write(f"try {{\n{body}\n}} finally {{ print('{token} end'); }}\n")
        start = os.path.getsize(self._kwin_log)
        (number,) = self._call("/Scripting", "org.kde.kwin.Scripting", "loadScript",
                               GLib.Variant("(ss)", (path, token)), "(i)")
        try:
            # KWin 5 puts a loaded script at /<number>, KWin 6 at /Scripting/Script<number>.
            for object_path in (f"/{number}", f"/Scripting/Script{number}"):
                try:
                    self._call(object_path, "org.kde.kwin.Script", "run", None, "()")
                    break
                except GLib.Error as error:
                    if "UnknownObject" not in str(error):
                        raise

            def finished():
                with open(self._kwin_log, errors="replace") as log:
                    log.seek(start)
                    lines = [line.split(token + " ", 1)[1] for line in log.read().splitlines() if token + " " in line]
                return lines if lines and lines[-1] == "end" else None

            lines = wait_for(finished, timeout)
        finally:
            self._call("/Scripting", "org.kde.kwin.Scripting", "unloadScript", GLib.Variant("(s)", (token,)), "(b)")
            os.remove(path)
        return None if lines is None else [json.loads(line) for line in lines[:-1]]

    def compositor_windows(self, pid=None):
        """KWin's windows (of one process, if pid is given), bottom to top."""
        found = self.run_script("tessalineWindows().forEach(function (c) { report(tessalineWindow(c)); });") or []
        return [_window(w, self._x11) for w in found if pid is None or w["pid"] == pid]

    def move_frame(self, window, x, y):
        """Moves a window's frame to (x, y), as its user does by dragging its
        title bar; returns where KWin put it."""
        moved = self.run_script(f"""
            var c = tessalineFind({json.dumps(window.id)});
            var g = c.frameGeometry;
            c.frameGeometry = {{x: {int(x)}, y: {int(y)}, width: g.width, height: g.height}};
            report(tessalineRect(c.frameGeometry));""")
        return tuple(moved[0]) if moved else None

    def activate(self, window):
        # KWin 6 renamed activeClient to activeWindow; setting the old name
        # there raises nothing and activates nothing.
        self.run_script(f"""
            var c = tessalineFind({json.dumps(window.id)});
            if (workspace.activeWindow !== undefined)
                workspace.activeWindow = c;
            else
                workspace.activeClient = c;""")

    def compositing_type(self):
        """How KWin composites: "gl2" (OpenGL), "qpainter" (software), "none"."""
        (value,) = self._call("/Compositor", "org.freedesktop.DBus.Properties", "Get",
                              GLib.Variant("(ss)", ("org.kde.kwin.Compositing", "compositingType")), "(v)")
        return value

    def close_window(self, window):
        """What the close button of the window's frame does."""
        self.run_script(f"tessalineFind({json.dumps(window.id)}).closeWindow();")

    # --- pictures ----------------------------------------------------------

    def capture(self, path, window=None, native=True):
        """A PNG of the whole screen, or of one window with its frame, through
        KWin's ScreenShot2 interface. native: at the output's device pixels
        (scale 2 gives twice the logical size). Returns (width, height, scale)."""
        options = {"include-decoration": GLib.Variant("b", True), "include-cursor": GLib.Variant("b", False),
                   "native-resolution": GLib.Variant("b", native)}
        read_end, write_end = os.pipe()
        fds = Gio.UnixFDList.new_from_array([write_end])  # takes write_end
        data = bytearray()

        def read():
            with os.fdopen(read_end, "rb") as pipe:
                data.extend(pipe.read())
        reader = threading.Thread(target=read)
        reader.start()
        try:
            if window is None:
                args, method = GLib.Variant("(a{sv}h)", (options, 0)), "CaptureWorkspace"
            else:
                args, method = GLib.Variant("(sa{sv}h)", (window.id, options, 0)), "CaptureWindow"
            (info,) = self._call("/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", method, args, "(a{sv})",
                                 fds=fds)
        finally:
            for fd in fds.steal_fds():
                os.close(fd)
        reader.join(SCRIPT_PATIENCE)
        width, height, stride = info["width"], info["height"], info["stride"]
        # QImage::Format_ARGB32_Premultiplied or Format_RGB32: B, G, R, A in memory.
        if info.get("format") not in (4, 5, 6):
            raise RuntimeError(f"unexpected screenshot format {info.get('format')}")
        rows = b"".join(bytes(data[row * stride:row * stride + width * 4]) for row in range(height))
        subprocess.run(["convert", "-size", f"{width}x{height}", "-depth", "8", "bgra:-", path], input=rows,
                       check=True)
        return width, height, info.get("scale", 1.0)


def _private_kwin_dirs():
    """Configuration, cache and data of KWin's own, so that no user setting
    and no other session reaches it."""
    base = tempfile.mkdtemp(prefix="tessaline-kwin-")
    for name in ("config/menus", "cache", "data/applications"):
        os.makedirs(os.path.join(base, name))
    # KWin finds a client's menu entry in KDE's service cache, which lists
    # only the applications some XDG menu takes in. KDE Frameworks 5 falls
    # back to a menu of its own; 6 has none, and only a Plasma desktop
    # installs one (plasma-applications.menu), so without this menu no entry
    # is found and fake input is refused. It takes in every entry, under the
    # plain name that an empty XDG_MENU_PREFIX makes KDE look for.
    with open(os.path.join(base, "config", "menus", "applications.menu"), "w") as menu:
        menu.write("<Menu><Name>Applications</Name><DefaultAppDirs/><DefaultDirectoryDirs/>"
                   "<Include><All/></Include></Menu>\n")
    env = {
        "XDG_CONFIG_HOME": os.path.join(base, "config"),
        "XDG_CACHE_HOME": os.path.join(base, "cache"),
        "XDG_DATA_HOME": os.path.join(base, "data"),
        "XDG_MENU_PREFIX": "",
        # The screenshot interface otherwise serves only programs whose menu
        # entry asks for it.
        "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1",
    }
    return base, env


def _allow_fake_input(data_home):
    """KWin lets a client bind its fake-input protocol only if the first menu
    entry it finds whose Exec is the client's executable asks for it. The
    client here is this interpreter, which Debian gives an entry of its own
    (python3.11.desktop): every such entry is shadowed by one that asks, under
    the same name, in KWin's private data directory."""
    executable = os.path.realpath(sys.executable)
    names = {"tessaline-test-input.desktop"}
    for directory in os.environ.get("XDG_DATA_DIRS", "/usr/local/share:/usr/share").split(":"):
        applications = os.path.join(directory, "applications")
        for name in os.listdir(applications) if os.path.isdir(applications) else ():
            try:
                with open(os.path.join(applications, name), errors="replace") as entry:
                    if f"Exec={executable}" in entry.read().splitlines():
                        names.add(name)
            except OSError:
                continue
    for name in names:
        with open(os.path.join(data_home, "applications", name), "w") as entry:
            entry.write("[Desktop Entry]\nType=Application\nName=Tessaline test input\nNoDisplay=true\n"
                        f"Exec={executable}\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n")


class KWinWaylandSession(Session, KWin):
    """kwin_wayland's virtual backend on a socket of its own; programs started
    here run on Qt's Wayland platform. scale: the output's scale factor."""

    socket = "tessaline-kwin"

    def __init__(self, accessibility=False, scale=1, size=(1024, 768)):
        super().__init__(accessibility)
        self._kwin_dir, kwin_env = _private_kwin_dirs()
        self._kwin_log = os.path.join(self._kwin_dir, "kwin.log")
        self._input = None
        _allow_fake_input(kwin_env["XDG_DATA_HOME"])
        # Debian's binary carries cap_sys_resource, which a container may
        # refuse to exec ("Operation not permitted"); a plain copy has no
        # capabilities (shutil.copy, unlike copy2, copies no extended attributes).
        binary = os.path.join(self._kwin_dir, "kwin_wayland")
        shutil.copy(shutil.which("kwin_wayland"), binary)
        env = dict(Session.env(self), **kwin_env)
        width, height = size
        with open(self._kwin_log, "w") as log:
            self._server = subprocess.Popen(
                [binary, "--virtual", "--width", str(width), "--height", str(height), "--scale", str(scale),
                 "--socket", self.socket, "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"],
                env=env, stdout=log, stderr=subprocess.STDOUT)
        if not wait_for(lambda: self._server.poll() is None and os.path.exists(self.wayland_display)
                        and self._kwin_answers(), STARTUP, interval=0.2):
            log = self.compositor_log()
            self.close()
            raise RuntimeError("kwin_wayland did not start:\n" + log[-3000:])
        # The device is made before any program starts: its arrival changes
        # what the seat offers, and a program that first meets the pointer on
        # the first key (and loads its cursors then) misses keys.
        self._input = FakeInput(self.wayland_display)

    @property
    def wayland_display(self):
        return os.path.join(self.runtime_dir, self.socket)

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        env["WAYLAND_DISPLAY"] = self.wayland_display
        env["QT_QPA_PLATFORM"] = "wayland"
        return env

    def close(self):
        if self._input is not None:
            self._input.close()
            self._input = None
        self._close_kwin()
        super().close()
        shutil.rmtree(self._kwin_dir, ignore_errors=True)

    # --- input -------------------------------------------------------------

    def key(self, *names):
        """Presses and releases each key in turn (xdotool's names: Return,
        Alt_L, Right, a, 5; "alt+F4" holds the first while pressing the
        second), into the window that has the keyboard."""
        press_keys(self._input, names)

    def type(self, text):
        self.key(*text)

    def click(self, x, y):
        """A left click at (x, y) on the screen, in logical coordinates."""
        self._input.click(x, y)


class KWinX11Session(KWin, XSession):
    """Xvfb with kwin_x11 as its window manager (compositing, as Plasma runs
    it); keys and clicks through XSession's xdotool, windows as KWin has them
    (KWin's before XSession's, which reads X properties)."""

    _x11 = True
    window_by_id = Session.window_by_id  # by KWin's id, in KWin's list

    def __init__(self, accessibility=False, size="1024x768x24"):
        super().__init__(size=size, accessibility=accessibility)
        self._kwin_dir, kwin_env = _private_kwin_dirs()
        self._kwin_log = os.path.join(self._kwin_dir, "kwin.log")
        with open(self._kwin_log, "w") as log:
            manager = subprocess.Popen(["kwin_x11", "--replace"], env=dict(self.env(), **kwin_env), stdout=log,
                                       stderr=subprocess.STDOUT)
        self._helpers.append(manager)
        if not wait_for(lambda: manager.poll() is None and self.root_property("_NET_SUPPORTING_WM_CHECK")
                        and self._kwin_answers(), STARTUP, interval=0.2):
            log = self.compositor_log()
            self.close()
            raise RuntimeError("kwin_x11 did not start:\n" + log[-3000:])

    def close(self):
        self._close_kwin()
        super().close()
        shutil.rmtree(self._kwin_dir, ignore_errors=True)

    def x11_window(self, window, timeout=SCRIPT_PATIENCE):
        """The X window of a window KWin manages. KWin 5 tells it; for KWin 6,
        the one in KWin's client list of the same process whose client area
        is where KWin has it (polled, as a window just moved may not be there
        yet on both sides). None if none is found within timeout."""
        if window.native["x11_id"] is not None:
            return window.native["x11_id"]

        def find():
            now = self.window_by_id(window.id)
            listed = self.root_property("_NET_CLIENT_LIST") or ""
            if now is None or isinstance(now.client, Unreported) or "#" not in listed:
                return None
            for candidate in (int(x, 16) for x in listed.split("#", 1)[1].split(",")):
                try:
                    if (self.property(candidate, "_NET_WM_PID") == str(now.pid)
                            and self.client_rect(candidate) == now.client):
                        return candidate
                except KeyError:  # gone since the list was read: xwininfo said nothing
                    continue
            return None
        return wait_for(find, timeout, interval=0.2)
