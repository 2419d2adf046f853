#include "qt/desktop/accessibility.h"

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
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace desktop {

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

// Qt's accessible dialog (a plain QAccessibleWidget, in Qt 6.4 as in 6.8)
// never sets the modal state, though the AT-SPI bridge would pass it on: a
// tool cannot tell that the rest of the program is out of reach. Not mended
// in any Qt so far, so no version bound.
class ModalDialog : public QAccessibleWidget
{
public:
    explicit ModalDialog(QDialog *dialog)
        : QAccessibleWidget(dialog, QAccessible::Dialog)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = widget()->isModal() && widget()->isVisible();
        return state;
    }
};

// Queried with each class name of the object's, most derived first.
QAccessibleInterface *ownInterfaces(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox")) {
        auto *box = qobject_cast<QComboBox *>(object);
        if (box != nullptr && box->property("look.dropDown").toBool())
            return new DropDownList(box);
    } else if (className == QLatin1String("QDialog")) {
        auto *dialog = qobject_cast<QDialog *>(object);
        if (dialog != nullptr && dialog->property("look.modalForTools").toBool())
            return new ModalDialog(dialog);
    }
    return nullptr;
}

// Ours from now on for widget, in place of one Qt may have made already.
template <typename Own>
void replaceInterface(QWidget *widget, const char *property)
{
    static const bool installed = (QAccessible::installFactory(&ownInterfaces), true);
    Q_UNUSED(installed);
    widget->setProperty(property, true);
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget);
    if (made != nullptr && dynamic_cast<Own *>(made) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace

void forAssistiveTools(QComboBox *box, const QString &name)
{
    replaceInterface<DropDownList>(box, "look.dropDown");
    box->setAccessibleName(name);

    // Qt tells a reader nothing it presents when the entry changes while the
    // box has the focus (a name that stays, a selection it cannot read): the
    // entry chosen is announced, before whatever the choice shows.
    QObject::connect(box, &QComboBox::activated, box, [box] { announce(box->currentText()); });

    // The open list selects what the mouse is over, and opening it selects
    // the current entry: neither is a choice. A selection in the closed list
    // comes from an assistive tool, or from the box's own search by a typed
    // character, which makes its choice once the search returns: the
    // selection is taken from the next turn of the event loop, if the box
    // has not made it its choice by then.
    QObject::connect(box->view()->selectionModel(), &QItemSelectionModel::selectionChanged, box,
                     [box](const QItemSelection &selected) {
                         if (box->view()->isVisible() || selected.indexes().isEmpty())
                             return;
                         const int row = selected.indexes().first().row();
                         if (row == box->currentIndex())
                             return;
                         QMetaObject::invokeMethod(box, [box, row] {
                             if (box->view()->isVisible() || row == box->currentIndex() || row >= box->count())
                                 return;
                             box->setCurrentIndex(row);
                             emit box->activated(row);
                         }, Qt::QueuedConnection);
                     });
}

namespace {

// Qt before 6.8 reports a changed description to the AT-SPI bus with the
// object in place of the new text, which screen readers cannot present (Orca:
// "bad content sent to speak()"). The event as AT-SPI defines it, on Qt's own
// connection to the accessibility bus and for the object as Qt names it.
void reportDescription([[maybe_unused]] QWidget *widget, [[maybe_unused]] const QString &description)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
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
#endif
}

// A reader presents a description that changes on the control it is on; the
// same text twice running would not be a change, so the old one goes first.
void tell(QWidget *widget, const QString &text)
{
    widget->setAccessibleDescription(QString());
    describe(widget, text);
}

// The control carrying the announcement, and what withdraws it when the box
// whose text it told of changes.
QPointer<QWidget> &described()
{
    static QPointer<QWidget> widget;
    return widget;
}

QMetaObject::Connection &watching()
{
    static QMetaObject::Connection connection;
    return connection;
}

void watch(QWidget *box, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box)) {
        watching() = QObject::connect(line, &QLineEdit::textChanged, line, [text](const QString &now) {
            if (now != text)
                withdraw();
        });
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(box)) {
        watching() = QObject::connect(plain, &QPlainTextEdit::textChanged, plain, [plain, text] {
            if (plain->toPlainText() != text)
                withdraw();
        });
    }
}

// Once, when widget is first shown in the active window: when the window is
// activated, or when the widget is shown in a window active already (a page
// that replaces another, which the reader hears nothing of). What to say is
// asked for then, with which of the two it was.
void whenFirstBeforeTheUser(QWidget *widget, std::function<QString(bool replacing)> text)
{
    class Watcher : public QObject
    {
    public:
        Watcher(QWidget *widget, std::function<QString(bool)> text)
            : QObject(widget), m_text(std::move(text))
        {
            widget->installEventFilter(this);
        }

        bool eventFilter(QObject *watched, QEvent *event) override
        {
            auto *widget = static_cast<QWidget *>(watched);
            const bool activated = event->type() == QEvent::WindowActivate && widget->isVisible();
            const bool replacing = event->type() == QEvent::Show && widget->isActiveWindow();
            if (activated || replacing) {
                // From the next turn of the event loop: the window has given
                // its control the focus by then, and Qt has reported both.
                QTimer::singleShot(0, widget, [text = m_text, replacing] { notify(text(replacing)); });
                widget->removeEventFilter(this);
                deleteLater();
            }
            return false;
        }

    private:
        std::function<QString(bool)> m_text;
    };
    new Watcher(widget, std::move(text));
}

// Orca presents a dialog with its captions of three words or more, and
// leaves out the shorter ones (its unrelatedLabels() with minimumWords 3):
// those, in reading order.
QString captionsLeftOut(const QWidget *dialog)
{
    QList<QLabel *> captions;
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        const QStringList words = label->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (!words.isEmpty() && words.size() < 3 && label->isVisibleTo(dialog))
            captions.append(label);
    }
    const auto place = [dialog](const QLabel *label) {
        const QPoint at = label->mapTo(dialog, QPoint());
        return std::pair(at.y(), at.x());
    };
    std::ranges::sort(captions, {}, place);
    QStringList texts;
    for (const QLabel *label : captions)
        texts.append(label->text());
    return texts.join(QLatin1Char(' '));
}

} // namespace

void describe(QWidget *widget, const QString &description)
{
    widget->setAccessibleDescription(description);
    reportDescription(widget, description);
}

void announce(const QString &text, QWidget *shownIn)
{
    // Only one control carries an announcement at a time.
    withdraw();
    QWidget *focused = QApplication::focusWidget();
    if (focused == nullptr)
        return;
    tell(focused, text);
    described() = focused;
    if (shownIn != nullptr)
        watch(shownIn, text);
}

void withdraw()
{
    QObject::disconnect(watching());
    QWidget *widget = described();
    described() = nullptr;
    if (widget != nullptr && !widget->accessibleDescription().isEmpty())
        describe(widget, QString());
}

void notify(const QString &text)
{
    QWidget *target = QApplication::focusWidget();
    if (target == nullptr)
        target = QApplication::activeWindow();
    if (target == nullptr || text.isEmpty())
        return;
    if (target == described())
        withdraw();
    // The reader says the text the change reports; the description is
    // what it was again at once, so nothing keeps the news.
    const QString kept = target->accessibleDescription();
    tell(target, text);
    describe(target, kept);
}

void introduce(QWidget *widget, const QString &text)
{
    // A reader presents an activated window with its description; a page
    // that replaces another names itself.
    whenFirstBeforeTheUser(widget, [widget, text](bool replacing) {
        const QString name = widget->accessibleDescription();
        return replacing && !name.isEmpty() ? name + QLatin1Char(' ') + text : text;
    });
}

void forAssistiveTools(QDialog *dialog)
{
    replaceInterface<ModalDialog>(dialog, "look.modalForTools");
    whenFirstBeforeTheUser(dialog, [dialog](bool) { return captionsLeftOut(dialog); });
}

} // namespace desktop
