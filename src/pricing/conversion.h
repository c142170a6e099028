#pragma once
// The conversion of the live rows of the chosen store(s) of one price master,
// inside the run's open transaction. The rows are read a page at a time by
// key (each row visited once); each row's source prices go through the row
// step, and the new prices and the last-update marking are written in batches
// with optimistic checks (the row must still hold the values read). Nothing is
// caught: a database error, a write conflict, a price that is not a number or
// an overflow leaves the rows changed so far uncommitted and raises RunError
// to the caller, who rolls the transaction back.

#include <functional>
#include <vector>

#include <QString>
#include <QVariant>

#include "core/globals.h"
#include "db/batch_update.h"
#include "db/connection.h"
#include "pricing/progress.h"
#include "pricing/row_prices.h"

namespace tanka {

class Clock;

// One row as the run writes it: its key (keyColumns order) and, per written
// column, the value read and the new value.
struct RowWrite {
    Menu menu;
    const std::vector<QVariant>& key;
    const std::vector<ColumnChange>& changes;
};
using RowWritten = std::function<void(const RowWrite&)>;

// Raises RunError 13 naming the table, the row's key and the column when a
// price to convert is neither Null nor a number.
void requireNumericPrice(Menu menu, const std::vector<QVariant>& key, const QString& column,
                         const QVariant& value);

// The row step's input from one row as read, the same for the run and its
// preview: the prices of the slots to read (readInteger, Null as 0; a price
// that is neither Null nor a number raises requireNumericPrice's error, naming
// the row by key()), readInteger of TaxFlg and the last-update date as
// "yyyy/mm/dd". price(slot, position) gives a price as stored.
RowInput rowInput(Menu menu, const SlotsRead& read,
                  const std::function<QVariant(int slot, int position)>& price,
                  const QVariant& taxFlg, const QVariant& lastUpdateDate,
                  const std::function<std::vector<QVariant>()>& key);

struct ConversionHooks {
    Progress progress;     // once with 0, per row, and once with the total at the end
    RowWritten rowWritten; // per row queued for writing, before it is written
};

// The rows of one menu selected by conversionQuery, converted with options.
// Returns the number of rows written.
long convertMenu(Menu menu, Connection& cn, const ConversionOptions& options, const QString& filter,
                 const ConversionHooks& hooks = {});

// The technical menu (technicalKind, technicalSource, technicalDestination) and the retail
// products (retailKind, retailSource, retailDestination) with the store filter of g.
long convertTechnicalMenu(Connection& cn, const Globals& g, const Clock& clock,
                          const ConversionHooks& hooks = {});
long convertRetailProducts(Connection& cn, const Globals& g, const Clock& clock,
                           const ConversionHooks& hooks = {});

} // namespace tanka
