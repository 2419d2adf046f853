#include "qt/windows/region_window.h"

#include "design/windows.h"
#include "directory/directory.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/choose_by_name.h"
#include "qt/look/caption.h"
#include "qt/look/colours.h"
#include "qt/look/design.h"
#include "qt/look/style.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace windows {

RegionWindow::RegionWindow(QWidget *parent)
    : LookupWindow(Kind::Region, design::region::kWindow, design::lookup::kByRegion, parent)
{
    QWidget *area = client();

    QLabel *prompt = look::caption(area, design::region::kPrompt);
    desktop::introduce(this, prompt->text());

    m_provinces = new QComboBox(area);
    look::place(m_provinces, design::region::kProvinces);
    look::fitDropDownText(m_provinces);
    desktop::forAssistiveTools(m_provinces, look::text(design::region::kProvinces.spokenName));
    new desktop::ChooseByName(m_provinces);
    m_provinces->addItems(look::texts(directory::provinceNames()));
    m_provinces->setCurrentIndex(-1);

    m_cities = new QComboBox(area);
    // No palette of its own: the style's list is already black on white, and
    // a palette per window would give each one fresh style pixmap-cache entries.
    look::place(m_cities, design::region::kCities);
    look::fitDropDownText(m_cities);
    desktop::forAssistiveTools(m_cities, look::text(design::region::kCities.spokenName));
    new desktop::ChooseByName(m_cities);

    m_code = new QLineEdit(area);
    look::place(m_code, design::region::kCode);
    m_code->setAccessibleName(look::text(design::region::kCode.spokenName));
    look::setBoxColours(m_code, design::region::kCode);
    m_code->setEnabled(false); // only the program writes the code

    look::setTabOrder(this, design::region::kTabOrder);

    connect(m_provinces, &QComboBox::activated, this, &RegionWindow::chooseProvince);
    connect(m_cities, &QComboBox::activated, this, &RegionWindow::chooseCity);
}

void RegionWindow::chooseProvince()
{
    const QByteArray text = m_provinces->currentText().toUtf8();
    const directory::ProvinceSelection selection = directory::selectProvince(look::utf8View(text));
    if (!selection.matched)
        return;
    if (!selection.cityBoxEnabled) {
        m_cities->clear();
        m_cities->setEnabled(false);
        showAnswer(m_code, look::text(selection.codeText));
        return;
    }
    m_code->clear();
    m_cities->clear();
    m_cities->setEnabled(true);
    m_cities->addItems(look::texts(selection.cities));
    m_cities->setCurrentIndex(-1); // filling the list must not choose a city
}

void RegionWindow::chooseCity()
{
    const QByteArray text = m_cities->currentText().toUtf8();
    if (const auto code = directory::codeForCity(look::utf8View(text)))
        showAnswer(m_code, look::text(*code));
}

} // namespace windows
