#!/usr/bin/env python3
"""Peak resident memory of the real program against a bare Qt Widgets
program with one main window, both under Xvfb on the xcb platform, with
the machine's fonts or with each Chinese face alone (as bench/startup.py:
the set-ups of the text_fit_* tests), so that both draw the same face.

Usage: bench/memory.py [--runs N] [--compare LABEL=PATH]... [--compare-bare LABEL=PATH]...
                       BUILD_DIR [SET-UP...]
  SET-UP: system, or a face (uming, ukai, noto_serif, ...); by default all.
  "system" is no same-face comparison: with every face installed, the bare
  window's Chinese text falls back to a face other than Tessaline's.
  --runs: runs of each program per set-up (5)
  --compare, --compare-bare: further builds of Tessaline or of the bare
  window, measured in turn with the others, against the same bare window"""

import argparse
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
    parser = argparse.ArgumentParser(formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("build")
    parser.add_argument("set_ups", nargs="*")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--compare", action="append", default=[], metavar="LABEL=PATH")
    parser.add_argument("--compare-bare", action="append", default=[], metavar="LABEL=PATH")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    programs = {
        "bare window": (os.path.join(build, "bench", "tessaline_bare_window"), "bare window"),
        "tessaline": (os.path.join(build, "qt", "tessaline"), MAIN_TITLE),
    }
    for others, title in ((args.compare, MAIN_TITLE), (args.compare_bare, "bare window")):
        for other in others:
            label, _, path = other.partition("=")
            programs[label] = (os.path.abspath(path), title)
    for set_up, extra_env in set_ups(build, args.set_ups).items():
        peaks = {name: [] for name in programs}
        # The first run is not counted: it may build the set-up's font caches.
        for run in range(args.runs + 1):
            for name, (program, title) in programs.items():
                x = XSession()
                try:
                    peak = peak_kib(x, program, title, extra_env)
                finally:
                    x.close()
                if run > 0:
                    peaks[name].append(peak)
        bare = statistics.median(peaks["bare window"])
        print(f"{set_up}:")
        for name, values in peaks.items():
            median = statistics.median(values)
            ratio = "" if name == "bare window" else f"  ratio {median / bare:.3f}"
            print(f"  {name:14} peak RSS median {median / 1024:5.1f} MiB{ratio:14}"
                  f"  (runs: {', '.join(str(v) for v in values)} KiB)", flush=True)

if __name__ == "__main__":
    main()
