#pragma once
// Price-slot state checks: which slots of the chosen store(s) hold prices, the
// switch flags, the headquarters test and the store's processing date. They
// read only.

#include <cstdint>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"

namespace tanka {

// " and miseid = 12 " at a store; " and miseid in(3,12)" at headquarters with
// chosen stores; "" at headquarters with none chosen.
QString storeFilter(const Globals& g);

// Mode1 0 MTGIJU, 1 MTTENP; Mode 0 both slots, 1 slot A, 2 slot B.
// True (-1) when no such live row exists, False (0) otherwise.
std::int16_t noRowPriced(std::int16_t Mode, std::int16_t Mode1, Connection& cn, const Globals& g);
// Both 1 when no row is found.
void readSwitchFlags(std::int16_t& technicalSwitchFlag, std::int16_t& retailSwitchFlag,
                     Connection& cn, const Globals& g);
// True when MSHONB.dbo.MHSCTB can be queried; never raises. cn may be null.
std::int16_t headquartersDatabaseReachable(Connection* cn);
// Sets g.storeProcessingDate when the store row exists.
void readStoreProcessingDate(Connection& cn, Globals& g);

} // namespace tanka
