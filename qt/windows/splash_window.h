#pragma once

// The start-up window: the start-up picture for a moment, then the check for
// another copy and the hand-over to the region lookup window.

#include <QWidget>

class QTimer;

namespace desktop {
class InstanceGuard;
}

namespace windows {

class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    // guard must outlive the program's run: it holds the claim.
    explicit SplashWindow(desktop::InstanceGuard &guard, QWidget *parent = nullptr);

    void setVisible(bool visible) override;

signals:
    // Once, as the picture is first painted: work the start-up window does
    // not need can wait for this, queued, and not hold the picture back.
    void pictureShown();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void handOver();

    desktop::InstanceGuard &m_guard;
    QTimer *m_timer = nullptr;
    bool m_shown = false;
};

} // namespace windows
