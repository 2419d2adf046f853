#pragma once

// A caption on the picture: its lines from the top of the label down, at the
// line height the layouts were drawn for rather than the face's own (see
// look::lineMetrics), and aligned across as the label says.

#include <QLabel>

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

// A caption in yellow on the picture, named name: no background of its own.
Caption *caption(QWidget *parent, const char *name, const QString &text, const QFont &font);

} // namespace look
