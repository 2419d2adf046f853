#pragma once

// Keeps what an input method composes (its preedit: pinyin not yet turned
// into characters) to the box it is typed into. Enter while composing is the
// input method's, never the box's. A composition still open when the box
// loses the focus or goes away is finished there: what the input method
// commits then lands whole in this box, nothing of it in the next one, and
// nothing it leaves on show stays.

#include <QObject>

class QWidget;

namespace desktop {

class CompositionGuard : public QObject
{
    Q_OBJECT

public:
    // Guards box, which owns the guard from then on.
    explicit CompositionGuard(QWidget *box);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish();

    QWidget *m_box;
    bool m_composing = false;
};

} // namespace desktop
