#include "qt/windows/splash_window.h"

#include "design/windows.h"
#include "qt/desktop/instance_guard.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/design.h"
#include "qt/look/pictures.h"
#include "qt/windows/lookup_host.h"

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

// The fixed dialog frame, drawn here as a Windows panel (two pixels): there
// is no title bar to hang a window manager's frame on.
constexpr int kFrame = 2;

} // namespace

SplashWindow::SplashWindow(desktop::InstanceGuard &guard, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_guard(guard)
{
    setObjectName(look::text(design::startup::kWindow.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // the lookup windows decide when the program ends
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContentsMargins(kFrame, kFrame, kFrame, kFrame);
    setFixedSize(look::size(design::startup::kWindow.client).grownBy(contentsMargins()));
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
    m_timer->setObjectName(look::text(design::startup::kTimer));
    m_timer->setSingleShot(true);
    m_timer->setInterval(design::startup::kShownFor);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::handOver);
}

void SplashWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // Named once it is on the screen: naming it earlier would start the
    // accessibility bridge, which waits on the session bus, before the
    // window is mapped. Qt starts the bridge right after mapping anyway.
    if (visible && accessibleName().isEmpty()) {
        setAccessibleName(look::text(design::startup::kSpokenName));
        // Should the window system never have it painted, the program goes
        // on all the same.
        QTimer::singleShot(4 * design::startup::kShownFor, this, [this] {
            if (!std::exchange(m_shown, true))
                handOver();
        });
    }
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    look::drawPicture(painter, client.topLeft(), design::kStartupPicture);
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
        QMessageBox warning(QMessageBox::Warning, look::text(design::warning::kTitle),
                            look::text(design::warning::kText), QMessageBox::Ok, this);
        warning.button(QMessageBox::Ok)->setText(look::text(design::warning::kOk));
        desktop::openOver(&warning, this);
        warning.exec();
        hide();
        QCoreApplication::exit(0);
        return;
    }
    unsetCursor();
    // Shown once only: the lookup window can have the memory it took.
    look::forgetPicture(design::kStartupPicture);
    // For a moment no window is open; the program must not end there.
    const QEventLoopLocker keepRunning;
    const QRect here = geometry();
    close();
    auto *main = new LookupHost;
    desktop::openCentredOn(main, here);
    main->show();
}

} // namespace windows
