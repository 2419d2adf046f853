#include "qt/windows/region_window.h"

#include "directory/directory.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/choose_by_name.h"
#include "qt/look/caption.h"
#include "qt/look/colours.h"
#include "qt/look/faces.h"
#include "qt/look/style.h"
#include "qt/look/twips.h"
#include "qt/windows/directory_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace windows {

RegionWindow::RegionWindow(QWidget *parent)
    : LookupWindow(Kind::Region, QStringLiteral("Tessaline地区"), QStringLiteral("地区查询"), parent)
{
    QWidget *area = client();

    QLabel *prompt = look::caption(area, "Label3", QStringLiteral("请选择省份和市区进行查询！"), look::songFont(15));
    prompt->setGeometry(look::twipRect(360, 120, 3975, 375));
    desktop::introduce(this, prompt->text());

    m_provinces = new QComboBox(area);
    m_provinces->setObjectName(QStringLiteral("Combo1"));
    m_provinces->setGeometry(look::twipRect(240, 720, 1455, 300));
    look::fitDropDownText(m_provinces);
    desktop::forAssistiveTools(m_provinces, QStringLiteral("省份"));
    new desktop::ChooseByName(m_provinces);
    m_provinces->addItems(fromUtf8Views(directory::provinceNames()));
    m_provinces->setCurrentIndex(-1);

    m_cities = new QComboBox(area);
    m_cities->setObjectName(QStringLiteral("Combo2"));
    // No palette of its own: the style's list is already black on white, and
    // a palette per window would give each one fresh style pixmap-cache entries.
    m_cities->setGeometry(look::twipRect(1800, 720, 1455, 300));
    look::fitDropDownText(m_cities);
    desktop::forAssistiveTools(m_cities, QStringLiteral("城市"));
    new desktop::ChooseByName(m_cities);

    m_code = new QLineEdit(area);
    m_code->setObjectName(QStringLiteral("Text1"));
    m_code->setAccessibleName(QStringLiteral("区号"));
    m_code->setGeometry(look::twipRect(3360, 720, 1095, 300));
    m_code->setFont(look::songFont(12));
    look::setBoxColours(m_code, look::kWhite, look::kBlack);
    m_code->setEnabled(false); // only the program writes the code

    setTabOrder(m_provinces, m_cities);
    m_provinces->setFocus();

    connect(m_provinces, &QComboBox::activated, this, &RegionWindow::chooseProvince);
    connect(m_cities, &QComboBox::activated, this, &RegionWindow::chooseCity);
}

void RegionWindow::chooseProvince()
{
    const QByteArray text = m_provinces->currentText().toUtf8();
    const directory::ProvinceSelection selection = directory::selectProvince(utf8View(text));
    if (!selection.matched)
        return;
    if (!selection.cityBoxEnabled) {
        m_cities->clear();
        m_cities->setEnabled(false);
        showAnswer(m_code, fromUtf8View(selection.codeText));
        return;
    }
    m_code->clear();
    m_cities->clear();
    m_cities->setEnabled(true);
    m_cities->addItems(fromUtf8Views(selection.cities));
    m_cities->setCurrentIndex(-1); // filling the list must not choose a city
}

void RegionWindow::chooseCity()
{
    const QByteArray text = m_cities->currentText().toUtf8();
    if (const auto code = directory::codeForCity(utf8View(text)))
        showAnswer(m_code, fromUtf8View(*code));
}

} // namespace windows
