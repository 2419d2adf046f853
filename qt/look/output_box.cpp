#include "qt/look/output_box.h"

#include "qt/look/faces.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

namespace look {
namespace {

// Between the frame and the text.
constexpr qreal kMargin = 2;

} // namespace

OutputBox::OutputBox(const QString &text, QWidget *parent)
    : QPlainTextEdit(text, parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(document(), &QTextDocument::contentsChanged, this, &OutputBox::fitMargins);
    fitMargins();
}

int OutputBox::linesLaidOut(qreal margin)
{
    document()->setDocumentMargin(margin);
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        document()->documentLayout()->blockBoundingRect(block); // lays the block out if it is not yet
        lines += block.layout()->lineCount();
    }
    return lines;
}

void OutputBox::fitMargins()
{
    // The text breaks at the box's width less the margins at its sides. With
    // a face whose Latin marks are wider than the design's, they can cost a
    // line, and the box shows only so many: then the margins go.
    if (m_fitting)
        return;
    m_fitting = true;
    if (linesLaidOut(0) != linesLaidOut(kMargin))
        document()->setDocumentMargin(0);
    m_fitting = false;
}

void OutputBox::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    fitMargins();
}

void OutputBox::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitMargins();
}

void OutputBox::paintEvent(QPaintEvent *)
{
    // The lines where Qt broke them, but one below the other at the design's
    // line height. The box only shows text: no cursor, no selection.
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const LineMetrics line = lineMetrics(font());
    qreal baseline = kMargin + line.ascent;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        document()->documentLayout()->blockBoundingRect(block);
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine row = layout->lineAt(i);
            row.draw(&painter, QPointF(0, std::round(baseline) - row.y() - row.ascent()));
            baseline += line.spacing;
        }
    }
}

} // namespace look
