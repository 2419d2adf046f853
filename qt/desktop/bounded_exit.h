#pragma once

// Keeps a hang in Qt's teardown from holding the process once its event loop
// has ended.
//
// Qt's Wayland plugin can hang in QApplication's destructor (seen with 6.4.2
// about once in 40 exits on a busy machine; 6.8.0 has the same code). Its
// default-queue event thread, told to stop while it waits for the main thread
// to prepare its next read, leaves as soon as it sees the stop, also when the
// read was prepared just before (QtWaylandClient::EventThread::waitForReading
// returns !m_quitting with m_reading set). That read is never cancelled, so
// libwayland counts a reader that will not read: the frame-queue event thread
// then waits in wl_display_read_events() for ever, and ~QWaylandDisplay waits
// for that thread. The user is left with a process and no window.
//
// A normal exit still runs the whole teardown (and, in the sanitized build,
// the leak check after it); only an end that overruns the bound is cut short.
// Only the Wayland platform is watched. No Qt release mends the fault yet:
// put a QT_VERSION_CHECK in watch() once one does.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace desktop {

class BoundedExit
{
public:
    // Ample for the sanitized build's teardown on a busy machine.
    static constexpr std::chrono::milliseconds kDefaultBound{5000};

    explicit BoundedExit(std::chrono::milliseconds bound = kDefaultBound);
    // The teardown is over: the watch ends here, before exit's handlers run,
    // so no thread of ours is left for them to meet.
    ~BoundedExit();

    BoundedExit(const BoundedExit &) = delete;
    BoundedExit &operator=(const BoundedExit &) = delete;

    // Takes the event loop's status once the loop has ended, while the
    // application object still lives, and returns it. From then on the rest
    // of the program's end has the bound to finish: past it, what the
    // standard streams hold is written out and the process ends at once with
    // that status.
    int watch(int status);

private:
    void leaveWhenOverdue(int status);

    std::chrono::milliseconds m_bound;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_over = false;
    std::thread m_watcher;
};

} // namespace desktop
