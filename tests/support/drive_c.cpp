#include "support/drive_c.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace tanka::test {

QByteArray toCp932(const QString& text) {
    QStringEncoder encoder("CP932");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError()) << text.toStdString();
    return bytes;
}

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

} // namespace tanka::test
