// The settings check at start-up, on sample installations: the store number
// from MSLOCL's MlMsno where the settings file gives 0, and the local
// database passed over when it cannot be reached. (The listing of missing
// server names is among the start-up tests.)

#include <QFile>

#include "support/gui_app.h"

namespace tanka::test {
namespace {

TEST(CheckSetting, StoreNumberFromMlMsnoOnlyReplacesZero) {
    const struct {
        const char* name;
        const char* iniMiseId;
        QStringList mslocl; // run on the sample's MSLOCL (MlMsno: one row, store 1)
        const char* msloclServer;
        std::int16_t expected;
    } cases[] = {
        {"zero takes MlMsno", "0", {}, "SV01", 1},
        {"settings number stays", "1", {"UPDATE MlMsno SET MiseID = 7"}, "SV01", 1},
        {"first row only", "0", {"INSERT INTO MlMsno VALUES (9)"}, "SV01", 1},
        {"no rows keeps zero", "0", {"DELETE FROM MlMsno"}, "SV01", 0},
        {"null reads as zero", "0", {"UPDATE MlMsno SET MiseID = NULL"}, "SV01", 0},
        {"unreachable local database is passed over", "0", {}, "DOWN", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sample::Options o;
        o.iniMiseId = QString::fromLatin1(c.iniMiseId);
        AppOnSample a(o);
        a.site.sql(QStringLiteral("MSLOCL"), c.mslocl);
        QFile ini(a.site.install.iniFile);
        ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
        const QByteArray text =
            ini.readAll().replace("MsLocl=SV01", QByteArray("MsLocl=") + c.msloclServer);
        ini.resize(0);
        ini.write(text);
        ini.close();
        EXPECT_EQ(a.app->Form_Load(), LoadResult::Loaded);
        EXPECT_TRUE(a.boxes.shown.empty()) << a.boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(a.g().MyMiseID, c.expected);
    }
}

TEST(CheckSetting, MissingTableIsShownAndEnds) {
    AppOnSample a;
    a.site.sql(QStringLiteral("MSLOCL"), {QStringLiteral("DROP TABLE MlMsno")});
    EXPECT_EQ(a.app->Form_Load(), LoadResult::Failed);
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_TRUE(a.boxes.shown[0].text.endsWith(
        QStringLiteral("エラー番号: 208\r\nInvalid object name 'MlMsno'.")))
        << a.boxes.shown[0].text.toStdString();
}

} // namespace
} // namespace tanka::test
