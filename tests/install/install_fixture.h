#pragma once
// A temporary folder standing for drive C:, files written in CP932 as the
// point-of-sale product writes them, and a scripted system environment.

#include <map>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "install/drive_map.h"
#include "install/system_env.h"

namespace tanka::testing {

class ScriptedEnv final : public SystemEnv {
public:
    std::map<QString, QString> variables;
    QString systemDir = QStringLiteral("C:\\WINDOWS\\system32");

    QString variable(const QString& name) const override {
        const auto it = variables.find(name);
        return it == variables.end() ? QString() : it->second;
    }
    QString systemDirectory() const override { return systemDir; }
};

inline QByteArray toCp932(const QString& text) {
    QStringEncoder encoder("CP932");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError()) << text.toStdString();
    return bytes;
}

// Paths below are host-relative to the drive root, written with "/" and in
// the exact case the files should have on disk.
class DriveC {
public:
    DriveC() : m_map(m_dir.path()) { EXPECT_TRUE(m_dir.isValid()); }

    const DriveMap& map() const { return m_map; }
    QString root() const { return m_dir.path(); }
    QString host(const QString& relative) const { return m_dir.filePath(relative); }

    void mkdir(const QString& relative) const { ASSERT_TRUE(QDir(root()).mkpath(relative)); }

    void writeBytes(const QString& relative, const QByteArray& bytes) const {
        const QFileInfo info(host(relative));
        ASSERT_TRUE(QDir().mkpath(info.absolutePath()));
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    void writeText(const QString& relative, const QString& text) const {
        writeBytes(relative, toCp932(text));
    }

private:
    QTemporaryDir m_dir;
    DriveMap m_map;
};

} // namespace tanka::testing
