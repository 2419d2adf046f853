"""A private GNOME session for driving the real program: gnome-shell as a
headless Wayland compositor (mutter's native backend on a virtual monitor,
rendered in software), with XWayland for X clients, a D-Bus session bus and
a system bus of its own.

The shell runs in a session mode of ours that loads one extension
(gnome_probe/probe.js). It puts the shell in unsafe mode, which opens
org.gnome.Shell.Eval and the screenshot service to other clients, and
carries the functions the tests call through Eval: what the compositor
knows of each window, a user's keyboard and pointer (Clutter virtual input
devices), moving windows and the monitor's scale.

Runs under Debian's /usr/bin/python3 (Gio from python3-gi)."""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

from gi.repository import Gio, GLib

from program_texts import PATIENCE
from xsession import Session, Window, start_and_read, wait_for

PROBE_UUID = "probe@tessaline.test"
MODE = "tessaline-probe"
# Eval runs its code in the shell's D-Bus module, where Main is in scope
# under every version.
PROBE = f"Main.extensionManager.lookup('{PROBE_UUID}').stateObj"
PROBE_SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "gnome_probe")


def shell_version():
    """gnome-shell's major version: 43 on Debian 12, 48 on Debian 13."""
    out = subprocess.run(["gnome-shell", "--version"], capture_output=True, text=True, check=True).stdout
    return int(out.split()[-1].split(".")[0])


# The shell starts in 10-20 s on an idle machine with two cores; it renders
# everything in software.
START_PATIENCE = 120

SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:dir={directory}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
"""


MONITORS_XML = """<monitors version="2">
  <configuration>
    <logicalmonitor>
      <x>0</x>
      <y>0</y>
      <scale>{scale}</scale>
      <primary>yes</primary>
      <monitor>
        <monitorspec>
          <connector>Meta-0</connector>
          <vendor>MetaVendor</vendor>
          <product>MetaVirtualMonitor</product>
          <serial>0x00</serial>
        </monitorspec>
        <mode>
          <width>{width}</width>
          <height>{height}</height>
          <rate>60.000</rate>
        </mode>
      </monitor>
    </logicalmonitor>
  </configuration>
</monitors>
"""


def as_window(w):
    """A window as the probe describes it (_describe in gnome_probe/probe.js)."""
    return Window(id=w["id"], title=w["title"], pid=w["pid"], frame=tuple(w["frame"]), client=tuple(w["client"]),
                  parent=w["transient_for"], modal=w["modal"], kind=w["type"].lower(), on_taskbar=not w["skip_taskbar"],
                  in_switcher=w["in_alt_tab"], server_decorated=w["server_frame"], maximizable=w["can_maximize"],
                  app=w["app"], native={k: w[k] for k in ("client_type", "maximized", "type")})


class ShellError(RuntimeError):
    pass


class GnomeSession(Session):
    """gnome-shell on Wayland, headless, on one virtual monitor of the given
    size and scale; with xwayland, X clients have a display too
    (self.display); applications, pairs of a desktop entry and the program
    it is to start, are installed as if the program were. A
    program started here runs on Qt's Wayland platform as it would in a
    GNOME session (WAYLAND_DISPLAY and DISPLAY both set); pass
    extra_env=X11 to start() for XWayland."""

    socket = "wayland-tessaline"

    def __init__(self, accessibility=False, size="1024x768", scale=1, xwayland=True, applications=()):
        # The shell's own settings, caches and data, apart from the user's:
        # it writes to them as a desktop session would.
        self._home = tempfile.mkdtemp(prefix="tessaline-gnome-")
        for name in ("config", "data", "cache", "state", "share/gnome-shell/modes", "system-bus"):
            os.makedirs(os.path.join(self._home, name), exist_ok=True)
        self._install_probe()
        if scale != 1:
            self._configure_monitor(size, scale)
        for entry, program in applications:
            self._install_application(entry, program)
        self.system_bus_address = None
        self.display = None
        self.xauthority = None
        self._shell = None
        self._bus = None
        self._system_bus = None
        try:
            self._start_system_bus()
            super().__init__(accessibility)
            self._start_shell(size, xwayland)
            if xwayland:
                self.display = self.probe("environment", "DISPLAY")
                self.xauthority = self.probe("environment", "XAUTHORITY")
                self._start_xsettings()
            if not all(monitor["scale"] == scale for monitor in self.monitors()):
                raise RuntimeError(f"the monitor did not take scale {scale}: {self.monitors()}")
        except BaseException:
            self.close()
            raise

    # --- starting and stopping -------------------------------------------

    def _install_probe(self):
        share = os.path.join(self._home, "share", "gnome-shell")
        with open(os.path.join(share, "modes", MODE + ".json"), "w") as mode:
            # The user's session with the probe; without the welcome tour,
            # which would take the focus, and without banners (running as
            # root, unsafe mode), which would be in every screenshot.
            json.dump({"parentMode": "user", "showWelcomeDialog": False, "hasNotifications": False,
                       "enabledExtensions": [PROBE_UUID]}, mode)
        extension = os.path.join(share, "extensions", PROBE_UUID)
        os.makedirs(extension)
        # Extensions are scripts up to GNOME 44 and ES modules from 45; the
        # probe is put into the wrapper for the shell that runs. A shell
        # passes over, without a word in its log, an extension whose
        # shell-version does not name it.
        version = shell_version()
        with open(os.path.join(PROBE_SOURCES, "module.js" if version >= 45 else "legacy.js")) as wrapper, \
                open(os.path.join(PROBE_SOURCES, "probe.js")) as probe:
            source = wrapper.read().replace("// PROBE\n", probe.read())
        with open(os.path.join(extension, "extension.js"), "w") as out:
            out.write(source)
        with open(os.path.join(extension, "metadata.json"), "w") as metadata:
            json.dump({"uuid": PROBE_UUID, "name": "Tessaline test probe", "description": "For the tests",
                       "shell-version": [str(version)], "session-modes": ["user", MODE]}, metadata)

    def _configure_monitor(self, size, scale):
        # The monitor's scale as a user's Settings > Displays leaves it, in
        # place before the shell starts, so that everything (XWayland's
        # frames too) starts at that scale. The connector and the monitor's
        # make are those mutter gives its first virtual monitor.
        width, height = size.split("x")
        with open(os.path.join(self._home, "config", "monitors.xml"), "w") as out:
            out.write(MONITORS_XML.format(width=width, height=height, scale=scale))

    def _install_application(self, entry, program):
        # The shell matches windows to their program by its desktop entry;
        # without one, each window is an app of its own, in Alt+Tab too.
        # GLib passes over an entry whose Exec is not on PATH.
        applications = os.path.join(self._home, "share", "applications")
        os.makedirs(applications, exist_ok=True)
        with open(entry) as source:
            lines = [f"Exec={os.path.abspath(program)}\n" if line.startswith("Exec=") else line for line in source]
        with open(os.path.join(applications, os.path.basename(entry)), "w") as out:
            out.writelines(lines)

    def _start_system_bus(self):
        # gnome-shell will not start without a system bus; this one has no
        # services, so what it asks there fails at once.
        config = os.path.join(self._home, "system-bus.conf")
        with open(config, "w") as out:
            out.write(SYSTEM_BUS_CONFIG.format(directory=os.path.join(self._home, "system-bus")))
        self._system_bus, self.system_bus_address = start_and_read(
            lambda fd: ["dbus-daemon", f"--config-file={config}", "--nofork", f"--print-address={fd}"])

    def _start_shell(self, size, xwayland):
        env = self.env()
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY"):
            env.pop(name, None)
        self.shell_log_path = os.path.join(self._home, "shell.log")
        with open(self.shell_log_path, "w") as log:
            self._shell = subprocess.Popen(
                ["gnome-shell", "--wayland", "--headless", "--virtual-monitor", size,
                 f"--wayland-display={self.socket}", f"--mode={MODE}", *([] if xwayland else ["--no-x11"])],
                env=env, stdout=log, stderr=subprocess.STDOUT)
        if not wait_for(self._ready, START_PATIENCE, interval=0.5):
            raise RuntimeError("gnome-shell did not start:\n" + self.shell_log())

    def _start_xsettings(self):
        # What tells X clients the scale in a GNOME session: Xft.dpi among
        # the root window's resources (192 at scale 2), and XSETTINGS.
        self._helpers.append(subprocess.Popen(["/usr/libexec/gsd-xsettings"], env=self.env(),
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

        def told():
            out = subprocess.run(["xprop", "-root", "RESOURCE_MANAGER"], env=self.env(), capture_output=True,
                                 text=True).stdout
            return "Xft.dpi" in out
        if not wait_for(told, 30, interval=0.2):
            raise RuntimeError("gsd-xsettings did not set Xft.dpi")

    def _ready(self):
        if self._shell.poll() is not None:
            raise RuntimeError(f"gnome-shell ended ({self._shell.returncode}):\n" + self.shell_log())
        try:
            return self.probe("ready")
        except (ShellError, GLib.Error):
            return False

    def shell_log(self):
        with open(self.shell_log_path, errors="replace") as log:
            return log.read()

    def close(self):
        self.stop_copies()
        if self._shell is not None and self._shell.poll() is None:
            self._shell.terminate()
            try:
                self._shell.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self._shell.kill()
                self._shell.wait()
        if self._bus is not None:
            self._bus.close_sync(None)
            self._bus = None
        if hasattr(self, "_helpers"):
            super().close()
        if self._system_bus is not None and self._system_bus.poll() is None:
            self._system_bus.terminate()
            self._system_bus.wait()
        # What the shell and the buses started on their own (the
        # accessibility bus, ibus, its X helper) ends with its bus, mostly;
        # anything still running with this session's runtime directory is
        # ended here.
        if hasattr(self, "runtime_dir"):
            self._end_strays()
        shutil.rmtree(self._home, ignore_errors=True)

    def _end_strays(self):
        marker = f"XDG_RUNTIME_DIR={self.runtime_dir}".encode()

        def strays():
            found = []
            for entry in os.listdir("/proc"):
                if not entry.isdigit() or int(entry) == os.getpid():
                    continue
                try:
                    with open(f"/proc/{entry}/environ", "rb") as environ:
                        if marker in environ.read().split(b"\0"):
                            found.append(int(entry))
                except OSError:
                    continue
            return found

        # Given a moment to go of themselves once their bus is gone.
        if not wait_for(lambda: not strays(), 3, interval=0.1):
            for pid in strays():
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            if not wait_for(lambda: not strays(), 5, interval=0.1):
                for pid in strays():
                    try:
                        os.kill(pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        env.update({
            "XDG_CONFIG_HOME": os.path.join(self._home, "config"),
            "XDG_DATA_HOME": os.path.join(self._home, "data"),
            "XDG_CACHE_HOME": os.path.join(self._home, "cache"),
            "XDG_STATE_HOME": os.path.join(self._home, "state"),
            # The session mode and the probe are looked for here.
            "XDG_DATA_DIRS": os.path.join(self._home, "share") + ":" + os.environ.get("XDG_DATA_DIRS",
                                                                                      "/usr/local/share:/usr/share"),
            "GSETTINGS_BACKEND": "memory",
            "XDG_SESSION_TYPE": "wayland",
            "XDG_CURRENT_DESKTOP": "GNOME",
            "WAYLAND_DISPLAY": os.path.join(self.runtime_dir, self.socket),
        })
        if self.system_bus_address:
            env["DBUS_SYSTEM_BUS_ADDRESS"] = self.system_bus_address
        if self.display:
            env["DISPLAY"] = self.display
            env["XAUTHORITY"] = self.xauthority
        return env

    # --- the shell's side ---------------------------------------------------

    def _session_bus(self):
        if self._bus is None:
            self._bus = Gio.DBusConnection.new_for_address_sync(
                self.bus_address,
                Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
                None, None)
        return self._bus

    def call(self, name, path, interface, method, parameters=None, reply_type=None, timeout=30):
        reply = self._session_bus().call_sync(name, path, interface, method, parameters,
                                              GLib.VariantType(reply_type) if reply_type else None,
                                              Gio.DBusCallFlags.NONE, timeout * 1000, None)
        return reply.unpack() if reply is not None else None

    def eval(self, code):
        """Runs JavaScript in the shell; returns its value, through JSON."""
        ok, value = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                              GLib.Variant("(s)", (code,)), "(bs)")
        if not ok:
            raise ShellError(value or "Eval refused: the shell is not in unsafe mode")
        return json.loads(value) if value else None

    def probe(self, function, *args):
        return self.eval(f"{PROBE}.{function}({', '.join(json.dumps(a) for a in args)})")

    def windows(self, pid=None):
        """What the compositor knows of each window (of one process), bottom
        of the stack first: see _describe in gnome_probe/probe.js."""
        return [w for w in self.probe("windows") if pid is None or w["pid"] == pid]

    def compositor_windows(self, pid=None):
        return [as_window(w) for w in self.windows(pid)]

    def window(self, title, pid=None):
        found = [w for w in self.windows(pid) if w["title"] == title]
        return found[-1] if found else None

    def wait_window(self, title, pid=None, timeout=15, where=lambda window: True):
        """The topmost window so titled once it is there and mapped (it has a
        size) and where(window) holds; None if not within timeout."""
        def found():
            window = self.window(title, pid)
            return window if window and window["frame"][2] > 0 and where(window) else None
        return wait_for(found, timeout, interval=0.1)

    def focused(self):
        return next((w for w in self.windows() if w["focused"]), None)

    def alt_tab(self):
        return self.probe("altTab")

    def move_frame(self, window_id, x, y):
        return self.probe("moveFrame", window_id, x, y)

    def activate(self, window_id):
        self.probe("activate", window_id)

    def maximize(self, window_id):
        self.probe("maximize", window_id)

    def monitors(self):
        return self.probe("monitors")

    def set_scale(self, scale, timeout=15):
        self.probe("setScale", scale)
        if not wait_for(lambda: all(m["scale"] == scale for m in self.monitors()), timeout, interval=0.2):
            raise RuntimeError(f"the monitor did not take scale {scale}: {self.monitors()}")

    # --- a user's hands -----------------------------------------------------

    def key(self, *chords, delay=0.08, hold=0.04):
        """Keys pressed one after the other: 'Return', 'Alt_L+F4', '0'. Each
        is held a moment, as a hand does: a chord whose four events come
        at once leaves XWayland's clients, now and then, without the next
        Alt on its own."""
        for chord in chords:
            names = chord.split("+")
            for name in names:
                self.probe("keyDown", name)
                time.sleep(hold)
            for name in reversed(names):
                self.probe("keyUp", name)
                time.sleep(hold)
            time.sleep(delay)

    def type(self, text, delay=0.05):
        self.key(*text, delay=delay)

    def alt(self):
        """Alt pressed and released alone."""
        self.key("Alt_L", hold=0.1, delay=0.1)

    def point(self, x, y):
        self.probe("pointTo", x, y)

    def click(self, x, y, settle=0.1):
        """A click of the first button at (x, y) on the screen."""
        self.probe("pointTo", x, y)
        time.sleep(settle)
        self.probe("button", True)
        time.sleep(0.05)
        self.probe("button", False)

    def grab(self):
        """The move or resize mutter is making: {"id": window, "op": kind},
        or None."""
        return self.probe("grab")

    def drag(self, start, end, steps=10):
        """Drags with the first button from start to end, as a hand does
        that watches the window follow: the pointer moves only once mutter
        has begun to move a window, and the button comes up only after.
        A client that draws its own title bar asks for the move once it has
        read the press, which a slow (sanitized) build beside other desktops
        may take a second to do; with the button already up by then, mutter
        began a move that no release would end, and the next window it
        mapped stayed inactive. Returns the grab mutter made, or None if it
        made none (the drag is then ended, with Escape if mutter began one
        after all)."""
        self.probe("pointTo", *start)
        time.sleep(0.1)
        self.probe("button", True)
        grab = wait_for(self.grab, PATIENCE, interval=0.05)
        if grab:
            for i in range(1, steps + 1):
                time.sleep(0.03)
                self.probe("pointTo", start[0] + (end[0] - start[0]) * i / steps,
                           start[1] + (end[1] - start[1]) * i / steps)
            time.sleep(0.1)
        self.probe("button", False)
        if not wait_for(lambda: not self.grab(), 2 if grab else 1, interval=0.05):
            self.key("Escape")
            wait_for(lambda: not self.grab(), PATIENCE, interval=0.05)
        return grab

    # --- pictures -----------------------------------------------------------

    def screenshot(self, path, area=None):
        """The whole screen (or area = (x, y, width, height), in the
        windows' coordinates) as a PNG."""
        path = os.path.abspath(path)
        if area is None:
            ok, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                              "org.gnome.Shell.Screenshot", "Screenshot",
                              GLib.Variant("(bbs)", (False, False, path)), "(bs)")
        else:
            # The service multiplies the area by the shell's scale.
            scale = self.probe("uiScale")
            ok, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                              "org.gnome.Shell.Screenshot", "ScreenshotArea",
                              GLib.Variant("(iiiibs)", (*(int(v // scale) for v in area), False, path)), "(bs)")
        if not ok:
            raise ShellError("no screenshot")
        return path


# What a copy needs to run on XWayland rather than on Wayland.
X11 = {"QT_QPA_PLATFORM": "xcb"}
WAYLAND = {"QT_QPA_PLATFORM": "wayland"}
