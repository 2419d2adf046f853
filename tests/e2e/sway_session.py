"""sway as a test session: its headless backend, with a runtime directory, a
home and a D-Bus session bus of its own. What sway knows of a window is read
from its IPC (swaymsg -t get_tree); grim takes the pictures; keys and
clicks go in through a virtual keyboard and pointer of the test's own
(wayland_client.VirtualInput).

sway refuses to run as root. Run by root, the session runs sway, its bus and
the program as an unprivileged user (TESSALINE_TEST_USER, else nobody), and
lets root onto that bus, so that the test itself, as root, can still reach
everything: the bus and the accessibility bus (AT-SPI), the Wayland socket
and sway's IPC socket (root passes their file permissions).
"""

import glob
import json
import os
import pwd
import shutil
import subprocess
import tempfile

from wayland_client import VirtualInput, press_keys
from xsession import Session, Unreported, Window, start_accessibility_bus, start_and_read, wait_for

STARTUP = 20
OUTPUT = "HEADLESS-1"

# The session bus's usual set-up, and root let in: dbus-daemon otherwise
# takes connections from its own user alone.
_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <policy context="default">
    <allow user="root"/>
  </policy>
</busconfig>
"""


def _rect(r):
    return r["x"], r["y"], r["width"], r["height"]


def _views(node, floating=False):
    if node.get("pid") is not None and node.get("type") in ("con", "floating_con"):
        yield node, floating
    for child in node.get("nodes", []):
        yield from _views(child, False)
    for child in node.get("floating_nodes", []):
        yield from _views(child, True)


def _window(node, floating):
    """A view in sway's tree: its rect holds the borders, the title bar is drawn
    above it; its border is normal, pixel, none, or csd (the client's own)."""
    x, y, width, height = _rect(node["rect"])
    inner = node["window_rect"]
    title_bar = node["deco_rect"]["height"]
    return Window(
        id=node["id"], title=node.get("name"), pid=node["pid"], app=node.get("app_id"),
        frame=(x, y - title_bar, width, height + title_bar),
        client=(x + inner["x"], y + inner["y"], inner["width"], inner["height"]),
        parent=Unreported("sway's IPC does not say whose child a window is"),
        modal=Unreported("sway's IPC does not say"), kind=Unreported("sway's IPC gives no Wayland window a type"),
        on_taskbar=Unreported("sway has no taskbar"), in_switcher=Unreported("sway has no window switcher"),
        server_decorated=node.get("border") in ("normal", "pixel"),
        maximizable=Unreported("sway's IPC does not say"),
        native={"floating": floating, "focused": node.get("focused", False), "shell": node.get("shell")})


class SwaySession(Session):
    """sway's headless backend with one output of size (logical pixels) at
    scale; programs started here run on Qt's Wayland platform, as the
    session's user."""

    def __init__(self, accessibility=False, scale=1, size=(1024, 768)):
        self._user = None
        if os.geteuid() == 0:
            self._user = pwd.getpwnam(os.environ.get("TESSALINE_TEST_USER", "nobody"))
        self._home = tempfile.mkdtemp(prefix="tessaline-home-")
        super().__init__()
        if self._user is not None:
            self._as_user = {"user": self._user.pw_uid, "group": self._user.pw_gid, "extra_groups": []}
            for path in (self.runtime_dir, self._home):
                os.chown(path, self._user.pw_uid, self._user.pw_gid)
            self._replace_bus()
        else:
            self._as_user = {}
        if accessibility:
            start_accessibility_bus(self.env())
        self._config = os.path.join(self._home, "sway.conf")
        # size is logical, as kwin_wayland's --width and --height are: the
        # output has scale times as many pixels.
        width, height = (round(length * scale) for length in size)
        with open(self._config, "w") as config:
            config.write(f"output {OUTPUT} resolution {width}x{height} position 0 0 scale {scale}\n"
                         "xwayland disable\n")
        log = open(os.path.join(self._home, "sway.log"), "w")
        env = dict(self.env(), WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        for name in ("WAYLAND_DISPLAY", "SWAYSOCK", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        self._server = subprocess.Popen(["sway", "-c", self._config], env=env, stdout=log, stderr=subprocess.STDOUT,
                                        **self._as_user)
        log.close()
        if not wait_for(lambda: self._server.poll() is None and self._sockets() and self._answers(), STARTUP,
                        interval=0.1):
            text = self.compositor_log()
            self.close()
            raise RuntimeError("sway did not start:\n" + text[-3000:])
        self._input = VirtualInput(self.wayland_display, size)

    def _replace_bus(self):
        # Session started a bus of root's, which the user's programs could
        # not join; one of the user's takes its place.
        for helper in self._helpers:
            helper.terminate()
            helper.wait()
        self._helpers.clear()
        self.bus_address = None
        config = os.path.join(self._home, "bus.conf")
        with open(config, "w") as out:
            out.write(_BUS_CONFIG)
        bus, self.bus_address = start_and_read(
            lambda fd: ["dbus-daemon", f"--config-file={config}", "--nofork", f"--print-address={fd}"],
            env=self.env(), **self._as_user)
        self._helpers.append(bus)

    def _sockets(self):
        displays = [path for path in glob.glob(os.path.join(self.runtime_dir, "wayland-*"))
                    if not path.endswith(".lock")]
        ipc = glob.glob(os.path.join(self.runtime_dir, "sway-ipc.*.sock"))
        if displays and ipc:
            self.wayland_display, self.swaysock = displays[0], ipc[0]
            return True
        return False

    def _answers(self):
        return subprocess.run(["swaymsg", "-s", self.swaysock, "-t", "get_version"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def compositor_log(self):
        with open(os.path.join(self._home, "sway.log"), errors="replace") as log:
            return log.read()

    def env(self, runtime_dir=None):
        env = super().env(runtime_dir)
        # The user's own home: root's is out of its reach.
        env["HOME"] = self._home
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            env.pop(name, None)
        if getattr(self, "wayland_display", None):
            env["WAYLAND_DISPLAY"] = self.wayland_display
            env["SWAYSOCK"] = self.swaysock
            env["QT_QPA_PLATFORM"] = "wayland"
        return env

    def close(self):
        if getattr(self, "_input", None) is not None:
            self._input.close()
            self._input = None
        super().close()
        shutil.rmtree(self._home, ignore_errors=True)

    # --- what sway knows ---------------------------------------------------

    def swaymsg(self, *args):
        result = subprocess.run(["swaymsg", "-s", self.swaysock, *args], capture_output=True, text=True, timeout=10)
        if result.returncode != 0:
            raise RuntimeError(f"swaymsg {' '.join(args)}: {result.stdout}{result.stderr}")
        return result.stdout

    def tree(self):
        return json.loads(self.swaymsg("-t", "get_tree"))

    def compositor_windows(self, pid=None):
        return [_window(node, floating) for node, floating in _views(self.tree())
                if pid is None or node["pid"] == pid]

    def move_frame(self, window, x, y):
        """Moves a floating window's frame (title bar included) to (x, y), as
        its user does by dragging it."""
        self.swaymsg(f"[con_id={window.id}]", "move", "position", str(int(x)), str(int(y)))

    def focus(self, window):
        self.swaymsg(f"[con_id={window.id}]", "focus")

    def close_window(self, window):
        """What sway's kill command (Mod+Shift+q) does: the client's close."""
        self.swaymsg(f"[con_id={window.id}]", "kill")

    def capture(self, path, window=None):
        """A PNG of the output, or of a window's frame, at the output's device
        pixels (grim's default)."""
        region = [] if window is None else ["-g", "{},{} {}x{}".format(*window.frame)]
        subprocess.run(["grim", *region, path], env=self.env(), check=True, timeout=20)

    # --- acting as a user --------------------------------------------------

    def key(self, *names):
        """Presses and releases each key in turn (xdotool's names: Return,
        Alt_L, Right, a, 5; "alt+F4"), into the focused window."""
        press_keys(self._input, names)

    def type(self, text):
        self.key(*text)

    def click(self, x, y):
        """A left click at (x, y) on the screen, in logical coordinates."""
        self._input.click(x, y)
