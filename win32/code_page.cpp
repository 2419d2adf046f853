#include "win32/code_page.h"

#include "win32/controls.h"
#include "win32/look.h"

#include "design/windows.h"
#include "directory/directory.h"

#include <commctrl.h>

namespace win32 {

namespace {

enum : int { kPromptId = 200, kInputId, kQueryId, kOutputId, kClearId };
namespace plan = design::code;

} // namespace

CodePage::CodePage(HWND host, UINT dpi)
{
    static_assert(&plan::kDefaultButton == &plan::kQuery);
    // Created in the tab order (input, 查询, 清除): the dialog manager follows
    // creation. The caption lies under the buttons and the answer.
    m_prompt = createControl(host, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, plan::kPrompt, kPromptId);
    m_input = createControl(host, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, plan::kInput, kInputId);
    m_query = createControl(host, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, plan::kQuery, kQueryId);
    m_output = createControl(host, WC_EDITW, ES_MULTILINE, kOutputBoxEdge, plan::kOutput, kOutputId);
    m_clear = createControl(host, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0, plan::kClear, kClearId);
    drawAsCaption(m_prompt, plan::kPrompt);
    makeOutputBox(m_output, plan::kOutput);
    drawOnDesignLines(m_input, plan::kInput);
    limitCharacters(m_input, plan::kInputLimit);
    layOut(dpi);
}

CodePage::~CodePage()
{
    for (HWND control : {m_prompt, m_input, m_query, m_output, m_clear})
        DestroyWindow(control);
}

void CodePage::layOut(UINT dpi)
{
    look::place(m_prompt, plan::kPrompt, dpi);
    look::place(m_input, plan::kInput, dpi);
    look::place(m_query, plan::kQuery, dpi);
    look::place(m_output, plan::kOutput, dpi);
    look::place(m_clear, plan::kClear, dpi);
}

void CodePage::command(int id, int notification)
{
    if (notification != BN_CLICKED)
        return;
    if (id == kQueryId)
        query();
    else if (id == kClearId)
        clearBoxes();
}

// Enter presses the focused button, and elsewhere 查询.
int CodePage::defaultButton() const
{
    return GetFocus() == m_clear ? kClearId : kQueryId;
}

void CodePage::query()
{
    const std::string_view answer = directory::regionForCode(look::textOf(m_input));
    SetWindowTextW(m_output, look::wide(answer).c_str());
    announce(m_output, answer);
}

void CodePage::clearBoxes()
{
    SetWindowTextW(m_output, L"");
    SetWindowTextW(m_input, L"");
    SetFocus(m_input);
    announce(m_input, design::code::kCleared);
}

} // namespace win32
