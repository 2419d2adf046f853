// Tessaline for Windows: the start-up window, then the lookup window; the
// program ends when the lookup window closes (or after the warning that
// another copy runs).

#include "win32/lookup_host.h"
#include "win32/splash_window.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // For Active Accessibility's annotations and the pictures' decoder.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    if (!win32::SplashWindow::open())
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and Enter as in a dialog, in the lookup window.
        HWND top = GetAncestor(message.hwnd, GA_ROOT);
        if (top && GetWindowLongPtrW(top, GWL_STYLE) & WS_CAPTION && IsDialogMessageW(top, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return int(message.wParam);
}
