// Settings validation: the six server names from a real settings file in
// CP932, the message listing the missing ones, and the store number from
// MSLOCL.
#include <gtest/gtest.h>

#include "app/check_setting.h"
#include "db/sqlite_fixture.h"
#include "support/drive_c.h"
#include "support/scripted_boxes.h"

namespace tanka {
namespace {

const char* const kKeys[] = {"MsTori", "MSJsho", "MsKyak", "MsUria", "MsLocl", "MsHonb"};

class CheckSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        g.IniDrive = QStringLiteral("C:");
        g.IniFolder = QStringLiteral("\\ZEMA\\");
        g.IniName = QStringLiteral("ZEMA.ini");
    }

    // The settings file with every key but those left out, in CP932.
    void writeIni(const QString& iniName, const QStringList& leftOut, const QString& server) {
        QString text = QStringLiteral("[LUMINA]\r\n; サーバー設定\r\n");
        for (const char* key : kKeys)
            if (!leftOut.contains(QLatin1String(key)))
                text += QStringLiteral("%1=%2\r\n").arg(QLatin1String(key), server);
        drive.writeText(QStringLiteral("ZEMA/") + iniName, text);
    }

    void check() {
        const InstallContext ctx{drive.map(), env};
        Check_Setting(g, ctx, boxes, 30);
    }

    test::SqliteServers servers;
    test::DriveC drive;
    test::ConsoleEnv env;
    test::ScriptedBoxes boxes;
    Globals g;
};

TEST_F(CheckSettingTest, MissingServerNamesAreListedInOneBoxInTableOrder) {
    const struct {
        const char* iniName;
        QStringList leftOut;
        const char* message;
    } cases[] = {
        {"ZEMA.ini",
         {"MsUria", "MsHonb"},
         "ZEMA.ini Msuriaの設定が違います \r\nZEMA.ini Mshonbの設定が違います \r\n"},
        {"KOTA.ini",
         {"MsHonb", "MsTori"},
         "ZEMA.ini MsToriの設定が違います \r\nZEMA.ini Mshonbの設定が違います \r\n"},
        {"MIRO.ini",
         {"MsTori", "MSJsho", "MsKyak", "MsUria", "MsLocl", "MsHonb"},
         "ZEMA.ini MsToriの設定が違います \r\nZEMA.ini Msjshoの設定が違います \r\n"
         "ZEMA.ini Mskyakの設定が違います \r\nZEMA.ini Msuriaの設定が違います \r\n"
         "ZEMA.ini Msloclの設定が違います \r\nZEMA.ini Mshonbの設定が違います \r\n"},
    };
    for (const auto& c : cases) {
        boxes.shown.clear();
        g = Globals{};
        g.IniDrive = QStringLiteral("C:");
        g.IniFolder = QStringLiteral("\\ZEMA\\");
        g.IniName = QString::fromLatin1(c.iniName);
        writeIni(g.IniName, c.leftOut, QStringLiteral("SV01"));
        check();
        ASSERT_EQ(boxes.shown.size(), 1u) << c.iniName;
        EXPECT_EQ(boxes.shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Common"));
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
        EXPECT_TRUE(g.LoginID.isEmpty());
        EXPECT_TRUE(g.LoginPW.isEmpty());
        EXPECT_EQ(g.MyMiseID, 0); // MlMsno is not read
    }
}

TEST_F(CheckSettingTest, StoreNumberFromMlMsnoOnlyReplacesZero) {
    const struct {
        const char* name;
        std::int16_t fromSettings;
        QStringList mlmsno; // statements run on MSLOCL first
        std::int16_t expected;
    } cases[] = {
        {"zero takes MlMsno", 0, {}, 7},
        {"settings number stays", 3, {}, 3},
        {"first row only", 0, {"INSERT INTO MlMsno VALUES (9)"}, 7},
        {"no rows keeps zero", 0, {"DELETE FROM MlMsno"}, 0},
        {"null reads as zero", 0, {"UPDATE MlMsno SET MiseID = NULL"}, 0},
    };
    writeIni(g.IniName, {}, QStringLiteral("SV01"));
    const QString locl = servers.sv01File("MSLOCL");
    for (const auto& c : cases) {
        test::SqliteServers::run(locl, {QStringLiteral("DELETE FROM MlMsno"),
                                        QStringLiteral("INSERT INTO MlMsno VALUES (7)")});
        test::SqliteServers::run(locl, c.mlmsno);
        g.MyMiseID = c.fromSettings;
        check();
        EXPECT_TRUE(boxes.shown.empty()) << c.name;
        EXPECT_EQ(g.MyMiseID, c.expected) << c.name;
        EXPECT_EQ(g.LoginID, QStringLiteral("ORBE-TLX-MEMBER"));
        EXPECT_EQ(g.LoginPW, QStringLiteral("QDR615"));
        EXPECT_EQ(g.SvLocl, QStringLiteral("SV01"));
        EXPECT_EQ(g.SvJsho, QStringLiteral("SV01"));
    }
}

TEST_F(CheckSettingTest, UnreachableLocalDatabaseIsSilent) {
    writeIni(g.IniName, {}, QStringLiteral("DOWN"));
    g.MyMiseID = 0;
    EXPECT_NO_THROW(check());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(g.MyMiseID, 0);
    EXPECT_EQ(g.LoginID, QStringLiteral("ORBE-TLX-MEMBER"));
}

TEST_F(CheckSettingTest, MissingTableIsRaisedToTheCaller) {
    writeIni(g.IniName, {}, QStringLiteral("SV01"));
    test::SqliteServers::run(servers.sv01File("MSLOCL"), {QStringLiteral("DROP TABLE MlMsno")});
    const RunError e = test::raised([&] { check(); });
    EXPECT_EQ(e.number(), 208);
    EXPECT_EQ(e.description(), "Invalid object name 'MlMsno'.");
}

} // namespace
} // namespace tanka
