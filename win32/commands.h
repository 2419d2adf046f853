#pragma once

// The menu bar's commands, as WM_COMMAND ids: away from IDOK and IDCANCEL,
// which the dialog manager sends for Enter and Escape.

namespace win32 {

enum Command : int { kByRegionCommand = 1001, kByCodeCommand, kAboutCommand };

} // namespace win32
