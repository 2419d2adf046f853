#include "qt/desktop/bounded_exit.h"

#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace desktop {

BoundedExit::BoundedExit(std::chrono::milliseconds bound)
    : m_bound(bound)
{
}

BoundedExit::~BoundedExit()
{
    if (!m_watcher.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_over = true;
    }
    m_finished.notify_one();
    m_watcher.join();
}

int BoundedExit::watch(int status)
{
    if (!m_watcher.joinable() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        m_watcher = std::thread(&BoundedExit::leaveWhenOverdue, this, status);
    return status;
}

void BoundedExit::leaveWhenOverdue(int status)
{
    std::unique_lock lock(m_mutex);
    if (m_finished.wait_for(lock, m_bound, [this] { return m_over; }))
        return;

    // The main thread is stuck inside Qt; a stream another thread holds
    // locked is passed over rather than waited for.
    for (FILE *stream : {stdout, stderr}) {
        if (ftrylockfile(stream) == 0) {
            std::fflush(stream);
            funlockfile(stream);
        }
    }
    static constexpr char kNote[] = "tessaline: Qt's teardown did not end in time; leaving without it\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kNote, sizeof kNote - 1);
    ::_exit(status);
}

} // namespace desktop
