// The pure row step: which slots are read and written, which prices go through
// the formula, when a row is marked, and the options a run derives from the
// program-wide choices.

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/run_error.h"
#include "pricing/row_prices.h"

namespace tanka {
namespace {

// Test cases print as their names.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

using Five = std::array<std::int32_t, MaxPositions>;

struct RowCase {
    const char* name;
    std::int16_t src, dst;
    std::int32_t taxFlg;
    int positions;
    Five a, b; // prices read
    bool readA, readB;
    bool writeA, writeB;
    Five newA, newB; // expected where written
};

// kind 1, truncate, 1 yen: 1080 -> 1100, 540 -> 550, 3240 -> 3300.
const RowCase rowCases[] = {
    {"AtoBConvertsTaxIncluded",
     0,
     1,
     1,
     5,
     {1080, 0, 540, 0, 3240},
     {7, 7, 7, 7, 7},
     true,
     false,
     false,
     true,
     {},
     {1100, 0, 550, 0, 3300}},
    {"BtoAConvertsTaxIncluded",
     1,
     0,
     1,
     5,
     {7, 7, 7, 7, 7},
     {1080, 540, 0, 0, 0},
     false,
     true,
     true,
     false,
     {1100, 550, 0, 0, 0},
     {}},
    {"TaxFlg0CopiesUnchanged",
     0,
     1,
     0,
     5,
     {3000, 0, 0, 0, 0},
     {},
     true,
     false,
     false,
     true,
     {},
     {3000, 0, 0, 0, 0}},
    {"TaxFlg2CopiesUnchanged",
     0,
     1,
     2,
     5,
     {1080, 540, 0, 0, 1},
     {},
     true,
     false,
     false,
     true,
     {},
     {1080, 540, 0, 0, 1}},
    {"SameSlotConvertsInPlace",
     0,
     0,
     1,
     5,
     {1080, 540, 0, 0, 0},
     {},
     true,
     false,
     true,
     false,
     {1100, 550, 0, 0, 0},
     {}},
    {"UndeterminedConvertsBothInPlace",
     0,
     -1,
     1,
     5,
     {1080, 0, 0, 0, 0},
     {540, 0, 0, 0, 3240},
     true,
     true,
     true,
     true,
     {1100, 0, 0, 0, 0},
     {550, 0, 0, 0, 3300}},
    {"UndeterminedTaxFlg0KeepsBoth",
     1,
     -1,
     0,
     5,
     {1080, 0, 0, 0, 0},
     {540, 0, 0, 0, 0},
     true,
     true,
     true,
     true,
     {1080, 0, 0, 0, 0},
     {540, 0, 0, 0, 0}},
    {"RetailOnePosition",
     0,
     1,
     1,
     1,
     {540, 9, 9, 9, 9},
     {},
     true,
     false,
     false,
     true,
     {},
     {550, 0, 0, 0, 0}},
    {"UnknownDestinationWritesNoPrice",
     0,
     2,
     1,
     5,
     {1080, 0, 0, 0, 0},
     {},
     false,
     false,
     false,
     false,
     {},
     {}},
};

class RowStep : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowStep, ReadsAndWritesTheRightSlots) {
    const RowCase& c = GetParam();
    ConversionOptions o;
    o.kind = 1;
    o.srcSlot = c.src;
    o.dstSlot = c.dst;
    const SlotsRead read = slotsToRead(o);
    EXPECT_EQ(read.a, c.readA);
    EXPECT_EQ(read.b, c.readB);

    RowInput row;
    row.prices = {c.a, c.b};
    row.taxFlg = c.taxFlg;
    const RowPrices out = computeRowPrices(row, c.positions, o);
    EXPECT_EQ(out.written[0], c.writeA);
    EXPECT_EQ(out.written[1], c.writeB);
    for (int i = 0; i < c.positions; ++i) {
        if (c.writeA) {
            EXPECT_EQ(out.prices[0][i], c.newA[i]) << "A" << i + 1;
        }
        if (c.writeB) {
            EXPECT_EQ(out.prices[1][i], c.newB[i]) << "B" << i + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Slots, RowStep, ::testing::ValuesIn(rowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RowStep, OptionsReachTheFormula) {
    // 500 tax-exclusive: 462 truncated at 1 yen, 470 rounded up at 10 yen,
    // 500 rounded half up at 100 yen; 500 to 10 % rounded up at 100 yen: 600.
    struct {
        std::int16_t kind, mode, unit;
        std::int32_t expected;
    } cases[] = {{2, 0, 0, 462}, {2, 1, 1, 470}, {2, 2, 2, 500}, {1, 1, 2, 600}, {1, 0, 0, 509}};
    for (const auto& c : cases) {
        ConversionOptions o;
        o.kind = c.kind;
        o.hasuMode = c.mode;
        o.hasuTani = c.unit;
        RowInput row;
        row.taxFlg = 1;
        row.prices[0] = {500, 0, 0, 0, 0};
        EXPECT_EQ(computeRowPrices(row, 5, o).prices[1][0], c.expected)
            << c.kind << "/" << c.mode << "/" << c.unit;
    }
}

TEST(RowStep, OverflowRaises) {
    ConversionOptions o;
    RowInput row;
    row.taxFlg = 1;
    row.prices[0] = {1080, 2147483647, 0, 0, 0};
    EXPECT_THROW(computeRowPrices(row, 5, o), RunError);
    row.taxFlg = 0; // copied, not converted: no overflow
    EXPECT_EQ(computeRowPrices(row, 5, o).prices[1][1], 2147483647);
}

TEST(RowStep, MarksOnlyWhenTheDateDiffers) {
    const struct {
        const char* kosinDate;
        const char* reference;
        bool mark;
    } cases[] = {
        {"2019/09/30", "2019/09/30", false},
        {"2019/09/29", "2019/09/30", true},
        {"", "2019/09/30", true},
        {"", "", false},
    };
    for (const auto& c : cases) {
        ConversionOptions o;
        o.referenceDate = QString::fromLatin1(c.reference);
        RowInput row;
        row.kosinDate = QString::fromLatin1(c.kosinDate);
        EXPECT_EQ(computeRowPrices(row, 5, o).mark, c.mark) << c.kosinDate << " " << c.reference;
    }
}

TEST(HundredYearsBefore, KeepsMonthAndDayAndMendsLeapDay) {
    const struct {
        QDate today, expected;
    } cases[] = {
        {QDate(2019, 10, 1), QDate(1919, 10, 1)},
        {QDate(2000, 2, 29), QDate(1900, 2, 28)}, // 1900 has no 29 February
        {QDate(2024, 2, 29), QDate(1924, 2, 29)}, // 1924 has one
        {QDate(2023, 12, 31), QDate(1923, 12, 31)},
        {QDate(2023, 1, 1), QDate(1923, 1, 1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hundredYearsBefore(c.today), c.expected) << c.today.toString().toStdString();
}

TEST(ConversionOptions, TakeEachMenusChoicesAndTheMarkingDate) {
    Globals g;
    g.GijuMode = 1;
    g.TenMode = 2;
    g.HasuMode = 2;
    g.HasuTani = 1;
    g.GijuSrcSlot = 1;
    g.GijuDstSlot = 0;
    g.TenSrcSlot = 0;
    g.TenDstSlot = -1;
    g.MiseSyoriDate = QStringLiteral("2019/09/30");
    FixedClock clock(QDate(2000, 2, 29));

    g.HonbuFlg = False;
    const ConversionOptions giju = conversionOptions(Menu::Giju, g, clock);
    EXPECT_EQ(giju.kind, 1);
    EXPECT_EQ(giju.hasuMode, 2);
    EXPECT_EQ(giju.hasuTani, 1);
    EXPECT_EQ(giju.srcSlot, 1);
    EXPECT_EQ(giju.dstSlot, 0);
    EXPECT_EQ(giju.referenceDate, QStringLiteral("2019/09/30"));
    EXPECT_EQ(giju.markText, QStringLiteral("2019/09/30"));

    const ConversionOptions ten = conversionOptions(Menu::Ten, g, clock);
    EXPECT_EQ(ten.kind, 2);
    EXPECT_EQ(ten.srcSlot, 0);
    EXPECT_EQ(ten.dstSlot, -1);

    g.HonbuFlg = True;
    const ConversionOptions honbu = conversionOptions(Menu::Giju, g, clock);
    EXPECT_EQ(honbu.referenceDate, QStringLiteral("1900/02/28"));
    EXPECT_EQ(honbu.markText, QStringLiteral("1900/02/28"));

    // Only True (-1) is headquarters.
    g.HonbuFlg = 1;
    EXPECT_EQ(conversionOptions(Menu::Giju, g, clock).markText, QStringLiteral("2019/09/30"));
}

} // namespace
} // namespace tanka
