#pragma once
// The program-wide values shared by start-up, the checks, the conversions and
// the window. One instance lives for the run (owned by the application) and is
// handed by reference to whoever reads or writes it.
//
// Values keep their defaults (0, false, empty text) until start-up sets them.

#include <array>
#include <cstdint>

#include <QString>

namespace tanka {

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
    QString SvTori, SvJsho, SvKyak, SvUria, SvLocl, SvHonb;
    QString login, password;
    // The server names in the order of the database index (core/databases.h).
    std::array<QString*, 6> servers() {
        return {&SvTori, &SvJsho, &SvKyak, &SvUria, &SvLocl, &SvHonb};
    }
    std::array<const QString*, 6> servers() const {
        return {&SvTori, &SvJsho, &SvKyak, &SvUria, &SvLocl, &SvHonb};
    }

    // Store data
    bool isHeadquarters = false;
    QString storeProcessingDate; // "yyyy/mm/dd", empty until read
    QString workFolder;          // work directory of the run
    ChosenStoreTable chosenStores;

    // Choices and slot state; -1 is "not chosen" / "not determined"
    std::int16_t technicalKind = 0, retailKind = 0;
    std::int16_t roundingMethod = 0, roundingUnit = 0;
    std::int16_t technicalSource = 0, retailSource = 0;           // 0 A, 1 B
    std::int16_t technicalDestination = 0, retailDestination = 0; // 0 A, 1 B, -1 undetermined
    bool forcedRun = false; // the slots were decided by forced execution
};

} // namespace tanka
