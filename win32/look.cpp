#include "win32/look.h"

#include "win32/resources.h"

#include "design/windows.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

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

Lines lines(HDC dc)
{
    // A line reaches as high as the face draws a character that fills its
    // square, and a quarter em below the baseline, which takes the
    // descenders of Latin letters.
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int em = metrics.tmHeight - metrics.tmInternalLeading;
    GLYPHMETRICS glyph{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const int reach = GetGlyphOutlineW(dc, L'国', GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR
                          ? metrics.tmAscent
                          : int(glyph.gmptGlyphOrigin.y);
    return {std::min(int(metrics.tmAscent), reach), std::min(int(metrics.tmDescent), (em + 3) / 4),
            std::min(int(metrics.tmHeight + metrics.tmExternalLeading), int(std::lround(1.1 * em)))};
}

int height(HDC dc, int n)
{
    return lines(dc).height(n);
}

namespace {

// Marks that stay with the character before them, at the end of a line.
bool closes(wchar_t c)
{
    return std::wstring_view(L"、，。！？；：）》」』,.!?;:)").find(c) != std::wstring_view::npos;
}

// Where each character of text ends, from its start, in pixels: as the
// face's outlines place them, to a sixteenth of a pixel, where the glyphs
// drawn at the screen's size may each be a pixel wider (Wine's AR PL UMing
// at 21 pixels draws Chinese 22 wide); or as the box that shows a caret
// places them.
std::vector<double> ends(HDC dc, std::wstring_view text, Advances advances)
{
    constexpr int kFine = 16;
    std::vector<int> fine(text.size());
    if (text.empty())
        return {};
    HDC measure = dc;
    HGDIOBJ old = nullptr;
    if (advances == Advances::Exact) {
        LOGFONTW log{};
        GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof log, &log);
        log.lfHeight *= kFine;
        static std::map<std::pair<std::wstring, LONG>, HFONT> made;
        HFONT &large = made[{log.lfFaceName, log.lfHeight}];
        if (!large)
            large = CreateFontIndirectW(&log);
        measure = CreateCompatibleDC(dc);
        old = SelectObject(measure, large);
    }
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointW(measure, text.data(), int(text.size()), 0, &fit, fine.data(), &size);
    if (advances == Advances::Exact) {
        SelectObject(measure, old);
        DeleteDC(measure);
    }
    std::vector<double> out(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = advances == Advances::Exact ? fine[i] / double(kFine) : fine[i];
    return out;
}

// The lines of text at width: at each line feed, and wherever the next
// character would not fit.
std::vector<std::wstring_view> wrapped(HDC dc, std::wstring_view text, int width, Advances advances)
{
    std::vector<std::wstring_view> out;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring_view paragraph = text.substr(start, end - start);
        do {
            const std::vector<double> at = ends(dc, paragraph, advances);
            std::size_t take = 1;
            while (take < paragraph.size() && at[take] <= width)
                ++take;
            if (take < paragraph.size() && closes(paragraph[take]) && take > 1)
                --take;
            if (take < paragraph.size() && IS_LOW_SURROGATE(paragraph[take]))
                --take;
            out.push_back(paragraph.substr(0, std::min(take, paragraph.size())));
            paragraph.remove_prefix(std::min(take, paragraph.size()));
        } while (!paragraph.empty());
        start = end + 1;
    }
    return out;
}

} // namespace

SIZE captionSize(HDC dc, std::wstring_view text)
{
    const std::vector<std::wstring_view> rows = wrapped(dc, text, 1 << 20, Advances::Exact);
    double width = 0;
    for (std::wstring_view row : rows)
        if (!row.empty())
            width = std::max(width, ends(dc, row, Advances::Exact).back());
    return {LONG(std::ceil(width)), height(dc, int(rows.size()))};
}

int lineCount(HDC dc, std::wstring_view text, int width)
{
    return int(wrapped(dc, text, width, Advances::Exact).size());
}

void drawLines(HDC dc, std::wstring_view text, RECT room, bool centredAcross, bool centredDown, Advances advances)
{
    const Lines line = lines(dc);
    const std::vector<std::wstring_view> rows = wrapped(dc, text, room.right - room.left, advances);
    int baseline = room.top + line.ascent;
    if (centredDown)
        baseline += (room.bottom - room.top - line.height(int(rows.size()))) / 2;
    const UINT align = SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    for (std::wstring_view row : rows) {
        const std::vector<double> at = ends(dc, row, advances);
        std::vector<INT> steps(row.size());
        for (std::size_t i = 0, from = 0; i < row.size(); ++i) {
            const auto to = std::size_t(std::lround(at[i]));
            steps[i] = INT(to - from);
            from = to;
        }
        const int width = row.empty() ? 0 : int(std::lround(at.back()));
        const int x = centredAcross ? room.left + (room.right - room.left - width) / 2 : room.left;
        ExtTextOutW(dc, x, baseline, ETO_CLIPPED, &room, row.data(), UINT(row.size()), steps.data());
        baseline += line.spacing;
    }
    SetTextAlign(dc, align);
}

void place(HWND control, const design::Control &plan, UINT dpi)
{
    const RECT r = rect(plan.place, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, WPARAM(look::font(plan.font, dpi)), FALSE);
}

} // namespace look
