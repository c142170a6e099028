#pragma once
// The conversion of one master row, as a pure step: from the values read from
// the row and the run's options to the new prices and whether the row gets the
// last-update marking. It reads no database, so the conversion and a preview
// can share it.

#include <array>
#include <cstdint>

#include <QDate>
#include <QString>
#include <QStringList>

#include "core/globals.h"
#include "pricing/price_tables.h"

namespace tanka {

class Clock;

// What one run asks of every row of one menu.
struct ConversionOptions {
    ConversionKind kind = ConversionKind::TenPercentIncluded;
    RoundingMethod roundingMethod = RoundingMethod::Down;
    RoundingUnit roundingUnit = RoundingUnit::Yen1;
    Slot source = Slot::A;      // A or B
    Slot destination = Slot::B; // None: both slots converted where they stand
    // A row is marked when its last-update date, read as "yyyy/mm/dd", differs
    // from referenceDate; it then gets flag 2 and markText as its date.
    QString referenceDate;
    QString markText;
};

// The slots whose prices the row step needs: the source slot, or both when the
// destination is undetermined (None). Only these columns are read.
struct SlotsRead {
    bool a = false;
    bool b = false;
};
SlotsRead slotsToRead(const ConversionOptions& options);

// One row as read: the prices of the slots named by slotsToRead (Null read as
// 0), readInteger of TaxFlg, and the last-update date as "yyyy/mm/dd" text
// (empty when Null or not a date).
struct RowInput {
    std::array<std::array<std::int32_t, MaxPositions>, 2> prices{};
    std::int32_t taxFlg = 0;
    QString lastUpdateDate;
};

// The last-update date of a row as "yyyy/mm/dd": formatFieldDate(value,
// "yyyy/mm/dd"), with a date text formatted directly, since a conversion
// reads one per row.
QString rowDateText(const QVariant& value);

// The new values of one row: the prices of each written slot, and whether
// SaisyuKosinFlg/SaisyuKosinDate are set.
struct RowPrices {
    std::array<bool, 2> written{};
    std::array<std::array<std::int32_t, MaxPositions>, 2> prices{};
    bool mark = false;
};

// Prices of rows with TaxFlg 1 go through convertPrice; others are copied unchanged.
// Raises RunError 6 when convertPrice overflows.
RowPrices computeRowPrices(const RowInput& row, int positions, const ConversionOptions& options);

// Today minus 100 calendar years; 29 February becomes 28 February when the
// earlier year has no such day.
QDate hundredYearsBefore(QDate today);

// The options of one menu from the program-wide choices: kind, rounding and
// slots of that menu; the marking date of the store (storeProcessingDate) or, at
// headquarters, today minus 100 years.
ConversionOptions conversionOptions(Menu menu, const Globals& g, const Clock& clock);

} // namespace tanka
