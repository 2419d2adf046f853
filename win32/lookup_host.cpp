#include "win32/lookup_host.h"

#include "win32/about_window.h"
#include "win32/code_page.h"
#include "win32/commands.h"
#include "win32/controls.h"
#include "win32/look.h"
#include "win32/region_page.h"
#include "win32/resources.h"

#include "design/windows.h"

#include <commctrl.h>

namespace win32 {

namespace {

constexpr wchar_t kClass[] = L"Tessaline";
constexpr int kStatusBarId = 1050;

SIZE frameFor(UINT dpi)
{
    RECT r{0, 0, look::px(design::lookup::kClient.width, dpi), look::px(design::lookup::kClient.height, dpi)};
    AdjustWindowRectExForDpi(&r, kLookupStyle, TRUE, 0, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

HWND LookupHost::open(POINT centre)
{
    // Its procedure is DefWindowProc's until LookupHost takes it over.
    registerWindowClass(kClass, DefWindowProcW, IDC_ARROW,
                        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TESSALINE_ICON)));
    const HMONITOR monitor = MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST);
    UINT dpi = 96, unused = 96;
    using GetDpiForMonitorFunction = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
        if (auto get = reinterpret_cast<GetDpiForMonitorFunction>(
                reinterpret_cast<void *>(GetProcAddress(shcore, "GetDpiForMonitor"))))
            get(monitor, 0, &dpi, &unused); // MDT_EFFECTIVE_DPI
    }
    const SIZE frame = frameFor(dpi);
    const std::wstring caption = look::wide(design::lookup::kCaption);
    HWND window = CreateWindowExW(0, kClass, caption.c_str(), kLookupStyle, centre.x - frame.cx / 2,
                                  centre.y - frame.cy / 2, frame.cx, frame.cy, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    auto *host = new LookupHost(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(host));
    SetWindowLongPtrW(window, GWLP_WNDPROC, LONG_PTR(&LookupHost::procedure));
    host->show(Lookup::Region);
    ShowWindow(window, SW_SHOW);
    SetFocus(host->m_page->firstFocus());
    return window;
}

LookupHost::LookupHost(HWND window)
    : m_window(window)
    , m_dpi(GetDpiForWindow(window))
{
    m_menu = CreateMenu();
    for (auto [id, command] : {std::pair{kByRegionCommand, &design::lookup::kByRegion},
                               std::pair{kByCodeCommand, &design::lookup::kByCode},
                               std::pair{kAboutCommand, &design::lookup::kAbout}})
        AppendMenuW(m_menu, MF_STRING, UINT_PTR(id), look::wide(command->text).c_str());
    SetMenu(window, m_menu);

    // Placed by the design, not by the bar itself: its own height is the
    // font's and its borders', three pixels more than the design's.
    m_statusBar = createControl(window, STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN, 0,
                                design::lookup::kStatusBar, kStatusBarId);
    layOut();
}

LRESULT CALLBACK LookupHost::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    auto *host = reinterpret_cast<LookupHost *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        delete host;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return DefWindowProcW(window, message, w, l);
    }
    return host ? host->handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT LookupHost::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(w) == 0 && l == 0) { // a menu command
            switch (LOWORD(w)) {
            case kByRegionCommand: show(Lookup::Region); return 0;
            case kByCodeCommand: show(Lookup::Code); return 0;
            case kAboutCommand: AboutWindow::run(m_window); return 0;
            }
        }
        if (m_page)
            m_page->command(LOWORD(w), HIWORD(w));
        return 0;
    case DM_GETDEFID:
        if (const int button = m_page ? m_page->defaultButton() : 0)
            return MAKELRESULT(button, DC_HASDEFID);
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT draws all of it
    case WM_PAINT:
        paint();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE)
            m_focus = GetFocus();
        else if (m_focus && IsChild(m_window, m_focus))
            SetFocus(m_focus);
        else if (m_page)
            SetFocus(m_page->firstFocus());
        return 0;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(w);
        const RECT *suggested = reinterpret_cast<const RECT *>(l);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
        if (m_page)
            m_page->layOut(m_dpi);
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    }
    case WM_DESTROY:
        m_page.reset();
        if (m_landscape)
            DeleteObject(m_landscape);
        return 0;
    }
    return DefWindowProcW(m_window, message, w, l);
}

void LookupHost::show(Lookup lookup)
{
    if (m_page && lookup == m_lookup)
        return;
    m_page.reset();
    m_lookup = lookup;
    if (lookup == Lookup::Region)
        m_page = std::make_unique<RegionPage>(m_window, m_dpi);
    else
        m_page = std::make_unique<CodePage>(m_window, m_dpi);
    // This window is that lookup already: its own command has nothing to do.
    EnableMenuItem(m_menu, kByRegionCommand, MF_BYCOMMAND | (lookup == Lookup::Region ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(m_menu, kByCodeCommand, MF_BYCOMMAND | (lookup == Lookup::Code ? MF_GRAYED : MF_ENABLED));
    DrawMenuBar(m_window);
    InvalidateRect(m_window, nullptr, TRUE);
    m_focus = nullptr;
    SetFocus(m_page->firstFocus());
}

void LookupHost::layOut()
{
    if (m_landscape)
        DeleteObject(m_landscape);
    m_landscape = look::picture(design::kLandscape, m_dpi, &m_landscapeSize);
    look::place(m_statusBar, design::lookup::kStatusBar, m_dpi);
    int edges[std::size(design::lookup::kPanels)];
    int edge = 0, part = 0;
    for (const design::Panel &panel : design::lookup::kPanels)
        edges[part++] = edge += look::px(panel.width, m_dpi);
    SendMessageW(m_statusBar, SB_SETPARTS, WPARAM(part), LPARAM(edges));
    part = 0;
    for (const design::Panel &panel : design::lookup::kPanels)
        SendMessageW(m_statusBar, SB_SETTEXTW, WPARAM(part++), LPARAM(look::wide(panel.text).c_str()));
}

void LookupHost::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_window, &ps);
    look::paint(dc, m_landscape, m_landscapeSize);
    EndPaint(m_window, &ps);
}

} // namespace win32
