"""A minimal Wayland client in the test process, through libwayland-client and
ctypes, for the compositors' input protocols that no Debian tool speaks
reliably: KWin's fake input, and the virtual keyboard and pointer of wlroots
compositors (sway). Only requests are sent; nothing listens for events but
the registry."""

import ctypes
import os
import re
import time

# Linux input event codes (linux/input-event-codes.h) under xdotool's names.
KEYS = {"Escape": 1, "BackSpace": 14, "Tab": 15, "Return": 28, "Control_L": 29, "ctrl": 29, "Shift_L": 42,
        "shift": 42, "Alt_L": 56, "alt": 56, "space": 57, " ": 57, "F1": 59, "F2": 60, "F3": 61, "F4": 62,
        "Home": 102, "Up": 103, "Left": 105, "Right": 106, "End": 107, "Down": 108, "Delete": 111}
KEYS.update({str(digit): 2 + (digit - 1) % 10 for digit in range(10)})
KEYS.update({letter: code for row, first in (("qwertyuiop", 16), ("asdfghjkl", 30), ("zxcvbnm", 44))
             for code, letter in enumerate(row, first)})
BUTTON_LEFT = 0x110
# Seconds between keys, a person's pace: Qt acts on some keys only once it has
# handled the one before (Alt alone opens the menu bar on its release).
KEY_PAUSE = 0.15


def press_keys(device, names):
    """Presses and releases each named key in turn on device (FakeInput or
    VirtualInput); "alt+F4" holds Alt while F4 is pressed."""
    for name in names:
        device.chord([KEYS[part] for part in name.split("+")])
        time.sleep(KEY_PAUSE)


class _Message(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("signature", ctypes.c_char_p), ("types", ctypes.POINTER(ctypes.c_void_p))]


class _Interface(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("version", ctypes.c_int), ("method_count", ctypes.c_int),
                ("methods", ctypes.POINTER(_Message)), ("event_count", ctypes.c_int),
                ("events", ctypes.POINTER(_Message))]


_NO_TYPES = (ctypes.c_void_p * 8)()  # libwayland needs argument types only to receive, or to log
_interfaces = {}


def interface(name, version, requests):
    """A wl_interface for a protocol object this client only sends to:
    requests is [(name, signature)] in the protocol's order."""
    if name not in _interfaces:
        methods = (_Message * len(requests))(*[_Message(n.encode(), s.encode(), _NO_TYPES) for n, s in requests])
        _interfaces[name] = (_Interface(name.encode(), version, len(requests), methods, 0, None), methods)
    return _interfaces[name][0]


def _library():
    wl = ctypes.CDLL("libwayland-client.so.0")
    wl.wl_display_connect.restype = ctypes.c_void_p
    wl.wl_display_connect.argtypes = [ctypes.c_char_p]
    wl.wl_display_roundtrip.argtypes = [ctypes.c_void_p]
    wl.wl_display_disconnect.argtypes = [ctypes.c_void_p]
    wl.wl_proxy_add_listener.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
    wl.wl_proxy_marshal_constructor.restype = ctypes.c_void_p
    wl.wl_proxy_marshal_constructor_versioned.restype = ctypes.c_void_p
    return wl


class Client:
    """A connection to a compositor, with the globals it announced."""

    _GLOBAL = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint32, ctypes.c_char_p,
                               ctypes.c_uint32)
    _GLOBAL_REMOVE = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint32)

    def __init__(self, display_path):
        self._wl = wl = _library()
        self._display = wl.wl_display_connect(display_path.encode())
        if not self._display:
            raise RuntimeError("cannot connect to " + display_path)
        self.globals = {}
        self._callbacks = (
            self._GLOBAL(lambda data, registry, name, iface, version:
                         self.globals.__setitem__(iface.decode(), (name, version))),
            self._GLOBAL_REMOVE(lambda data, registry, name: None))
        self._listener = (ctypes.c_void_p * 2)(*[ctypes.cast(c, ctypes.c_void_p) for c in self._callbacks])
        self._registry = wl.wl_proxy_marshal_constructor(
            ctypes.c_void_p(self._display), ctypes.c_uint32(1),  # wl_display.get_registry
            ctypes.byref(_Interface.in_dll(wl, "wl_registry_interface")), None)
        wl.wl_proxy_add_listener(self._registry, self._listener, None)
        self.roundtrip()

    def library_interface(self, name):
        """One of libwayland-client's own interfaces (wl_seat_interface)."""
        return _Interface.in_dll(self._wl, name)

    def bind(self, iface, version):
        """Binds the global of that interface; None if there is none."""
        name = iface.name.decode()
        if name not in self.globals:
            return None
        number, offered = self.globals[name]
        version = min(version, offered)
        return self._wl.wl_proxy_marshal_constructor_versioned(
            ctypes.c_void_p(self._registry), ctypes.c_uint32(0), ctypes.byref(iface), ctypes.c_uint32(version),
            ctypes.c_uint32(number), ctypes.c_char_p(iface.name), ctypes.c_uint32(version), None)  # wl_registry.bind

    def create(self, proxy, opcode, iface, *args):
        """A request that makes a new object (its new_id comes last)."""
        return self._wl.wl_proxy_marshal_constructor(ctypes.c_void_p(proxy), ctypes.c_uint32(opcode),
                                                     ctypes.byref(iface), *args, None)

    def send(self, proxy, opcode, *args):
        """A request, and a round trip, so that the compositor has handled it
        when this returns."""
        self._wl.wl_proxy_marshal(ctypes.c_void_p(proxy), ctypes.c_uint32(opcode), *args)
        self.roundtrip()

    def roundtrip(self):
        if self._wl.wl_display_roundtrip(self._display) < 0:
            raise RuntimeError("the compositor closed the connection")

    def close(self):
        if self._display:
            self._wl.wl_display_disconnect(ctypes.c_void_p(self._display))
            self._display = None


def uint(value):
    return ctypes.c_uint32(int(value))


def fixed(value):
    return ctypes.c_int32(round(value * 256))


def milliseconds():
    return ctypes.c_uint32(int(time.monotonic() * 1000) & 0xFFFFFFFF)


# --- KWin's org_kde_kwin_fake_input -------------------------------------------

_FAKE_INPUT = interface("org_kde_kwin_fake_input", 4, [
    ("authenticate", "ss"), ("pointer_motion", "ff"), ("button", "uu"), ("axis", "uf"), ("touch_down", "2uff"),
    ("touch_motion", "2uff"), ("touch_up", "2u"), ("touch_cancel", "2"), ("touch_frame", "2"),
    ("pointer_motion_absolute", "3ff"), ("keyboard_key", "4uu")])


class FakeInput:
    """Keys and clicks through KWin's fake-input protocol, as KDE's remote
    input tools send them. KWin offers it only to programs it trusts (see
    kwin_session)."""

    def __init__(self, display_path):
        self._client = Client(display_path)
        self._device = self._client.bind(_FAKE_INPUT, 4)
        if self._device is None:
            self._client.close()
            raise RuntimeError("KWin offers no fake input to this process")
        self._client.send(self._device, 0, ctypes.c_char_p(b"Tessaline tests"),  # authenticate
                          ctypes.c_char_p(b"drive the program"))

    def chord(self, codes, pause=0.04):
        """Presses the keys in order and releases them in reverse."""
        for code, state in [(c, 1) for c in codes] + [(c, 0) for c in reversed(codes)]:
            self._client.send(self._device, 10, uint(code), uint(state))  # keyboard_key
            time.sleep(pause)

    def click(self, x, y, pause=0.04):
        self._client.send(self._device, 9, fixed(x), fixed(y))  # pointer_motion_absolute
        time.sleep(pause)
        for state in (1, 0):
            self._client.send(self._device, 2, uint(BUTTON_LEFT), uint(state))  # button
            time.sleep(pause)

    def close(self):
        self._client.close()


# --- wlroots' virtual keyboard and pointer --------------------------------------

_KEYBOARD_MANAGER = interface("zwp_virtual_keyboard_manager_v1", 1, [("create_virtual_keyboard", "on")])
_KEYBOARD = interface("zwp_virtual_keyboard_v1", 1, [("keymap", "uhu"), ("key", "uuu"), ("modifiers", "uuuu"),
                                                     ("destroy", "")])
_POINTER_MANAGER = interface("zwlr_virtual_pointer_manager_v1", 1, [("create_virtual_pointer", "?on"),
                                                                    ("destroy", "")])
_POINTER = interface("zwlr_virtual_pointer_v1", 1, [
    ("motion", "uff"), ("motion_absolute", "uuuuu"), ("button", "uuu"), ("axis", "uuf"), ("frame", ""),
    ("axis_source", "u"), ("axis_stop", "uu"), ("axis_discrete", "uufi"), ("destroy", "")])


def _keymap_text():
    """The default XKB keymap (evdev rules, us layout) as text, from
    libxkbcommon."""
    xkb = ctypes.CDLL("libxkbcommon.so.0")
    xkb.xkb_context_new.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
    xkb.xkb_keymap_get_as_string.restype = ctypes.c_void_p
    xkb.xkb_keymap_get_as_string.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xkb.xkb_keymap_unref.argtypes = [ctypes.c_void_p]
    xkb.xkb_context_unref.argtypes = [ctypes.c_void_p]
    libc = ctypes.CDLL(None)
    libc.free.argtypes = [ctypes.c_void_p]
    context = xkb.xkb_context_new(0)
    keymap = xkb.xkb_keymap_new_from_names(context, None, 0)
    text = xkb.xkb_keymap_get_as_string(keymap, 1)  # XKB_KEYMAP_FORMAT_TEXT_V1
    try:
        return ctypes.string_at(text)
    finally:
        libc.free(text)
        xkb.xkb_keymap_unref(keymap)
        xkb.xkb_context_unref(context)


class VirtualInput:
    """A keyboard and a pointer of the test's own on a wlroots compositor's
    seat. A seat without them tells programs it has no keyboard and no
    pointer, and a program that binds them only once they appear misses what
    a short-lived tool (wtype) sends at once; so these are made before any
    program starts, and kept for the whole session."""

    def __init__(self, display_path, screen_size):
        self._client = client = Client(display_path)
        self._size = screen_size
        seat = client.bind(client.library_interface("wl_seat_interface"), 1)
        keyboards, pointers = client.bind(_KEYBOARD_MANAGER, 1), client.bind(_POINTER_MANAGER, 1)
        if None in (seat, keyboards, pointers):
            client.close()
            raise RuntimeError("the compositor offers no virtual keyboard or pointer")
        self._keyboard = client.create(keyboards, 0, _KEYBOARD, ctypes.c_void_p(seat))
        self._pointer = client.create(pointers, 0, _POINTER, ctypes.c_void_p(seat))
        keymap = _keymap_text() + b"\0"
        fd = os.memfd_create("tessaline-keymap")
        try:
            os.write(fd, keymap)
            client.send(self._keyboard, 0, uint(1), ctypes.c_int(fd), uint(len(keymap)))  # keymap, XKB v1
        finally:
            os.close(fd)

    def chord(self, codes, pause=0.04):
        for code, state in [(c, 1) for c in codes] + [(c, 0) for c in reversed(codes)]:
            self._client.send(self._keyboard, 1, milliseconds(), uint(code), uint(state))  # key
            time.sleep(pause)

    def click(self, x, y, pause=0.04):
        width, height = self._size
        self._client.send(self._pointer, 1, milliseconds(), uint(x), uint(y), uint(width), uint(height))
        self._client.send(self._pointer, 4)  # frame
        time.sleep(pause)
        for state in (1, 0):
            self._client.send(self._pointer, 2, milliseconds(), uint(BUTTON_LEFT), uint(state))  # button
            self._client.send(self._pointer, 4)
            time.sleep(pause)

    def close(self):
        self._client.close()


PROTOCOL_LINE = re.compile(r"^\[\s*\d+\.\d+\]")  # how libwayland starts each line it logs


def toplevels(protocol_log):
    """[(title, destroyed)] for each xdg_toplevel a program made, in the
    order it made them, read from its protocol log (WAYLAND_DEBUG=client).
    The log is a record: it tells of a window that was shown and went again
    before anything could look at it."""
    object_id = r"xdg_toplevel[@#]\d+"
    made, live = [], {}
    for line in protocol_log.splitlines():
        found = re.search(rf"-> \w+[@#]\d+\.get_toplevel\(new id ({object_id})\)", line)
        if found:
            live[found.group(1)] = len(made)
            made.append([None, False])
            continue
        found = re.search(rf"-> ({object_id})\.set_title\(\"(.*)\"\)", line)
        if found and found.group(1) in live:
            made[live[found.group(1)]][0] = found.group(2)
            continue
        found = re.search(rf"-> ({object_id})\.destroy\(\)", line)
        if found and found.group(1) in live:
            made[live.pop(found.group(1))][1] = True  # libwayland may give its number to the next one
    return [tuple(toplevel) for toplevel in made]


def toplevel_parents(protocol_log):
    """{title: parent's title} for each xdg_toplevel a program made the
    child of another (xdg_toplevel.set_parent), read from its protocol log
    (WAYLAND_DEBUG=client): no compositor's own interface tells. libwayland
    1.21 (Debian 12) writes an object as xdg_toplevel@15, 1.23 (Debian 13)
    as xdg_toplevel#15."""
    object_id = r"xdg_toplevel[@#]\d+"
    titles, parents = {}, {}
    for line in protocol_log.splitlines():
        found = re.search(rf"-> ({object_id})\.set_title\(\"(.*)\"\)", line)
        if found:
            titles[found.group(1)] = found.group(2)
        found = re.search(rf"-> ({object_id})\.set_parent\(({object_id}|nil)\)", line)
        if found:
            parents[found.group(1)] = found.group(2)
    return {titles.get(child): titles.get(parent) for child, parent in parents.items()}
