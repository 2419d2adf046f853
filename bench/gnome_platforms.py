#!/usr/bin/python3
"""What running on XWayland costs under GNOME on Wayland, against Qt's own
Wayland platform: the program's start-up to its first mapped window as
gnome-shell sees it, N copies of each interleaved, and how the lookup
window looks at the monitor's scale (1 and 2) on each.

Below Qt 6.8 the program chooses XWayland where the compositor leaves the
title bar to Qt (desktop/window_system.cpp); QT_QPA_PLATFORM picks either
here. gnome-shell runs headless with XWayland already started, as the test
session does; a real session starts XWayland with its first X client, which
that first client waits for too.

Usage: /usr/bin/python3 bench/gnome_platforms.py BUILD/qt/tessaline [N] [OUTDIR]
Prints the medians per scale and platform, and writes the lookup window's
picture on each into OUTDIR (default build/gnome-platforms/).
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from gnome_session import GnomeSession  # noqa: E402
from program_texts import MAIN_TITLE, PATIENCE  # noqa: E402
from xsession import wait_for  # noqa: E402

PLATFORMS = ("xcb", "wayland")


def first_map(session, program, platform):
    """Seconds from exec to the first window of the copy that gnome-shell
    shows (mapped, with a size), and the copy."""
    started = time.monotonic()
    copy = session.start(program, extra_env={"QT_QPA_PLATFORM": platform})
    shown = wait_for(lambda: [w for w in session.windows(copy.pid) if w["frame"][2] > 0], PATIENCE, interval=0.005)
    if not shown:
        raise RuntimeError(f"no window on {platform}:\n{session.logs()}")
    return time.monotonic() - started, copy


def end(copy):
    copy.terminate()
    try:
        copy.wait(10)
    except Exception:
        copy.kill()
        copy.wait()


def main():
    program = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    out = os.path.abspath(sys.argv[3] if len(sys.argv) > 3 else os.path.join("build", "gnome-platforms"))
    os.makedirs(out, exist_ok=True)
    for scale in (1, 2):
        session = GnomeSession(scale=scale)
        try:
            times = {platform: [] for platform in PLATFORMS}
            for round_ in range(rounds + 1):
                for platform in PLATFORMS if round_ % 2 else reversed(PLATFORMS):
                    took, copy = first_map(session, program, platform)
                    if round_ > 0:  # the first of each warms the caches
                        times[platform].append(took)
                    else:
                        window = session.wait_window(MAIN_TITLE, copy.pid, PATIENCE)
                        time.sleep(0.5)  # painted
                        if window:
                            x, y, width, height = window["frame"]
                            session.screenshot(os.path.join(out, f"lookup-{platform}-scale{scale}.png"),
                                               (x, y, width, height))
                    end(copy)
            medians = {platform: statistics.median(values) * 1000 for platform, values in times.items()}
            print(f"scale {scale}: exec to first map, median of {rounds}: "
                  + ", ".join(f"{platform} {ms:.0f} ms" for platform, ms in medians.items())
                  + f"; XWayland/Wayland {medians['xcb'] / medians['wayland']:.2f}")
        finally:
            session.close()
    print(f"pictures in {out}")


if __name__ == "__main__":
    main()
