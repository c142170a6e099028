#include <gtest/gtest.h>

#include "install/install.h"
#include "support/drive_c.h"

using namespace tanka;
using tanka::test::DriveC;

namespace {

TEST(ReadProfileString, FollowsThePrivateProfileRules) {
    const struct {
        const char* name;
        QByteArray bytes; // the file as it lies on disk
        QString key;
        QString expected; // null: missing
    } cases[] = {
        {"lf, no final newline", "[LUMINA]\nMsKyak=SV2\nMsTori=SV1", "MsTori", "SV1"},
        {"section and key case", "[lumina]\r\nMSTORI=SV1\r\n", "MsTori", "SV1"},
        {"blanks", "  [ LUMINA ]  \r\n  MsTori \t=\t SV 1  \r\n", "MsTori", "SV 1"},
        {"equals in value", "[LUMINA]\nConn=a=b\n", "Conn", "a=b"},
        {"double quotes", "[LUMINA]\nMsTori=\" SV1 \"\n", "MsTori", " SV1 "},
        {"single quotes", "[LUMINA]\nMsTori='SV1'\n", "MsTori", "SV1"},
        {"unmatched quotes", "[LUMINA]\nMsTori=\"SV1'\n", "MsTori", "\"SV1'"},
        {"empty value", "[LUMINA]\nMsTori=\n", "MsTori", ""},
        {"first key wins", "[LUMINA]\nMsTori=A\nMsTori=B\n", "MsTori", "A"},
        {"first section wins", "[LUMINA]\nMsKyak=A\n[LUMINA]\nMsTori=B\n", "MsTori", QString()},
        {"after other section", "MsTori=0\n[OTHER]\nMsTori=A\n[LUMINA]\nMsTori=B\n", "MsTori", "B"},
        {"comments, no equals", "[LUMINA]\n;MsTori=A\n  ; MsTori=B\nMsTori\nMsTori=C\n", "MsTori",
         "C"},
        {"key prefix", "[LUMINA]\nMsToriX=A\n", "MsTori", QString()},
        {"shift-jis value with a 5C trail byte", // 渋谷店表示: 0x5C is not a separator
         "[LUMINA]\r\nMiseName=\x8f\x61\x92\x4a\x93\x58\x95\x5c\x8e\xa6\r\n", "MiseName",
         QString::fromUtf8("渋谷店表示")},
    };
    DriveC drive;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drive.writeBytes("ZEWIN/ZEMA.ini", c.bytes);
        const QString value = readProfileString(drive.host("ZEWIN/ZEMA.ini"), "LUMINA", c.key);
        EXPECT_EQ(value.isNull(), c.expected.isNull());
        EXPECT_EQ(value, c.expected);
    }
}

TEST(ReadProfileString, MissingFileOrFolderIsMissing) {
    DriveC drive;
    drive.mkdir("ZEWIN");
    for (const QString& path : {drive.host("ZEWIN/ZEMA.ini"), drive.host("ZEWIN"), QString()})
        EXPECT_TRUE(readProfileString(path, "LUMINA", "MsTori").isNull()) << path.toStdString();
}

} // namespace
