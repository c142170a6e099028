#pragma once
// A temporary folder standing for drive C:, files written in CP932 as the
// point-of-sale product writes them, and a scripted system environment.

#include <map>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "install/drive_map.h"
#include "install/system_env.h"

namespace tanka::test {

// Paths are relative to the drive's root, written with "/" and in the exact
// case the entries should have on disk. A failed write fails the current test.
class DriveC {
public:
    DriveC();

    const DriveMap& map() const { return m_map; }
    QString root() const { return m_dir.path(); }
    QString host(const QString& relative) const { return m_dir.filePath(relative); }

    void mkdir(const QString& relative) const;
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    // The text in code page 932; a character outside it fails the current test.
    void writeText(const QString& relative, const QString& text) const;

private:
    QTemporaryDir m_dir;
    DriveMap m_map;
};

// Variables absent unless set; the system directory of a default Windows.
class ScriptedEnv final : public SystemEnv {
public:
    std::map<QString, QString> variables;

    QString variable(const QString& name) const override {
        const auto it = variables.find(name);
        return it == variables.end() ? QString() : it->second;
    }
    QString systemDirectory() const override { return QStringLiteral("C:\\WINDOWS\\system32"); }
};

} // namespace tanka::test
