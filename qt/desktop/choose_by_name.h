#pragma once

// Choosing an entry of a drop-down list by typing its name with an input
// method (pinyin and the like): text the input method commits chooses the
// first entry that begins with it, as a choice with the mouse or the keys
// does (activated). A text that begins no entry changes nothing. The list
// stays a list: what is typed, composed or committed, is never shown in it.
//
// Qt opens no input method to a combo box that cannot be edited (6.4 and 6.8
// alike). Its own search, which the keys keep, goes to the next entry after
// the current one that begins with what was typed within the keyboard
// interval, not to the first.

#include "qt/desktop/composition_guard.h"

#include <QRect>
#include <QVariant>

class QComboBox;

namespace desktop {

class ChooseByName : public CompositionGuard
{
    Q_OBJECT

public:
    // Opens box to input methods; box owns this from then on.
    explicit ChooseByName(QComboBox *box);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(const QString &start);
    QVariant answer(Qt::InputMethodQuery query) const;
    QRect cursorRectangle() const;

    QComboBox *m_box;
};

} // namespace desktop
