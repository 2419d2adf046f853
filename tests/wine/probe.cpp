// Loaded into tessaline.exe by the driver's hook (SetWindowsHookEx), to read
// there what only the program's own process can: the font each control
// draws with, and whether every text a control can show is whole in it.
// The driver sends the lookup or About window the registered message
// "tessaline-probe" (wParam: the driver's window for the answer; lParam: the
// density expected, with 0x10000 when the window is first to be told of a
// move to a monitor of that density). The answer, a JSON list of the faults
// found, goes back as WM_COPYDATA.

#include "text.h"

#include "design/windows.h"
#include "directory/code_regions.h"

#include <commctrl.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

HWND child(HWND window, std::wstring_view name)
{
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        if (designName(control) == name)
            return control;
    return nullptr;
}

const design::Window &designOf(HWND window)
{
    if (textOf(window) == wide(design::about::kWindow.caption))
        return design::about::kWindow;
    return child(window, L"Combo1") ? design::region::kWindow : design::code::kWindow;
}

const design::Control *planOf(const design::Window &design, std::wstring_view name)
{
    for (const design::Control *control : design.controls)
        if (wide(control->name) == name)
            return control;
    return nullptr;
}

struct Probe {
    HWND window;
    UINT dpi;
    std::vector<std::wstring> faults;

    void fault(HWND control, const std::wstring &what)
    {
        if (faults.size() < 40) // enough to tell what is wrong
            faults.push_back(designName(control) + L": " + what);
    }

    // The text on one line in the control's own font fits room.
    void fits(HWND control, std::wstring_view text, RECT room)
    {
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (size.cx > room.right - room.left || size.cy > room.bottom - room.top)
            fault(control, L"\"" + std::wstring(text) + L"\" is " + std::to_wstring(size.cx) + L" x "
                               + std::to_wstring(size.cy) + L" in " + std::to_wstring(room.right - room.left)
                               + L" x " + std::to_wstring(room.bottom - room.top));
    }

    RECT client(HWND control)
    {
        RECT r;
        GetClientRect(control, &r);
        return r;
    }

    // The control as it draws itself (WM_PRINTCLIENT), in a bitmap.
    std::vector<DWORD> drawn(HWND control)
    {
        const RECT r = client(control);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        FillRect(dc, &r, HBRUSH(GetStockObject(GRAY_BRUSH))); // what a transparent label lies on
        SendMessageW(control, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
        std::vector<DWORD> pixels(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + r.right * r.bottom);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    }

    // The control drawn without its text (a status bar without its panels'),
    // which is then given back.
    std::vector<DWORD> blank(HWND control)
    {
        const bool bar = classOf(control) == STATUSCLASSNAMEW;
        const int parts = bar ? int(SendMessageW(control, SB_GETPARTS, 0, 0)) : 1;
        std::vector<std::wstring> texts;
        for (int part = 0; part < parts; ++part) {
            wchar_t text[256] = L"";
            if (bar)
                SendMessageW(control, SB_GETTEXTW, WPARAM(part), LPARAM(text));
            texts.push_back(bar ? std::wstring(text) : textOf(control));
        }
        const auto show = [&](bool empty) {
            for (int part = 0; part < parts; ++part)
                SendMessageW(control, bar ? SB_SETTEXTW : WM_SETTEXT, WPARAM(part),
                             LPARAM(empty ? L"" : texts[std::size_t(part)].c_str()));
        };
        show(true);
        std::vector<DWORD> pixels = drawn(control);
        show(false);
        return pixels;
    }

    // How many pixels the control's text adds to what it draws without it,
    // within shown (the control's own coordinates).
    int ink(HWND control, const std::vector<DWORD> &without, RECT shown)
    {
        const std::vector<DWORD> with = drawn(control);
        const int width = client(control).right;
        int count = 0;
        for (std::size_t i = 0; i < with.size(); ++i) {
            const POINT at{LONG(int(i) % width), LONG(int(i) / width)};
            count += with[i] != without[i] && PtInRect(&shown, at);
        }
        return count;
    }

    // The texts each box or label has shown, checked once the rest is done.
    std::map<HWND, std::set<std::wstring>> shown;

    // What a control shows now is whole where it shows it. A drop-down list
    // is measured; for the rest, see texts().
    void whole(HWND control)
    {
        const std::wstring text = textOf(control);
        if (classOf(control) != WC_COMBOBOXW)
            return void(shown[control].insert(text));
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(control, &info);
        fits(control, text, info.rcItem);
    }

    // Each text a control has shown is whole: all the ink it has when the
    // control is made larger (only taller, for text that wraps at its width)
    // is there at the control's own size, as far as its window shows it.
    void texts(HWND control, const std::set<std::wstring> &texts)
    {
        const std::wstring now = textOf(control);
        RECT visible = client(window), home;
        MapWindowPoints(window, control, reinterpret_cast<POINT *>(&visible), 2);
        GetWindowRect(control, &home);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&home), 2);
        std::vector<DWORD> without;
        const auto inkOf = [&](const std::wstring &text, RECT within) {
            if (classOf(control) != STATUSCLASSNAMEW)
                SendMessageW(control, WM_SETTEXT, 0, LPARAM(text.c_str()));
            return ink(control, without, within);
        };
        without = blank(control);
        std::vector<int> atSize;
        for (const std::wstring &text : texts)
            atSize.push_back(inkOf(text, visible));
        RECT larger = home;
        constexpr int kGrowth = 8;
        if (classOf(control) == WC_STATICW || GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE)
            larger.bottom += 2 * kGrowth;
        else
            InflateRect(&larger, kGrowth, kGrowth);
        const auto place = [control](RECT r) {
            SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        };
        place(larger);
        without = blank(control);
        auto own = atSize.begin();
        for (const std::wstring &text : texts) {
            const int all = inkOf(text, RECT{0, 0, 1 << 16, 1 << 16});
            if (*own != all)
                fault(control, L"\"" + text + L"\" shows " + std::to_wstring(*own) + L" of its " + std::to_wstring(all)
                                   + L" pixels");
            ++own;
        }
        place(home);
        if (classOf(control) != STATUSCLASSNAMEW)
            SendMessageW(control, WM_SETTEXT, 0, LPARAM(now.c_str()));
    }

    // Every entry of a drop-down list, in its open list.
    void entries(HWND list)
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(list, &info);
        RECT r = client(info.hwndList);
        r.bottom = LONG(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0));
        for (LRESULT i = 0, count = SendMessageW(list, CB_GETCOUNT, 0, 0); i < count; ++i) {
            wchar_t entry[256] = L"";
            SendMessageW(list, CB_GETLBTEXT, WPARAM(i), LPARAM(entry));
            fits(list, entry, r);
        }
    }

    // The design's font at the density, and the design's place.
    void asDesigned(HWND control, const design::Control &plan)
    {
        LOGFONTW font{};
        GetObjectW(HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const LONG height = -std::lround(plan.font.points * dpi / 72.0);
        if (font.lfFaceName != wide(plan.font.face) || font.lfCharSet != BYTE(plan.font.charset)
            || font.lfHeight != height)
            fault(control, L"font " + std::wstring(font.lfFaceName) + L", " + std::to_wstring(font.lfCharSet) + L", "
                               + std::to_wstring(font.lfHeight) + L" pixels, not " + std::to_wstring(height));
        if (plan.sizedToCaption)
            return;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&r), 2);
        const design::PixelRect place = design::pixels(plan.place, int(dpi));
        // A drop-down list's window holds its open list too.
        const bool list = classOf(control) == WC_COMBOBOXW;
        if (r.left != place.left || r.top != place.top || r.right - r.left != place.width
            || (!list && r.bottom - r.top != place.height))
            fault(control, L"at " + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", "
                               + std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top));
    }

    void run()
    {
        const design::Window &design = designOf(window);
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const design::Control *plan = planOf(design, designName(control));
            if (plan && plan->kind != design::Kind::Line && plan->kind != design::Kind::PictureBox)
                asDesigned(control, *plan);
            whole(control);
        }
        if (HMENU menu = GetMenu(window)) { // the commands on one line of the bar
            RECT first, item;
            GetMenuItemRect(window, menu, 0, &first);
            for (int i = 1; i < GetMenuItemCount(menu); ++i)
                if (GetMenuItemRect(window, menu, UINT(i), &item) && item.top != first.top)
                    faults.push_back(L"the menu bar takes more than one line");
        }
        if (HWND provinces = child(window, L"Combo1"))
            everyRegion(provinces, child(window, L"Combo2"), child(window, L"Text1"));
        else if (HWND query = child(window, L"Command1"))
            everyCode(child(window, L"Text1"), query, child(window, L"Text2"));
        for (const auto &[control, each] : shown)
            texts(control, each);
    }

    void choose(HWND list, LRESULT entry)
    {
        SendMessageW(list, CB_SETCURSEL, WPARAM(entry), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), LPARAM(list));
    }

    // Every province, every city and every code they show.
    void everyRegion(HWND provinces, HWND cities, HWND code)
    {
        entries(provinces);
        for (LRESULT province = 0, count = SendMessageW(provinces, CB_GETCOUNT, 0, 0); province < count; ++province) {
            choose(provinces, province);
            whole(provinces);
            whole(code);
            entries(cities);
            for (LRESULT city = 0, n = SendMessageW(cities, CB_GETCOUNT, 0, 0); city < n; ++city) {
                choose(cities, city);
                whole(cities);
                whole(code);
            }
        }
    }

    // Every answer of the code table, the prompt of an empty box and the
    // error text.
    void everyCode(HWND input, HWND query, HWND output)
    {
        std::vector<std::string_view> codes{"", "9"};
        for (const auto &row : directory::data::codeRegions)
            codes.push_back(row.areaCode);
        for (std::string_view code : codes) {
            SetWindowTextW(input, wide(code).c_str());
            whole(input);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(query), BN_CLICKED), LPARAM(query));
            whole(output);
        }
    }
};

void movedTo(HWND window, UINT dpi)
{
    RECT frame{0, 0, design::pixels(design::lookup::kClient.width, int(dpi)),
               design::pixels(design::lookup::kClient.height, int(dpi))};
    AdjustWindowRectExForDpi(&frame, DWORD(GetWindowLongW(window, GWL_STYLE)), TRUE,
                             DWORD(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
    RECT now;
    GetWindowRect(window, &now);
    OffsetRect(&frame, now.left - frame.left, now.top - frame.top);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&frame));
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK probe(int code, WPARAM w, LPARAM l)
{
    static const UINT request = RegisterWindowMessageW(L"tessaline-probe");
    const auto *message = reinterpret_cast<const CWPSTRUCT *>(l);
    if (code == HC_ACTION && message->message == request) {
        Probe probe{message->hwnd, UINT(message->lParam & 0xFFFF), {}, {}};
        if (message->lParam & 0x10000)
            movedTo(probe.window, probe.dpi);
        probe.run();
        std::string answer = "[";
        for (const std::wstring &fault : probe.faults)
            answer += (answer.size() > 1 ? ", " : "") + jsonString(fault);
        answer += "]";
        COPYDATASTRUCT data{0, DWORD(answer.size()), answer.data()};
        SendMessageW(HWND(message->wParam), WM_COPYDATA, WPARAM(probe.window), LPARAM(&data));
    }
    return CallNextHookEx(nullptr, code, w, l);
}
