#include "qt/desktop/choose_by_name.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace desktop {

ChooseByName::ChooseByName(QComboBox *box)
    : CompositionGuard(box)
    , m_box(box)
{
    box->setAttribute(Qt::WA_InputMethodEnabled);
}

bool ChooseByName::eventFilter(QObject *watched, QEvent *event)
{
    if (CompositionGuard::eventFilter(watched, event))
        return true;
    if (watched != m_box)
        return false;
    switch (event->type()) {
    case QEvent::InputMethod:
        choose(static_cast<QInputMethodEvent *>(event)->commitString());
        event->accept();
        return true;
    case QEvent::InputMethodQuery: {
        auto *query = static_cast<QInputMethodQueryEvent *>(event);
        for (quint32 bit = 1; bit != 0; bit <<= 1)
            if (query->queries() & bit)
                query->setValue(Qt::InputMethodQuery(bit), answer(Qt::InputMethodQuery(bit)));
        query->accept();
        return true;
    }
    default:
        return false;
    }
}

void ChooseByName::choose(const QString &start)
{
    if (start.isEmpty())
        return;
    const QAbstractItemModel *entries = m_box->model();
    for (int row = 0; row < m_box->count(); ++row) {
        const QModelIndex entry = entries->index(row, m_box->modelColumn(), m_box->rootModelIndex());
        if (!(entries->flags(entry) & Qt::ItemIsEnabled) || !m_box->itemText(row).startsWith(start))
            continue;
        // What QComboBox emits for a choice from its list or by the keys.
        m_box->setCurrentIndex(row);
        emit m_box->activated(row);
        emit m_box->textActivated(m_box->itemText(row));
        return;
    }
}

QVariant ChooseByName::answer(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return m_box->isEnabled();
    case Qt::ImCursorRectangle:
        return cursorRectangle();
    // Nothing is being edited: there is no text around the composition.
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        return QString();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImAbsolutePosition:
        return 0;
    default:
        return m_box->inputMethodQuery(query);
    }
}

// Where a line edit's cursor would stand before the entry's name: the input
// method puts its candidates under it. Qt's default is the box's middle.
QRect ChooseByName::cursorRectangle() const
{
    QStyleOptionComboBox option;
    option.initFrom(m_box);
    option.editable = m_box->isEditable();
    option.frame = m_box->hasFrame();
    const QRect field =
        m_box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, m_box);
    const int x = m_box->layoutDirection() == Qt::RightToLeft ? field.right() : field.left();
    return {x, field.top(), 1, field.height()};
}

} // namespace desktop
