#include "design/windows.h"
#include "qt/look/design.h"
#include "qt/look/pictures.h"
#include "qt/windows/about_dialog.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QImageReader>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <array>
#include <memory>

using driver::child;
using driver::clickCommand;
using driver::command;

class LookupWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void menuCommands_data()
    {
        QTest::addColumn<bool>("region");
        QTest::newRow("region window") << true;
        QTest::newRow("code window") << false;
    }

    void menuCommands()
    {
        QFETCH(bool, region);
        std::unique_ptr<LookupWindow> window(region ? static_cast<LookupWindow *>(new RegionWindow)
                                                    : new CodeWindow);
        // The command for the window already open is greyed.
        QCOMPARE(command(window.get(), "diquchaxun")->isEnabled(), !region);
        QCOMPARE(command(window.get(), "quhaochaxun")->isEnabled(), region);
        QVERIFY(command(window.get(), "about")->isEnabled());
        for (const char *name : {"diquchaxun", "quhaochaxun", "about"}) {
            QVERIFY(command(window.get(), name)->menu() == nullptr);
            QVERIFY(command(window.get(), name)->shortcut().isEmpty());
        }
    }

    // One top-level window for both lookups: captioned alike, told apart by
    // its description and role, and never resized, not even for a moment
    // while one lookup window replaces the other.
    void theMainWindowKeepsItsSizeThroughSwitches()
    {
        LookupHost main;
        QCOMPARE(main.windowTitle(), look::text(design::lookup::kCaption));
        QVERIFY(!main.windowIcon().isNull());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.minimumSize(), main.maximumSize());
        QVERIFY(!(main.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const QSize size = main.size();
        QCOMPARE(main.lookup()->size(), size);

        struct Resizes : QObject {
            int seen = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                seen += event->type() == QEvent::Resize;
                return false;
            }
        } resizes;
        main.installEventFilter(&resizes);
        main.windowHandle()->installEventFilter(&resizes);
        const auto description = [&] {
            return QAccessible::queryAccessibleInterface(&main)->text(QAccessible::Description);
        };
        QCOMPARE(description(), QStringLiteral("地区查询"));
        for (const char *name : {"quhaochaxun", "diquchaxun", "quhaochaxun"}) {
            command(main.lookup(), name)->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            QCOMPARE(main.findChildren<LookupWindow *>().size(), 1);
            QCOMPARE(main.size(), size);
        }
        QCOMPARE(resizes.seen, 0);
        QCOMPARE(description(), QStringLiteral("区号查询"));
    }

    void aboutIsModalAndLeavesTheRegionWindowAsItWas()
    {
        auto window = std::make_unique<RegionWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *provinces = child<QComboBox>(window.get(), "Combo1");
        auto *cities = child<QComboBox>(window.get(), "Combo2");
        QVERIFY(driver::choose(provinces, QStringLiteral("江苏省")));
        QVERIFY(driver::choose(cities, QStringLiteral("苏州")));

        bool sawAbout = false;
        driver::whenModal([&](QWidget *modal) {
            sawAbout = qobject_cast<AboutDialog *>(modal) != nullptr;
            QVERIFY(sawAbout);
            QCOMPARE(modal->windowModality(), Qt::ApplicationModal);
            // It belongs to the window it opened over.
            QCOMPARE(modal->parentWidget(), window.get());
            // The window behind takes no clicks meanwhile.
            driver::clickAsTheSystem(provinces);
            QVERIFY(!provinces->view()->isVisible());
        });
        clickCommand(window.get(), "about");
        QTRY_VERIFY(sawAbout);
        QCOMPARE(provinces->currentText(), QStringLiteral("江苏省"));
        QCOMPARE(cities->currentText(), QStringLiteral("苏州"));
        QCOMPARE(cities->count(), 29);
        QCOMPARE(child<QLineEdit>(window.get(), "Text1")->text(), QStringLiteral("0512"));
    }

    void aboutLeavesTheCodeWindowAsItWas()
    {
        auto window = std::make_unique<CodeWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *input = child<QLineEdit>(window.get(), "Text1");
        QTest::keyClicks(input, QStringLiteral("0852"));
        QTest::keyClick(input, Qt::Key_Return);

        bool sawAbout = false;
        driver::whenModal([&](QWidget *modal) {
            sawAbout = qobject_cast<AboutDialog *>(modal) != nullptr;
            driver::clickAsTheSystem(child<QPushButton>(window.get(), "Command2"));
        });
        clickCommand(window.get(), "about");
        QTRY_VERIFY(sawAbout);
        QCOMPARE(input->text(), QStringLiteral("0852"));
        QCOMPARE(child<QPlainTextEdit>(window.get(), "Text2")->toPlainText(), QStringLiteral("  贵州省遵义"));
    }

    void switchingOpensFreshWindowsAndKeepsTheProgramRunning()
    {
        QPointer<LookupHost> main = new LookupHost;
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        const QRect place = main->geometry();
        int freshWindows = 0;
        bool closedLast = false;
        const int result = driver::runEventLoop([&] {
            for (int round = 0; round < 3; ++round) {
                QPointer<LookupWindow> region = driver::openLookupWindow();
                QVERIFY(qobject_cast<RegionWindow *>(region));
                QCOMPARE(main->windowRole(), QStringLiteral("lookup-by-region"));
                QVERIFY(driver::choose(child<QComboBox>(region, "Combo1"), QStringLiteral("北京")));
                clickCommand(region, "quhaochaxun");
                QVERIFY(!region || !region->isVisible());
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QVERIFY(region.isNull());

                // The same window, at the same place and size, shows the other lookup.
                QPointer<LookupWindow> code = driver::openLookupWindow();
                QVERIFY(qobject_cast<CodeWindow *>(code));
                QCOMPARE(code->window(), main.data());
                QCOMPARE(main->geometry(), place);
                QCOMPARE(main->windowRole(), QStringLiteral("lookup-by-code"));
                QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(code, "Text1"));
                QCOMPARE(child<QLineEdit>(code, "Text1")->text(), QString());
                QCOMPARE(child<QPlainTextEdit>(code, "Text2")->toPlainText(), QStringLiteral("  "));
                QTest::keyClicks(child<QLineEdit>(code, "Text1"), QStringLiteral("0512"));
                QTest::keyClick(child<QLineEdit>(code, "Text1"), Qt::Key_Return);
                clickCommand(code, "diquchaxun");

                LookupWindow *next = driver::openLookupWindow();
                QVERIFY(qobject_cast<RegionWindow *>(next));
                QCOMPARE(main->geometry(), place);
                QCOMPARE(QApplication::focusWidget(), child<QComboBox>(next, "Combo1"));
                QCOMPARE(child<QComboBox>(next, "Combo1")->currentIndex(), -1);
                QCOMPARE(child<QLineEdit>(next, "Text1")->text(), QString());
                ++freshWindows;
            }
            // Let the event loop run a while with the last window open: the
            // program must still be there, then end when it is closed.
            QTimer::singleShot(100, qApp, [&] {
                QVERIFY(main);
                closedLast = true;
                main->close();
            });
        });
        QCOMPARE(freshWindows, 3);
        QVERIFY(closedLast);
        QCOMPARE(result, 0);
        QVERIFY(main.isNull());
    }

    void closingTheCodeWindowEndsTheProgram()
    {
        (new LookupHost)->show();
        const int result = driver::runEventLoop([] {
            clickCommand(driver::openLookupWindow(), "quhaochaxun");
            QTimer::singleShot(50, qApp, [] {
                QVERIFY(qobject_cast<CodeWindow *>(driver::openLookupWindow()));
                driver::openMainWindow()->close();
            });
        });
        QCOMPARE(result, 0);
        QCOMPARE(driver::openLookupWindow(), nullptr);
    }

    void theMenuBarIsReachableByKeyboard()
    {
        (new LookupHost)->show();
        bool sawAbout = false;
        const int result = driver::runEventLoop([&] {
            LookupWindow *region = driver::openLookupWindow();
            QVERIFY(QTest::qWaitForWindowActive(region));
            // Alt enters the bar on a command that can be chosen: past the
            // greyed 地区查询, on 区号查询, and the bar shows where the user is.
            const QImage before = region->menuBar()->grab().toImage();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
            QTRY_COMPARE(region->menuBar()->activeAction(), command(region, "quhaochaxun"));
            QVERIFY(region->menuBar()->grab().toImage() != before);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            LookupWindow *code = driver::openLookupWindow();
            QVERIFY(qobject_cast<CodeWindow *>(code));
            QVERIFY(QTest::qWaitForWindowActive(code));

            auto *input = child<QLineEdit>(code, "Text1");
            QTest::keyClicks(input, QStringLiteral("010"));
            driver::whenModal([&](QWidget *modal) { sawAbout = qobject_cast<AboutDialog *>(modal) != nullptr; });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
            QTRY_COMPARE(code->menuBar()->activeAction(), command(code, "diquchaxun"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right); // 区号查询 is greyed here and skipped
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(sawAbout);

            // Back where the user was, once the window is active again (the
            // window manager's part, done here by hand): typing and Enter go
            // on as before.
            QTRY_COMPARE(code->focusWidget(), input);
            code->activateWindow();
            QTRY_COMPARE(QApplication::focusWidget(), input);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(child<QPlainTextEdit>(code, "Text2")->toPlainText(), QStringLiteral("  北京"));
            code->window()->close();
        });
        QCOMPARE(result, 0);
        QVERIFY(sawAbout);
    }

    // Compiled in at their design sizes, with the double-size paintings that
    // high-density screens get, drawn over the same area, twice as sharp.
    void thePicturesAreCompiledInAtTheirSizes_data()
    {
        QTest::addColumn<int>("picture");
        QTest::newRow("icon") << 0;
        QTest::newRow("landscape") << 1;
        QTest::newRow("start-up picture") << 2;
    }

    void thePicturesAreCompiledInAtTheirSizes()
    {
        QFETCH(int, picture);
        const design::Picture &shown = *std::array{&design::kIcon, &design::kLandscape, &design::kStartupPicture}[picture];
        const QSize size(shown.width, shown.height);
        QCOMPARE(look::picture(shown, 1.0).size(), size);
        const QPixmap dense = look::picture(shown, 2.0);
        QCOMPARE(dense.size(), size * 2);
        QCOMPARE(dense.deviceIndependentSize().toSize(), size);
        if (&shown == &design::kLandscape)
            QCOMPARE(QImageReader(QStringLiteral(":/landscape.jpg")).format(), QByteArray("jpeg"));
        if (&shown == &design::kIcon)
            QCOMPARE(look::programIcon().pixmap(size, 2.0).size(), size * 2);
    }

    // A window that shows part of a picture keeps only the part, as the whole
    // picture has it, at either density.
    void aPictureCanBeKeptInPart()
    {
        const QSize part(306, 84); // what a lookup window shows of the landscape
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap kept = look::picture(design::kLandscape, ratio, part);
            const QSize covered = kept.deviceIndependentSize().toSize();
            QVERIFY2(covered.width() >= part.width() && covered.height() >= part.height(), qPrintable(QString::number(ratio)));
            QVERIFY(covered.width() < 400 && covered.height() < 240);
            const QImage whole = look::picture(design::kLandscape, ratio).toImage();
            QCOMPARE(kept.toImage(), whole.copy(QRect(QPoint(0, 0), kept.size())));
        }
    }

    // Whatever the screen's density, the landscape is the one painted for it,
    // resampled smoothly where the density is not the painting's own.
    void theLandscapeIsSharpAtTheScreensDensity()
    {
        RegionWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A strip with no control on it, below the boxes, that starts on a
        // whole pixel at 1.25 and 1.5 as well.
        QWidget *client = window.client();
        const QRect strip(0, 72, client->width(), client->height() - 72);
        const driver::Sharpness sharpness = driver::sharpness(client, strip, QPoint(0, 0), design::kLandscape);
        QVERIFY2(sharpness.sharp(), qPrintable(sharpness.report()));
    }
};

QTEST_MAIN(LookupWindowTest)
#include "lookup_window_test.moc"
