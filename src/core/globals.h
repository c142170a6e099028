#pragma once
// The program-wide values shared by start-up, the checks, the conversions and
// the window. One instance lives for the run (owned by the application) and is
// handed by reference to whoever reads or writes it.
//
// Values keep their defaults (0, false, empty text) until start-up sets them.

#include <array>
#include <cassert>
#include <cstdint>

#include <QString>

#include "core/choices.h"

namespace tanka {

// A price slot: every price-table row holds two sets of prices, A and B, of
// which the point-of-sale program uses one. None: a menu's slots are not
// determined.
enum class Slot : std::int8_t { None = -1, A = 0, B = 1 };

// The index of slot A (0) or B (1) in arrays of both slots' prices.
inline int slotIndex(Slot slot) {
    assert(slot != Slot::None);
    return slot == Slot::B ? 1 : 0;
}
inline Slot slotAt(int index) {
    assert(index == 0 || index == 1);
    return index == 0 ? Slot::A : Slot::B;
}

// The stores a headquarters run is limited to: StoreListSize rows of column 0
// (store code as decimal text, "0" for an empty row) and column 1 (short
// name). The table keeps one more row and column, never used, as the store
// list has always had them.
inline constexpr int StoreListSize = 20;
using ChosenStoreTable = std::array<std::array<QString, 3>, StoreListSize + 1>;

struct Globals {
    // Installation discovery
    QString installDrive;
    QString installFolder;
    QString settingsFileName;
    std::int16_t ownStoreId = 0;

    // Server of each database, and the login (settings validation)
    // The server of each database, in the order of the database index
    // (PosDatabases in core/databases.h).
    std::array<QString, 6> servers;
    QString login, password;

    // Store data
    bool isHeadquarters = false;
    QString storeProcessingDate; // "yyyy/mm/dd", empty until read
    QString workFolder;          // work directory of the run
    ChosenStoreTable chosenStores;

    // Choices and slot state; -1 is "not chosen" / "not determined"
    ConversionKind technicalKind = ConversionKind::None, retailKind = ConversionKind::None;
    RoundingMethod roundingMethod = RoundingMethod::None;
    RoundingUnit roundingUnit = RoundingUnit::None;
    Slot technicalSource = Slot::A, retailSource = Slot::A;
    Slot technicalDestination = Slot::A, retailDestination = Slot::A; // None: undetermined
    bool forcedRun = false; // the slots were decided by forced execution
};

} // namespace tanka
