// The windows are what their design says: every control where it is drawn,
// of its kind, with its texts, names, font and colours, and the keyboard
// going round the tab order the design gives.

#include "design/windows.h"
#include "qt/desktop/instance_guard.h"
#include "qt/look/design.h"
#include "qt/look/faces.h"
#include "qt/windows/about_dialog.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "qt/windows/splash_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using look::text;

namespace {

const design::Window *const kWindows[] = {&design::region::kWindow, &design::code::kWindow, &design::about::kWindow};

// The window built from plan, shown, and what its controls are placed on.
struct Built {
    std::unique_ptr<QWidget> window;
    QWidget *client = nullptr;
};

Built build(const design::Window &plan)
{
    Built built;
    if (&plan == &design::about::kWindow) {
        built.window = std::make_unique<AboutDialog>();
        built.client = built.window.get();
    } else {
        auto *lookup = &plan == &design::region::kWindow ? static_cast<LookupWindow *>(new RegionWindow)
                                                          : new CodeWindow;
        built.window.reset(lookup);
        built.client = lookup->client();
    }
    built.window->show();
    if (!QTest::qWaitForWindowActive(built.window.get()))
        qWarning("the window did not become active");
    return built;
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
    switch (kind) {
    case design::Kind::Label:
        return qobject_cast<const QLabel *>(widget) != nullptr;
    case design::Kind::DropDownList: {
        const auto *box = qobject_cast<const QComboBox *>(widget);
        return box != nullptr && !box->isEditable();
    }
    case design::Kind::TextBox:
        return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget);
    case design::Kind::Button:
        return qobject_cast<const QPushButton *>(widget) != nullptr;
    case design::Kind::StatusBar:
        return qobject_cast<const QStatusBar *>(widget) != nullptr;
    case design::Kind::PictureBox: {
        const auto *box = qobject_cast<const QLabel *>(widget);
        return box != nullptr && box->pixmap().deviceIndependentSize().toSize() == QSize(design::kIcon.width, design::kIcon.height);
    }
    case design::Kind::Line:
        return widget->metaObject() == &QWidget::staticMetaObject;
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
        const Built built = build(plan);
        QWidget *widget = widgetOf(built.window.get(), c);
        QVERIFY(widget != nullptr);
        QVERIFY(isOfKind(widget, c.kind));

        // From the top-left corner of the client area, which a lookup
        // window's status bar is docked at the bottom of.
        const QRect where(widget->mapToGlobal(QPoint()) - built.client->mapToGlobal(QPoint()), widget->size());
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

        // Colours as the design gives them, the boxes' in every state: the
        // output boxes are disabled. A disabled drop-down list is the
        // platform's grey.
        const QPalette palette = widget->palette();
        for (const auto group : {QPalette::Active, QPalette::Disabled}) {
            switch (c.kind) {
            case design::Kind::Label:
                QCOMPARE(palette.color(group, QPalette::WindowText), look::colour(c.colour.value()));
                QVERIFY(!widget->autoFillBackground()); // the picture shows through
                break;
            case design::Kind::TextBox:
                if (c.colour)
                    QCOMPARE(palette.color(group, QPalette::Text), look::colour(*c.colour));
                Q_FALLTHROUGH();
            case design::Kind::DropDownList:
                if (c.background && (c.kind == design::Kind::TextBox || group == QPalette::Active))
                    QCOMPARE(palette.color(group, QPalette::Base), look::colour(*c.background));
                break;
            case design::Kind::PictureBox:
            case design::Kind::Line:
                QVERIFY(widget->autoFillBackground());
                QCOMPARE(palette.color(group, QPalette::Window),
                         look::colour(c.kind == design::Kind::Line ? c.colour.value() : c.background.value()));
                break;
            case design::Kind::Button:
            case design::Kind::StatusBar:
                break;
            }
        }
    }

    // Named, fixed in size, and Tab goes round the controls in the design's
    // order from the one that has the focus when the window shows.
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
        const Built built = build(plan);
        QCOMPARE(built.window->objectName(), text(plan.name));
        QCOMPARE(built.window->minimumSize(), built.window->maximumSize());
        if (auto *lookup = qobject_cast<LookupWindow *>(built.window.get())) {
            QCOMPARE(lookup->client()->width(), look::px(plan.client.width));
            QCOMPARE(lookup->client()->height() + lookup->statusBar()->height(), look::px(plan.client.height));
        } else {
            QCOMPARE(built.window->windowTitle(), text(plan.caption));
            QCOMPARE(built.window->size(), look::size(plan.client));
        }

        if (plan.tabOrder.empty())
            return; // About: nothing on it takes the focus
        QWidget *first = widgetOf(built.window.get(), *plan.tabOrder.front());
        QTRY_COMPARE(QApplication::focusWidget(), first);
        for (std::size_t stop = 1; stop <= plan.tabOrder.size(); ++stop) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), widgetOf(built.window.get(), *plan.tabOrder[stop % plan.tabOrder.size()]));
        }
    }

    // The window both lookups are shown in, and their menu and status bars.
    void theLookupWindowsShareCaptionMenuAndStatusBar_data()
    {
        QTest::addColumn<LookupWindow::Kind>("kind");
        QTest::newRow("region window") << LookupWindow::Kind::Region;
        QTest::newRow("code window") << LookupWindow::Kind::Code;
    }

    void theLookupWindowsShareCaptionMenuAndStatusBar()
    {
        QFETCH(LookupWindow::Kind, kind);
        LookupHost main(kind);
        QCOMPARE(main.windowTitle(), text(design::lookup::kCaption));
        const QList<QAction *> commands = main.lookup()->menuBar()->actions();
        const design::Command *designed[] = {&design::lookup::kByRegion, &design::lookup::kByCode, &design::lookup::kAbout};
        QCOMPARE(commands.size(), qsizetype(std::size(designed)));
        for (qsizetype i = 0; i < commands.size(); ++i) {
            QCOMPARE(commands[i]->objectName(), text(designed[i]->name));
            QCOMPARE(commands[i]->text(), text(designed[i]->text));
        }

        QList<QLabel *> panels = main.lookup()->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
        std::sort(panels.begin(), panels.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
        QCOMPARE(panels.size(), qsizetype(std::size(design::lookup::kPanels)));
        for (qsizetype i = 0; i < panels.size(); ++i) {
            QCOMPARE(panels[i]->text(), text(design::lookup::kPanels[i].text));
            QCOMPARE(panels[i]->width(), look::px(design::lookup::kPanels[i].width));
        }
    }

    void theStartUpWindowIsWhatItsDesignSays()
    {
        QTemporaryDir runtime;
        desktop::InstanceGuard guard(runtime.path());
        SplashWindow splash(guard);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QCOMPARE(splash.objectName(), text(design::startup::kWindow.name));
        QCOMPARE(splash.windowTitle(), text(design::startup::kWindow.caption));
        // Its text is in its picture; screen readers get it as its name.
        QCOMPARE(QAccessible::queryAccessibleInterface(&splash)->text(QAccessible::Name),
                 text(design::startup::kSpokenName));
        QCOMPARE(splash.contentsRect().size(), look::size(design::startup::kWindow.client));
        const auto *timer = splash.findChild<QTimer *>(text(design::startup::kTimer));
        QVERIFY(timer != nullptr);
        QCOMPARE(timer->intervalAsDuration(), design::startup::kShownFor);
    }
};

QTEST_MAIN(WindowDesignTest)
#include "window_design_test.moc"
