#include "qt/desktop/instance_guard.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace desktop {

InstanceGuard::InstanceGuard(QString directory)
    : m_directory(std::move(directory))
{
}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

bool InstanceGuard::claim()
{
    if (m_lock && m_lock->isLocked())
        return true;
    if (m_directory.isEmpty() || !QDir().mkpath(m_directory))
        return true;

    m_lock = std::make_unique<QLockFile>(QDir(m_directory).filePath(QStringLiteral("tessaline.lock")));
    // Held for the whole run: never stale by age, only when its holder is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    return m_lock->error() != QLockFile::LockFailedError;
}

} // namespace desktop
