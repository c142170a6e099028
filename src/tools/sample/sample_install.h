#pragma once
// Writes a whole sample point-of-sale installation into a host folder, for the
// demo, the tests and the benchmarks:
//
//   <folder>/C                          stands for drive C: (TANKA_DRIVE_C)
//   <folder>/C/ZEMA or C/ZEMAH          installation (H = headquarters)
//   <folder>/C/ZEMA/TMP                 work directory
//   <folder>/C/ZEMA/DATA                embedded server root (TANKA_SQLITE_DIR)
//   <folder>/C/ZEMA/DATA/SV01/*.sqlite  the databases of server SV01
//   <folder>/C/ZEWIN/ZEMA.ini           settings file, CP932, CR LF
//
// (KOTA: C/KOTA[H], C/KOWin/KOTA.ini; MIRO: C/MIRO[H], C/KOWIN/MIRO.ini.)
// MSHONB.sqlite exists only at headquarters. The data is deterministic for a
// given seed. Failures throw std::runtime_error.

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace tanka::sample {

enum class Product { ZEMA, KOTA, MIRO };

// Which price slots of the live rows of a menu hold prices.
enum class Slots {
    A,     // slot A only
    B,     // slot B only
    Both,  // both slots, in the same rows
    Mixed, // some rows slot A, the others slot B, never both in one row
    None,  // no prices at all (every price 0 or Null)
};

struct Options {
    bool headquarters = false;
    Product product = Product::ZEMA;

    // Stores 1..stores, unless storeIds is given.
    int stores = 1;
    std::vector<std::int16_t> storeIds;
    // The installation's own store; 0 means the first store.
    std::int16_t storeId = 0;

    // Rows per store.
    int technicalRows = 24;
    int retailRows = 16;
    Slots technicalSlots = Slots::A;
    Slots retailSlots = Slots::A;
    // Every n-th row of a store (n-1, 2n-1, ...) is a deleted row
    // (SaisyuKosinFlg 9) with prices in both slots; 0 writes none.
    int deletedEvery = 11;

    // Switch flags of MTMISE (every store) and MHSCTB; nullopt writes Null.
    std::optional<std::int16_t> technicalSwitchFlag = 1;
    std::optional<std::int16_t> retailSwitchFlag = 1;
    QString processingDate = QStringLiteral("2019-09-30 00:00:00");
    bool ownStoreRow = true;     // MTMISE row of the own store
    bool headquartersRow = true; // MHSCTB row (headquarters only)

    // MlMsno: one row with localStoreId (nullopt: the own store), or none.
    bool localRow = true;
    std::optional<std::int16_t> localStoreId;

    // Settings file: the server of every database, the MiseID value
    // (nullopt: the own store), and keys left out (e.g. "MsHonb", "MiseID").
    QString server = QStringLiteral("SV01");
    std::optional<QString> settingsStoreId;
    QStringList omitIniKeys;

    std::uint32_t seed = 1;
};

struct SampleInstall {
    QString driveC;     // host folder standing for C:
    QString sqliteDir;  // value for TANKA_SQLITE_DIR
    QString server;     // "SV01"
    QString serverDir;  // sqliteDir/server
    QString installDir; // host path of C:\ZEMA (or ZEMAH, ...)
    QString progDir;    // host path of C:\ZEWIN (or KOWin, KOWIN)
    QString iniFile;    // host path of the settings file
    QString workDir;    // host path of the work directory (installDir/TMP)
    std::int16_t storeId = 0;
    std::vector<std::int16_t> storeIds;

    // serverDir/<database>.sqlite, e.g. databaseFile("MSTORI").
    QString databaseFile(const QString& database) const;
    // Sets TANKA_DRIVE_C and TANKA_SQLITE_DIR for this process.
    void applyEnvironment() const;
};

// Writes the installation into folder (created if needed; existing sample
// files are replaced).
SampleInstall writeSampleInstall(const QString& folder, const Options& options = {});

// Runs statements on one SQLite file in one transaction (tests use it to shape
// the data). Throws on the first failing statement.
void execSql(const QString& sqliteFile, const QStringList& statements);

// "ZEMA" / "KOTA" / "MIRO", and back (case-insensitive; nullopt when unknown).
QString productName(Product product);
std::optional<Product> productFromName(const QString& name);
// "A", "B", "both", "mixed", "none", and back (case-insensitive).
QString slotsName(Slots state);
std::optional<Slots> slotsFromName(const QString& name);

} // namespace tanka::sample
