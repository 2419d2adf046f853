#include "windows/region_window.h"
#include "window_driver.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
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
        QCOMPARE(m_window->objectName(), QStringLiteral("Tessaline地区"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tessaline V08.05"));
        QCOMPARE(m_provinces->count(), 32);
        QCOMPARE(m_provinces->itemText(0), QStringLiteral("北京"));
        QCOMPARE(m_provinces->itemText(31), QStringLiteral("台湾省"));
        QCOMPARE(m_provinces->currentText(), QString());
        QCOMPARE(m_cities->count(), 0);
        QVERIFY(m_cities->isEnabled());
        QCOMPARE(m_code->text(), QString());
        QVERIFY(!m_code->isEnabled());
        QCOMPARE(child<QLabel>(m_window.get(), "Label3")->text(), QStringLiteral("请选择省份和市区进行查询！"));
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

    void screenReadersHearCleanNames()
    {
        const auto name = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(name(m_provinces), QStringLiteral("省份"));
        QCOMPARE(name(m_cities), QStringLiteral("城市"));
        QCOMPARE(name(m_code), QStringLiteral("区号"));
    }

    void keepsItsDesignSize()
    {
        const QWidget *client = m_window->centralWidget();
        QCOMPARE(client->size() + QSize(0, m_window->statusBar()->height()), QSize(306, 101));
        QCOMPARE(m_provinces->geometry(), QRect(16, 48, 97, 20));
        QCOMPARE(m_code->geometry(), QRect(224, 48, 73, 20));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QVERIFY(!(m_window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }
};

QTEST_MAIN(RegionWindowTest)
#include "region_window_test.moc"
