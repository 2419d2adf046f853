#pragma once

// Tells whether another copy of the program runs for this user, and claims
// the place for this copy if not. A lock file in the user's runtime
// directory: private to the user, released by the system when the holder
// dies, however it dies.

#include <QString>

#include <memory>

class QLockFile;

namespace desktop {

class InstanceGuard
{
public:
    // directory is where the lock lives; by default the user's runtime
    // directory ($XDG_RUNTIME_DIR).
    explicit InstanceGuard(QString directory = defaultDirectory());
    ~InstanceGuard();

    InstanceGuard(const InstanceGuard &) = delete;
    InstanceGuard &operator=(const InstanceGuard &) = delete;

    // Claims the lock for this copy: true when this copy holds it from now
    // on, for as long as the guard lives (asking again says true again);
    // false only when a live copy holds it. A guard that cannot work (no
    // directory, no permission) says true: better two copies than none.
    bool claim();

    static QString defaultDirectory();

private:
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace desktop
