#pragma once

// About (关于): modal and owned by its lookup window, centred over it, with
// no taskbar button. It has no buttons: Enter and Escape do nothing, and it
// closes from its title bar or with Alt+F4. Afterwards the lookup window is
// as it was.

#include <windows.h>

namespace win32 {

class AboutWindow {
public:
    // Shows About over owner and returns once it is closed.
    static void run(HWND owner);

private:
    AboutWindow(HWND window, UINT dpi);
    ~AboutWindow();
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void layOut();

    HWND m_window;
    UINT m_dpi;
    HWND m_icon, m_contact, m_greyRule, m_title, m_whiteRule, m_version, m_notice;
    HBITMAP m_landscape = nullptr;
    SIZE m_landscapeSize{};
    HICON m_picture = nullptr;
    bool m_closed = false;
};

} // namespace win32
