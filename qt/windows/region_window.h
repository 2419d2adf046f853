#pragma once

// Lookup by region: choose a province, then a city, and read the area code.

#include "qt/windows/lookup_window.h"

class QComboBox;
class QLineEdit;

namespace windows {

class RegionWindow : public LookupWindow
{
    Q_OBJECT

public:
    explicit RegionWindow(QWidget *parent = nullptr);

private:
    void chooseProvince();
    void chooseCity();

    QComboBox *m_provinces = nullptr; // Combo1
    QComboBox *m_cities = nullptr;    // Combo2
    QLineEdit *m_code = nullptr;      // Text1
};

} // namespace windows
