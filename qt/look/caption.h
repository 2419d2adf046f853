#pragma once

// A caption on the picture: its lines from the top of the label down, at the
// line height the layouts were drawn for rather than the face's own (see
// look::lineMetrics), and aligned across as the label says.

#include <QLabel>

namespace design {
struct Control;
}

namespace look {

class Caption : public QLabel
{
    Q_OBJECT

public:
    explicit Caption(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A label of the design on the picture, in its colour, with no background
// of its own.
Caption *caption(QWidget *parent, const design::Control &label);

} // namespace look
