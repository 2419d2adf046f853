#include "qt/windows/about_dialog.h"
#include "window_driver.h"

#include <QAccessible>
#include <QPointer>
#include <QTest>

class AboutDialogTest : public QObject
{
    Q_OBJECT

private slots:
    // Modal for assistive tools too, while it is open.
    void isModalForAssistiveTools()
    {
        QPointer about = new AboutDialog;
        QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(about);
        QCOMPARE(seen->role(), QAccessible::Dialog);
        QVERIFY(!seen->state().modal);
        bool modal = false;
        driver::whenModal([&](QWidget *open) {
            modal = open == about && QAccessible::queryAccessibleInterface(open)->state().modal;
        });
        about->exec();
        QVERIFY(modal);
    }

    void enterAndEscapeDoNothing()
    {
        QPointer about = new AboutDialog;
        about->show();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTest::keyClick(about, Qt::Key_Escape);
        QTest::keyClick(about, Qt::Key_Return);
        QTest::keyClick(about, Qt::Key_Enter);
        QVERIFY(about && about->isVisible());

        about->close(); // what the title bar's close button does
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull());
    }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
