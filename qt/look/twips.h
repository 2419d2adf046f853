#pragma once

// Layouts are drawn up in twips, measured from the top-left corner of a
// window's client area: 15 twips make one pixel at 96 dpi.

#include <QRect>

namespace look {

constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

} // namespace look
