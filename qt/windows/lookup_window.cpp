#include "qt/windows/lookup_window.h"

#include "design/windows.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/menu_bar_keys.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/design.h"
#include "qt/look/faces.h"
#include "qt/look/pictures.h"
#include "qt/look/style.h"
#include "qt/windows/about_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace windows {

LookupWindow::LookupWindow(Kind kind, const design::Window &plan, const design::Command &command, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setObjectName(look::text(plan.name));
    setAccessibleDescription(look::text(command.text));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(look::defaultFont());

    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false); // the layout puts the bar above the client area, in the window
    look::markKeyboardCommands(m_menuBar);
    desktop::landOnCommandsThatCanBeChosen(m_menuBar);
    const auto add = [this](const design::Command &command) {
        QAction *action = m_menuBar->addAction(look::text(command.text));
        action->setObjectName(look::text(command.name));
        return action;
    };
    const auto addLookup = [this, &add, &command](const design::Command &lookup, Kind opens) {
        QAction *action = add(lookup);
        // This window is that lookup already: its own command has nothing to do.
        action->setEnabled(&lookup != &command);
        connect(action, &QAction::triggered, this, [this, opens] { emit lookupChosen(opens); });
    };
    addLookup(design::lookup::kByRegion, Kind::Region);
    addLookup(design::lookup::kByCode, Kind::Code);
    QAction *aboutCommand = add(design::lookup::kAbout);
    // From the next turn of the event loop: the command's trigger returns at
    // once, also to an assistive tool that pressed it, and the menu bar has
    // given the focus back before About takes it.
    connect(aboutCommand, &QAction::triggered, this, &LookupWindow::openAbout, Qt::QueuedConnection);

    // The status bar is docked inside the client area, so the part above it
    // is what the controls are placed on.
    m_client = new look::Backdrop(this);
    m_client->setFixedSize(look::px(plan.client.width), look::px(design::lookup::kStatusBar.place.top));
    m_statusBar = buildStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    layout->addWidget(m_statusBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QStatusBar *LookupWindow::buildStatusBar()
{
    const design::Control &plan = design::lookup::kStatusBar;
    auto *bar = new QStatusBar(this);
    bar->setObjectName(look::text(plan.name));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(look::px(plan.place.height));

    // Fixed panels placed by hand: the bar's own layout would add margins
    // and spacing between them.
    int left = 0;
    for (const design::Panel &panel : design::lookup::kPanels) {
        auto *label = new QLabel(look::text(panel.text), bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(2);
        label->setToolTip(label->text());
        label->setGeometry(left, 0, look::px(panel.width), bar->height());
        left += label->width();
    }
    return bar;
}

void LookupWindow::openAbout()
{
    // Application-modal; returns once the user has closed it. It belongs to
    // the window it opens over, for the window system too.
    auto *about = new AboutDialog(window());
    desktop::openOver(about, window());
    about->exec();
}

void LookupWindow::showAnswer(QLineEdit *box, const QString &answer)
{
    box->setText(answer);
    desktop::announce(answer, box);
}

void LookupWindow::showAnswer(QPlainTextEdit *box, const QString &answer)
{
    box->setPlainText(answer);
    desktop::announce(answer, box);
}

} // namespace windows
