#pragma once

// Lookup by code (Tessaline区号): a code typed, and the region it serves.

#include "win32/page.h"

namespace win32 {

class CodePage final : public Page {
public:
    CodePage(HWND host, UINT dpi);
    ~CodePage() override;

    void layOut(UINT dpi) override;
    void command(int id, int notification) override;
    HWND firstFocus() const override { return m_input; }
    int defaultButton() const override;

private:
    void query();
    void clearBoxes();

    HWND m_prompt, m_input, m_query, m_output, m_clear;
};

} // namespace win32
