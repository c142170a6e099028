#include <gtest/gtest.h>

#include "install/install.h"
#include "install_fixture.h"

using namespace tanka;
using tanka::testing::DriveC;

namespace {

TEST(ReadProfileString, FollowsThePrivateProfileRules) {
    const QString s300 = QString(300, u'x');
    const struct {
        const char* name;
        QByteArray bytes; // the file as it lies on disk
        QString key;
        QString expected; // null: missing
    } cases[] = {
        {"plain", "[LUMINA]\nMsTori=SV1\n", "MsTori", "SV1"},
        {"crlf", "[LUMINA]\r\nMsTori=SV1\r\nMsKyak=SV2\r\n", "MsKyak", "SV2"},
        {"no final newline", "[LUMINA]\nMsTori=SV1", "MsTori", "SV1"},
        {"key case", "[LUMINA]\r\nMSTORI=SV1\r\n", "MsTori", "SV1"},
        {"section case", "[lumina]\r\nMsTori=SV1\r\n", "MsTori", "SV1"},
        {"blanks", "  [ LUMINA ]  \r\n  MsTori \t=\t SV1  \r\n", "MsTori", "SV1"},
        {"inner blanks kept", "[LUMINA]\nMsTori=SV 1\n", "MsTori", "SV 1"},
        {"double quotes", "[LUMINA]\nMsTori=\" SV1 \"\n", "MsTori", " SV1 "},
        {"single quotes", "[LUMINA]\nMsTori='SV1'\n", "MsTori", "SV1"},
        {"one pair only", "[LUMINA]\nMsTori=\"\"SV1\"\"\n", "MsTori", "\"SV1\""},
        {"unmatched quotes", "[LUMINA]\nMsTori=\"SV1'\n", "MsTori", "\"SV1'"},
        {"lone quote", "[LUMINA]\nMsTori=\"\n", "MsTori", "\""},
        {"equals in value", "[LUMINA]\nConn=a=b\n", "Conn", "a=b"},
        {"empty value", "[LUMINA]\nMsTori=\n", "MsTori", ""},
        {"first key wins", "[LUMINA]\nMsTori=A\nMsTori=B\n", "MsTori", "A"},
        {"first section wins", "[LUMINA]\nMsKyak=A\n[LUMINA]\nMsTori=B\n", "MsTori", QString()},
        {"other section", "[OTHER]\nMsTori=A\n[LUMINA]\nMsKyak=B\n", "MsTori", QString()},
        {"after other section", "[OTHER]\nMsTori=A\n[LUMINA]\nMsTori=B\n", "MsTori", "B"},
        {"before any section", "MsTori=A\n[LUMINA]\n", "MsTori", QString()},
        {"comment", "[LUMINA]\n;MsTori=A\n  ; MsTori=B\nMsTori=C\n", "MsTori", "C"},
        {"line without equals", "[LUMINA]\nMsTori\nMsTori=C\n", "MsTori", "C"},
        {"key prefix", "[LUMINA]\nMsToriX=A\n", "MsTori", QString()},
        {"missing section", "MsTori=A\n", "MsTori", QString()},
        {"empty file", "", "MsTori", QString()},
        {"cut to 250", "[LUMINA]\nMsTori=" + s300.toLatin1() + "\n", "MsTori", s300.left(250)},
        {"shift-jis value",
         "[LUMINA]\r\nMiseName=\x8f\x61\x92\x4a\x93\x58\r\n", // 渋谷店
         "MiseName", QString::fromUtf8("渋谷店")},
        {"shift-jis 5C trail byte",
         "[LUMINA]\r\nMiseName=\x95\x5c\x8e\xa6\r\n", // 表示: 0x5C is not a separator
         "MiseName", QString::fromUtf8("表示")},
        {"shift-jis key", "[LUMINA]\r\n\x93\x58=A\r\n", QString::fromUtf8("店"), "A"},
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
    EXPECT_TRUE(readProfileString(drive.host("ZEWIN/ZEMA.ini"), "LUMINA", "MsTori").isNull());
    EXPECT_TRUE(readProfileString(drive.host("ZEWIN"), "LUMINA", "MsTori").isNull());
    EXPECT_TRUE(readProfileString(QString(), "LUMINA", "MsTori").isNull());
}

TEST(ReadProfileString, CutsAtTheGivenLength) {
    DriveC drive;
    drive.writeText("a.ini", "[S]\nK=abcdef\n");
    EXPECT_EQ(readProfileString(drive.host("a.ini"), "S", "K", 3), "abc");
    EXPECT_EQ(readProfileString(drive.host("a.ini"), "S", "K", 0), "");
    EXPECT_EQ(readProfileString(drive.host("a.ini"), "S", "K", -1), "abcdef");
}

} // namespace
