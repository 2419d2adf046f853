#pragma once

// The native controls the pages and About are built of. Each carries its
// design name as the window property "design-name" (a global atom), where a
// test or an assistive tool can read it from another process.

#include "design/control.h"

#include <windows.h>

#include <string>

namespace win32 {

// Registers a window class of the program's once: its procedure, pointer
// and icon (nullptr: none of its own).
void registerWindowClass(const wchar_t *name, WNDPROC procedure, const wchar_t *cursor, HICON icon = nullptr);

// A child control of parent: class (WC_STATICW, WC_COMBOBOXW, ...), style,
// its design text, and its id.
HWND createControl(HWND parent, const wchar_t *windowClass, DWORD style, DWORD exStyle,
                   const design::Control &plan, int id);

// Names a control for assistive tools (Active Accessibility's dynamic
// annotation), where Windows offers it.
void nameForAssistiveTools(HWND control, std::string_view name);

// Tells a screen reader text at once, as said by control, where Windows
// offers it (UI Automation's notifications, looked up at run time); a newer
// announcement supersedes one not yet spoken.
void announce(HWND control, std::string_view text);

// An output box: read-only, refuses the focus (handing it back where it
// came from), and drawn on the design's lines in its design colours, which a
// disabled box would not keep.
void makeOutputBox(HWND box, const design::Control &plan);
// An output box's edge: a pixel's, not a box's sunken two. It leaves its
// lines the room the longest answers take with the Debian faces' wider
// Latin marks.
inline constexpr DWORD kOutputBoxEdge = WS_EX_STATICEDGE;

// A box that draws its text itself, in its design colours and on the
// design's lines (look::lines): one line centred down the box, more from
// its top. It keeps its text, its caret and its selection.
void drawOnDesignLines(HWND box, const design::Control &plan);

// A label that draws its caption itself, on the design's lines, in its
// colour over what its parent painted.
void drawAsCaption(HWND label, const design::Control &plan);

// At most limit characters, counted as characters (not UTF-16 units),
// typed, pasted or committed by an input method alike.
void limitCharacters(HWND box, int limit);

// A drop-down list that chooses the first entry beginning with what is
// typed or committed by an input method, as if chosen from the list.
void chooseByName(HWND list);

// A brush of a design colour, made once and kept for the run.
HBRUSH brush(design::Rgb rgb);

// A box of its design colours.
HBRUSH boxColours(HDC dc, const design::Control &plan);

} // namespace win32
