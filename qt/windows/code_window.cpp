#include "qt/windows/code_window.h"

#include "design/windows.h"
#include "directory/directory.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/character_limit.h"
#include "qt/desktop/composition_guard.h"
#include "qt/look/caption.h"
#include "qt/look/colours.h"
#include "qt/look/design.h"
#include "qt/look/output_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace windows {

CodeWindow::CodeWindow(QWidget *parent)
    : LookupWindow(Kind::Code, design::code::kWindow, design::lookup::kByCode, parent)
{
    QWidget *area = client();

    QLabel *prompt = look::caption(area, design::code::kPrompt);
    desktop::introduce(this, prompt->text());

    m_input = new QLineEdit(area);
    look::place(m_input, design::code::kInput);
    m_input->setAccessibleName(look::text(design::code::kInput.spokenName));
    new desktop::CharacterLimit(m_input, design::code::kInputLimit); // for pasting as well as typing
    new desktop::CompositionGuard(m_input);
    look::setBoxColours(m_input, design::code::kInput);

    m_query = new QPushButton(look::text(design::code::kQuery.text), area);
    look::place(m_query, design::code::kQuery);
    static_assert(&design::code::kDefaultButton == &design::code::kQuery);
    m_query->setDefault(true);

    m_output = new look::OutputBox(look::text(design::code::kOutput.text), area);
    look::place(m_output, design::code::kOutput);
    m_output->setAccessibleName(look::text(design::code::kOutput.spokenName));
    look::setBoxColours(m_output, design::code::kOutput);
    m_output->setEnabled(false); // only the program writes the answer

    m_clear = new QPushButton(look::text(design::code::kClear.text), area);
    look::place(m_clear, design::code::kClear);

    // Enter clicks the focused button, and in the input box the query button;
    // a main window has no default button of its own.
    m_query->setAutoDefault(true);
    m_clear->setAutoDefault(true);
    connect(m_input, &QLineEdit::returnPressed, m_query, &QPushButton::click);

    look::setTabOrder(this, design::code::kTabOrder);

    connect(m_query, &QPushButton::clicked, this, &CodeWindow::query);
    connect(m_clear, &QPushButton::clicked, this, &CodeWindow::clearBoxes);
}

void CodeWindow::query()
{
    const QByteArray code = m_input->text().toUtf8();
    showAnswer(m_output, look::text(directory::regionForCode(look::utf8View(code))));
}

void CodeWindow::clearBoxes()
{
    m_output->clear(); // and with the answer, its announcement
    desktop::notify(look::text(design::code::kCleared));
    // The focus before the input box changes: Orca takes a caret moving in
    // the focused box for a focus change it need not present.
    m_input->setFocus();
    m_input->clear();
}

} // namespace windows
