#include "win32/splash_window.h"

#include "win32/controls.h"
#include "win32/look.h"
#include "win32/lookup_host.h"

#include "design/windows.h"

namespace win32 {

namespace {

constexpr wchar_t kClass[] = L"Tessaline启动";
constexpr UINT_PTR kTimer = 1;

struct Splash {
    HBITMAP picture = nullptr;
    SIZE size{};
};

} // namespace

bool onlyCopy()
{
    // Held until the process ends. Local\ is the user's session.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\net.velmora.Tessaline");
    return !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
}

HWND SplashWindow::open()
{
    registerWindowClass(kClass, procedure, IDC_WAIT);

    POINT cursor{};
    GetCursorPos(&cursor);
    const HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    // Made at 96 dpi first; the size follows the monitor's density below.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    const UINT dpi = GetDpiForWindow(window);
    const int width = look::px(design::startup::kWindow.client.width, dpi);
    const int height = look::px(design::startup::kWindow.client.height, dpi);
    const RECT &work = info.rcWork;
    SetWindowPos(window, nullptr, (work.left + work.right - width) / 2, (work.top + work.bottom - height) / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    auto *splash = new Splash;
    splash->picture = look::picture(design::kStartupPicture, dpi, &splash->size);
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(splash));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, kTimer, UINT(design::startup::kShownFor.count()), nullptr);
    return window;
}

LRESULT CALLBACK SplashWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    auto *splash = reinterpret_cast<Splash *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (splash)
            look::paint(dc, splash->picture, splash->size);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (w == kTimer) {
            KillTimer(window, kTimer);
            handOver(window);
        }
        return 0;
    case WM_NCDESTROY:
        if (splash) {
            DeleteObject(splash->picture);
            delete splash;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        }
        break;
    }
    return DefWindowProcW(window, message, w, l);
}

void SplashWindow::handOver(HWND window)
{
    if (!onlyCopy()) {
        const std::wstring text = look::wide(design::warning::kText);
        const std::wstring title = look::wide(design::warning::kTitle);
        MessageBoxW(window, text.c_str(), title.c_str(), MB_ICONEXCLAMATION | MB_OK);
        DestroyWindow(window);
        PostQuitMessage(0);
        return;
    }
    RECT r;
    GetWindowRect(window, &r);
    LookupHost::open({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    DestroyWindow(window);
}

} // namespace win32
