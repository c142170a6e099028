#include "app/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace tanka {

QString LockFileInstance::defaultPath() {
    // Qt checks that the runtime folder belongs to the user and is private,
    // and makes one in the temporary folder when the session names none.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("tanka.lock"));
}

LockFileInstance::LockFileInstance(QString path)
    : m_path(path.isEmpty() ? defaultPath() : std::move(path)) {}

LockFileInstance::~LockFileInstance() = default;

InstanceClaim LockFileInstance::acquire() {
    if (m_lock && m_lock->isLocked())
        return InstanceClaim::Only;
    m_reason.clear();
    if (m_path.isEmpty()) {
        m_reason = QStringLiteral("起動確認用のフォルダがありません。");
        return InstanceClaim::Unknown;
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // only a dead owner's lock is stale
    if (m_lock->tryLock(0))
        return InstanceClaim::Only;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        return InstanceClaim::AnotherCopy;
    case QLockFile::PermissionError:
        m_reason = QStringLiteral("起動確認用のファイルを作成する権限がありません。\r\n") +
                   QDir::toNativeSeparators(m_path);
        return InstanceClaim::Unknown;
    default:
        m_reason = QStringLiteral("起動確認用のファイルを作成できません。\r\n") +
                   QDir::toNativeSeparators(m_path);
        return InstanceClaim::Unknown;
    }
}

} // namespace tanka
