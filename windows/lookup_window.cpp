#include "windows/lookup_window.h"

#include "windows/about_dialog.h"
#include "windows/assistive.h"
#include "windows/look.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

struct Panel {
    const char *text;
    int widthTwips;
};

constexpr Panel kPanels[] = {
    {"Tessaline", 1500},
    {"版本:V08.05", 1500},
    {"Velmora", 1600},
};

constexpr int kClientWidth = 4590;
constexpr int kClientHeight = 1515;
constexpr int kStatusBarHeight = 255;

} // namespace

LookupWindow::LookupWindow(const QString &name, const QString &description, QWidget *parent)
    : QMainWindow(parent, look::fixedWindowFlags(Qt::Window))
{
    setObjectName(name);
    setAccessibleDescription(description);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tessaline V08.05"));
    setWindowIcon(look::programIcon());
    setFont(look::defaultFont());

    QMenuBar *bar = menuBar();
    bar->setNativeMenuBar(false); // the layout puts the bar above the client area, in the window
    look::prepareMenuBar(bar);
    m_regionCommand = bar->addAction(QStringLiteral("地区查询"));
    m_regionCommand->setObjectName(QStringLiteral("diquchaxun"));
    m_codeCommand = bar->addAction(QStringLiteral("区号查询"));
    m_codeCommand->setObjectName(QStringLiteral("quhaochaxun"));
    QAction *aboutCommand = bar->addAction(QStringLiteral("关于"));
    aboutCommand->setObjectName(QStringLiteral("about"));
    // From the next turn of the event loop: the command's trigger returns at
    // once, also to an assistive tool that pressed it, and the menu bar has
    // given the focus back before About takes it.
    connect(aboutCommand, &QAction::triggered, this, &LookupWindow::openAbout, Qt::QueuedConnection);

    // The status bar is docked inside the client area, so the part above it
    // is what the controls are placed on.
    m_client = new look::Backdrop(this);
    m_client->setFixedSize(look::px(kClientWidth), look::px(kClientHeight - kStatusBarHeight));
    setCentralWidget(m_client);
    setStatusBar(buildStatusBar());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
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
    // Application-modal; returns once the user has closed it. No owner widget,
    // but the window system is to know whose it is.
    auto *about = new AboutDialog;
    look::openOver(about, this);
    about->exec();
}

void LookupWindow::showAnswer(QLineEdit *box, const QString &answer)
{
    box->setText(answer);
    look::announce(answer);
}

void LookupWindow::showAnswer(QPlainTextEdit *box, const QString &answer)
{
    box->setPlainText(answer);
    look::announce(answer);
}

QStringList fromDirectory(std::span<const std::string_view> texts)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string_view text : texts)
        list.append(fromDirectory(text));
    return list;
}
