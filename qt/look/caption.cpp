#include "qt/look/caption.h"

#include "qt/look/design.h"
#include "qt/look/faces.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace look {

Caption::Caption(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

QSize Caption::sizeHint() const
{
    const QFontMetricsF metrics(font());
    const LineMetrics line = lineMetrics(font());
    const QStringList lines = text().split(QLatin1Char('\n'));
    qreal width = 0;
    for (const QString &each : lines)
        width = std::max(width, metrics.horizontalAdvance(each));
    const qreal height = line.ascent + line.spacing * qreal(lines.size() - 1) + line.descent;
    const int frame = 2 * frameWidth();
    return {int(std::ceil(width)) + frame, int(std::ceil(height)) + frame};
}

QSize Caption::minimumSizeHint() const
{
    return sizeHint();
}

void Caption::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);

    // Lines from the top, as the design's labels have them: its captions are
    // drawn for that, some to the very edge of their window.
    const QRectF room = contentsRect();
    const QFontMetricsF metrics(font());
    const LineMetrics line = lineMetrics(font());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    qreal baseline = room.top() + line.ascent;

    painter.setPen(palette().color(foregroundRole()));
    for (const QString &each : text().split(QLatin1Char('\n'))) {
        qreal x = room.left();
        if (align & Qt::AlignHCenter)
            x += (room.width() - metrics.horizontalAdvance(each)) / 2;
        else if (align & Qt::AlignRight)
            x += room.width() - metrics.horizontalAdvance(each);
        painter.drawText(QPointF(x, std::round(baseline)), each);
        baseline += line.spacing;
    }
}

Caption *caption(QWidget *parent, const design::Control &label)
{
    auto *shown = new Caption(text(label.text), parent);
    if (label.centred)
        shown->setAlignment(Qt::AlignCenter);
    QPalette palette = shown->palette();
    palette.setColor(QPalette::WindowText, colour(label.colour.value()));
    shown->setPalette(palette);
    place(shown, label);
    return shown;
}

} // namespace look
