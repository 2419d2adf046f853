// Thousands of window switches and About windows in one process: nothing
// may crash or leak, and memory must settle rather than creep.

#include "qt/windows/about_dialog.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QFile>
#include <QTest>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// What the process holds once freed memory has gone back. Under
// AddressSanitizer resident memory is mostly the sanitizer's own (shadow,
// quarantine, allocation stacks), so there the live heap is counted instead.
long heldKiB()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
#endif
}

LookupWindow *switchOnce(LookupWindow *from)
{
    const bool toCode = qobject_cast<RegionWindow *>(from) != nullptr;
    driver::command(from, toCode ? "quhaochaxun" : "diquchaxun")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return driver::openLookupWindow();
}

} // namespace

class LoadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The headless platform warns on every fixed-size window; thousands of
        // those would be logged and kept by the test's own logger.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    }

    void manySwitchesAndAboutWindows()
    {
        auto *main = new LookupHost;
        main->show();
        LookupWindow *window = main->lookup();
        for (int i = 0; i < 100; ++i)
            window = switchOnce(window);
        QVERIFY(window);
        const long settled = heldKiB();

        for (int i = 100; i < 2000; ++i) {
            window = switchOnce(window);
            QVERIFY2(window, qPrintable(QStringLiteral("switch %1").arg(i)));
        }
        int aboutWindows = 0;
        for (int i = 0; i < 500; ++i) {
            driver::whenModal([&](QWidget *modal) { aboutWindows += qobject_cast<AboutDialog *>(modal) != nullptr; });
            driver::command(window, "about")->trigger();
            QVERIFY(QTest::qWaitFor([&] { return aboutWindows == i + 1 && !QApplication::activeModalWidget(); }, 5000));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(aboutWindows, 500);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(QApplication::topLevelWidgets().count(main), 1);
        QCOMPARE(main->findChildren<LookupWindow *>().size(), 1);

        const long after = heldKiB();
        std::fprintf(stderr, "held after 100 switches: %ld KiB; after 2000 and 500 About windows: %ld KiB\n",
                     settled, after);
        QVERIFY2(after - settled <= 2048, qPrintable(QStringLiteral("grew by %1 KiB").arg(after - settled)));
        delete main;
    }
};

QTEST_MAIN(LoadTest)
#include "load_test.moc"
