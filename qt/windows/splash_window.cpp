#include "qt/windows/splash_window.h"

#include "qt/desktop/instance_guard.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/pictures.h"
#include "qt/look/twips.h"
#include "qt/windows/lookup_host.h"
#include "tessaline/version.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoopLocker>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <qdrawutil.h>

#include <utility>

namespace windows {

namespace {

constexpr int kClientWidth = 5895;
constexpr int kClientHeight = 2430;
constexpr int kFrame = 2; // the fixed dialog frame, drawn here: there is no title bar to hang it on
constexpr int kShowMilliseconds = 1500;

} // namespace

SplashWindow::SplashWindow(desktop::InstanceGuard &guard, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_guard(guard)
{
    setObjectName(QStringLiteral("启动"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // the lookup windows decide when the program ends
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(look::px(kClientWidth) + 2 * kFrame, look::px(kClientHeight) + 2 * kFrame);
    setFocusPolicy(Qt::NoFocus);
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
    // Also for window managers that do not go by the start-up window's type.
    desktop::withoutFrame(this);
    desktop::keepOffTaskbar(this);

    // One shot: a repeating timer would ask again while the warning is open.
    // It starts as the picture is first painted, so that the picture stays
    // its whole moment also when showing the window took long (a slow
    // machine, the accessibility bridge starting).
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kShowMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::handOver);
}

void SplashWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // Named once it is on the screen: naming it earlier would start the
    // accessibility bridge, which waits on the session bus, before the
    // window is mapped. Qt starts the bridge right after mapping anyway.
    if (visible && accessibleName().isEmpty()) {
        setAccessibleName(QStringLiteral("Tessaline " TESSALINE_VERSION " Velmora")); // what its picture says
        // Should the window system never have it painted, the program goes
        // on all the same.
        QTimer::singleShot(4 * kShowMilliseconds, this, [this] {
            if (!std::exchange(m_shown, true))
                handOver();
        });
    }
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
    painter.setClipRect(client);
    look::drawPicture(painter, client.topLeft(), QStringLiteral("startup.jpg"));
    painter.setClipping(false);
    qDrawWinPanel(&painter, rect(), palette(), false);
    if (!std::exchange(m_shown, true)) {
        m_timer->start();
        emit pictureShown();
    }
}

void SplashWindow::closeEvent(QCloseEvent *event)
{
    // Only the hand-over closes this window; a close request from outside
    // would leave the program running with no window at all.
    if (event->spontaneous())
        event->ignore();
}

void SplashWindow::handOver()
{
    // Qt runs pending events inside a start-up window's show() when the event
    // loop has not started yet. If the first show takes longer than the wait
    // (the accessibility bridge starting, a D-Bus session being launched),
    // this handler would run there, outside the event loop, where ending the
    // program is lost. Run it from the loop instead.
    if (thread()->loopLevel() == 0) {
        QTimer::singleShot(0, this, &SplashWindow::handOver);
        return;
    }
    setCursor(Qt::WaitCursor);
    if (!m_guard.claim()) {
        QMessageBox warning(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("该程序已在运行中！"),
                            QMessageBox::Ok, this);
        warning.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        desktop::openOver(&warning, this);
        warning.exec();
        hide();
        QCoreApplication::exit(0);
        return;
    }
    unsetCursor();
    // Shown once only: the lookup window can have the memory it took.
    look::forgetPicture(QStringLiteral("startup.jpg"));
    // For a moment no window is open; the program must not end there.
    const QEventLoopLocker keepRunning;
    const QRect here = geometry();
    close();
    auto *main = new LookupHost;
    desktop::openCentredOn(main, here);
    main->show();
}

} // namespace windows
