// convertTechnicalMenu and convertRetailProducts on real SQLite sample installations: slot states,
// tax flags, Null and zero prices, and the last-update marking. Both menus run one row step
// (convertMenu), so the slot cases are the technical menu's; retail's slots are checked against the
// formula by the window's forced runs. Which stores' rows change is checked on whole tables by the
// preview tests.

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "engine_fixture.h"
#include "pricing/conversion.h"

namespace tanka::test {
namespace {

QString text(const Price& p) {
    return p ? QString::number(*p) : QStringLiteral("<null>");
}

void runJobs(EngineFixture& fx, bool giju, bool ten) {
    fx.cn().beginTrans();
    if (giju)
        convertTechnicalMenu(fx.cn(), fx.g(), fx.clock());
    if (ten)
        convertRetailProducts(fx.cn(), fx.g(), fx.clock());
    fx.cn().commitTrans();
}

void expectGijuSlots(const EngineFixture& fx, const Slot5& a, const Slot5& b) {
    QStringList columns, want;
    for (std::size_t i = 0; i < 10; ++i) {
        columns << QStringLiteral("Tanka%1%2").arg(i < 5 ? 'A' : 'B').arg(i % 5 + 1);
        want << text((i < 5 ? a : b)[i % 5]);
    }
    EXPECT_EQ(fx.value("MTGIJU", columns.join(", "), "GijutuID = 1"), want.join(u'\t'));
}

struct GijuCase {
    const char* name;
    std::optional<int> taxFlg;
    Slot5 a, b;
    std::int16_t src, dst, kind;
    Slot5 newA, newB;
};

// Truncation to 1 yen throughout: kind 1 1080 -> 1100, 540 -> 550; kind 2
// 540 -> 500, 1080 -> 1000.
// clang-format off
const GijuCase gijuCases[] = {
    //name                                   tax  source A                 source B                  src dst kind  new A                  new B
    {"NullSourceWrittenAsZero",              1,  {1080, {}, 0, 0, 0},     {},                        0,  1, 1, {1080, {}, 0, 0, 0},    {1100, 0, 0, 0, 0}},
    {"AllZeroSourceStillWritten",            1,  {0, 0, 0, 0, 0},         {9, 9, 9, 9, 9},           0,  1, 2, {0, 0, 0, 0, 0},        {0, 0, 0, 0, 0}},
    {"BToA",                                 1,  {7, 7, 7, 7, 7},         {1080, 540, 0, 0, 3240},   1,  0, 2, {1000, 500, 0, 0, 3000}, {1080, 540, 0, 0, 3240}},
    {"TaxFlgNullCopied",                     {}, {1080, 540, 0, 0, 0},    {},                        0,  1, 1, {1080, 540, 0, 0, 0},   {1080, 540, 0, 0, 0}},
    {"SameSlotInPlaceLeavesOtherSlot",       1,  {1080, 540, 0, 0, 0},    {std::nullopt, 5},         0,  0, 1, {1100, 550, 0, 0, 0},   {std::nullopt, 5}},
    {"UndeterminedConvertsBothInPlace",      1,  {1080, {}, 0, 0, 0},     {540, 0, 0, 0, 1080},      0, -1, 1, {1100, 0, 0, 0, 0},     {550, 0, 0, 0, 1100}},
    {"UndeterminedTaxFlg0WritesNullsAsZero", 0,  {1080, {}, 0, 0, 0},     {std::nullopt, {}, {}, {}, 540}, 1, -1, 1, {1080, 0, 0, 0, 0}, {0, 0, 0, 0, 540}},
};
// clang-format on

class GijuConversion : public ::testing::TestWithParam<GijuCase> {};

TEST_P(GijuConversion, WritesTheDestinationSlot) {
    const GijuCase& c = GetParam();
    EngineFixture fx(storeOptions());
    GijuRow row;
    row.taxFlg = c.taxFlg;
    row.a = c.a;
    row.b = c.b;
    fx.setGiju({row});
    fx.g().technicalSource = static_cast<Slot>(c.src);
    fx.g().technicalDestination = static_cast<Slot>(c.dst);
    fx.g().technicalKind = c.kind;

    runJobs(fx, true, false);
    expectGijuSlots(fx, c.newA, c.newB);
}

INSTANTIATE_TEST_SUITE_P(Slots, GijuConversion, ::testing::ValuesIn(gijuCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct MarkCase {
    const char* name;
    bool honbu;
    QDate today;
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
    {"StoreOtherDateMarked",          false, {},                0,  "2018-04-01 00:00:00", "2",      "2019/09/30", "1100"},
    {"StoreNullDateMarked",           false, {},                5,  {},                    "2",      "2019/09/30", "1100"},
    {"StoreSameDayUntouched",         false, {},                0,  "2019-09-30 15:10:00", "0",      "2019/09/30", "1100"},
    {"NullFlagRowIsNotConverted",     false, {},                {}, "2019-09-29 00:00:00", "<null>", "2019/09/29", "<null>"},
    {"HonbuLeapDayBecomes28",         true,  QDate(2000, 2, 29), 0, "2019-09-30 00:00:00", "2",      "1900/02/28", "1100"},
};
// clang-format on

class Marking : public ::testing::TestWithParam<MarkCase> {};

TEST_P(Marking, SetsFlagAndDateOnlyWhenTheDateDiffers) {
    const MarkCase& c = GetParam();
    EngineFixture fx(c.honbu ? headquartersOptions(1) : storeOptions());
    fx.clock().set(c.today);
    GijuRow giju;
    giju.a = {1080, 0, 0, 0, 0};
    giju.kosinFlg = c.flag;
    giju.kosinDate = c.date;
    fx.setGiju({giju});
    TenRow ten;
    ten.a = 1080;
    ten.kosinFlg = c.flag;
    ten.kosinDate = c.date;
    fx.setTen({ten});

    runJobs(fx, true, true);
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
