#include "qt/windows/code_window.h"

#include "directory/directory.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/character_limit.h"
#include "qt/desktop/composition_guard.h"
#include "qt/look/caption.h"
#include "qt/look/colours.h"
#include "qt/look/faces.h"
#include "qt/look/output_box.h"
#include "qt/look/twips.h"
#include "qt/windows/directory_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace windows {

CodeWindow::CodeWindow(QWidget *parent)
    : LookupWindow(Kind::Code, QStringLiteral("Tessaline区号"), QStringLiteral("区号查询"), parent)
{
    QWidget *area = client();

    QLabel *prompt = look::caption(area, "Label3", QStringLiteral("请输入区号进行查询！"), look::songFont(15));
    prompt->setGeometry(look::twipRect(720, 120, 3135, 375));
    desktop::introduce(this, prompt->text());

    m_input = new QLineEdit(area);
    m_input->setObjectName(QStringLiteral("Text1"));
    m_input->setAccessibleName(QStringLiteral("区号"));
    m_input->setGeometry(look::twipRect(120, 600, 855, 330));
    m_input->setFont(look::songFont(12));
    new desktop::CharacterLimit(m_input, 4); // for pasting as well as typing
    new desktop::CompositionGuard(m_input);
    look::setBoxColours(m_input, look::kLightYellow, m_input->palette().color(QPalette::Text));

    m_query = new QPushButton(QStringLiteral("查询"), area);
    m_query->setObjectName(QStringLiteral("Command1"));
    m_query->setGeometry(look::twipRect(1200, 480, 615, 255));
    m_query->setDefault(true);

    m_output = new look::OutputBox(QStringLiteral("  "), area);
    m_output->setObjectName(QStringLiteral("Text2"));
    m_output->setAccessibleName(QStringLiteral("查询结果"));
    m_output->setGeometry(look::twipRect(2040, 480, 2415, 615));
    m_output->setFont(look::songFont(10.5));
    look::setBoxColours(m_output, look::kLightYellow, look::kMagenta);
    m_output->setEnabled(false); // only the program writes the answer

    m_clear = new QPushButton(QStringLiteral("清除"), area);
    m_clear->setObjectName(QStringLiteral("Command2"));
    m_clear->setGeometry(look::twipRect(1200, 840, 615, 255));

    // Enter clicks the focused button, and in the input box the query button;
    // a main window has no default button of its own.
    m_query->setAutoDefault(true);
    m_clear->setAutoDefault(true);
    connect(m_input, &QLineEdit::returnPressed, m_query, &QPushButton::click);

    setTabOrder(m_input, m_query);
    setTabOrder(m_query, m_clear);
    m_input->setFocus();

    connect(m_query, &QPushButton::clicked, this, &CodeWindow::query);
    connect(m_clear, &QPushButton::clicked, this, &CodeWindow::clearBoxes);
}

void CodeWindow::query()
{
    const QByteArray code = m_input->text().toUtf8();
    showAnswer(m_output, fromUtf8View(directory::regionForCode(utf8View(code))));
}

void CodeWindow::clearBoxes()
{
    m_output->clear(); // and with the answer, its announcement
    desktop::notify(QStringLiteral("已清除"));
    // The focus before the input box changes: Orca takes a caret moving in
    // the focused box for a focus change it need not present.
    m_input->setFocus();
    m_input->clear();
}

} // namespace windows
