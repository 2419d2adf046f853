#pragma once

// What the driver and the probe read of a window, and answer in: UTF-8 from
// UTF-16, and JSON strings.

#include <windows.h>

#include <iterator>
#include <string>
#include <string_view>

inline std::string utf8(std::wstring_view text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

inline std::wstring wide(std::string_view text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring units(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), units.data(), length);
    return units;
}

inline std::string jsonString(std::wstring_view text)
{
    std::string out = "\"";
    for (char c : utf8(text)) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

// A window's text, from any process (GetWindowText reads only the captions
// of another's windows).
inline std::wstring textOf(HWND window)
{
    wchar_t buffer[1024];
    const LRESULT length = SendMessageW(window, WM_GETTEXT, std::size(buffer), LPARAM(buffer));
    return std::wstring(buffer, std::size_t(length));
}

inline std::wstring classOf(HWND window)
{
    wchar_t buffer[256];
    return std::wstring(buffer, std::size_t(GetClassNameW(window, buffer, int(std::size(buffer)))));
}

// The design name the program gives each control, as the window property
// "design-name" (a global atom).
inline std::wstring designName(HWND control)
{
    wchar_t name[256] = L"";
    if (const auto atom = ATOM(UINT_PTR(GetPropW(control, L"design-name"))))
        GlobalGetAtomNameW(atom, name, int(std::size(name)));
    return name;
}
