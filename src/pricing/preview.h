#pragma once
// What 実行 would do now, read without changing anything: per chosen menu
// every row the run visits, with its current prices, what the run would
// write and whether it gets the last-update marking, and the menu's totals.
// It reads the same rows with the same options and the same row step as the
// run (liveRowsQuery, storeFilter, conversionOptions, computeRowPrices),
// inside no transaction, so what it shows is what the run writes as long as
// nobody changes the tables in between.
//
// The rows are kept in a compact form (names stored once), so another
// rounding can be tried on them without reading the tables again.
//
// Used by the window's "確認" dialog and by the command line (dry run, list
// file, comparison of roundings); it shows nothing itself. Database errors
// raise RunError, and so does a price that is not a number (error 13, as the
// run would) and a price the formula cannot hold (error 6).

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include <QString>

#include "core/clock.h"
#include "core/globals.h"
#include "db/connection.h"
#include "pricing/row_prices.h"

namespace tanka {

// One row the run visits.
struct PreviewRow {
    // The row's key (keyColumns): GlobalID, MiseID and GijutuID, ShumokuID or
    // TenpanFlg, TenpanID.
    std::int32_t globalId = 0;
    std::int32_t id1 = 0, id2 = 0;
    std::int32_t taxFlg = 0; // as the run reads it (readInteger)
    std::uint32_t name = 0;  // GijutuName / TenpanName: index into Preview::names
    std::int16_t store = 0;
    // Which stored prices are Null: bit slot * MaxPositions + position.
    std::uint16_t currentNull = 0;
    // Which stored prices are not whole numbers (so differ from any price written).
    std::uint16_t currentInexact = 0;
    Menu menu = Menu::Technical;
    Slot source = Slot::A;
    bool changes = false; // the run would store something other than what is there
    // The prices as stored now (both slots; readInteger).
    std::array<std::array<std::int32_t, MaxPositions>, 2> current{};
    RowPrices after; // what the run writes

    bool isNull(int slot, int position) const {
        return (currentNull >> (slot * MaxPositions + position) & 1u) != 0;
    }
    bool taxed() const { return taxFlg == 1; }
    // The slot a written price of slot `slot` is converted from: the source
    // slot, or the slot itself when both are converted where they stand.
    int sourceOf(int slot) const {
        return after.written[0] && after.written[1] ? slot : slotIndex(source);
    }
    // Whether the run stores a price at (slot, position) other than the one there.
    bool priceChanges(int slot, int position) const {
        return after.written[slot] &&
               ((currentNull | currentInexact) >> (slot * MaxPositions + position) & 1u ||
                current[slot][position] != after.prices[slot][position]);
    }
};

struct MenuPreview {
    Menu menu = Menu::Technical;
    bool chosen = false;       // a conversion kind is chosen for this menu
    qint64 selected = 0;       // live rows of the chosen store(s): the rows the run visits
    qint64 toChange = 0;       // of those, rows whose stored values would change
    qint64 untaxed = 0;        // of those, rows not taxed (TaxFlg not 1): prices copied unchanged
    qint64 leftAlone = 0;      // rows of the table the run does not visit (deleted, other stores)
    ConversionOptions options; // what the run asks of every row of this menu
};

struct Preview {
    std::array<MenuPreview, 2> menus; // technical menu, retail products
    // Every row the run visits, technical rows first, each menu in the run's
    // order. A deque: a list of many rows grows without copying itself.
    std::deque<PreviewRow> rows;
    // The distinct row names; many stores share their menus' names.
    std::vector<QString> names;

    const MenuPreview& menuOf(const PreviewRow& row) const {
        return menus[row.menu == Menu::Technical ? 0 : 1];
    }
};

// The preview of the run the current choices of g would make.
Preview buildPreview(Connection& cn, const Globals& g, const Clock& clock);

// The same preview for another rounding method and unit, from the rows it
// has read: new prices, changes and totals recomputed. Raises RunError 6
// (the preview is then left as it was) when a price overflows.
void setPreviewRounding(Preview& preview, RoundingMethod roundingMethod, RoundingUnit roundingUnit);

} // namespace tanka
