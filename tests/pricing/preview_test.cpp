// The preview against the real run: on several slot states, kinds, rounding
// methods and units, the rows the preview lists, with their new prices and
// markings, are exactly the rows the run then changes (whole tables dumped
// before and after), and its totals count what the run visits. The
// comparison of roundings against a plain recount over the preview's rows
// with convertPrice, for every rounding (the run writes the preview's prices,
// so the current rounding's figures hold for the run as well). (The list file
// is saved by the command line's dry run and the preview dialog; a rounding
// taken into the list is checked by the dialog against a fresh preview.)

#include <array>
#include <cstdlib>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "core/run_error.h"
#include "engine_fixture.h"
#include "pricing/execute.h"
#include "pricing/preview.h"
#include "pricing/price_formula.h"
#include "pricing/price_tables.h"
#include "pricing/rounding_comparison.h"
#include "pricing/slot_decision.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

QStringList columnNames(const QString& file, Menu menu) {
    return dumpRows(file, "SELECT name FROM pragma_table_info('" + tableName(menu) + "')");
}

// Every column of a table in key order; the last-update date as yyyy/mm/dd,
// whichever form it is stored in.
QStringList wholeTable(const QString& file, Menu menu) {
    QStringList columns;
    for (const QString& name : columnNames(file, menu))
        columns << (name.compare("SaisyuKosinDate", Qt::CaseInsensitive) == 0
                        ? "strftime('%Y/%m/%d', replace(SaisyuKosinDate, '/', '-'))"
                        : name);
    return dumpRows(file, "SELECT " + columns.join(", ") + " FROM " + tableName(menu) +
                              " ORDER BY " + keyColumns(menu).join(", "));
}

// The table as the preview says the run leaves it.
QStringList applied(const QStringList& before, const QStringList& names, const Preview& p,
                    Menu menu, const QString& markDate) {
    const auto col = [&](const QString& n) { return names.indexOf(n); };
    std::map<QString, const PreviewRow*> byKey;
    for (const PreviewRow& r : p.rows)
        if (r.menu == menu && r.changes)
            byKey[QString("%1/%2/%3").arg(r.store).arg(r.id1).arg(r.id2)] = &r;
    QStringList out;
    for (const QString& line : before) {
        QStringList v = line.split(u'\t');
        QStringList key; // the store and the two ids, as the preview names a row
        for (const QString& column : keyColumns(menu).mid(1))
            key << v[col(column)];
        if (const auto it = byKey.find(key.join(u'/')); it != byKey.end()) {
            const PreviewRow& r = *it->second;
            for (int slot = 0; slot < 2; ++slot)
                for (int i = 0; r.after.written[slot] && i < pricePositions(menu); ++i)
                    v[col(priceColumn(menu, slot, i))] = QString::number(r.after.prices[slot][i]);
            if (r.after.mark) {
                v[col("SaisyuKosinFlg")] = "2";
                v[col("SaisyuKosinDate")] = markDate;
            }
        }
        out << v.join(u'\t');
    }
    return out;
}

// A recount of the comparison's figures, kept apart from its code: differences
// in 1/108 yen (the exact amount is price x 110/108 or x 100/108).
struct Tally {
    qint64 changed = 0, offExact = 0;
    std::int64_t sum108 = 0, largest108 = 0;
    std::array<qint64, 4> endings{};

    void add(ConversionKind kind, std::int64_t from, std::int64_t to) {
        const std::int64_t difference =
            to * 108 - from * (kind == ConversionKind::TenPercentIncluded ? 110 : 100);
        ++changed;
        offExact += difference != 0 ? 1 : 0;
        sum108 += difference;
        if (std::abs(difference) > std::abs(largest108))
            largest108 = difference;
        const std::int64_t lastTwo = std::abs(to % 100);
        ++endings[lastTwo == 0 ? 0 : lastTwo == 50 ? 1 : lastTwo % 10 == 0 ? 2 : 3];
    }
    void expectEqual(const RoundingFigures& f) const {
        SCOPED_TRACE(int(f.rounding.roundingMethod) * 10 + int(f.rounding.roundingUnit));
        EXPECT_EQ(std::tuple(f.overflow, f.changed, f.offExact, f.differenceSum * 2,
                             f.largestDifference * 2, f.endings),
                  std::tuple(false, changed, offExact, sum108, largest108, endings));
    }
};

// Over the preview's rows, each taxed price the run writes worked out with
// convertPrice for the rounding given, counted when it differs from the price stored.
Tally recount(const Preview& p, Menu menu, Rounding rounding) {
    const ConversionOptions& o = p.menus[menu == Menu::Technical ? 0 : 1].options;
    Tally t;
    for (const PreviewRow& r : p.rows) {
        if (r.menu != menu || r.taxFlg != 1)
            continue;
        for (int slot = 0; slot < 2; ++slot) {
            const bool inPlace = o.destination == Slot::None;
            if (!inPlace && slotAt(slot) != o.destination)
                continue;
            for (int i = 0; i < pricePositions(menu); ++i) {
                const std::int32_t from = r.current[inPlace ? slot : slotIndex(o.source)][i];
                const std::int32_t to =
                    convertPrice(from, o.kind, rounding.roundingMethod, rounding.roundingUnit);
                if (r.isNull(slot, i) || r.current[slot][i] != to)
                    t.add(o.kind, from, to);
            }
        }
    }
    return t;
}

struct PreviewCase {
    const char* name;
    sample::Options options;
    std::int16_t technicalKind, retailKind, roundingMethod, roundingUnit;
    std::int16_t technicalSource, technicalDestination, retailSource, retailDestination;
    std::vector<int> chosenStores; // headquarters: the store list
};

using sample::Slots;
// clang-format off
const PreviewCase Cases[] = {
    // modes: technicalKind, retailKind, roundingMethod, roundingUnit; slots: GijuSrc, GijuDst, TenSrc, TenDst; chosen stores
    {"AInUseTo10PercentRoundHalfUpTenYen",  withSlots(storeOptions(2), Slots::A, Slots::A),           1, 2, 2, 1,  0,  1,  0,  1,  {}},
    {"BInUseTaxExclusiveTruncateOneYen",    withSlots(storeOptions(2), Slots::B, Slots::B),           2, 1, 0, 0,  1,  0,  1,  0,  {}},
    {"ForcedOverBothSlotsRoundUpHundredYen",withSlots(storeOptions(), Slots::Both, Slots::Both),      1, 1, 1, 2,  0,  1,  1,  0,  {}},
    {"UndeterminedConvertsBothInPlace",     withSlots(storeOptions(), Slots::Mixed, Slots::None),     2, 2, 2, 2,  0, -1,  0, -1,  {}},
    {"DestinationEqualToSource",            withSlots(storeOptions(), Slots::A, Slots::B),            1, 1, 0, 1,  0,  0,  1,  1,  {}},
    {"HeadquartersChosenStoresRetailOnly",  withSlots(headquartersOptions(3), Slots::A, Slots::A),   -1, 1, 1, 0,  0,  1,  0,  1,  {1, 3}},
};
// clang-format on

class PreviewTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewTest, ListsExactlyWhatTheRunChanges) {
    const PreviewCase& c = GetParam();
    EngineFixture fx(c.options);
    Globals& g = fx.g();
    g.technicalKind = static_cast<ConversionKind>(c.technicalKind);
    g.retailKind = static_cast<ConversionKind>(c.retailKind);
    g.roundingMethod = static_cast<RoundingMethod>(c.roundingMethod);
    g.roundingUnit = static_cast<RoundingUnit>(c.roundingUnit);
    g.technicalSource = static_cast<Slot>(c.technicalSource);
    g.technicalDestination = static_cast<Slot>(c.technicalDestination);
    g.retailSource = static_cast<Slot>(c.retailSource);
    g.retailDestination = static_cast<Slot>(c.retailDestination);
    for (std::size_t i = 0; i < c.chosenStores.size(); ++i)
        g.chosenStores[i][0] = QString::number(c.chosenStores[i]);

    const Preview p = buildPreview(fx.cn(), g, fx.clock());
    EXPECT_FALSE(fx.cn().inTransaction());
    const std::vector<RoundingFigures> figures = compareRoundings(p);
    for (const RoundingFigures& f : figures) {
        SCOPED_TRACE(tableName(f.menu).toStdString());
        EXPECT_GT(f.changed, 0);
        recount(p, f.menu, f.rounding).expectEqual(f);
    }
    EXPECT_EQ(figures.size(),
              9u * ((c.technicalKind != -1 ? 1 : 0) + (c.retailKind != -1 ? 1 : 0)));
    std::map<Menu, QStringList> before;
    for (const Menu menu : {Menu::Technical, Menu::Retail})
        before[menu] = wholeTable(fx.mstori(), menu);
    ScriptedBoxes boxes;
    ASSERT_EQ(executeRun(fx.cn(), g, boxes, fx.drive(), fx.clock(), {}), RunResult::Finished)
        << boxes.texts().join(u'|').toStdString();

    const QString markDate = g.isHeadquarters ? "1919/10/01" : "2019/09/30";
    for (const MenuPreview& mp : p.menus) {
        SCOPED_TRACE(tableName(mp.menu).toStdString());
        const QStringList after = wholeTable(fx.mstori(), mp.menu);
        EXPECT_EQ(after, applied(before[mp.menu], columnNames(fx.mstori(), mp.menu), p, mp.menu,
                                 markDate));
        qint64 changed = 0;
        for (qsizetype i = 0; i < after.size(); ++i)
            changed += after[i] != before[mp.menu][i] ? 1 : 0;
        EXPECT_EQ(mp.toChange, changed);
        EXPECT_EQ(mp.chosen, (mp.menu == Menu::Technical ? c.technicalKind : c.retailKind) != -1);
        if (mp.chosen) {
            EXPECT_EQ(mp.selected + mp.leftAlone, after.size());
            EXPECT_GT(mp.leftAlone, 0) << "deleted rows or other stores";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(States, PreviewTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Preview, APriceThatIsNotANumberStopsItAsItStopsTheRun) {
    // Only the embedded server's files can hold a text in a price column; the
    // ODBC driver reads such a value as a number, as a typed server would
    // never have to.
    if (qEnvironmentVariableIsSet("TANKA_SQLITE_VIA_ODBC"))
        GTEST_SKIP() << "a text price cannot reach the program through ODBC";
    EngineFixture fx(storeOptions());
    fx.exec({"update MTTENP set UriTankaA = '1,080' where MiseID = 1 and TenpanID = 2"});
    fx.g().technicalKind = ConversionKind::None;
    QString previewError;
    try {
        buildPreview(fx.cn(), fx.g(), fx.clock());
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), 13);
        previewError = QString::fromStdString(e.description());
    }
    ASSERT_TRUE(previewError.contains("1,080")) << previewError.toStdString();
    ScriptedBoxes boxes;
    EXPECT_EQ(executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), {}), RunResult::Failed);
    EXPECT_TRUE(boxes.texts().last().endsWith(previewError)) << boxes.texts().last().toStdString();
}

} // namespace
} // namespace tanka::test
