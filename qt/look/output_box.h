#pragma once

// A text box the program writes its answers into: several lines broken at
// the box's width, no scroll bars, and the lines laid out at the line height
// the layouts were drawn for (see look::lineMetrics), so that as many lines
// show with any face as with the design's.

#include <QPlainTextEdit>

namespace look {

class OutputBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit OutputBox(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int linesLaidOut(qreal margin);
    void fitMargins();

    bool m_fitting = false;
};

} // namespace look
