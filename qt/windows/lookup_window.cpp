#include "qt/windows/lookup_window.h"

#include "qt/desktop/accessibility.h"
#include "qt/desktop/menu_bar_keys.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/faces.h"
#include "qt/look/pictures.h"
#include "qt/look/style.h"
#include "qt/look/twips.h"
#include "qt/windows/about_dialog.h"
#include "tessaline/version.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace windows {

namespace {

struct Panel {
    const char *text;
    int widthTwips;
};

constexpr Panel kPanels[] = {
    {"Tessaline", 1500},
    {"版本:" TESSALINE_VERSION, 1500},
    {"Velmora", 1600},
};

constexpr int kClientWidth = 4590;
constexpr int kClientHeight = 1515;
constexpr int kStatusBarHeight = 255;

} // namespace

LookupWindow::LookupWindow(Kind kind, const QString &name, const QString &description, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setObjectName(name);
    setAccessibleDescription(description);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(look::defaultFont());

    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false); // the layout puts the bar above the client area, in the window
    look::markKeyboardCommands(m_menuBar);
    desktop::landOnCommandsThatCanBeChosen(m_menuBar);
    const auto addLookup = [this](const QString &text, const char *name, Kind opens) {
        QAction *command = m_menuBar->addAction(text);
        command->setObjectName(QLatin1String(name));
        // This window is that lookup already: its own command has nothing to do.
        command->setEnabled(opens != m_kind);
        connect(command, &QAction::triggered, this, [this, opens] { emit lookupChosen(opens); });
    };
    addLookup(QStringLiteral("地区查询"), "diquchaxun", Kind::Region);
    addLookup(QStringLiteral("区号查询"), "quhaochaxun", Kind::Code);
    QAction *aboutCommand = m_menuBar->addAction(QStringLiteral("关于"));
    aboutCommand->setObjectName(QStringLiteral("about"));
    // From the next turn of the event loop: the command's trigger returns at
    // once, also to an assistive tool that pressed it, and the menu bar has
    // given the focus back before About takes it.
    connect(aboutCommand, &QAction::triggered, this, &LookupWindow::openAbout, Qt::QueuedConnection);

    // The status bar is docked inside the client area, so the part above it
    // is what the controls are placed on.
    m_client = new look::Backdrop(this);
    m_client->setFixedSize(look::px(kClientWidth), look::px(kClientHeight - kStatusBarHeight));
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
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(look::px(kStatusBarHeight));

    // Fixed panels placed by hand: the bar's own layout would add margins
    // and spacing between them.
    int left = 0;
    for (const Panel &panel : kPanels) {
        auto *label = new QLabel(QString::fromUtf8(panel.text), bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(2);
        label->setToolTip(label->text());
        label->setGeometry(left, 0, look::px(panel.widthTwips), look::px(kStatusBarHeight));
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
