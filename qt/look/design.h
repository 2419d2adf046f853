#pragma once

// The design's facts as Qt takes them. Places are turned into pixels at the
// design's own density: Qt scales those to the screen's itself.

#include "design/control.h"
#include "qt/look/utf8.h"

#include <QColor>
#include <QRect>
#include <QSize>

#include <span>

class QFont;
class QWidget;

namespace look {

constexpr int px(design::Twips length)
{
    return design::pixels(length, design::kDesignDpi);
}

constexpr QSize size(const design::Size &size)
{
    return {px(size.width), px(size.height)};
}

constexpr QRect rect(const design::Rect &place)
{
    const design::PixelRect pixels = design::pixels(place, design::kDesignDpi);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

constexpr QColor colour(design::Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

// The control's design name and its name for assistive tools, its place and
// its font.
void place(QWidget *widget, const design::Control &control);

// Tab moves through these controls of window in this order, and the first
// has the focus when the window shows.
void setTabOrder(QWidget *window, std::span<const design::Control *const> order);

} // namespace look
