#pragma once
// The conversion of the live rows of the chosen store(s) of one price master,
// inside the run's open transaction: each row's source prices through the row
// step, the new prices and the last-update marking assigned, and the row saved
// at once with an optimistic update. Nothing is caught: a database error, a
// write conflict or an overflow leaves the rows changed so far uncommitted and
// raises RunError to the caller, who rolls the transaction back.

#include <functional>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"
#include "pricing/row_prices.h"

namespace tanka {

class Clock;

// How far a conversion is: rows done out of rows to convert (total -1 while
// unknown).
using Progress = std::function<void(qint64 done, qint64 total)>;

// " select *  from MSTORI.dbo.MTGIJU G  Where ..." (or MTTENP) with the store
// filter appended.
QString conversionQuery(Menu menu, const QString& filter);

// The rows of one menu selected by conversionQuery, converted with options.
// Returns the number of rows saved.
long convertMenu(Menu menu, Connection& cn, const ConversionOptions& options, const QString& filter,
                 const Progress& progress);

// The technical menu (GijuMode, GijuSrcSlot, GijuDstSlot) and the retail
// products (TenMode, TenSrcSlot, TenDstSlot) with the store filter of g.
long GijuJob(Connection& cn, const Globals& g, const Clock& clock,
             const Progress& progress = {});
long TenJob(Connection& cn, const Globals& g, const Clock& clock,
            const Progress& progress = {});

} // namespace tanka
