#pragma once

// The program's pictures: its icon, and the landscape and start-up pictures,
// each also painted at double size for screens of higher density.

#include "design/control.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

class QIcon;
class QPainter;
class QPixmap;

namespace look {

QIcon programIcon();

// A picture from the resources at the given device pixel ratio: the double
// -size painting on high-density screens. Decoded once, then kept in the
// pixmap cache. Given a part (in device-independent pixels), only the
// top-left of the picture that covers it: a window that shows part of a
// larger picture need not keep the rest.
QPixmap picture(const design::Picture &shown, qreal devicePixelRatio, QSize part = {});

// Lets the pixmap cache go of a picture, drawn whole, that no window will
// draw again.
void forgetPicture(const design::Picture &shown);

// Draws that picture unscaled, its top-left corner at the given point. On a
// screen whose density is not the picture's own (1.25, 1.5) it is resampled
// smoothly, so that it stays sharp rather than losing or doubling pixels.
void drawPicture(QPainter &painter, QPoint at, const design::Picture &shown, QSize part = {});

// A client area with the landscape drawn unscaled from its top-left corner.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace look
