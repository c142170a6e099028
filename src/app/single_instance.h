#pragma once
// The test for a running copy of the program, behind an interface so that
// tests can play a second copy.

#include <memory>

#include <QString>

class QLockFile;

namespace tanka {

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this is the only running copy; the claim lasts for the life of
    // the object.
    virtual bool acquire() = 0;
};

// A lock file, by default "tanka.lock" in the user's temporary folder. A lock
// left by a copy that died is taken over.
class LockFileInstance final : public SingleInstance {
public:
    explicit LockFileInstance(QString path = {});
    ~LockFileInstance() override;
    bool acquire() override;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tanka
