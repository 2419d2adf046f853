#include "win32/about_window.h"

#include "win32/controls.h"
#include "win32/look.h"
#include "win32/resources.h"

#include "design/windows.h"

#include <commctrl.h>

namespace win32 {

namespace {

constexpr wchar_t kClass[] = L"Tessaline关于";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
namespace plan = design::about;

} // namespace

void AboutWindow::run(HWND owner)
{
    registerWindowClass(kClass, procedure, IDC_ARROW);
    const UINT dpi = GetDpiForWindow(owner);
    RECT frame{0, 0, look::px(plan::kWindow.client.width, dpi), look::px(plan::kWindow.client.height, dpi)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi);
    RECT over;
    GetWindowRect(owner, &over);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const std::wstring caption = look::wide(plan::kWindow.caption);
    HWND window = CreateWindowExW(kExStyle, kClass, caption.c_str(), kStyle,
                                  (over.left + over.right - width) / 2, (over.top + over.bottom - height) / 2, width,
                                  height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return;
    AboutWindow about(window, dpi);
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(&about));
    EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (!about.m_closed && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT)
        PostQuitMessage(int(message.wParam)); // for the loop that owns it
}

AboutWindow::AboutWindow(HWND window, UINT dpi)
    : m_window(window)
    , m_dpi(dpi)
{
    // Bottom to top, as the design stacks them.
    m_icon = createControl(window, WC_STATICW, SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE, 0, plan::kIconBox, 0);
    m_contact = createControl(window, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, plan::kContact, 0);
    m_greyRule = createControl(window, WC_STATICW, 0, 0, plan::kGreyRule, 0);
    m_title = createControl(window, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, plan::kTitle, 0);
    m_whiteRule = createControl(window, WC_STATICW, 0, 0, plan::kWhiteRule, 0);
    m_version = createControl(window, WC_STATICW, SS_CENTER | SS_NOPREFIX, 0, plan::kVersion, 0);
    m_notice = createControl(window, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, plan::kNotice, 0);
    for (auto [label, control] : {std::pair{m_contact, &plan::kContact}, std::pair{m_title, &plan::kTitle},
                                  std::pair{m_version, &plan::kVersion}, std::pair{m_notice, &plan::kNotice}})
        drawAsCaption(label, *control);
    layOut();
}

AboutWindow::~AboutWindow()
{
    if (m_landscape)
        DeleteObject(m_landscape);
    if (m_picture)
        DestroyIcon(m_picture);
}

void AboutWindow::layOut()
{
    look::place(m_icon, plan::kIconBox, m_dpi);
    look::place(m_contact, plan::kContact, m_dpi);
    look::place(m_greyRule, plan::kGreyRule, m_dpi);
    look::place(m_title, plan::kTitle, m_dpi);
    look::place(m_whiteRule, plan::kWhiteRule, m_dpi);
    look::place(m_version, plan::kVersion, m_dpi);
    look::place(m_notice, plan::kNotice, m_dpi);
    // The title is as large as its caption, from its top-left corner.
    HDC dc = GetDC(m_title);
    HGDIOBJ old = SelectObject(dc, look::font(plan::kTitle.font, m_dpi));
    const SIZE size = look::captionSize(dc, look::wide(plan::kTitle.text));
    SelectObject(dc, old);
    ReleaseDC(m_title, dc);
    SetWindowPos(m_title, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const int side = look::px(plan::kIconBox.place.width, m_dpi) * 2 / 3;
    m_picture = HICON(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TESSALINE_ICON), IMAGE_ICON, side, side,
                                 LR_DEFAULTCOLOR));
    SendMessageW(m_icon, STM_SETICON, WPARAM(m_picture), 0);
    m_landscape = look::picture(design::kLandscape, m_dpi, &m_landscapeSize);
}

LRESULT CALLBACK AboutWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    auto *about = reinterpret_cast<AboutWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return about ? about->handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT AboutWindow::handle(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        const HWND control = HWND(l);
        const HDC dc = HDC(w);
        if (control == m_icon)
            return LRESULT(boxColours(dc, plan::kIconBox));
        if (control == m_greyRule || control == m_whiteRule)
            return LRESULT(brush(*(control == m_greyRule ? plan::kGreyRule : plan::kWhiteRule).colour));
        break; // the labels draw themselves
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_window, &ps);
        look::paint(dc, m_landscape, m_landscapeSize);
        EndPaint(m_window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        break;
    case WM_CLOSE:
        // The owner first, so that Windows gives it the activation back.
        EnableWindow(GetWindow(m_window, GW_OWNER), TRUE);
        m_closed = true;
        DestroyWindow(m_window);
        return 0;
    }
    return DefWindowProcW(m_window, message, w, l);
}

} // namespace win32
