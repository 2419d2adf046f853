#!/usr/bin/env python3
"""Start-up time of the real program against a bare Qt Widgets window
(bench/bare_window.cpp), under one private Xvfb on the xcb platform: from
the spawn of each program until the X server maps its first window.

The map is seen from outside: this script is itself an X client that
selects SubstructureNotify on the root window, so the server tells it of
every top-level window mapped there (no window manager runs, so nothing
redirects the map). The clock is CLOCK_MONOTONIC, read just before
posix_spawn and again as the MapNotify event is read, so both programs pay
the same spawn and wake-up costs. The two programs take turns, run for run,
so that a busy moment on the machine falls on both alike.

Each program runs once per fontconfig set-up: the machine's own, and one per
Chinese face that holds only that face and DejaVu (the set-ups CTest uses for
the text_fit_* tests, in BUILD_DIR/tests/faces/). Each set-up is run once
unmeasured first, so that its font caches exist and its files are in memory.

Usage: bench/startup.py [--runs N] [--tessaline PATH] [--bare PATH] [--compare LABEL=PATH]...
                        BUILD_DIR [SET-UP...]
  BUILD_DIR: where the programs and the font set-ups are (a build with tests)
  SET-UP: system, or a face (uming, ukai, noto_serif, ...); by default all
  --runs: runs of each program per set-up (20)
  --tessaline, --bare: other builds of either program
  --compare: a further program, measured in turn with the others (another
             build of Tessaline, say), against the same bare window"""

import argparse
import ctypes
import os
import select
import signal
import statistics
import sys
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xsession import XSession  # noqa: E402

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
PRIORITY = -15  # nice value; the spawned programs inherit it
PATIENCE = 10.0  # seconds; only a broken program takes this long


class _MapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("override_redirect", ctypes.c_int),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", _MapEvent), ("pad", ctypes.c_long * 24)]


class MapWatcher:
    """An X connection that hears of every window mapped on the root."""

    def __init__(self, display):
        x = ctypes.cdll.LoadLibrary("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_XEvent)]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        self._x = x
        self._display = x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError("cannot open " + display)
        x.XSelectInput(self._display, x.XDefaultRootWindow(self._display), SUBSTRUCTURE_NOTIFY_MASK)
        self._fd = x.XConnectionNumber(self._display)
        self._pid_atom = x.XInternAtom(self._display, b"_NET_WM_PID", 0)
        x.XSync(self._display, 0)

    def drain(self):
        """Forgets the events of earlier runs (their windows' unmapping)."""
        self._x.XSync(self._display, 0)
        event = _XEvent()
        while self._x.XPending(self._display):
            self._x.XNextEvent(self._display, ctypes.byref(event))

    def next_map(self, deadline):
        """(time, window) of the next map on the root, or None by the deadline."""
        event = _XEvent()
        while True:
            while self._x.XPending(self._display):
                self._x.XNextEvent(self._display, ctypes.byref(event))
                if event.type == MAP_NOTIFY:
                    return time.monotonic_ns(), event.xmap.window
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([self._fd], [], [], left)

    def pid_of(self, window):
        """The _NET_WM_PID Qt sets on its windows, or None."""
        kind, size = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        status = self._x.XGetWindowProperty(self._display, window, self._pid_atom, 0, 1, 0, 0, ctypes.byref(kind),
                                            ctypes.byref(size), ctypes.byref(count), ctypes.byref(after),
                                            ctypes.byref(data))
        if status != 0 or not data.value:
            return None
        pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0] if count.value else None
        self._x.XFree(data)
        return pid

    def close(self):
        self._x.XCloseDisplay(self._display)


def cpu_ms(pid):
    """Milliseconds the process's threads have run on a processor so far."""
    total = 0
    task_dir = f"/proc/{pid}/task"
    for task in os.listdir(task_dir):
        try:
            with open(os.path.join(task_dir, task, "schedstat")) as stat:
                total += int(stat.read().split()[0])
        except FileNotFoundError:  # a thread that has just ended
            pass
    return total / 1e6


def time_to_map(watcher, program, env):
    """(wall, processor) milliseconds from spawning program until its first
    window is mapped. The program is stopped as soon as the map is seen, so
    that what it does afterwards (painting) is hardly counted."""
    watcher.drain()
    started = time.monotonic_ns()
    pid = os.posix_spawn(program, [program], env)
    try:
        deadline = time.monotonic() + PATIENCE
        while True:
            seen = watcher.next_map(deadline)
            if seen is None:
                raise RuntimeError(program + " mapped no window")
            mapped, window = seen
            os.kill(pid, signal.SIGSTOP)
            if watcher.pid_of(window) == pid:
                return (mapped - started) / 1e6, cpu_ms(pid)
            os.kill(pid, signal.SIGCONT)
    finally:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)


def raise_priority():
    """The machine may be busy with other work: the clock, the X server and
    the programs run in a scheduling group of their own at a raised
    priority, so that the figures say what starting takes rather than how
    long the scheduler made it wait. With autogroups (Debian's kernels), a
    process's nice value counts only within its session's group, so the
    group's own is raised too. Says what it did."""
    os.setsid()  # a fresh session: a group of its own, inherited by what starts from here
    try:
        with open("/proc/self/autogroup", "w") as group:
            group.write(str(PRIORITY))
        os.setpriority(os.PRIO_PROCESS, 0, PRIORITY)
        return f"priority: nice {PRIORITY}, in a scheduling group of its own at nice {PRIORITY}"
    except OSError as error:
        return f"priority: normal ({error.strerror}: the figures include waits for other work)"


def set_ups(build, wanted):
    """{name: extra environment}: the machine's fonts and each face alone."""
    faces_dir = os.path.join(build, "tests", "faces")
    found = {"system": {}}
    if os.path.isdir(faces_dir):
        for face in sorted(os.listdir(faces_dir)):
            root = os.path.join(faces_dir, face)
            if face != "none" and os.path.exists(os.path.join(root, "fonts.conf")):
                found[face] = {"FONTCONFIG_FILE": os.path.join(root, "fonts.conf"), "XDG_CONFIG_HOME": root}
    if wanted:
        missing = [name for name in wanted if name not in found]
        if missing:
            raise SystemExit("no such set-up: " + ", ".join(missing) + " (have: " + ", ".join(found) + ")")
        return {name: found[name] for name in wanted}
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("build")
    parser.add_argument("set_ups", nargs="*")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--tessaline")
    parser.add_argument("--bare")
    parser.add_argument("--compare", action="append", default=[], metavar="LABEL=PATH")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    runs = args.runs
    programs = {
        "bare window": os.path.abspath(args.bare or os.path.join(build, "bench", "tessaline_bare_window")),
        "tessaline": os.path.abspath(args.tessaline or os.path.join(build, "qt", "tessaline")),
    }
    for other in args.compare:
        label, _, path = other.partition("=")
        programs[label] = os.path.abspath(path)
    for program in programs.values():
        if not os.access(program, os.X_OK):
            raise SystemExit(f"no program at {program}: build it first")
    print(raise_priority())
    x = XSession()
    watcher = MapWatcher(x.display)
    try:
        print(f"medians of {runs} runs each, interleaved, in ms from spawn to first map: wall time, and the time")
        print("the program's threads ran on a processor; each against the bare window's")
        print(f"{'set-up':14}{'program':16}{'wall':>8}{'ratio':>7}{'processor':>11}{'ratio':>7}   wall quartiles")
        for name, extra in set_ups(build, args.set_ups).items():
            env = x.env()
            env.update(extra)
            for program in programs.values():
                time_to_map(watcher, program, env)  # caches filled, files read
            times = {label: [] for label in programs}
            for _ in range(runs):
                for label, program in programs.items():
                    times[label].append(time_to_map(watcher, program, env))
            bare = [statistics.median(t[kind] for t in times["bare window"]) for kind in (0, 1)]
            for label, measured in times.items():
                wall, cpu = (statistics.median(t[kind] for t in measured) for kind in (0, 1))
                ratios = ("", "") if label == "bare window" else (f"{wall / bare[0]:.2f}", f"{cpu / bare[1]:.2f}")
                low, _, high = statistics.quantiles([t[0] for t in measured], n=4)
                print(f"{name if label == 'bare window' else '':14}{label:16}{wall:8.1f}{ratios[0]:>7}{cpu:11.1f}"
                      f"{ratios[1]:>7}   {low:.0f}-{high:.0f}", flush=True)
    finally:
        watcher.close()
        x.close()


if __name__ == "__main__":
    # In a child, which can start a session of its own (a group leader cannot).
    child = os.fork()
    if child == 0:
        code = 0
        try:
            main()
        except BaseException:  # noqa: B036 -- the child must not return into the parent's code
            traceback.print_exc()
            code = 1
        finally:
            sys.stdout.flush()
            sys.stderr.flush()
            os._exit(code)
    sys.exit(os.waitstatus_to_exitcode(os.waitpid(child, 0)[1]))
