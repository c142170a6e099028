// GijuJob and TenJob on real SQLite sample installations: slot states, tax
// flags, Null and zero prices, the rounding choices reaching every price, the
// last-update marking, and which rows the store filter lets through.

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "engine_fixture.h"
#include "pricing/conversion.h"
#include "pricing/keisan.h"

namespace tanka::test {
namespace {

// Test cases print as their names.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

QString text(const Price& p) {
    return p ? QString::number(*p) : QStringLiteral("<null>");
}

void runJobs(EngineFixture& fx, bool giju, bool ten) {
    fx.cn().beginTrans();
    if (giju)
        GijuJob(fx.cn(), fx.g(), fx.clock());
    if (ten)
        TenJob(fx.cn(), fx.g(), fx.clock());
    fx.cn().commitTrans();
}

void expectGijuSlots(const EngineFixture& fx, const Slot5& a, const Slot5& b,
                     const QString& where = QStringLiteral("GijutuID = 1")) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fx.value("MTGIJU", QStringLiteral("TankaA%1").arg(i + 1), where), text(a[i]))
            << "TankaA" << i + 1;
        EXPECT_EQ(fx.value("MTGIJU", QStringLiteral("TankaB%1").arg(i + 1), where), text(b[i]))
            << "TankaB" << i + 1;
    }
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
    {"TaxFlg0CopiedToB",                     0,  {3000, 0, 0, 0, 0},      {},                        0,  1, 1, {3000, 0, 0, 0, 0},     {3000, 0, 0, 0, 0}},
    {"NullSourceWrittenAsZero",              1,  {1080, {}, 0, 0, 0},     {},                        0,  1, 1, {1080, {}, 0, 0, 0},    {1100, 0, 0, 0, 0}},
    {"AllZeroSourceStillWritten",            1,  {0, 0, 0, 0, 0},         {9, 9, 9, 9, 9},           0,  1, 2, {0, 0, 0, 0, 0},        {0, 0, 0, 0, 0}},
    {"BToA",                                 1,  {7, 7, 7, 7, 7},         {1080, 540, 0, 0, 3240},   1,  0, 2, {1000, 500, 0, 0, 3000}, {1080, 540, 0, 0, 3240}},
    {"TaxFlg2Copied",                        2,  {1080, 540, 0, 0, 0},    {},                        0,  1, 1, {1080, 540, 0, 0, 0},   {1080, 540, 0, 0, 0}},
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
    fx.g().GijuSrcSlot = c.src;
    fx.g().GijuDstSlot = c.dst;
    fx.g().GijuMode = c.kind;

    runJobs(fx, true, false);
    expectGijuSlots(fx, c.newA, c.newB);
}

INSTANTIATE_TEST_SUITE_P(Slots, GijuConversion, ::testing::ValuesIn(gijuCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct TenCase {
    const char* name;
    std::optional<int> taxFlg;
    Price a, b;
    std::int16_t src, dst, kind;
    Price newA, newB;
};

const TenCase tenCases[] = {
    {"Kind2AToB", 1, 540, {}, 0, 1, 2, 540, 500},
    {"TaxFlg2Copied", 2, 540, 1, 0, 1, 2, 540, 540},
    {"TaxFlgNullCopied", {}, 540, 1, 0, 1, 1, 540, 540},
    {"NullSourceWrittenAsZero", 1, {}, 700, 0, 1, 1, {}, 0},
    {"BToA", 1, 3, 1080, 1, 0, 1, 1100, 1080},
    {"UndeterminedBothInPlace", 1, 1080, 540, 1, -1, 2, 1000, 500},
};

class TenConversion : public ::testing::TestWithParam<TenCase> {};

TEST_P(TenConversion, WritesTheDestinationSlot) {
    const TenCase& c = GetParam();
    EngineFixture fx(storeOptions());
    TenRow row;
    row.taxFlg = c.taxFlg;
    row.a = c.a;
    row.b = c.b;
    fx.setTen({row});
    fx.g().TenSrcSlot = c.src;
    fx.g().TenDstSlot = c.dst;
    fx.g().TenMode = c.kind;

    runJobs(fx, false, true);
    EXPECT_EQ(fx.value("MTTENP", "UriTankaA", "TenpanID = 1"), text(c.newA));
    EXPECT_EQ(fx.value("MTTENP", "UriTankaB", "TenpanID = 1"), text(c.newB));
}

INSTANTIATE_TEST_SUITE_P(Slots, TenConversion, ::testing::ValuesIn(tenCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every rounding method and unit for both kinds reaches every position: one
// row per kind, results [unit][mode] per source price.
TEST(Rounding, EveryMethodAndUnitReachesEveryPosition) {
    struct KindTable {
        std::int16_t kind;
        std::array<int, 5> prices;
        int expected[5][3][3];
    };
    const KindTable tables[] = {
        {1,
         {540, 500, 330, 1, -500},
         {{{550, 550, 550}, {550, 550, 550}, {500, 600, 600}},
          {{509, 510, 509}, {500, 510, 510}, {500, 600, 500}},
          {{336, 337, 336}, {330, 340, 340}, {300, 400, 300}},
          {{1, 1, 1}, {0, 10, 0}, {0, 100, 0}},
          {{-509, -510, -509}, {-500, -510, -510}, {-500, -600, -500}}}},
        {2,
         {500, 540, 130, 100, 0},
         {{{462, 463, 463}, {460, 470, 460}, {400, 500, 500}},
          {{500, 500, 500}, {500, 500, 500}, {500, 500, 500}},
          {{120, 121, 120}, {120, 120, 120}, {100, 200, 100}},
          {{92, 93, 93}, {90, 100, 90}, {0, 100, 100}},
          {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}},
    };
    EngineFixture fx(storeOptions());
    for (const KindTable& t : tables) {
        for (std::int16_t unit = 0; unit < 3; ++unit) {
            for (std::int16_t mode = 0; mode < 3; ++mode) {
                SCOPED_TRACE(testing::Message()
                             << "kind " << t.kind << " unit " << unit << " mode " << mode);
                GijuRow row;
                Slot5 a, b;
                for (int i = 0; i < 5; ++i) {
                    a[i] = t.prices[i];
                    b[i] = t.expected[i][unit][mode];
                }
                row.a = a;
                fx.setGiju({row});
                fx.g().GijuMode = t.kind;
                fx.g().HasuMode = mode;
                fx.g().HasuTani = unit;
                runJobs(fx, true, false);
                expectGijuSlots(fx, a, b);
            }
        }
    }
}

struct MarkCase {
    const char* name;
    bool honbu;
    QDate today;
    std::optional<int> flag;
    std::optional<QString> date; // stored before
    QString newFlag;
    QString newDay;   // Get_DateStr of the stored date after
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
    {"HonbuHundredYearsBefore",       true,  QDate(2019, 10, 1), 0, "2019-09-30 00:00:00", "2",      "1919/10/01", "1100"},
    {"HonbuLeapDayBecomes28",         true,  QDate(2000, 2, 29), 0, "2019-09-30 00:00:00", "2",      "1900/02/28", "1100"},
    {"HonbuReferenceDayUntouched",    true,  QDate(2000, 2, 29), 1, "1900-02-28 00:00:00", "1",      "1900/02/28", "1100"},
};
// clang-format on

TEST(HundredYearsBefore, KeepsMonthAndDayAndMendsLeapDay) {
    const struct {
        QDate today, expected;
    } cases[] = {
        {QDate(2019, 10, 1), QDate(1919, 10, 1)},
        {QDate(2000, 2, 29), QDate(1900, 2, 28)},
        {QDate(2024, 2, 29), QDate(1924, 2, 29)},
        {QDate(2023, 12, 31), QDate(1923, 12, 31)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hundredYearsBefore(c.today), c.expected) << c.today.toString().toStdString();
}

// The row's date as the marking compares it: the stored form read directly
// must answer exactly as Get_DateStr does, for that form and every other.
TEST(RowDateText, AnswersAsGetDateStr) {
    const QVariant values[] = {
        QStringLiteral("2019-09-30 14:13:00"),
        QStringLiteral("1919-10-01 00:00:00"),
        QStringLiteral("2020-02-29 23:59:59"),
        QStringLiteral("2019-02-29 00:00:00"),
        QStringLiteral("2019-13-01 00:00:00"),
        QStringLiteral("2019-09-30 24:00:00"),
        QStringLiteral("2019-09-30 23:60:00"),
        QStringLiteral("2019-09-30 23:59:60"),
        QStringLiteral("0099-01-01 00:00:00"),
        QStringLiteral("0100-01-01 00:00:00"),
        QStringLiteral("2019-09-30T14:13:00"),
        QStringLiteral("2019/09/30 14:13:00"),
        QStringLiteral("2019-9-30 14:13:00 "),
        QStringLiteral("2019-09-30 14:13:0x"),
        QStringLiteral("２０１９-09-30 14:13:00"),
        QStringLiteral("2019-09-30"),
        QStringLiteral("2019-09-30 14:13:00.123"),
        QString(),
        QVariant(),
        QVariant(QMetaType::fromType<QString>()),
        QDate(2019, 9, 30),
        QDateTime(QDate(2019, 9, 30), QTime(8, 0)),
        qlonglong{20190930},
    };
    for (const QVariant& value : values)
        EXPECT_EQ(rowDateText(value), Get_DateStr(value, QStringLiteral("yyyy/mm/dd")))
            << value.toString().toStdString();
    EXPECT_EQ(rowDateText(QStringLiteral("2019-09-30 14:13:00")), QStringLiteral("2019/09/30"));
}

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
        EXPECT_EQ(Get_DateStr(QVariant(stored), "yyyy/mm/dd"), c.newDay) << stored.toStdString();
    }
    // The prices change whether or not the row is marked.
    EXPECT_EQ(fx.value("MTGIJU", "TankaB1", where), c.newPrice);
    EXPECT_EQ(fx.value("MTTENP", "UriTankaB", where), c.newPrice);
}

INSTANTIATE_TEST_SUITE_P(Rows, Marking, ::testing::ValuesIn(markCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows of the chosen stores change; every other row, and every row with
// SaisyuKosinFlg 9, stays exactly as it was.
struct FilterCase {
    const char* name;
    bool honbu;
    int stores;
    std::int16_t own;
    QStringList chosen; // MiseList column 0, from row 0
    std::vector<int> changedStores;
};

const FilterCase filterCases[] = {
    {"StoreConvertsOwnStoreOnly", false, 3, 2, {}, {2}},
    {"HonbuChosenStores", true, 4, 1, {"3", "0", "", "1"}, {1, 3}},
    {"HonbuNoneChosenIsAll", true, 3, 1, {"0", ""}, {1, 2, 3}},
};

bool expectedChange(const FilterCase& c, int miseId) {
    return std::find(c.changedStores.begin(), c.changedStores.end(), miseId) !=
           c.changedStores.end();
}

// The expected destination price of a dumped source price (Null reads as 0).
QString converted(const QString& taxFlg, const QString& source, const Globals& g, bool giju) {
    const std::int32_t p = source == "<null>" ? 0 : source.toInt();
    if (taxFlg != "1")
        return QString::number(p);
    return QString::number(Keisan(p, giju ? g.GijuMode : g.TenMode, g.HasuMode, g.HasuTani));
}

class StoreFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(StoreFilter, ChangesExactlyTheLiveRowsOfTheChosenStores) {
    const FilterCase& c = GetParam();
    sample::Options o = c.honbu ? headquartersOptions(c.stores) : storeOptions(c.stores, c.own);
    EngineFixture fx(o);
    for (int i = 0; i < c.chosen.size(); ++i)
        fx.g().MiseList[i][0] = c.chosen[i];
    fx.g().GijuMode = 2;
    fx.g().HasuMode = 1;
    fx.g().HasuTani = 1;

    const QStringList gijuBefore = fx.dump("MTGIJU");
    const QStringList tenBefore = fx.dump("MTTENP");
    runJobs(fx, true, true);
    const QStringList gijuAfter = fx.dump("MTGIJU");
    const QStringList tenAfter = fx.dump("MTTENP");

    struct TableLayout {
        const QStringList& before;
        const QStringList& after;
        bool giju;
        int taxCol, firstA, firstB, positions, flagCol;
    };
    const TableLayout tables[] = {{gijuBefore, gijuAfter, true, 5, 6, 11, 5, 16},
                                  {tenBefore, tenAfter, false, 5, 6, 7, 1, 8}};
    int changed = 0, kept = 0, deleted = 0;
    for (const TableLayout& t : tables) {
        ASSERT_EQ(t.before.size(), t.after.size());
        for (int r = 0; r < t.before.size(); ++r) {
            const QStringList was = t.before[r].split(u'\t');
            const QStringList is = t.after[r].split(u'\t');
            const bool live = was[t.flagCol] != "9";
            deleted += live ? 0 : 1;
            if (!live || !expectedChange(c, was[1].toInt())) {
                EXPECT_EQ(t.after[r], t.before[r]);
                ++kept;
                continue;
            }
            ++changed;
            for (int i = 0; i < t.positions; ++i) {
                EXPECT_EQ(is[t.firstA + i], was[t.firstA + i]) << t.before[r].toStdString();
                EXPECT_EQ(is[t.firstB + i],
                          converted(was[t.taxCol], was[t.firstA + i], fx.g(), t.giju))
                    << t.before[r].toStdString();
            }
            EXPECT_EQ(is[t.flagCol], "2");
        }
    }
    // The sample must exercise all three kinds of rows.
    EXPECT_GT(changed, 0);
    EXPECT_GT(deleted, 0);
    if (c.changedStores.size() < std::size_t(c.stores)) {
        EXPECT_GT(kept, deleted);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreFilter, ::testing::ValuesIn(filterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Conversion, StoreWithoutLiveRowsChangesNothing) {
    EngineFixture fx(storeOptions(2, 2));
    fx.exec({"DELETE FROM MTGIJU WHERE MiseID = 2", "DELETE FROM MTTENP WHERE MiseID = 2"});
    const QStringList before = fx.dumpBoth();
    fx.cn().beginTrans();
    EXPECT_EQ(GijuJob(fx.cn(), fx.g(), fx.clock()), 0);
    EXPECT_EQ(TenJob(fx.cn(), fx.g(), fx.clock()), 0);
    fx.cn().commitTrans();
    EXPECT_EQ(fx.dumpBoth(), before);
}

TEST(Conversion, CallsProcessEventsOncePerSavedRow) {
    EngineFixture fx(storeOptions());
    int calls = 0;
    fx.cn().beginTrans();
    const long rows = GijuJob(fx.cn(), fx.g(), fx.clock(), [&] { ++calls; });
    fx.cn().commitTrans();
    EXPECT_GT(rows, 0);
    EXPECT_EQ(calls, rows);
}

} // namespace
} // namespace tanka::test
