#include "win32/look.h"

#include "win32/resources.h"

#include "design/windows.h"

#include <ocidl.h>
#include <olectl.h>

#include <cmath>
#include <map>
#include <utility>

namespace look {

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), length);
    return text;
}

std::string utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::string textOf(HWND control)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return utf8(text);
}

int px(design::Twips length, UINT dpi)
{
    return design::pixels(length, int(dpi));
}

RECT rect(const design::Rect &place, UINT dpi)
{
    const design::PixelRect p = design::pixels(place, int(dpi));
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

COLORREF colour(design::Rgb rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

HFONT font(const design::Font &font, UINT dpi)
{
    static_assert(design::Charset::Gb2312 == design::Charset(GB2312_CHARSET));
    static std::map<std::pair<double, UINT>, HFONT> made;
    HFONT &found = made[{font.points, dpi}];
    if (found)
        return found;
    LOGFONTW log{};
    log.lfHeight = -int(std::lround(font.points * dpi / 72.0)); // the character height, in pixels
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = BYTE(font.charset);
    log.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = wide(font.face);
    wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return found = CreateFontIndirectW(&log);
}

namespace {

// A JPEG or PNG compiled in as RCDATA, decoded through OLE.
HBITMAP decode(int resource, SIZE *size)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found)
        return nullptr;
    const DWORD bytes = SizeofResource(nullptr, found);
    const void *data = LockResource(LoadResource(nullptr, found));
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!copy)
        return nullptr;
    memcpy(GlobalLock(copy), data, bytes);
    GlobalUnlock(copy);
    IStream *stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    IPicture *decoded = nullptr;
    HBITMAP bitmap = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, LONG(bytes), FALSE, IID_IPicture, reinterpret_cast<void **>(&decoded)))) {
        OLE_HANDLE handle = 0;
        decoded->get_Handle(&handle);
        // The picture owns its bitmap: keep a copy of our own.
        bitmap = HBITMAP(CopyImage(HANDLE(UINT_PTR(handle)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        decoded->Release();
    }
    stream->Release();
    if (bitmap && size) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        *size = {info.bmWidth, info.bmHeight};
    }
    return bitmap;
}

} // namespace

HBITMAP picture(const design::Picture &picture, UINT dpi, SIZE *size)
{
    const bool dense = dpi >= 144;
    const int resource = &picture == &design::kLandscape ? (dense ? TESSALINE_LANDSCAPE_DENSE : TESSALINE_LANDSCAPE)
                                                         : (dense ? TESSALINE_STARTUP_DENSE : TESSALINE_STARTUP);
    SIZE decoded{};
    HBITMAP bitmap = decode(resource, &decoded);
    if (!bitmap)
        return nullptr;
    const SIZE wanted{MulDiv(picture.width, int(dpi), design::kDesignDpi),
                      MulDiv(picture.height, int(dpi), design::kDesignDpi)};
    if (wanted.cx != decoded.cx || wanted.cy != decoded.cy) {
        HBITMAP scaled = HBITMAP(CopyImage(bitmap, IMAGE_BITMAP, wanted.cx, wanted.cy, LR_CREATEDIBSECTION));
        DeleteObject(bitmap);
        bitmap = scaled;
    }
    if (size)
        *size = wanted;
    return bitmap;
}

void paint(HDC dc, HBITMAP bitmap, SIZE size)
{
    if (!bitmap)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void place(HWND control, const design::Control &plan, UINT dpi)
{
    const RECT r = rect(plan.place, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, WPARAM(look::font(plan.font, dpi)), FALSE);
}

} // namespace look
