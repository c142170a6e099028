// convertTechnicalMenu and convertRetailProducts on real SQLite sample installations: the
// last-update marking as stored, for the dates and flags only a database holds (Null date, a
// time on the same day, Null flag). The row step's rules are in the row step's own test; the
// prices and markings a run writes on whole tables are compared in the preview tests.

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "engine_fixture.h"
#include "pricing/conversion.h"

namespace tanka::test {
namespace {

struct MarkCase {
    const char* name;
    std::optional<int> flag;
    std::optional<QString> date; // stored before
    QString newFlag;
    QString newDay;   // formatFieldDate of the stored date after
    QString newPrice; // TankaB1 / UriTankaB after (source 1080, kind 1)
};

// A Null SaisyuKosinFlg does not pass " SaisyuKosinFlg <> 9 " (Null is not
// unequal to 9), so such a row is not converted at all.
// clang-format off
const MarkCase markCases[] = {
    {"NullDateMarked",            5,  {},                    "2",      "2019/09/30", "1100"},
    {"SameDayUntouched",          0,  "2019-09-30 15:10:00", "0",      "2019/09/30", "1100"},
    {"NullFlagRowIsNotConverted", {}, "2019-09-29 00:00:00", "<null>", "2019/09/29", "<null>"},
};
// clang-format on

class Marking : public ::testing::TestWithParam<MarkCase> {};

TEST_P(Marking, SetsFlagAndDateOnlyWhenTheDateDiffers) {
    const MarkCase& c = GetParam();
    EngineFixture fx(storeOptions());
    TechnicalRow technical;
    technical.a = {1080, 0, 0, 0, 0};
    technical.lastUpdateFlag = c.flag;
    technical.lastUpdateDate = c.date;
    fx.setTechnicalRows({technical});
    RetailRow ten;
    ten.a = 1080;
    ten.lastUpdateFlag = c.flag;
    ten.lastUpdateDate = c.date;
    fx.setRetailRows({ten});

    fx.cn().beginTrans();
    convertTechnicalMenu(fx.cn(), fx.g(), fx.clock());
    convertRetailProducts(fx.cn(), fx.g(), fx.clock());
    fx.cn().commitTrans();
    const QString where = QStringLiteral("MiseID = 1");
    for (const char* table : {"MTGIJU", "MTTENP"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(fx.value(table, "SaisyuKosinFlg", where), c.newFlag);
        const QString stored = fx.value(table, "SaisyuKosinDate", where);
        EXPECT_EQ(formatFieldDate(QVariant(stored), "yyyy/mm/dd"), c.newDay)
            << stored.toStdString();
    }
    // The prices change whether or not the row is marked.
    EXPECT_EQ(fx.value("MTGIJU", "TankaB1", where), c.newPrice);
    EXPECT_EQ(fx.value("MTTENP", "UriTankaB", where), c.newPrice);
}

INSTANTIATE_TEST_SUITE_P(Rows, Marking, ::testing::ValuesIn(markCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
