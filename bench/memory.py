#!/usr/bin/env python3
"""Peak resident memory of the real program against a bare Qt Widgets
program with one main window, both under Xvfb on the xcb platform, with
the machine's fonts or with each Chinese face alone (as bench/startup.py:
the set-ups of the text_fit_* tests), so that both draw the same face.

Usage: bench/memory.py BUILD_DIR [RUNS] [SET-UP...]
  SET-UP: system, or a face (uming, ukai, noto_serif, ...); by default all"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xsession import MAIN_TITLE, XSession, wait_for  # noqa: E402
from startup import set_ups  # noqa: E402


def peak_kib(x, program, title, extra_env):
    copy = x.start(program, extra_env=extra_env)
    window = wait_for(lambda: x.windows_named(copy.pid, title), 10)
    if not window:
        raise RuntimeError(program + " showed no window")
    time.sleep(1.0)  # let it paint and settle
    with open(f"/proc/{copy.pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    x.request_close(window[0])
    copy.wait(timeout=10)
    return int(fields["VmHWM"].split()[0])


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    programs = {
        "tessaline": (os.path.join(build, "windows", "tessaline"), MAIN_TITLE),
        "bare window": (os.path.join(build, "bench", "tessaline_bare_window"), "bare window"),
    }
    for set_up, extra_env in set_ups(build, sys.argv[3:]).items():
        peaks = {name: [] for name in programs}
        # The first run is not counted: it may build the set-up's font caches.
        for run in range(runs + 1):
            for name, (program, title) in programs.items():
                x = XSession()
                try:
                    peak = peak_kib(x, program, title, extra_env)
                finally:
                    x.close()
                if run > 0:
                    peaks[name].append(peak)
        medians = {name: statistics.median(values) for name, values in peaks.items()}
        print(f"{set_up}:")
        for name, values in peaks.items():
            print(f"  {name:12} peak RSS median {medians[name] / 1024:.1f} MiB"
                  f"  (runs: {', '.join(str(v) for v in values)} KiB)")
        print(f"  ratio {medians['tessaline'] / medians['bare window']:.3f}", flush=True)


if __name__ == "__main__":
    main()
