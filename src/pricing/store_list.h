#pragma once
// The list of chosen stores of a headquarters installation (Globals::chosenStores)
// and the rule by which a store code joins it: the code of a live store goes
// into the first empty row of the twenty; an unknown or deleted store, or a
// full list, adds nothing. The store dialog and the command line's --stores
// both fill the list through addStore.

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"

namespace tanka {

// " SELECT *  from MSTORI.dbo.MTMISE   where miseid = 12  and SaisyuKosinFlg <> 9 "
QString storeNameQuery(std::int16_t storeId);

// storeShortName ("get the store's name"): the trimmed short name of a live
// store, empty when there is none (also when the name is Null or blank).
// Database errors raise RunError.
QString storeShortName(Connection& cn, std::int16_t storeId);

// Whether a row of the list holds a store: its code reads as a number other
// than 0.
bool storeRowFilled(const Globals& g, int row);

// Which stores a run covers: at a store its own; at headquarters the chosen
// stores, or every store when none is chosen.
enum class StoreScope { OwnStore, ChosenStores, AllStores };
StoreScope storeScope(const Globals& g);
// The codes of the filled rows of the list, in list order, and the same
// joined by commas ("3,12").
std::vector<std::int16_t> chosenStoreCodes(const Globals& g);
QString chosenStoreList(const Globals& g);

enum class StoreAdded { Added, NotFound, ListFull };

struct StoreAddition {
    StoreAdded result = StoreAdded::NotFound;
    int row = -1; // the row written (Added, NotFound), -1 when the list is full
};

// The dialog's Enter for a code greater than 0: finds the first empty row
// (eachRowPassed runs after each filled row walked over), writes the store's
// name into it and, when there is a live store of that code, the code as
// decimal text. Database errors raise RunError; the list is then unchanged.
StoreAddition addStore(Globals& g, Connection& cn, std::int16_t code,
                       const std::function<void()>& eachRowPassed = {});

} // namespace tanka
