// The conversion of one row, without a database: the rules a run applies to
// every row of the technical menu and the retail products. Expected prices
// worked by hand: 8 %-inclusive to 10 %-inclusive is x 55/54 (1080 -> 1100,
// 540 -> 550, 500 -> 509.26), to tax-exclusive x 50/54 (1080 -> 1000,
// 500 -> 462.96); rounding adds 0 (truncate), 0.5 (half up) or 0.9, at the
// 100-yen unit 0.99 (round up), of the unit before cutting the fraction. The
// price formula's own test compares every price with an exact model; a price
// that overflows is among the whole-run failures.

#include <gtest/gtest.h>

#include "core/clock.h"
#include "pricing/row_prices.h"

namespace tanka {
namespace {

using Slots = std::array<std::array<std::int32_t, MaxPositions>, 2>;

constexpr bool No = false, Yes = true;
constexpr auto Incl = ConversionKind::TenPercentIncluded, Excl = ConversionKind::TaxExcluded;
constexpr auto Down = RoundingMethod::Down, Up = RoundingMethod::Up, Half = RoundingMethod::HalfUp;
constexpr auto Y1 = RoundingUnit::Yen1, Y10 = RoundingUnit::Yen10, Y100 = RoundingUnit::Yen100;
constexpr auto A = Slot::A, B = Slot::B, InPlace = Slot::None;

struct RowCase {
    const char* rule;
    Menu menu;
    std::int32_t taxFlg;
    ConversionKind kind;
    RoundingMethod method;
    RoundingUnit unit;
    Slot src, dst;
    const char* lastUpdateDate;
    Slots in;
    std::array<bool, 2> written;
    Slots out;
    bool mark;
};

// The reference date of every row is 2019/09/30.
// clang-format off
const RowCase Rows[] = {
    {"taxed row: slot A converted into B, truncated to 1 yen", Menu::Technical, 1, Incl, Down, Y1, A, B, "2018/04/01",
     {{{1080, 540, 0, 500, 1}, {7, 7, 7, 7, 7}}}, {No, Yes}, {{{}, {1100, 550, 0, 509, 1}}}, true},
    {"tax flag other than 1: copied unchanged", Menu::Technical, 2, Excl, Up, Y100, A, B, "2018/04/01",
     {{{1080, 540, 0, 500, 1}, {}}}, {No, Yes}, {{{}, {1080, 540, 0, 500, 1}}}, true},
    {"slot B into A, tax-exclusive, round up to 10 yen", Menu::Technical, 1, Excl, Up, Y10, B, A, "2018/04/01",
     {{{9, 9, 9, 9, 9}, {1080, 500, 0, 100, 130}}}, {Yes, No}, {{{1000, 470, 0, 100, 120}, {}}}, true},
    {"both slots in place, round half up to 100 yen", Menu::Technical, 1, Incl, Half, Y100, A, InPlace, "2018/04/01",
     {{{1080, 500, 0, 0, 1}, {540, 330, 0, 0, 0}}}, {Yes, Yes}, {{{1100, 500, 0, 0, 0}, {600, 300, 0, 0, 0}}}, true},
    {"same last-update date: not marked", Menu::Technical, 1, Incl, Down, Y1, A, B, "2019/09/30",
     {{{1080}, {}}}, {No, Yes}, {{{}, {1100}}}, false},
    {"no last-update date: marked", Menu::Technical, 1, Incl, Down, Y1, A, B, "",
     {{{1080}, {}}}, {No, Yes}, {{{}, {1100}}}, true},
    {"retail row: one price per slot", Menu::Retail, 1, Incl, Down, Y1, A, B, "2019/09/30",
     {{{1080, 540, 540, 540, 540}, {}}}, {No, Yes}, {{{}, {1100}}}, false},
};
// clang-format on

TEST(RowPrices, FollowTheRulesOfARun) {
    for (const RowCase& c : Rows) {
        SCOPED_TRACE(c.rule);
        // Kind, rounding, source and destination; the reference date; no mark text.
        const ConversionOptions o{
            c.kind, c.method, c.unit, c.src, c.dst, QStringLiteral("2019/09/30"), {}};
        const RowInput row{c.in, c.taxFlg, QString::fromLatin1(c.lastUpdateDate)};
        const RowPrices got = computeRowPrices(row, pricePositions(c.menu), o);
        EXPECT_EQ(got.written, c.written);
        EXPECT_EQ(got.prices, c.out);
        EXPECT_EQ(got.mark, c.mark);
    }
}

// The date a row's last update is compared with: the store's processing date,
// or at headquarters today 100 years back (29 February to 28 February); the
// stored date is read as its day alone.
TEST(RowPrices, MarkingDateOfStoreAndHeadquarters) {
    Globals g;
    g.storeProcessingDate = QStringLiteral("2019/09/30");
    const FixedClock leapDay(QDate(2000, 2, 29));
    EXPECT_EQ(conversionOptions(Menu::Technical, g, leapDay).referenceDate, "2019/09/30");
    g.isHeadquarters = true;
    const ConversionOptions hq = conversionOptions(Menu::Retail, g, leapDay);
    EXPECT_EQ(hq.referenceDate, "1900/02/28");
    EXPECT_EQ(hq.markText, "1900/02/28");
    EXPECT_EQ(rowDateText(QStringLiteral("2019-09-30 15:10:00")), "2019/09/30");
    EXPECT_EQ(rowDateText(QVariant()), "");
}

} // namespace
} // namespace tanka
