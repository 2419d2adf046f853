#pragma once

// Lookup by code: type an area code and read the region it serves.

#include "qt/windows/lookup_window.h"

class QLineEdit;
class QPushButton;

namespace look {
class OutputBox;
}

namespace windows {

class CodeWindow : public LookupWindow
{
    Q_OBJECT

public:
    explicit CodeWindow(QWidget *parent = nullptr);

private:
    void query();
    void clearBoxes();

    QLineEdit *m_input = nullptr;       // Text1
    QPushButton *m_query = nullptr;     // Command1
    QPushButton *m_clear = nullptr;     // Command2
    look::OutputBox *m_output = nullptr; // Text2
};

} // namespace windows
