// The windows are what their design says: every control where it is drawn,
// of its kind, with its texts, names, font and colours, and the keyboard
// going round the tab order the design gives.

#include "design/windows.h"
#include "qt/look/design.h"
#include "qt/look/faces.h"
#include "qt/windows/about_dialog.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <memory>
#include <optional>

using look::text;

namespace {

const design::Window *const kWindows[] = {&design::region::kWindow, &design::code::kWindow, &design::about::kWindow};

// The window built from plan, shown.
std::unique_ptr<QWidget> build(const design::Window &plan)
{
    std::unique_ptr<QWidget> window;
    if (&plan == &design::about::kWindow)
        window = std::make_unique<AboutDialog>();
    else if (&plan == &design::region::kWindow)
        window = std::make_unique<RegionWindow>();
    else
        window = std::make_unique<CodeWindow>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the window did not become active");
    return window;
}

// What its controls are placed on: a lookup window's status bar is docked at
// the bottom of it.
const QWidget *clientOf(const QWidget *window)
{
    const auto *lookup = qobject_cast<const LookupWindow *>(window);
    return lookup != nullptr ? lookup->client() : window;
}

QWidget *widgetOf(const QWidget *window, const design::Control &control)
{
    for (QWidget *widget : window->findChildren<QWidget *>(text(control.name)))
        if (control.index < 0 || widget->property("index").toInt() == control.index)
            return widget;
    return nullptr;
}

bool isOfKind(const QWidget *widget, design::Kind kind)
{
    using design::Kind;
    switch (kind) {
    case Kind::Label: return widget->inherits("QLabel");
    case Kind::DropDownList: return widget->inherits("QComboBox") && !static_cast<const QComboBox *>(widget)->isEditable();
    case Kind::TextBox: return widget->inherits("QLineEdit") || widget->inherits("QPlainTextEdit");
    case Kind::Button: return widget->inherits("QPushButton");
    case Kind::StatusBar: return widget->inherits("QStatusBar");
    case Kind::Line: return widget->metaObject() == &QWidget::staticMetaObject;
    case Kind::PictureBox: // the icon at its own size
        return widget->inherits("QLabel")
               && static_cast<const QLabel *>(widget)->pixmap().deviceIndependentSize().toSize()
                      == QSize(design::kIcon.width, design::kIcon.height);
    }
    return false;
}

QString shownText(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (const auto *box = qobject_cast<const QLineEdit *>(widget))
        return box->text();
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget))
        return box->toPlainText();
    return {};
}

} // namespace

class WindowDesignTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsWhereAndWhatItsDesignSays_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("control");
        for (int w = 0; w < int(std::size(kWindows)); ++w)
            for (int c = 0; c < int(kWindows[w]->controls.size()); ++c) {
                const design::Control &control = *kWindows[w]->controls[std::size_t(c)];
                QTest::addRow("%s %s%s", text(kWindows[w]->name).toUtf8().constData(),
                              text(control.name).toUtf8().constData(),
                              control.index < 0 ? "" : qPrintable(QStringLiteral("(%1)").arg(control.index)))
                    << w << c;
            }
    }

    void everyControlIsWhereAndWhatItsDesignSays()
    {
        QFETCH(int, window);
        QFETCH(int, control);
        const design::Window &plan = *kWindows[window];
        const design::Control &c = *plan.controls[std::size_t(control)];
        const std::unique_ptr<QWidget> shown = build(plan);
        QWidget *widget = widgetOf(shown.get(), c);
        QVERIFY(widget != nullptr);
        QVERIFY(isOfKind(widget, c.kind));

        const QRect where(widget->mapToGlobal(QPoint()) - clientOf(shown.get())->mapToGlobal(QPoint()), widget->size());
        if (c.sizedToCaption)
            QCOMPARE(where.topLeft(), look::rect(c.place).topLeft());
        else
            QCOMPARE(where, look::rect(c.place));

        QCOMPARE(shownText(widget), text(c.text));
        if (!c.spokenName.empty())
            QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), text(c.spokenName));
        QCOMPARE(widget->font(), look::font(c.font));
        QCOMPARE(widget->focusPolicy() != Qt::NoFocus && widget->isEnabled(), c.takesFocus);
        QCOMPARE(widget->isEnabled(), !c.output);
        if (const auto *label = qobject_cast<QLabel *>(widget); label && c.kind == design::Kind::Label)
            QCOMPARE(bool(label->alignment() & Qt::AlignHCenter), c.centred);

        // Colours as the design gives them; a box keeps its own while disabled,
        // as the output boxes are, a disabled drop-down list is the platform's
        // grey. A label has no background: the picture shows through.
        using design::Kind;
        const bool filled = c.kind == Kind::PictureBox || c.kind == Kind::Line;
        QCOMPARE(widget->autoFillBackground(), filled);
        const std::optional<design::Rgb> ink = c.kind == Kind::Line ? std::nullopt : c.colour;
        const std::optional<design::Rgb> fill = c.kind == Kind::Line ? c.colour : c.background;
        for (const auto group : {QPalette::Active, QPalette::Disabled}) {
            if (ink)
                QCOMPARE(widget->palette().color(group, c.kind == Kind::Label ? QPalette::WindowText : QPalette::Text),
                         look::colour(*ink));
            if (fill && (group == QPalette::Active || c.kind != Kind::DropDownList))
                QCOMPARE(widget->palette().color(group, filled ? QPalette::Window : QPalette::Base), look::colour(*fill));
        }
    }

    // Named, fixed in size, with the lookup windows' menu and status bars,
    // and Tab goes round the controls in the design's order from the one
    // that has the focus when the window shows.
    void everyWindowIsWhatItsDesignSays_data()
    {
        QTest::addColumn<int>("window");
        for (int w = 0; w < int(std::size(kWindows)); ++w)
            QTest::addRow("%s", text(kWindows[w]->name).toUtf8().constData()) << w;
    }

    void everyWindowIsWhatItsDesignSays()
    {
        QFETCH(int, window);
        const design::Window &plan = *kWindows[window];
        const std::unique_ptr<QWidget> shown = build(plan);
        QCOMPARE(shown->objectName(), text(plan.name));
        QCOMPARE(shown->minimumSize(), shown->maximumSize());
        if (auto *lookup = qobject_cast<LookupWindow *>(shown.get())) {
            QCOMPARE(QSize(lookup->client()->width(), lookup->client()->height() + lookup->statusBar()->height()),
                     look::size(plan.client));
            const QList<QAction *> commands = lookup->menuBar()->actions();
            const design::Command *designed[] = {&design::lookup::kByRegion, &design::lookup::kByCode, &design::lookup::kAbout};
            QCOMPARE(commands.size(), qsizetype(std::size(designed)));
            for (qsizetype i = 0; i < commands.size(); ++i)
                QCOMPARE(commands[i]->objectName() + commands[i]->text(), text(designed[i]->name) + text(designed[i]->text));
            QList<QLabel *> panels = lookup->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
            std::sort(panels.begin(), panels.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
            QCOMPARE(panels.size(), qsizetype(std::size(design::lookup::kPanels)));
            for (qsizetype i = 0; i < panels.size(); ++i) {
                QCOMPARE(panels[i]->text(), text(design::lookup::kPanels[i].text));
                QCOMPARE(panels[i]->width(), look::px(design::lookup::kPanels[i].width));
            }
        } else {
            QCOMPARE(shown->windowTitle(), text(plan.caption));
            QCOMPARE(shown->size(), look::size(plan.client));
        }

        for (std::size_t stop = 0; stop <= plan.tabOrder.size() && !plan.tabOrder.empty(); ++stop) {
            if (stop > 0)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), widgetOf(shown.get(), *plan.tabOrder[stop % plan.tabOrder.size()]));
        }
    }
};

QTEST_MAIN(WindowDesignTest)
#include "window_design_test.moc"
