// convertTechnicalMenu and convertRetailProducts on real SQLite sample installations: the
// last-update marking as stored, for the dates and flags only a database holds (Null date, a
// time on the same day, Null flag). The row step's rules are in the row step's own test; the
// prices and markings a run writes on whole tables are compared in the preview tests.

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "engine_fixture.h"
#include "pricing/conversion.h"
#include "support/table_dump.h"

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

TEST(Marking, SetsFlagAndDateOnlyWhenTheDateDiffers) {
    for (const MarkCase& c : markCases) {
        SCOPED_TRACE(c.name);
        EngineFixture fx(storeOptions());
        fx.setTechnicalRows(
            {{.a = {1080, 0, 0, 0, 0}, .lastUpdateFlag = c.flag, .lastUpdateDate = c.date}});
        fx.setRetailRows({{.a = 1080, .lastUpdateFlag = c.flag, .lastUpdateDate = c.date}});

        fx.cn().beginTrans();
        convertTechnicalMenu(fx.cn(), fx.g(), fx.clock());
        convertRetailProducts(fx.cn(), fx.g(), fx.clock());
        fx.cn().commitTrans();
        // The prices change whether or not the row is marked.
        for (const auto& [table, price] :
             {std::pair{"MTGIJU", "TankaB1"}, std::pair{"MTTENP", "UriTankaB"}}) {
            SCOPED_TRACE(table);
            const QStringList row =
                dumpRows(fx.mstori(), "SELECT SaisyuKosinFlg, SaisyuKosinDate, " + QString(price) +
                                          " FROM " + table)
                    .value(0)
                    .split(u'\t');
            ASSERT_EQ(row.size(), 3);
            EXPECT_EQ(row[0], c.newFlag);
            EXPECT_EQ(formatFieldDate(QVariant(row[1]), "yyyy/mm/dd"), c.newDay)
                << row[1].toStdString();
            EXPECT_EQ(row[2], c.newPrice);
        }
    }
}

} // namespace
} // namespace tanka::test
