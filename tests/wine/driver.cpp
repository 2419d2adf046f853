// Drives the real tessaline.exe from another process, as a user does, and
// reads back what the user sees. One command a line on standard input, one
// answer a line (JSON) on standard output:
//   windows                  the program's top-level windows
//   controls HWND            a window's controls, by design name
//   focus                    the design name of the control with the focus
//   key VK                   a key pressed and released on the focused control
//   type TEXT                characters typed into the focused control
//   commit TEXT              TEXT committed there by an input method
//   paste TEXT               TEXT on the clipboard, pasted into the focused control
//   command HWND NAME        a menu command: by-region, by-code, about
//   move HWND X Y            the window moved, as its user drags it
//   close HWND               the close box
//   probe HWND DPI [moved]   from inside the program (probe.cpp): what is not as
//                            designed for DPI, or not whole; moved: the window
//                            is first told it moved to a monitor of DPI
//   time-switches HWND N     N switches each way, sent and handled: µs each

#include "text.h"
#include "win32/commands.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string probed; // the probe's last answer

// A message-only window the probe answers to.
HWND answerWindow()
{
    WNDCLASSW answers{};
    answers.lpszClassName = L"TessalineDriverAnswers";
    answers.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message != WM_COPYDATA)
            return DefWindowProcW(window, message, w, l);
        const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(l);
        probed.assign(static_cast<const char *>(data->lpData), data->cbData);
        return TRUE;
    };
    RegisterClassW(&answers);
    return CreateWindowW(answers.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

std::string rect(RECT r)
{
    std::ostringstream out;
    out << '[' << r.left << ", " << r.top << ", " << r.right - r.left << ", " << r.bottom - r.top << ']';
    return out.str();
}

bool ours(HWND window)
{
    const std::wstring name = classOf(window);
    return name.rfind(L"Tessaline", 0) == 0 || name == L"#32770"; // the message box
}

std::string windows()
{
    std::string out = "[";
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (!IsWindowVisible(window) || !ours(window))
            continue;
        RECT frame, client;
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&client), 2);
        const LONG style = GetWindowLongW(window, GWL_STYLE), exStyle = GetWindowLongW(window, GWL_EXSTYLE);
        std::ostringstream item;
        item << (out.size() > 1 ? ", " : "") << "{\"hwnd\": " << UINT_PTR(window) << ", \"pid\": " << pid
             << ", \"class\": " << jsonString(classOf(window)) << ", \"title\": " << jsonString(textOf(window))
             << ", \"frame\": " << rect(frame) << ", \"client\": " << rect(client)
             << ", \"owner\": " << UINT_PTR(GetWindow(window, GW_OWNER))
             << ", \"enabled\": " << (IsWindowEnabled(window) ? "true" : "false")
             << ", \"caption\": " << ((style & WS_CAPTION) == WS_CAPTION ? "true" : "false")
             << ", \"sizable\": " << (style & WS_THICKFRAME ? "true" : "false")
             << ", \"minimize_box\": " << (style & WS_MINIMIZEBOX ? "true" : "false")
             << ", \"maximize_box\": " << (style & WS_MAXIMIZEBOX ? "true" : "false")
             << ", \"tool\": " << (exStyle & WS_EX_TOOLWINDOW ? "true" : "false")
             << ", \"active\": " << (GetForegroundWindow() == window ? "true" : "false") << "}";
        out += item.str();
    }
    return out + "]";
}

std::string controls(HWND window)
{
    std::string out = "[";
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&r), 2);
        std::wstring text = textOf(control);
        const std::wstring kind = classOf(control);
        std::ostringstream item;
        item << (out.size() > 1 ? ", " : "") << "{\"name\": " << jsonString(designName(control))
             << ", \"class\": " << jsonString(kind) << ", \"text\": " << jsonString(text) << ", \"place\": " << rect(r)
             << ", \"enabled\": " << (IsWindowEnabled(control) ? "true" : "false")
             << ", \"visible\": " << (IsWindowVisible(control) ? "true" : "false")
             << ", \"tab_stop\": " << (GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP ? "true" : "false");
        if (kind == L"ComboBox") {
            item << ", \"entries\": " << SendMessageW(control, CB_GETCOUNT, 0, 0);
        }
        item << "}";
        out += item.str();
    }
    return out + "]";
}

HWND focused()
{
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window) || !ours(window))
            continue;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
            return info.hwndFocus;
    }
    return nullptr;
}

std::string answer(const std::string &line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "windows")
        return windows();
    if (verb == "controls") {
        UINT_PTR window = 0;
        in >> window;
        return controls(HWND(window));
    }
    if (verb == "focus") {
        HWND focus = focused();
        return focus ? jsonString(designName(focus)) : "null";
    }
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (verb == "key") {
        HWND focus = focused();
        const WPARAM key = WPARAM(std::stoi(rest));
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, LPARAM(0xC0000001));
        return "true";
    }
    if (verb == "type" || verb == "commit") { // keys, or what an input method commits
        HWND focus = focused();
        for (wchar_t unit : wide(rest))
            PostMessageW(focus, verb == "type" ? WM_CHAR : WM_IME_CHAR, WPARAM(unit), 1);
        return "true";
    }
    if (verb == "paste") {
        const std::wstring text = wide(rest);
        if (!OpenClipboard(nullptr))
            return "false";
        EmptyClipboard();
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::wmemcpy(static_cast<wchar_t *>(GlobalLock(copy)), text.c_str(), text.size() + 1);
        GlobalUnlock(copy);
        SetClipboardData(CF_UNICODETEXT, copy);
        CloseClipboard();
        PostMessageW(focused(), WM_PASTE, 0, 0);
        return "true";
    }
    std::istringstream args(rest);
    UINT_PTR window = 0;
    args >> window;
    if (verb == "command") {
        std::string name;
        args >> name;
        const int id = name == "by-region" ? win32::kByRegionCommand
                       : name == "by-code" ? win32::kByCodeCommand
                       : name == "about"   ? win32::kAboutCommand
                                           : 0;
        return id && PostMessageW(HWND(window), WM_COMMAND, WPARAM(id), 0) ? "true" : "false";
    }
    if (verb == "move") {
        int x = 0, y = 0;
        args >> x >> y;
        return SetWindowPos(HWND(window), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? "true"
                                                                                                         : "false";
    }
    if (verb == "probe") {
        UINT dpi = 96;
        std::string moved;
        args >> dpi >> moved;
        static HWND answers = answerWindow();
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dll = path;
        dll.replace(dll.rfind(L'\\') + 1, std::wstring::npos, L"tessaline_probe.dll");
        static HMODULE probe = LoadLibraryW(dll.c_str());
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, HOOKPROC(reinterpret_cast<void *>(GetProcAddress(probe, "probe"))),
                                       probe, GetWindowThreadProcessId(HWND(window), nullptr));
        probed = "null";
        SendMessageW(HWND(window), RegisterWindowMessageW(L"tessaline-probe"), WPARAM(answers),
                     LPARAM(dpi | (moved == "moved" ? 0x10000 : 0)));
        UnhookWindowsHookEx(hook);
        return probed;
    }
    if (verb == "time-switches") {
        int count = 0;
        args >> count;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < count; ++i) {
            SendMessageW(HWND(window), WM_COMMAND, WPARAM(win32::kByCodeCommand), 0);
            SendMessageW(HWND(window), WM_COMMAND, WPARAM(win32::kByRegionCommand), 0);
        }
        QueryPerformanceCounter(&end);
        return std::to_string(double(end.QuadPart - start.QuadPart) * 1e6 / double(frequency.QuadPart) / (2.0 * count));
    }
    if (verb == "close")
        return PostMessageW(HWND(window), WM_SYSCOMMAND, SC_CLOSE, 0) ? "true" : "false";
    return "null";
}

} // namespace

int main()
{
    // Aware of each monitor's density, as the program is: Wine 10, as Windows
    // does, shows a process that is not scaled coordinates.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::cout << answer(line) << std::endl;
    }
}
