#include "win32/region_page.h"

#include "win32/controls.h"
#include "win32/look.h"

#include "design/windows.h"
#include "directory/directory.h"

#include <commctrl.h>

namespace win32 {

namespace {

enum : int { kPromptId = 100, kProvincesId, kCitiesId, kCodeId };
namespace plan = design::region;

// What a drop-down list shows when open, beyond its own height.
constexpr design::Twips kListDepth{3000};

void fill(HWND list, std::span<const std::string_view> entries)
{
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (std::string_view entry : entries)
        SendMessageW(list, CB_ADDSTRING, 0, LPARAM(look::wide(entry).c_str()));
    SendMessageW(list, CB_SETCURSEL, WPARAM(-1), 0); // filling the list chooses nothing
}

} // namespace

RegionPage::RegionPage(HWND host, UINT dpi)
{
    // Created in the tab order: the dialog manager follows creation.
    m_prompt = createControl(host, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, plan::kPrompt, kPromptId);
    m_provinces = createControl(host, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                                plan::kProvinces, kProvincesId);
    m_cities = createControl(host, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, plan::kCities,
                             kCitiesId);
    m_code = createControl(host, WC_EDITW, ES_AUTOHSCROLL, kOutputBoxEdge, plan::kCode, kCodeId);
    drawAsCaption(m_prompt, plan::kPrompt);
    makeOutputBox(m_code, plan::kCode);
    chooseByName(m_provinces);
    chooseByName(m_cities);
    fill(m_provinces, directory::provinceNames());
    layOut(dpi);
}

RegionPage::~RegionPage()
{
    for (HWND control : {m_prompt, m_provinces, m_cities, m_code})
        DestroyWindow(control);
}

void RegionPage::layOut(UINT dpi)
{
    look::place(m_prompt, plan::kPrompt, dpi);
    for (auto [list, control] : {std::pair{m_provinces, &plan::kProvinces}, std::pair{m_cities, &plan::kCities}}) {
        look::place(list, *control, dpi);
        // A drop-down list's height is that of its box and its open list.
        const RECT r = look::rect(control->place, dpi);
        SetWindowPos(list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + look::px(kListDepth, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    look::place(m_code, plan::kCode, dpi);
}

void RegionPage::command(int id, int notification)
{
    if (notification != CBN_SELCHANGE)
        return;
    if (id == kProvincesId)
        chooseProvince();
    else if (id == kCitiesId)
        chooseCity();
}

void RegionPage::chooseProvince()
{
    const directory::ProvinceSelection selection = directory::selectProvince(look::textOf(m_provinces));
    if (!selection.matched)
        return;
    if (!selection.cityBoxEnabled) {
        fill(m_cities, {});
        EnableWindow(m_cities, FALSE);
        showAnswer(selection.codeText);
        return;
    }
    SetWindowTextW(m_code, L"");
    fill(m_cities, selection.cities);
    EnableWindow(m_cities, TRUE);
}

void RegionPage::chooseCity()
{
    if (const auto code = directory::codeForCity(look::textOf(m_cities)))
        showAnswer(*code);
}

void RegionPage::showAnswer(std::string_view code)
{
    SetWindowTextW(m_code, look::wide(code).c_str());
    announce(m_code, code);
}

} // namespace win32
