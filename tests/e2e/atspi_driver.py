"""The real program as a screen reader sees it, through AT-SPI (pyatspi, the
library Orca is built on). Runs under Debian's /usr/bin/python3, where
python3-pyatspi lives.

Events reach this process only while the GLib main context turns, so every
wait here turns it while it polls."""

import time

import pyatspi
from gi.repository import GLib

from program_texts import MAIN_TITLE, PATIENCE
from xsession import wait_for as _wait_for


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(predicate, timeout):
    def turning():
        pump()
        return predicate()
    return _wait_for(turning, timeout)


def descendants(root, role=None, name=None):
    """Every object below root with that role and name, depth first."""
    found = []

    def walk(node, depth):
        if node is None or depth > 12:
            return
        try:
            children = list(node)
        except Exception:  # the object went away under us
            return
        for child in children:
            if child is None:
                continue
            try:
                if (role is None or child.getRole() == role) and (name is None or child.name == name):
                    found.append(child)
            except Exception:
                continue
            walk(child, depth + 1)

    walk(root, 0)
    return found


def states(obj):
    return set(obj.getState().getStates())


def text(obj):
    iface = obj.queryText()
    return iface.getText(0, iface.characterCount)


def do_action(obj, name):
    """Runs the named action, as an assistive tool does; returns how long the
    call took, in seconds."""
    action = obj.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            started = time.monotonic()
            action.doAction(i)
            return time.monotonic() - started
    raise LookupError(f"{obj.name!r} has no action {name!r}")


class Events:
    """Records the events of the given types while it lives: (type, source's
    role, source's name, detail)."""

    def __init__(self, *types):
        self.seen = []
        self._types = types
        pyatspi.Registry.registerEventListener(self._record, *types)

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._record, *self._types)

    def _record(self, event):
        try:
            self.seen.append((event.type, event.source.getRole(), event.source.name, event.any_data))
        except Exception:
            pass

    def clear(self):
        pump()
        self.seen.clear()

    def wait(self, predicate, timeout):
        return wait_for(lambda: [e for e in self.seen if predicate(*e)], timeout)


class Program:
    """One copy of the program on the accessibility bus."""

    def __init__(self, pid):
        self.pid = pid

    def application(self):
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return app
            except Exception:
                continue
        return None

    def lookup_window(self, description, timeout=PATIENCE):
        """The lookup window told apart by its description (地区查询,
        区号查询), once the program shows it; None if not within timeout."""
        return self.window(MAIN_TITLE, description, timeout)

    def windows(self):
        app = self.application()
        return list(app) if app is not None else []

    def window(self, name, description=None, timeout=15):
        def found():
            for window in self.windows():
                try:
                    if window.name == name and (description is None or window.description == description):
                        return window
                except Exception:
                    continue
            return None
        return wait_for(found, timeout)

    def gone(self, window_name, timeout=15):
        return wait_for(lambda: all(w.name != window_name for w in self.windows()), timeout)

