#pragma once
// The test for a running copy of the program, behind an interface so that
// tests can play a second copy.

#include <memory>

#include <QString>

class QLockFile;

namespace tanka {

enum class InstanceClaim {
    Only,        // no other copy runs; the claim is held
    AnotherCopy, // a live copy holds the claim
    Unknown,     // the claim could not be checked (reason() says why)
};

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // Claims the program for this copy; the claim lasts for the life of the
    // object.
    virtual InstanceClaim acquire() = 0;
    // Why the last acquire() gave Unknown, in Japanese for the user.
    virtual QString reason() const { return {}; }
};

// A lock file, by default "tanka.lock" in the user's own runtime folder
// (XDG_RUNTIME_DIR; a private per-user folder where there is none), so each
// user session has its own and no other user can hold or block it. A lock
// left by a copy that died is taken over.
class LockFileInstance final : public SingleInstance {
public:
    explicit LockFileInstance(QString path = {});
    ~LockFileInstance() override;
    InstanceClaim acquire() override;
    QString reason() const override { return m_reason; }

    // The default lock file; empty when the user has no runtime folder.
    static QString defaultPath();

private:
    QString m_path;
    QString m_reason;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tanka
