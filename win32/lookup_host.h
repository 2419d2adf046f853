#pragma once

// The one top-level window of both lookups: caption, fixed border, the menu
// bar of three commands, the landscape and the status bar. It shows one
// page; a switch builds the other afresh in the same window, so the window
// stays where the user put it. Closing it ends the program.

#include "win32/page.h"

#include <windows.h>

#include <memory>

namespace win32 {

enum class Lookup { Region, Code };

class LookupHost {
public:
    // The window, its client area centred on centre, showing lookup by region.
    static HWND open(POINT centre);

private:
    explicit LookupHost(HWND window);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

    void show(Lookup lookup);
    void layOut();
    void paint();

    HWND m_window;
    HWND m_statusBar = nullptr;
    HMENU m_menu = nullptr;
    UINT m_dpi;
    Lookup m_lookup = Lookup::Region;
    std::unique_ptr<Page> m_page;
    HBITMAP m_landscape = nullptr;
    SIZE m_landscapeSize{};
    HWND m_focus = nullptr; // where the focus goes back when the window is active again
};

// The window's style: a caption with the system menu and close box, a
// fixed border, no minimise or maximise box.
inline constexpr DWORD kLookupStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

} // namespace win32
