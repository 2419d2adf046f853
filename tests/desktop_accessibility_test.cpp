#include "qt/desktop/accessibility.h"
#include "window_driver.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

// A window with a control to hold the focus and both kinds of output box.
struct Form {
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("清除"), &window);
    QLineEdit *line = new QLineEdit(&window);
    QPlainTextEdit *plain = new QPlainTextEdit(&window);

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(line);
        layout->addWidget(plain);
    }

    bool show()
    {
        window.show();
        button->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }
};

void showIn(QWidget *box, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setText(text);
    else
        static_cast<QPlainTextEdit *>(box)->setPlainText(text);
}

} // namespace

class AssistiveTest : public QObject
{
    Q_OBJECT

private slots:
    // The announcement of an answer lasts as long as its box shows it.
    void anAnnouncementGoesWithItsAnswer_data()
    {
        QTest::addColumn<bool>("plainBox");
        QTest::addColumn<QString>("shownNext");
        QTest::addColumn<QString>("described");
        for (const bool plain : {false, true}) {
            const char *kind = plain ? "multi-line box" : "line box";
            QTest::addRow("%s emptied", kind) << plain << QString() << QString();
            QTest::addRow("%s given another answer", kind) << plain << QStringLiteral("0910") << QString();
            QTest::addRow("%s given the same answer again", kind) << plain << QStringLiteral("029")
                                                                   << QStringLiteral("029");
        }
    }

    void anAnnouncementGoesWithItsAnswer()
    {
        QFETCH(bool, plainBox);
        QFETCH(QString, shownNext);
        QFETCH(QString, described);
        Form form;
        QVERIFY(form.show());
        QWidget *box = plainBox ? static_cast<QWidget *>(form.plain) : form.line;
        showIn(box, QStringLiteral("029"));
        desktop::announce(QStringLiteral("029"), box);
        QCOMPARE(form.button->accessibleDescription(), QStringLiteral("029"));

        showIn(box, shownNext);
        QCOMPARE(form.button->accessibleDescription(), described);
    }

    void anAnnouncementMovesWithTheFocus()
    {
        Form form;
        QVERIFY(form.show());
        desktop::announce(QStringLiteral("010"), form.line);
        form.line->setFocus();
        desktop::announce(QStringLiteral("021"));
        QCOMPARE(form.button->accessibleDescription(), QString());
        QCOMPARE(form.line->accessibleDescription(), QStringLiteral("021"));
        form.line->setText(QStringLiteral("typed")); // the first one's box: nothing of it is left to withdraw
        QCOMPARE(form.line->accessibleDescription(), QStringLiteral("021"));
    }

    // A notice replaces an announcement where the focus is, and no control
    // keeps either. (What a reader is told is checked through the
    // accessibility bus: offscreen, Qt reports nothing.)
    void aNoticeKeepsNothing()
    {
        Form form;
        QVERIFY(form.show());
        form.plain->setPlainText(QStringLiteral("  北京"));
        desktop::announce(QStringLiteral("  北京"), form.plain);
        desktop::notify(QStringLiteral("已清除"));
        QCOMPARE(form.button->accessibleDescription(), QString());
        QCOMPARE(driver::carrying(&form.window, QStringLiteral("已清除")), QStringList());

        // Withdrawn for good: the box it told of no longer takes it back.
        form.line->setFocus();
        desktop::announce(QStringLiteral("010"));
        form.plain->clear();
        QCOMPARE(form.line->accessibleDescription(), QStringLiteral("010"));
    }

    void aDialogIsModalForToolsOnlyWhileModal()
    {
        auto *dialog = new QDialog;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        desktop::forAssistiveTools(dialog);
        const auto modal = [dialog] { return QAccessible::queryAccessibleInterface(dialog)->state().modal; };
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog)->role(), QAccessible::Dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(!modal());
        dialog->hide();

        bool modalWhileOpen = false;
        driver::whenModal([&](QWidget *open) { modalWhileOpen = open == dialog && modal(); });
        dialog->exec();
        QVERIFY(modalWhileOpen);
    }
};

QTEST_MAIN(AssistiveTest)
#include "desktop_accessibility_test.moc"
