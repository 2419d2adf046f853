#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using driver::child;

class RegionWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegionWindow> m_window;
    QComboBox *m_provinces = nullptr;
    QComboBox *m_cities = nullptr;
    QLineEdit *m_code = nullptr;

    QStringList cities() const
    {
        QStringList list;
        for (int i = 0; i < m_cities->count(); ++i)
            list << m_cities->itemText(i);
        return list;
    }

private slots:
    void init()
    {
        m_window = std::make_unique<RegionWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_provinces = child<QComboBox>(m_window.get(), "Combo1");
        m_cities = child<QComboBox>(m_window.get(), "Combo2");
        m_code = child<QLineEdit>(m_window.get(), "Text1");
        QVERIFY(m_provinces && m_cities && m_code);
    }

    void cleanup() { m_window.reset(); }

    void opensWithNothingChosen()
    {
        QCOMPARE(m_provinces->count(), 32);
        QCOMPARE(m_provinces->itemText(0), QStringLiteral("北京"));
        QCOMPARE(m_provinces->itemText(31), QStringLiteral("台湾省"));
        QCOMPARE(m_provinces->currentText(), QString());
        QCOMPARE(m_cities->count(), 0);
        QVERIFY(m_cities->isEnabled());
        QCOMPARE(m_code->text(), QString());
        QVERIFY(!m_code->isEnabled());
        QCOMPARE(QApplication::focusWidget(), m_provinces);
    }

    void theTypicalRequest()
    {
        QVERIFY(driver::choose(m_provinces, QStringLiteral("江苏省")));
        QCOMPARE(m_code->text(), QString());
        QVERIFY(m_cities->isEnabled());
        QCOMPARE(m_cities->count(), 29);
        QCOMPARE(m_cities->currentIndex(), -1);

        QVERIFY(driver::choose(m_cities, QStringLiteral("苏州")));
        QCOMPARE(m_code->text(), QStringLiteral("0512"));
    }

    void directCodeEntriesShowTheirCode_data()
    {
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("code");
        QTest::newRow("Beijing") << QStringLiteral("北京") << QStringLiteral("010");
        QTest::newRow("Hong Kong without a leading zero") << QStringLiteral("香港") << QStringLiteral("852");
        QTest::newRow("Chongqing") << QStringLiteral("重庆") << QStringLiteral("023");
    }

    void directCodeEntriesShowTheirCode()
    {
        QFETCH(QString, province);
        QFETCH(QString, code);
        QVERIFY(driver::choose(m_provinces, QStringLiteral("辽宁省")));
        QVERIFY(driver::choose(m_cities, QStringLiteral("大连")));
        QCOMPARE(m_code->text(), QStringLiteral("0411"));

        QVERIFY(driver::choose(m_provinces, province));
        QCOMPARE(m_code->text(), code);
        QCOMPARE(m_cities->count(), 0);
        QVERIFY(!m_cities->isEnabled());
    }

    void aProvinceAfterADirectCodeEmptiesTheCode()
    {
        QVERIFY(driver::choose(m_provinces, QStringLiteral("北京")));
        QVERIFY(driver::choose(m_provinces, QStringLiteral("台湾省")));
        QCOMPARE(m_code->text(), QString());
        QVERIFY(m_cities->isEnabled());
        QCOMPARE(cities(), QStringList{QStringLiteral("台北")});
    }

    void choosingTheSameProvinceAgainStartsOver()
    {
        QVERIFY(driver::choose(m_provinces, QStringLiteral("辽宁省")));
        const QStringList first = cities();
        QVERIFY(driver::choose(m_cities, QStringLiteral("大连")));
        QVERIFY(driver::choose(m_provinces, QStringLiteral("辽宁省")));
        QCOMPARE(m_code->text(), QString());
        QCOMPARE(cities(), first);
        QCOMPARE(m_cities->currentIndex(), -1);
    }

    void yuyaoShowsItsOwnCodeAfterAnotherCity()
    {
        QVERIFY(driver::choose(m_provinces, QStringLiteral("浙江省")));
        QCOMPARE(m_cities->count(), 39);
        QVERIFY(driver::choose(m_cities, QStringLiteral("湖州")));
        QCOMPARE(m_code->text(), QStringLiteral("0572"));
        QVERIFY(driver::choose(m_cities, QStringLiteral("余姚")));
        QCOMPARE(m_code->text(), QStringLiteral("0574"));
    }

    void theKeyboardChoosesToo()
    {
        // Down on the closed province box chooses the next entry.
        m_provinces->setFocus();
        QTest::keyClick(m_provinces, Qt::Key_Down);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("北京"));
        QCOMPARE(m_code->text(), QStringLiteral("010"));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(m_provinces, Qt::Key_Down);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("辽宁省"));
        QCOMPARE(m_code->text(), QString());

        QTest::keyClick(m_provinces, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_cities);
        QTest::keyClick(m_cities, Qt::Key_Down);
        QCOMPARE(m_code->text(), QStringLiteral("024"));
        QTest::keyClick(m_cities, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_provinces); // the code box never takes the focus
    }

    void onlyAChoiceRunsALookup()
    {
        // The program filling or resetting the boxes is not a choice.
        QVERIFY(driver::choose(m_provinces, QStringLiteral("江苏省")));
        m_cities->setCurrentIndex(2);
        QCOMPARE(m_code->text(), QString());
    }

    void theCodeBoxTakesNoTyping()
    {
        QVERIFY(driver::choose(m_provinces, QStringLiteral("北京")));
        QTest::mouseClick(m_code, Qt::LeftButton);
        QTest::keyClicks(m_window.get(), QStringLiteral("99"));
        QCOMPARE(m_code->text(), QStringLiteral("010"));
        QVERIFY(!m_code->hasFocus());
    }

    // Qt on Linux names a drop-down list by its entry once one is chosen, and
    // offers the entry in no form a screen reader reads. These keep their
    // names, with the entry as their value and as their text.
    void screenReadersHearTheBoxesByNameWithTheEntryChosen()
    {
        const auto said = [](QWidget *box) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
            QAccessibleTextInterface *text = iface->textInterface();
            return QStringList{iface->text(QAccessible::Name), iface->text(QAccessible::Value),
                               text != nullptr ? text->text(0, text->characterCount()) : QStringLiteral("(no text)")};
        };
        QCOMPARE(said(m_provinces), (QStringList{QStringLiteral("省份"), QString(), QString()}));
        QVERIFY(driver::choose(m_provinces, QStringLiteral("江苏省")));
        QVERIFY(driver::choose(m_cities, QStringLiteral("苏州")));
        QCOMPARE(said(m_provinces), (QStringList{QStringLiteral("省份"), QStringLiteral("江苏省"), QStringLiteral("江苏省")}));
        QCOMPARE(said(m_cities), (QStringList{QStringLiteral("城市"), QStringLiteral("苏州"), QStringLiteral("苏州")}));
        QAccessibleInterface *provinces = QAccessible::queryAccessibleInterface(m_provinces);
        QCOMPARE(provinces->role(), QAccessible::ComboBox);
        QCOMPARE(provinces->child(0)->childCount(), 32); // the entries, in its list
        QCOMPARE(provinces->child(0)->parent(), provinces);
    }

    // An assistive tool chooses by selecting an entry of the list, which
    // stays closed: that is the user's choice, with all that follows from it.
    void anAssistiveToolChoosesAsTheUserDoes()
    {
        const auto select = [](QComboBox *box, const QString &text) {
            QAccessibleInterface *list = QAccessible::queryAccessibleInterface(box)->child(0);
            QAccessibleInterface *cell = list->tableInterface()->cellAt(box->findText(text), 0);
            cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCoreApplication::processEvents(); // the box takes the choice from the next turn of the loop
        };
        QSignalSpy chosen(m_provinces, &QComboBox::activated);
        select(m_provinces, QStringLiteral("浙江省"));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(m_provinces->currentText(), QStringLiteral("浙江省"));
        QCOMPARE(m_cities->count(), 39);
        select(m_cities, QStringLiteral("余姚"));
        QCOMPARE(m_code->text(), QStringLiteral("0574"));
        select(m_provinces, QStringLiteral("北京"));
        QCOMPARE(m_code->text(), QStringLiteral("010"));
        QVERIFY(!m_cities->isEnabled());

        // Opening the list, and the mouse over an entry, choose nothing.
        QVERIFY(driver::choose(m_provinces, QStringLiteral("江苏省")));
        m_provinces->showPopup();
        m_provinces->view()->setCurrentIndex(m_provinces->model()->index(3, 0));
        m_provinces->hidePopup();
        QCOMPARE(m_provinces->currentText(), QStringLiteral("江苏省"));
        QCOMPARE(chosen.count(), 3);
    }

    // A reader that follows the focus presents what the code box shows: it
    // is the description of the box the user chose from (Qt reports each
    // change of it), and the focus stays. The events themselves are checked
    // through the real accessibility bus, end to end.
    void theCodeIsAnnouncedOnTheFocusedBox()
    {
        m_provinces->setFocus();
        QTest::keyClick(m_provinces, Qt::Key_Down); // 北京
        QCOMPARE(m_provinces->accessibleDescription(), QStringLiteral("010"));
        QCOMPARE(QApplication::focusWidget(), m_provinces);

        for (int i = 0; i < 5; ++i)
            QTest::keyClick(m_provinces, Qt::Key_Down); // 辽宁省: no code
        QTest::keyClick(m_provinces, Qt::Key_Tab);
        QTest::keyClick(m_cities, Qt::Key_Down); // 沈阳
        QCOMPARE(m_cities->accessibleDescription(), QStringLiteral("024"));
        QCOMPARE(QApplication::focusWidget(), m_cities);
        QVERIFY(!m_code->isEnabled());
        // The box chosen from before says it no longer.
        QCOMPARE(m_provinces->accessibleDescription(), QString());
    }

    void isToldApartFromTheCodeWindow()
    {
        QCOMPARE(QAccessible::queryAccessibleInterface(m_window.get())->text(QAccessible::Description),
                 QStringLiteral("地区查询"));
    }
};

QTEST_MAIN(RegionWindowTest)
#include "region_window_test.moc"
