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

// Moves a control to its design place and gives it its design font, at dpi.
void place(HWND control, const design::Control &plan, UINT dpi);

} // namespace look
