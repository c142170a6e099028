#pragma once
// What 実行 would do now, read without changing anything: per chosen menu
// the rows the run would change, each with its current and new prices and
// whether it gets the last-update marking, and the menu's totals. It reads
// the same rows with the same options and the same row step as the run
// (conversionQuery, storeFilter, conversionOptions, computeRowPrices), inside
// no transaction, so what it lists is what the run writes as long as nobody
// changes the tables in between.
//
// Used by the window's "確認" dialog and by the command line (dry run and
// list file); it shows nothing itself. Database errors raise RunError, and so
// does a price that is not a number (error 13, as the run would).

#include <array>
#include <cstdint>
#include <deque>

#include <QString>
#include <QVariant>

#include "core/clock.h"
#include "core/globals.h"
#include "db/connection.h"
#include "pricing/row_prices.h"

namespace tanka {

// One row the run would change.
struct PreviewRow {
    Menu menu = Menu::Giju;
    // The row's key (keyColumns): GlobalID, MiseID and GijutuID, ShumokuID or
    // TenpanFlg, TenpanID.
    std::int32_t globalId = 0;
    std::int16_t mise = 0;
    std::int32_t id1 = 0, id2 = 0;
    QString name;            // GijutuName / TenpanName
    std::int32_t taxFlg = 0; // as the run reads it (Get_LngVal)
    std::int8_t srcSlot = 0, dstSlot = 1;
    // Which stored prices are Null: bit slot * MaxPositions + position.
    std::uint16_t currentNull = 0;
    // The prices as stored now (both slots; Get_LngVal).
    std::array<std::array<std::int32_t, MaxPositions>, 2> current{};
    RowPrices after; // what the run writes

    bool isNull(int slot, int position) const {
        return (currentNull >> (slot * MaxPositions + position) & 1u) != 0;
    }
};

struct MenuPreview {
    Menu menu = Menu::Giju;
    bool chosen = false;  // a conversion kind is chosen for this menu
    qint64 selected = 0;  // live rows of the chosen store(s): the rows the run visits
    qint64 toChange = 0;  // of those, rows whose stored values would change
    qint64 untaxed = 0;   // of those, rows not taxed (TaxFlg not 1): prices copied unchanged
    qint64 leftAlone = 0; // rows of the table the run does not visit (deleted, other stores)
};

struct Preview {
    std::array<MenuPreview, 2> menus; // technical menu, retail products
    // Technical rows first, each menu in the run's order. A deque: a list of
    // many rows grows without copying itself.
    std::deque<PreviewRow> rows;
};

// The preview of the run the current choices of g would make.
Preview buildPreview(Connection& cn, const Globals& g, const Clock& clock);

// The list's columns, shared by the window and the list file: 区分, 店舗,
// コード, 名称, 税区分, 単価移動, 更新, then for slot A then B and price
// 1 to 5 the current ("現A1") and the new ("新A1") price. A retail row uses
// price 1 only; a new price is empty where the run writes nothing.
int previewColumnCount();
QString previewColumnName(int column);
// A cell: a number (qlonglong) where the column is numeric, a text otherwise,
// an invalid QVariant for an empty cell, and a null QVariant (of type
// qlonglong) for a price stored as Null.
QVariant previewValue(const PreviewRow& row, int column);

// Writes the list (a header line of the column names, then one line per row)
// as text in code page 932, TAB between values, CR LF after every line,
// "#NULL#" for a price stored as Null, characters code page 932 cannot hold
// replaced as in the backups. The file at hostPath is replaced only when
// complete. False when it cannot be written; no file is then left.
bool writePreviewFile(const QString& hostPath, const Preview& preview);

} // namespace tanka
