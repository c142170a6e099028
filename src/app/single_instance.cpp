#include "app/single_instance.h"

#include <QDir>
#include <QLockFile>

namespace tanka {

LockFileInstance::LockFileInstance(QString path)
    : m_path(path.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("tanka.lock"))
                            : std::move(path)) {}

LockFileInstance::~LockFileInstance() = default;

bool LockFileInstance::acquire() {
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // only a dead owner's lock is stale
    return m_lock->tryLock(0);
}

} // namespace tanka
