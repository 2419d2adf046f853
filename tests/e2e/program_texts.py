"""What the end-to-end tests know of the program and share: its windows'
titles and texts, derived where they can be from the source, and how long a
test waits for what it expects."""

import os
import re

# Seconds a test waits for what it expects before it fails; polled, so a
# quick machine does not wait at all.
PATIENCE = 15

# The version as the windows show it, from project() in the top
# CMakeLists.txt, as the build makes it: 8.5 is "V08.05".
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt"),
          encoding="utf-8") as _lists:
    _major, _minor = re.search(r"project\(\s*tessaline\s+VERSION\s+(\d+)\.(\d+)", _lists.read()).groups()
VERSION = f"V{int(_major):02d}.{int(_minor):02d}"

MAIN_TITLE = f"Tessaline {VERSION}"           # the lookup window's caption
START_UP_NAME = f"Tessaline {VERSION} Velmora"  # the start-up window's accessible name: what its picture says
ABOUT_TITLE = "关于"
WARNING_TITLE = "提示"                         # the warning that another copy runs
ALREADY_RUNNING = "该程序已在运行中！"
ABOUT_TEXT = f"Tessaline 版本：{VERSION} Velmora 版权所有"  # About's captions, as a reader hears them

# AT-SPI events the tests wait for, and the environment that turns Qt's
# accessibility bridge on without a screen reader running.
DESCRIPTION = "object:property-change:accessible-description"
FOCUSED = "object:state-changed:focused"
ACCESSIBLE = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
