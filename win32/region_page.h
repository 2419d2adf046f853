#pragma once

// Lookup by region (Tessaline地区): a province, then a city, and the code.

#include "win32/page.h"

#include <string_view>

namespace win32 {

class RegionPage final : public Page {
public:
    RegionPage(HWND host, UINT dpi);
    ~RegionPage() override;

    void layOut(UINT dpi) override;
    void command(int id, int notification) override;
    HWND firstFocus() const override { return m_provinces; }

private:
    void chooseProvince();
    void chooseCity();
    void showAnswer(std::string_view code);

    HWND m_prompt, m_provinces, m_cities, m_code;
};

} // namespace win32
