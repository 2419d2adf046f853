#include "qt/windows/about_dialog.h"
#include "tessaline/version.h"
#include "window_driver.h"

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QTest>

using driver::child;

class AboutDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void showsTheFixedDesign()
    {
        AboutDialog about;
        QCOMPARE(about.objectName(), QStringLiteral("关于"));
        QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(about.size(), QSize(250, 115));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(child<QLabel>(&about, "lblTitle")->text(), QStringLiteral("Tessaline"));
        QCOMPARE(child<QLabel>(&about, "lblVersion")->text(), QStringLiteral("版本：" TESSALINE_VERSION));
        QVERIFY(child<QLabel>(&about, "lblDisclaimer")->text().contains(QStringLiteral("Velmora")));
        QCOMPARE(child<QLabel>(&about, "Label1")->text().count(QLatin1Char('\n')), 2); // three lines
        QCOMPARE(about.findChildren<QWidget *>(QStringLiteral("Line1")).size(), 2);

        const QPixmap icon = child<QLabel>(&about, "picIcon")->pixmap();
        QCOMPARE(icon.size(), QSize(32, 32));
    }

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
