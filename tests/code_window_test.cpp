#include "qt/windows/code_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using driver::child;

namespace {
const QString kPrompt = QStringLiteral("  请输入区号，然后进行查询！");
const QString kError = QStringLiteral("  您所查询的区号错误！请重新输入！");
} // namespace

class CodeWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CodeWindow> m_window;
    QLineEdit *m_input = nullptr;
    QPlainTextEdit *m_output = nullptr;
    QPushButton *m_query = nullptr;
    QPushButton *m_clear = nullptr;

    // Keys for plain ASCII; anything else arrives as an input method commits it.
    void type(const QString &text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(m_input, QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(m_input, &commit);
            }
        }
    }

private slots:
    void init()
    {
        m_window = std::make_unique<CodeWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_input = child<QLineEdit>(m_window.get(), "Text1");
        m_output = child<QPlainTextEdit>(m_window.get(), "Text2");
        m_query = child<QPushButton>(m_window.get(), "Command1");
        m_clear = child<QPushButton>(m_window.get(), "Command2");
        QVERIFY(m_input && m_output && m_query && m_clear);
    }

    void cleanup() { m_window.reset(); }

    void opensReadyForACode()
    {
        QCOMPARE(m_input->text(), QString());
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  "));
        QVERIFY(!m_output->isEnabled());
        QCOMPARE(QApplication::focusWidget(), m_input);
    }

    void answersWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer");
        QTest::newRow("the typical request") << QStringLiteral("0512") << QStringLiteral("  江苏省苏州&吴江");
        QTest::newRow("empty box") << QString() << kPrompt;
        QTest::newRow("a blank is not empty") << QStringLiteral(" ") << kError;
        QTest::newRow("Hong Kong") << QStringLiteral("852") << QStringLiteral("  香港");
        QTest::newRow("a zero before Hong Kong") << QStringLiteral("0852") << QStringLiteral("  贵州省遵义");
        QTest::newRow("full-width digits") << QStringLiteral("０１０") << kError;
        QTest::newRow("letters") << QStringLiteral("abcd") << kError;
    }

    void answersWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        type(typed);
        QTest::mouseClick(m_query, Qt::LeftButton);
        QCOMPARE(m_output->toPlainText(), answer);
        QCOMPARE(m_input->text(), typed); // left as typed, to correct and ask again
    }

    void enterQueriesOnceAndKeepsTheFocus()
    {
        QSignalSpy clicks(m_query, &QPushButton::clicked);
        type(QStringLiteral("0512"));
        QTest::keyClick(m_input, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  江苏省苏州&吴江"));
        QCOMPARE(QApplication::focusWidget(), m_input);

        QTest::keyClick(m_input, Qt::Key_Backspace);
        type(QStringLiteral("3"));
        QTest::keyClick(m_input, Qt::Key_Enter); // the keypad's Enter
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  江苏省南通&海门&启东&如东、如皋&海安"));
    }

    void takesAtMostFourCharacters()
    {
        type(QStringLiteral("05121"));
        QCOMPARE(m_input->text(), QStringLiteral("0512"));

        m_input->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("051234"));
        QTest::keyClick(m_input, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_input->text(), QStringLiteral("0512"));
    }

    // The limit counts characters: one outside the Basic Multilingual Plane
    // is two UTF-16 units, and is taken whole or not at all.
    void theLimitCountsCharactersWhole_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        const QString smile = QStringLiteral("\U0001F600");
        QTest::newRow("digits past the limit") << QString() << 0 << QStringLiteral("051234") << QStringLiteral("0512");
        QTest::newRow("a wide character as the fourth") << QString() << 0 << QStringLiteral("051") + smile + QStringLiteral("2")
                                                        << QStringLiteral("051") + smile;
        QTest::newRow("a wide character first") << QString() << 0 << smile + QStringLiteral("0512") << smile + QStringLiteral("051");
        QTest::newRow("a wide character after four") << QStringLiteral("0512") << 4 << smile << QStringLiteral("0512");
        QTest::newRow("into the middle, as far as there is room") << QStringLiteral("05") << 1 << QStringLiteral("abc")
                                                                  << QStringLiteral("0ab5");
        QTest::newRow("into a full box") << QStringLiteral("0512") << 2 << QStringLiteral("9") << QStringLiteral("0512");
    }

    void theLimitCountsCharactersWhole()
    {
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        type(before);
        m_input->setCursorPosition(cursor);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(m_input, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_input->text(), after);
        QTest::keyClick(m_input, Qt::Key_Return);
        // The query gets the characters as they stand, none of them split.
        const QString answer = m_output->toPlainText();
        QCOMPARE(answer, after == QStringLiteral("0512") ? QStringLiteral("  江苏省苏州&吴江") : kError);
    }

    void aWideCharacterTypedAsTheFourthIsTakenWhole()
    {
        type(QStringLiteral("051"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("\U0001F600"));
        QApplication::sendEvent(m_input, &commit);
        QCOMPARE(m_input->text(), QStringLiteral("051\U0001F600"));
        type(QStringLiteral("2")); // a fifth
        QCOMPARE(m_input->text(), QStringLiteral("051\U0001F600"));
        QTest::keyClick(m_input, Qt::Key_Backspace); // the whole character goes
        QCOMPARE(m_input->text(), QStringLiteral("051"));
    }

    void clearEmptiesBothBoxes()
    {
        type(QStringLiteral("010"));
        QTest::mouseClick(m_query, Qt::LeftButton);
        QTest::mouseClick(m_clear, Qt::LeftButton);
        QCOMPARE(m_input->text(), QString());
        QCOMPARE(m_output->toPlainText(), QString()); // not the two blanks it opened with
        QCOMPARE(QApplication::focusWidget(), m_input);

        type(QStringLiteral("02"));
        QTest::keyClick(m_input, Qt::Key_Return);
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  台湾省台北"));
    }

    void enterOnAFocusedButtonClicksThatButton()
    {
        type(QStringLiteral("010"));
        QTest::keyClick(m_input, Qt::Key_Tab);
        QTest::keyClick(m_query, Qt::Key_Return);
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  北京"));
        QTest::keyClick(m_query, Qt::Key_Tab);
        QTest::keyClick(m_clear, Qt::Key_Return);
        QCOMPARE(m_output->toPlainText(), QString());
        QCOMPARE(QApplication::focusWidget(), m_input);
    }

    void theOutputTakesNoTyping()
    {
        QTest::mouseClick(m_output->viewport(), Qt::LeftButton);
        QTest::keyClicks(m_window.get(), QStringLiteral("x"));
        QCOMPARE(m_output->toPlainText(), QStringLiteral("  "));
    }

    void theAnswerIsAnnouncedOnTheFocusedControl()
    {
        type(QStringLiteral("0512"));
        QTest::keyClick(m_input, Qt::Key_Return);
        QCOMPARE(m_input->accessibleDescription(), QStringLiteral("  江苏省苏州&吴江"));
        QCOMPARE(QApplication::focusWidget(), m_input);
        QVERIFY(!m_output->isEnabled());

        m_input->clear();
        QTest::keyClick(m_input, Qt::Key_Tab); // on 查询, pressed with the keyboard: the prompt
        QTest::keyClick(m_query, Qt::Key_Space);
        QCOMPARE(m_query->accessibleDescription(), kPrompt);
        QCOMPARE(m_input->accessibleDescription(), QString());
        QCOMPARE(QAccessible::queryAccessibleInterface(m_window.get())->text(QAccessible::Description),
                 QStringLiteral("区号查询"));
    }

    // 清除 leaves the answer nowhere a reader looks: not as the code box's
    // description, where it was announced, nor as the notice on 清除. (What a
    // reader is told, and in which order, is checked through the
    // accessibility bus: offscreen, Qt reports nothing.)
    void clearingLeavesNoAnswerForAReader()
    {
        const QString answer = QStringLiteral("  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安");
        type(QStringLiteral("0571"));
        QTest::keyClick(m_input, Qt::Key_Return);
        QCOMPARE(m_input->accessibleDescription(), answer);
        QTest::keyClick(m_input, Qt::Key_Tab);
        QTest::keyClick(m_query, Qt::Key_Tab);
        QTest::keyClick(m_clear, Qt::Key_Space);
        const QStringList stale = driver::carrying(m_window.get(), answer.trimmed());
        QVERIFY2(stale.isEmpty(), qPrintable(stale.join(u',')));
        QCOMPARE(m_clear->accessibleDescription(), QString());
        QCOMPARE(QApplication::focusWidget(), m_input);
    }

    void screenReadersHearCleanNames()
    {
        const auto name = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(name(m_input), QStringLiteral("区号"));
        QCOMPARE(name(m_output), QStringLiteral("查询结果"));
        QCOMPARE(name(m_query), QStringLiteral("查询"));
        QCOMPARE(name(m_clear), QStringLiteral("清除"));
    }
};

QTEST_MAIN(CodeWindowTest)
#include "code_window_test.moc"
