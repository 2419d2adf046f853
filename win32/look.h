#pragma once

// How Win32 draws the design: its texts in UTF-16, its twips in a window's
// own pixels, its fonts, colours and pictures. Every window reads the design
// through these.

#include "design/control.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace look {

// UTF-8 from the Directory and the design, to and from Windows' UTF-16.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// A control's text as it shows, in UTF-8.
std::string textOf(HWND control);

int px(design::Twips length, UINT dpi);
RECT rect(const design::Rect &place, UINT dpi);
COLORREF colour(design::Rgb rgb);

// 宋体 with the GB2312 character set at the font's exact point size, for a
// window of dpi dots per inch. Made once for each size and density and kept
// for the run: a switch builds its controls anew, and a face made again is
// read again.
HFONT font(const design::Font &font, UINT dpi);

// A picture of the resources (design::kLandscape, kStartupPicture), the dense
// painting from 144 dpi up, scaled to dpi; the caller owns it.
HBITMAP picture(const design::Picture &picture, UINT dpi, SIZE *size);

// Paints the bitmap at the client area's top-left corner, unscaled.
void paint(HDC dc, HBITMAP bitmap, SIZE size);

// The lines the layouts were drawn for: a Song face's, hardly taller than
// its characters. A face whose own lines are taller (Noto CJK's are nearly
// one and a half characters high) is laid out at this height instead: its
// characters fit it, only the space between lines is less.
struct Lines {
    int ascent;  // from the top of a line to its baseline
    int descent; // below the baseline
    int spacing; // from one baseline to the next

    int height(int n) const { return ascent + spacing * (n - 1) + descent; } // of n lines
};
Lines lines(HDC dc); // of the font selected into dc

// How high n lines of the font selected into dc stand.
int height(HDC dc, int n);

// Where characters stand along a line: as the face's outlines place them,
// or as a box that shows a caret places them (one whose text the user edits).
enum class Advances { Exact, AsTheBoxPlacesThem };

// The size of text as drawLines draws it unbroken, a line at each line feed.
SIZE captionSize(HDC dc, std::wstring_view text);

// How many lines text takes at width, as drawLines breaks it.
int lineCount(HDC dc, std::wstring_view text, int width);

// text, in the font and colour selected into dc, on lines(dc) from the top of
// room, wrapped at its width (between any two characters, as Chinese text
// is) and at each line feed; each line centred across room if asked, and the
// whole block centred down it if asked.
void drawLines(HDC dc, std::wstring_view text, RECT room, bool centredAcross, bool centredDown = false,
               Advances advances = Advances::Exact);

// Moves a control to its design place and gives it its design font, at dpi.
void place(HWND control, const design::Control &plan, UINT dpi);

} // namespace look
