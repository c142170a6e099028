// The sample installation every other test stands on: its folders and its
// settings file in code page 932 with the keys the program reads.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "tools/sample/sample_install.h"

namespace tanka {
namespace {

TEST(SampleInstall, FoldersAndSettingsFileInCp932) {
    const struct {
        bool headquarters;
        const char* install;
        const char* ownName; // CP932 bytes of 渋谷店 / 本部
    } cases[] = {
        {false, "ZEMA", "MiseName=\x8f\x61\x92\x4a\x93\x58\r\n"},
        {true, "ZEMAH", "MiseName=\x96\x7b\x95\x94\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.install);
        QTemporaryDir dir;
        sample::Options o;
        o.headquarters = c.headquarters;
        const auto s = sample::writeSampleInstall(dir.path(), o);
        EXPECT_EQ(s.installDir, dir.path() + "/C/" + c.install);
        EXPECT_EQ(s.iniFile, dir.path() + "/C/ZEWIN/ZEMA.ini");
        EXPECT_TRUE(QFileInfo(s.installDir + "/TMP").isDir());
        EXPECT_EQ(QFileInfo::exists(s.serverDir + "/MSHONB.sqlite"), c.headquarters);

        QFile ini(s.iniFile);
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        const QByteArray bytes = ini.readAll();
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
        EXPECT_TRUE(bytes.contains(c.ownName));
        QStringDecoder decode("CP932");
        const QString text = decode(bytes);
        EXPECT_FALSE(decode.hasError());
        for (const char* line : {"MsTori=SV01", "MsKyak=SV01", "MsLocl=SV01", "MiseID=1"})
            EXPECT_TRUE(text.contains(QStringLiteral("\r\n") + line + "\r\n")) << line;
    }
}

} // namespace
} // namespace tanka
