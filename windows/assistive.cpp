#include "windows/assistive.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPointer>

namespace look {

void labelForScreenReaders(QWidget *control, const QString &name)
{
    auto *label = new QLabel(name, control->parentWidget());
    label->setBuddy(control);
    label->hide();
}

void acceptChoicesFromAssistiveTools(QComboBox *box)
{
    // The open list selects what the mouse is over, and opening it selects
    // the current entry: neither is a choice. A selection in the closed list
    // can only come from an assistive tool.
    QObject::connect(box->view()->selectionModel(), &QItemSelectionModel::selectionChanged, box,
                     [box](const QItemSelection &selected) {
                         if (box->view()->isVisible() || selected.indexes().isEmpty())
                             return;
                         const int row = selected.indexes().first().row();
                         if (row == box->currentIndex())
                             return;
                         box->setCurrentIndex(row);
                         emit box->activated(row);
                     });
}

void announce(const QString &text)
{
    // The reader presents a description that changes on the control it is
    // on; the same text twice running would not be a change, so the old one
    // goes first. Only one control carries an announcement at a time.
    static QPointer<QWidget> described;
    QWidget *focused = QApplication::focusWidget();
    if (described != nullptr && described != focused)
        described->setAccessibleDescription(QString());
    described = focused;
    if (focused == nullptr)
        return;
    focused->setAccessibleDescription(QString());
    focused->setAccessibleDescription(text);
}

} // namespace look
