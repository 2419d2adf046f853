"""Start-up of tessaline.exe under Wine, against a bare Win32 program that
shows a popup of the same size: from starting the process to its first
window on the screen, in interleaved runs with Wine's server already up.
Also the program's size, and what a switch between the lookups costs.

Usage: wine_startup.py BUILD_WINDOWS_DIR [PAIRS]
(a Windows build with -DTESSALINE_BENCH=ON -DBUILD_TESTING=ON)
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "wine"))
build = os.path.abspath(sys.argv[1])
pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
program = os.path.join(build, "win32", "tessaline.exe")
bare = os.path.join(build, "bench", "windows", "tessaline_bare_window.exe")
sys.argv = [sys.argv[0], program, os.path.join(build, "tests", "wine", "tessaline_driver.exe"),
            os.path.join(build, "bench", "windows", "prefix")]
import program_test  # noqa: E402

wine = program_test.Wine()


def first_window(executable):
    started = time.perf_counter()
    copy = subprocess.Popen(["wine", executable], env=wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not wine.windows():
        pass
    took = time.perf_counter() - started
    copy.kill()
    copy.wait()
    while wine.windows():
        time.sleep(0.01)
    return took * 1000


try:
    first_window(bare)  # the prefix, the server and the caches warm
    times = {"tessaline": [], "bare": []}
    for _ in range(pairs):
        times["tessaline"].append(first_window(program))
        times["bare"].append(first_window(bare))
    ratios = [a / b for a, b in zip(times["tessaline"], times["bare"])]
    for name, values in times.items():
        print(f"{name}: median {statistics.median(values):.1f} ms (min {min(values):.1f}, max {max(values):.1f})")
    print(f"ratio, median of {pairs} pairs: {statistics.median(ratios):.2f}")
    print(f"tessaline.exe: {os.path.getsize(program)} bytes")

    copy = wine.start()
    window = wine.window(program_test.MAIN_TITLE)
    print("switch (by-code, then by-region, sent and handled):", wine.ask("time-switches", window["hwnd"], 200))
finally:
    wine.close()
