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
std::int16_t Data_Check(std::int16_t Mode, std::int16_t Mode1, Connection& cn, const Globals& g);
// Both 1 when no row is found.
void Get_TankaSwFlg(std::int16_t& TnakaFlg1, std::int16_t& TnakaFlg2, Connection& cn,
                    const Globals& g);
// True when MSHONB.dbo.MHSCTB can be queried; never raises. cn may be null.
std::int16_t Check_Honbu(Connection* cn);
// Sets g.MiseSyoriDate when the store row exists.
void Get_Mise(Connection& cn, Globals& g);

} // namespace tanka
