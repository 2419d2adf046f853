#include "windows/assistive.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QItemSelectionModel>
#include <QPointer>

namespace look {

namespace {

// What a drop-down list is to an assistive tool: a combo box named by its
// own name, its chosen entry the value and the text, its list the one
// child, opened by ShowMenu or Press; the rest is any widget's.
class DropDownList : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit DropDownList(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? box()->currentText() : QAccessibleWidget::text(kind);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child->object() == box()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = box()->view()->isVisible();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType kind) override
    {
        if (kind == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(kind);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

    // The chosen entry, as text to be read, not edited or selected.
    QString text(int start, int end) const override { return box()->currentText().mid(start, end - start); }
    int characterCount() const override { return int(box()->currentText().size()); }
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *dropDownLists(const QString &className, QObject *object)
{
    auto *box = qobject_cast<QComboBox *>(object);
    if (className == QLatin1String("QComboBox") && box != nullptr && box->property("look.dropDown").toBool())
        return new DropDownList(box);
    return nullptr;
}

} // namespace

void forAssistiveTools(QComboBox *box, const QString &name)
{
    static const bool installed = (QAccessible::installFactory(&dropDownLists), true);
    Q_UNUSED(installed);
    box->setProperty("look.dropDown", true);
    // Qt's own, should one have been made already.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(box);
    if (made != nullptr && dynamic_cast<DropDownList *>(made) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    box->setAccessibleName(name);

    // Qt tells a reader nothing it presents when the entry changes while the
    // box has the focus (a name that stays, a selection it cannot read): the
    // entry chosen is announced, before whatever the choice shows.
    QObject::connect(box, &QComboBox::activated, box, [box] { announce(box->currentText()); });

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

void describe(QWidget *widget, const QString &description)
{
    widget->setAccessibleDescription(description);
    reportDescription(widget, description);
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
    reportDescription(focused, text);
}

} // namespace look
