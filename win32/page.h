#pragma once

// What the lookup host shows: the controls of one lookup, built on the
// host's client area. A page owns its controls and fonts; a switch destroys
// it and builds the other one afresh.

#include <windows.h>

namespace win32 {

class Page {
public:
    virtual ~Page() = default;
    Page(const Page &) = delete;
    Page &operator=(const Page &) = delete;

    // Places the controls and gives them fonts for dpi, again on a move to a
    // monitor of another density.
    virtual void layOut(UINT dpi) = 0;
    // A notification from one of its controls (WM_COMMAND).
    virtual void command(int id, int notification) = 0;
    virtual HWND firstFocus() const = 0;
    // The button Enter presses (DM_GETDEFID), 0 for none.
    virtual int defaultButton() const { return 0; }

protected:
    Page() = default;
};

} // namespace win32
