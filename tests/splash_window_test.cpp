#include "design/windows.h"
#include "qt/desktop/instance_guard.h"
#include "qt/look/design.h"
#include "qt/windows/region_window.h"
#include "qt/windows/splash_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QList<QMessageBox *> openWarnings()
{
    QList<QMessageBox *> boxes;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box != nullptr && box->isVisible())
            boxes << box;
    return boxes;
}

} // namespace

class SplashWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

private slots:
    void showsThePictureAndWaits()
    {
        desktop::InstanceGuard guard(m_runtime.path());
        QPointer splash = new SplashWindow(guard);
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QCOMPARE(splash->objectName(), look::text(design::startup::kWindow.name));
        QCOMPARE(splash->windowTitle(), look::text(design::startup::kWindow.caption));
        QCOMPARE(splash->contentsRect().size(), look::size(design::startup::kWindow.client)); // inside its frame
        // Its text is in its picture; screen readers get it as its name.
        QCOMPARE(QAccessible::queryAccessibleInterface(splash)->text(QAccessible::Name),
                 look::text(design::startup::kSpokenName));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint); // no title bar
        QCOMPARE(splash->windowType(), Qt::SplashScreen);       // no taskbar button
        QVERIFY(!splash->testAttribute(Qt::WA_QuitOnClose));

        auto *timer = splash->findChild<QTimer *>(look::text(design::startup::kTimer));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->intervalAsDuration(), design::startup::kShownFor);

        // Clicks and keys change nothing.
        QTest::mouseClick(splash, Qt::LeftButton);
        QTest::keyClick(splash, Qt::Key_Return);
        QTest::keyClick(splash, Qt::Key_Escape);
        QVERIFY(splash && splash->isVisible());
        QVERIFY(timer->isActive());
        QVERIFY(timer->remainingTime() > 1000);
        QCOMPARE(driver::openLookupWindow(), nullptr);
        delete splash;
    }

    // What waits for the picture (the font check) runs once, and only once
    // the picture has been painted.
    void saysOnceThatThePictureShows()
    {
        desktop::InstanceGuard guard(m_runtime.path());
        SplashWindow splash(guard);
        QSignalSpy shown(&splash, &SplashWindow::pictureShown);
        QCoreApplication::processEvents();
        QCOMPARE(shown.count(), 0);

        splash.show();
        QTRY_COMPARE(shown.count(), 1);
        splash.repaint();
        splash.hide();
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        splash.repaint();
        QCOMPARE(shown.count(), 1);
    }

    void thePictureIsSharpAtTheScreensDensity()
    {
        desktop::InstanceGuard guard(m_runtime.path());
        SplashWindow splash(guard);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        // Inside the frame, on whole pixels at 1.25 and 1.5 as well.
        const QRect inside(4, 4, 388, 156);
        const driver::Sharpness sharpness = driver::sharpness(&splash, inside, QPoint(2, 2), design::kStartupPicture);
        QVERIFY2(sharpness.sharp(), qPrintable(sharpness.report()));
    }

    void handsOverToTheRegionWindow()
    {
        desktop::InstanceGuard guard(m_runtime.path());
        QPointer splash = new SplashWindow(guard);
        splash->show();
        LookupWindow *region = nullptr;
        const int result = driver::runEventLoop([&] {
            QVERIFY(QTest::qWaitFor([] { return driver::openLookupWindow() != nullptr; }, 5000));
            region = driver::openLookupWindow();
            QVERIFY(qobject_cast<RegionWindow *>(region));
            QVERIFY(!splash || !splash->isVisible());
            QVERIFY(openWarnings().isEmpty());
            // The start-up window going did not end the program; closing
            // the main window does.
            region->window()->close();
        });
        QCOMPARE(result, 0);
        QVERIFY(region != nullptr);
    }

    void warnsOnceWhenAnotherCopyRunsThenEnds()
    {
        desktop::InstanceGuard firstCopy(m_runtime.path());
        QVERIFY(firstCopy.claim());

        desktop::InstanceGuard guard(m_runtime.path());
        QPointer splash = new SplashWindow(guard);
        splash->show();
        // The warning runs its own event loop, so watch for it from timers.
        int warningsSeen = 0;
        QTimer watch;
        const int result = driver::runEventLoop([&] {
            connect(&watch, &QTimer::timeout, this, [&] {
                const QList<QMessageBox *> warnings = openWarnings();
                if (warnings.isEmpty())
                    return;
                watch.stop();
                QMessageBox *warning = warnings.first();
                QCOMPARE(warning->windowTitle(), QStringLiteral("提示"));
                QCOMPARE(warning->text(), QStringLiteral("该程序已在运行中！"));
                QCOMPARE(warning->icon(), QMessageBox::Warning);
                QCOMPARE(warning->buttons().size(), 1);
                QCOMPARE(splash->cursor().shape(), Qt::WaitCursor);
                // Longer than the start-up interval: the timer must not fire again.
                QTimer::singleShot(1800, this, [&, warning] {
                    warningsSeen = openWarnings().size();
                    QTest::mouseClick(warning->buttons().first(), Qt::LeftButton);
                });
            });
            watch.start(20);
        });
        QCOMPARE(warningsSeen, 1);
        QCOMPARE(result, 0);
        QCOMPARE(driver::openLookupWindow(), nullptr); // no lookup window was opened
        delete splash;
    }

    // As main() does it: shown before the event loop runs. When showing takes
    // longer than the wait, the hand-over must still happen from the loop,
    // where dismissing the warning can end the program.
    void aSlowFirstShowStillEndsTheSecondCopy()
    {
        desktop::InstanceGuard firstCopy(m_runtime.path());
        QVERIFY(firstCopy.claim());

        desktop::InstanceGuard guard(m_runtime.path());
        QPointer splash = new SplashWindow(guard);
        int dismissed = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (QMessageBox *warning : openWarnings()) {
                ++dismissed;
                QTest::mouseClick(warning->buttons().first(), Qt::LeftButton);
            }
        });
        watch.start(20);
        QTest::qSleep(1600); // the wait is over before the window is shown
        splash->show();
        const int result = driver::runEventLoop([] {});
        QCOMPARE(result, 0);
        QCOMPARE(dismissed, 1);
        delete splash;
    }

    void aSlowFirstShowStillHandsOver()
    {
        desktop::InstanceGuard guard(m_runtime.path());
        QPointer splash = new SplashWindow(guard);
        QTest::qSleep(1600);
        splash->show();
        QCOMPARE(driver::openLookupWindow(), nullptr); // not from inside show()
        const int result = driver::runEventLoop([] {
            QVERIFY(QTest::qWaitFor([] { return driver::openLookupWindow() != nullptr; }, 5000));
            driver::openMainWindow()->close();
        });
        QCOMPARE(result, 0);
    }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_test.moc"
