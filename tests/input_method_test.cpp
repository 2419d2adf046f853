// Input methods (pinyin and the like) in the province, city and code boxes,
// driven as one drives them: the events an input method sends, and keys.

#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using driver::child;

namespace {

void commit(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

void compose(QWidget *box, const QString &preedit)
{
    QInputMethodEvent event(preedit, {{QInputMethodEvent::Cursor, int(preedit.size()), 1}});
    QApplication::sendEvent(box, &event);
}

QVariant query(QWidget *box, Qt::InputMethodQuery what)
{
    QInputMethodQueryEvent event(what);
    QApplication::sendEvent(box, &event);
    return event.value(what);
}

QStringList entries(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// How a composition is cut off before it is committed.
enum class Leaving { TabToAButton, AnotherWindowActive, WindowHidden };

} // namespace

class InputMethodTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegionWindow> m_region;
    QComboBox *m_provinces = nullptr;
    QComboBox *m_cities = nullptr;
    QLineEdit *m_code = nullptr;

    void openRegionWindow()
    {
        m_region = std::make_unique<RegionWindow>();
        m_region->show();
        QVERIFY(QTest::qWaitForWindowActive(m_region.get()));
        m_provinces = child<QComboBox>(m_region.get(), "Combo1");
        m_cities = child<QComboBox>(m_region.get(), "Combo2");
        m_code = child<QLineEdit>(m_region.get(), "Text1");
        QVERIFY(m_provinces && m_cities && m_code);
        QCOMPARE(QApplication::focusWidget(), m_provinces);
    }

private slots:
    void init() { openRegionWindow(); }
    void cleanup() { m_region.reset(); }

    void theBoxesAreOpenToInputMethods()
    {
        for (QComboBox *box : {m_provinces, m_cities}) {
            QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled));
            QVERIFY(query(box, Qt::ImEnabled).toBool());
        }
        QVERIFY(QGuiApplication::inputMethod()->queryFocusObject(Qt::ImEnabled, {}).toBool());
    }

    void aCommitChoosesTheFirstEntryItBegins_data()
    {
        QTest::addColumn<QString>("before"); // chosen first, with the mouse
        QTest::addColumn<QString>("committed");
        QTest::addColumn<QString>("province");
        QTest::addColumn<int>("cities");
        QTest::addColumn<QString>("code");
        const auto row = [](const char *name, const char *before, const char *committed, const char *province,
                            int cities, const char *code = "") {
            QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(committed)
                                << QString::fromUtf8(province) << cities << QString::fromUtf8(code);
        };
        row("a name's start", "", "江苏", "江苏省", 29);
        row("one character, two provinces", "", "江", "江苏省", 29);
        row("the second of them", "", "江西", "江西省", 13);
        row("a whole name", "", "湖南省", "湖南省", 14);
        row("a code of its own", "", "香港", "香港", 0, "852");
        // Qt's own search would go on to the next entry that begins with it.
        row("the first again, not the next", "江苏省", "江", "江苏省", 29);
        row("after a direct code", "北京", "辽", "辽宁省", 13);
    }

    void aCommitChoosesTheFirstEntryItBegins()
    {
        QFETCH(QString, before);
        QFETCH(QString, committed);
        QFETCH(QString, province);
        QFETCH(int, cities);
        QFETCH(QString, code);
        if (!before.isEmpty()) {
            QVERIFY(driver::choose(m_provinces, before));
            if (m_cities->count() > 0)
                QVERIFY(driver::choose(m_cities, m_cities->itemText(1)));
            m_provinces->setFocus();
        }
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        QSignalSpy chosenText(m_provinces, &QComboBox::textActivated);
        commit(m_provinces, committed);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().first().toInt(), m_provinces->findText(province));
        QCOMPARE(chosenText.count(), 1);
        QCOMPARE(m_provinces->currentText(), province);
        // Just as a choice from the list: a fresh city list, nothing chosen in it.
        QCOMPARE(m_cities->count(), cities);
        QCOMPARE(m_cities->isEnabled(), cities > 0);
        QCOMPARE(m_cities->currentIndex(), -1);
        QCOMPARE(m_code->text(), code);
        QCOMPARE(m_provinces->accessibleDescription(), code.isEmpty() ? province : code);
    }

    void aCommitInTheCityBoxChoosesACity()
    {
        commit(m_provinces, QStringLiteral("江苏"));
        QTest::keyClick(m_provinces, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_cities);
        QSignalSpy chosen(m_cities, &QComboBox::activated);
        commit(m_cities, QStringLiteral("苏州"));
        QCOMPARE(m_cities->currentText(), QStringLiteral("苏州"));
        QCOMPARE(m_code->text(), QStringLiteral("0512"));
        commit(m_cities, QStringLiteral("南")); // 南京, before 南通
        QCOMPARE(m_cities->currentText(), QStringLiteral("南京"));
        QCOMPARE(m_code->text(), QStringLiteral("025"));
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("江苏省"));
    }

    void aTextThatBeginsNoEntryChangesNothing_data()
    {
        QTest::addColumn<QString>("committed");
        QTest::newRow("pinyin let through") << QStringLiteral("jiangsu");
        QTest::newRow("a city in the province box") << QStringLiteral("苏州");
        QTest::newRow("more than a name") << QStringLiteral("浙江省杭州");
        QTest::newRow("full-width digits") << QStringLiteral("０５７１");
    }

    void aTextThatBeginsNoEntryChangesNothing()
    {
        QFETCH(QString, committed);
        QVERIFY(driver::choose(m_provinces, QStringLiteral("浙江省")));
        QVERIFY(driver::choose(m_cities, QStringLiteral("杭州")));
        m_provinces->setFocus();
        const QImage shown = m_provinces->grab().toImage();
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        commit(m_provinces, committed);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("浙江省"));
        QCOMPARE(m_cities->currentText(), QStringLiteral("杭州"));
        QCOMPARE(m_code->text(), QStringLiteral("0571"));
        QCOMPARE(m_provinces->grab().toImage(), shown);
    }

    // The box shows entries only: what is being composed shows in the input
    // method's own window, and chooses nothing until it is committed.
    void aCompositionShowsNothingUntilCommitted()
    {
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        const QImage shown = m_provinces->grab().toImage();
        for (const QString &preedit : {QStringLiteral("jiang su"), QStringLiteral("江苏")}) {
            compose(m_provinces, preedit);
            QCOMPARE(m_provinces->currentText(), QString());
            QCOMPARE(m_provinces->grab().toImage(), shown);
        }
        QCOMPARE(chosen.count(), 0);
        commit(m_provinces, QStringLiteral("江苏"));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("江苏省"));
        QCOMPARE(entries(m_cities).value(2), QStringLiteral("苏州"));
    }

    void aCompositionCutOffByTheFocusChoosesNothing()
    {
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        compose(m_provinces, QStringLiteral("江苏"));
        QTest::keyClick(m_provinces, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_cities);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(m_provinces->currentText(), QString());
        QCOMPARE(m_cities->count(), 0);
    }

    // Keys that bring characters without an input method (a keyboard layout
    // of its own) choose by the first character of a name, as Qt does.
    void aKeyStillChoosesByTheFirstCharacter()
    {
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        QTest::sendKeyEvent(QTest::Click, m_provinces, Qt::Key_unknown, QStringLiteral("江"), Qt::NoModifier);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("江苏省"));
        QCOMPARE(m_cities->count(), 29);
        QCOMPARE(m_cities->currentIndex(), -1);
        QCoreApplication::processEvents(); // a choice by an assistive tool would come now
        QCOMPARE(chosen.count(), 1);
    }

    // The candidates open under the start of the name, in the box typed into.
    void theCandidatesOpenAtTheBoxTypedInto()
    {
        for (QComboBox *box : {m_provinces, m_cities}) {
            box->setFocus();
            const QRect cursor = query(box, Qt::ImCursorRectangle).toRect();
            QVERIFY2(box->rect().contains(cursor), qPrintable(box->objectName()));
            QVERIFY(cursor.left() < box->width() / 4);
            QVERIFY(cursor.height() > box->height() / 2);
            // Where Qt tells the input method, in the window.
            const QRectF inWindow = QGuiApplication::inputMethod()->cursorRectangle();
            QCOMPARE(inWindow.toRect(), cursor.translated(box->mapTo(m_region.get(), QPoint())));
        }
    }

    // --- the code box ----------------------------------------------------

    void enterWhileComposingIsTheInputMethods()
    {
        CodeWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *input = child<QLineEdit>(&window, "Text1");
        auto *output = child<QPlainTextEdit>(&window, "Text2");
        QCOMPARE(QApplication::focusWidget(), input);
        QTest::keyClicks(input, QStringLiteral("057"));
        compose(input, QStringLiteral("yi"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(output->toPlainText(), QStringLiteral("  ")); // no query ran
        QCOMPARE(input->text(), QStringLiteral("057"));
        commit(input, QStringLiteral("1"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(output->toPlainText(), QStringLiteral("  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"));
    }

    void aCompositionCutOffLeavesNothingInTheCodeBox_data()
    {
        QTest::addColumn<Leaving>("leaving");
        QTest::newRow("Tab to a button") << Leaving::TabToAButton;
        QTest::newRow("another window active") << Leaving::AnotherWindowActive;
        QTest::newRow("the window hidden") << Leaving::WindowHidden;
    }

    // What the box shows, once the user has left it, is its text and nothing
    // of a composition left on show.
    void aCompositionCutOffLeavesNothingInTheCodeBox()
    {
        QFETCH(Leaving, leaving);
        m_region.reset();
        CodeWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *input = child<QLineEdit>(&window, "Text1");
        QWidget elsewhere;
        elsewhere.setGeometry(window.geometry().translated(0, window.height() + 40));
        const auto leave = [&] {
            switch (leaving) {
            case Leaving::TabToAButton:
                QTest::keyClick(input, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&window, "Command1"));
                break;
            case Leaving::AnotherWindowActive:
                elsewhere.show();
                elsewhere.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
                break;
            case Leaving::WindowHidden:
                window.hide();
                break;
            }
        };
        const auto comeBack = [&] {
            elsewhere.hide();
            window.show();
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            input->setFocus();
        };

        QTest::keyClicks(input, QStringLiteral("05"));
        leave();
        const QImage left = input->grab().toImage();
        comeBack();
        compose(input, QStringLiteral("jiang"));
        leave();
        QCOMPARE(input->text(), QStringLiteral("05"));
        QCOMPARE(input->grab().toImage(), left);
        comeBack();
        QCOMPARE(input->text(), QStringLiteral("05"));
        QTest::keyClicks(input, QStringLiteral("12"));
        QCOMPARE(input->text(), QStringLiteral("0512"));
    }
};

QTEST_MAIN(InputMethodTest)
#include "input_method_test.moc"
