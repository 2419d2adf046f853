"""Records what Orca says while a user drives the real program by keyboard
alone: a region lookup (陕西省, then 咸阳), a code lookup (0571 and Enter),
清除, and About opened and closed. Xvfb with openbox, a private D-Bus session
with the accessibility bus, Orca started first (orca_session).

Usage: /usr/bin/python3 orca_transcript.py PATH_TO_TESSALINE [OUTPUT_FILE [DEBUG_LOG_COPY]]

Writes, for every step, the keys pressed and Orca's SPEECH OUTPUT lines, then
what reached the synthesizer. A tool for reading, not a test: Orca's timing
decides how an utterance is split, and it gives no sign that it has finished."""

import os
import shutil
import subprocess
import sys

from program_texts import MAIN_TITLE, ABOUT_TITLE
from orca_session import OrcaSession
from xsession import XSession, wait_for

PATIENCE = 20
PROVINCE_DOWNS = 10  # from no entry to 陕西省, the tenth


def lines(said):
    return "".join("    " + text.replace("\n", "\n    ") + "\n" for text in said)


def record(program, out, debug_log_copy=None):
    x = XSession(window_manager="openbox", accessibility=True)
    orca = None
    try:
        orca = OrcaSession(x)
        version = subprocess.run(["orca", "--version"], capture_output=True, text=True).stdout.strip()
        out.write(f"# {version}; SPEECH OUTPUT lines of its debug log, one a line (a line break kept, indented)\n")
        greeting = orca.settle()
        out.write("## Orca starts\n" + lines(greeting))

        mark = orca.mark()
        copy = x.start(program)

        def window(title):
            found = wait_for(lambda: x.windows_named(copy.pid, title), PATIENCE)
            if not found:
                raise RuntimeError(f"no window {title}\n" + x.logs())
            return found[0]

        def step(label, target, *keys, typed=None):
            start = orca.mark()
            if typed is not None:
                x.type(target, typed)
            for key in keys:
                if key == "alt":
                    x.alt(target)  # alone, pressed and released: the menu bar
                else:
                    x.key(target, key)
            said = orca.settle(start)
            shown = " ".join(([f'type "{typed}"'] if typed is not None else []) + list(keys))
            out.write(f"## {label}: {shown}\n" + lines(said))
            out.flush()

        region = window(MAIN_TITLE)
        said = orca.settle(mark)
        out.write("## The program starts (start-up window, then the region window)\n"
                  + lines(said))

        step("Region: to 陕西省", region, *["Down"] * PROVINCE_DOWNS)
        step("Region: to the city box", region, "Tab")
        step("Region: 西安", region, "Down")
        step("Region: 咸阳", region, "Down")

        step("Menu bar", region, "alt")
        step("Menu bar: 区号查询", region, "Return")
        code = region  # the one main window, showing the other lookup
        step("Code: 0571", code, typed="0571")
        step("Code: Enter", code, "Return")

        step("Code: to 清除", code, "Tab", "Tab")
        step("Code: 清除", code, "space")
        step("Code: back one (Shift+Tab)", code, "shift+Tab")
        step("Code: on to 区号 (Tab)", code, "Tab")

        step("Menu bar", code, "alt")
        step("Menu bar: to 关于", code, "Left")
        step("Menu bar: 关于", code, "Return")
        about = window(ABOUT_TITLE)
        step("About open", about)
        step("About: close (Alt+F4)", about, "alt+F4")
        if not wait_for(lambda: not x.windows_named(copy.pid, ABOUT_TITLE), PATIENCE):
            raise RuntimeError("About did not close")

        out.write("## What reached the synthesizer, in all\n"
                  + lines(orca.synthesized_lines()))
    finally:
        if orca is not None:
            orca.close()
            if debug_log_copy:
                shutil.copyfile(orca.debug_log, debug_log_copy)
            orca.remove()
        x.close()


def main():
    program = os.path.abspath(sys.argv[1])
    if len(sys.argv) > 2:
        with open(sys.argv[2], "w", encoding="utf-8") as out:
            record(program, out, sys.argv[3] if len(sys.argv) > 3 else None)
    else:
        record(program, sys.stdout)


if __name__ == "__main__":
    main()
