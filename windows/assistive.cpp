#include "windows/assistive.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
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

namespace {

// Qt 6.4 reports a changed description to the AT-SPI bus with the object in
// place of the new text, which screen readers cannot present (Orca: "bad
// content sent to speak()"). The event as AT-SPI defines it, on Qt's own
// connection to the accessibility bus and for the object as Qt names it.
void reportDescription(QWidget *widget, const QString &description)
{
    const QDBusConnection bus(QStringLiteral("a11y"));
    QAccessibleInterface *object = QAccessible::queryAccessibleInterface(widget);
    if (!QAccessible::isActive() || !bus.isConnected() || object == nullptr)
        return;
    const QString prefix = QStringLiteral("/org/a11y/atspi/accessible/");
    QDBusMessage event = QDBusMessage::createSignal(prefix + QString::number(QAccessible::uniqueId(object)),
                                                    QStringLiteral("org.a11y.atspi.Event.Object"),
                                                    QStringLiteral("PropertyChange"));
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService() << QDBusObjectPath(prefix + QStringLiteral("root"));
    application.endStructure();
    event << QStringLiteral("accessible-description") << 0 << 0 << QVariant::fromValue(QDBusVariant(description))
          << QVariant::fromValue(application);
    bus.send(event);
}

} // namespace

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
    reportDescription(focused, text);
}

} // namespace look
