#pragma once
// What the installation discovery asks of the operating system: environment
// variables and the system directory. Behind an interface so tests can set a
// console or remote login without touching the process environment.

#include <QString>

namespace tanka {

class SystemEnv {
public:
    virtual ~SystemEnv() = default;
    // Null QString when the variable is absent.
    virtual QString variable(const QString& name) const = 0;
    // As GetSystemDirectoryA gives it ("C:\WINDOWS\system32"); empty on failure.
    virtual QString systemDirectory() const = 0;
};

// The process environment; the system directory is C:\WINDOWS\system32 (on a
// non-Windows host that path is taken through the drive map).
class ProcessEnv final : public SystemEnv {
public:
    QString variable(const QString& name) const override;
    QString systemDirectory() const override;
};

} // namespace tanka
