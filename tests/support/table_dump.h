#pragma once
// Tables read straight from the SQLite files (not through the layer under
// test), for comparing a database before and after a run.

#include <cstdint>
#include <ostream>
#include <vector>

#include <QStringList>

namespace tanka::test {

// The rows of a query, columns TAB-separated, Null as "<null>". Throws
// std::runtime_error when the file does not open or the query fails.
QStringList dumpRows(const QString& sqliteFile, const QString& sql);

// Every row of every table of every database file (*.sqlite) of a server
// folder, each line "file TAB table TAB columns...", files and tables in name
// order and the rows of a table sorted: the whole server, to compare before
// and after a run.
QStringList dumpDatabases(const QString& serverDir);

// One MTGIJU or MTTENP row: its key (MiseID and the two ids, "/"-joined),
// TaxFlg, SaisyuKosinFlg and the prices of slot A and slot B (five each for
// MTGIJU, one each for MTTENP), as text: Null as "<null>".
struct PriceRow {
    QString key;
    int store = 0;
    QString taxFlg, lastUpdateFlag;
    QStringList a, b;

    friend bool operator==(const PriceRow&, const PriceRow&) = default;
};
void PrintTo(const PriceRow& row, std::ostream* os);

enum class PriceTable { Technical, Retail };

// Every row of MTGIJU or MTTENP of an MSTORI file, in key order.
std::vector<PriceRow> readPriceRows(const QString& mstoriFile, PriceTable table);

// What a run should have done to one table. In the live rows (SaisyuKosinFlg
// not 9) of the given stores (every store when empty) slot dst holds slot src
// converted by convertPrice where the row is tax-inclusive (TaxFlg 1), copied
// otherwise, and slot src is unchanged; dst -1 converts both slots in place.
// Every other row is unchanged.
struct Conversion {
    std::int16_t kind, roundingMethod, roundingUnit;
    int src = 0, dst = 1; // 0 slot A, 1 slot B
    std::vector<int> stores = {};
};

// Expects after to be before with the conversion applied; returns how many
// prices the conversion changed in value, so that a caller can make sure the
// check was not empty.
int expectConverted(const std::vector<PriceRow>& before, const std::vector<PriceRow>& after,
                    const Conversion& c);

} // namespace tanka::test
