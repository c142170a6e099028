#include "support/drive_c.h"

#include "core/code_page_932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tanka::test {

DriveC::DriveC() : m_map(m_dir.path()) {
    EXPECT_TRUE(m_dir.isValid());
}

void DriveC::mkdir(const QString& relative) const {
    EXPECT_TRUE(QDir(root()).mkpath(relative)) << relative.toStdString();
}

void DriveC::writeBytes(const QString& relative, const QByteArray& bytes) const {
    const QFileInfo info(host(relative));
    QDir().mkpath(info.absolutePath());
    QFile file(info.filePath());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << relative.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size()) << relative.toStdString();
}

void DriveC::writeText(const QString& relative, const QString& text) const {
    const QByteArray bytes = cp932::encode(text);
    EXPECT_EQ(cp932::decode(bytes), text) << "not all in code page 932: " << text.toStdString();
    writeBytes(relative, bytes);
}

} // namespace tanka::test
