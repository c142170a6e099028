#pragma once
// Price-slot state checks: which slots of the chosen store(s) hold prices, the
// switch flags, the headquarters test and the store's processing date. They
// read only.

#include <cstdint>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"
#include "pricing/price_tables.h"

namespace tanka {

// " and miseid = 12 " at a store; " and miseid in(3,12)" at headquarters with
// chosen stores; "" at headquarters with none chosen.
QString storeFilter(const Globals& g);

// Which slots a row must hold a price in (any position) to be found.
enum class PricedIn { BothSlots, SlotA, SlotB };

// Whether a live row of the menu of the chosen store(s) has a price in the
// slots asked for, and the statement that asks it. Database errors raise
// RunError.
QString pricedRowsQuery(Menu menu, PricedIn pricedIn, const Globals& g);
bool hasPricedRows(Menu menu, PricedIn pricedIn, Connection& cn, const Globals& g);
// Both 1 when no row is found.
void readSwitchFlags(std::int16_t& technicalSwitchFlag, std::int16_t& retailSwitchFlag,
                     Connection& cn, const Globals& g);
// True when MSHONB.dbo.MHSCTB can be queried; never raises. cn may be null.
bool headquartersDatabaseReachable(Connection* cn);
// Sets g.storeProcessingDate when the store row exists.
void readStoreProcessingDate(Connection& cn, Globals& g);

} // namespace tanka
