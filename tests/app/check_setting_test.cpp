// The settings check at start-up, on sample installations: the store number
// from MSLOCL's MlMsno where the settings file gives 0, and the local
// database passed over when it cannot be reached. (A database error of
// start-up is shown as the other start-up errors are; the format of a wrong
// setting's line is among the start-up tests.)

#include "support/gui_app.h"

namespace tanka::test {
namespace {

TEST(CheckSetting, StoreNumberFromMlMsnoOnlyReplacesZero) {
    const struct {
        const char* name;
        const char* settingsStoreId;
        QStringList mslocl; // run on the sample's MSLOCL (MlMsno: one row, store 1)
        const char* msloclServer;
        std::int16_t expected;
    } cases[] = {
        {"zero takes MlMsno", "0", {}, "SV01", 1},
        {"settings number stays", "1", {"UPDATE MlMsno SET MiseID = 7"}, "SV01", 1},
        {"no rows keeps zero", "0", {"DELETE FROM MlMsno"}, "SV01", 0},
        {"null reads as zero", "0", {"UPDATE MlMsno SET MiseID = NULL"}, "SV01", 0},
        {"unreachable local database is passed over", "0", {}, "DOWN", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sample::Options o;
        o.settingsStoreId = QString::fromLatin1(c.settingsStoreId);
        AppOnSample a(o);
        a.site.sql(QStringLiteral("MSLOCL"), c.mslocl);
        a.site.editIni("MsLocl=SV01", QByteArray("MsLocl=") + c.msloclServer);
        EXPECT_EQ(a.app->load(), LoadResult::Loaded);
        EXPECT_TRUE(a.boxes.shown.empty()) << a.boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(a.g().ownStoreId, c.expected);
    }
}

} // namespace
} // namespace tanka::test
