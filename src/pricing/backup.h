#pragma once
// The work directory and the backups of the two price masters.
//
// A backup is the whole table (all stores, every row) as text in code page 932:
// a header line of the column names, then one line per row in key order, the
// values in the database layer's plain text form, TAB between values, CR LF at
// the end of every line, "#NULL#" for Null, no quoting. The first backup of a
// table stays: an existing file is never replaced. A file is written under a
// temporary name beside its final one and renamed when complete, so a failed
// or interrupted write never leaves a partial backup behind.

#include <QString>

#include "core/message_box.h"
#include "core/run_error.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "pricing/progress.h"
#include "pricing/row_prices.h"

namespace tanka {

class Recordset;

// The TMP folder of the installation that holds the data file of mskyak, else
// the first existing candidate ("C:\ZEMAH\TMP" ... "C:\MIRO\TMP"), else empty.
// Database errors raise RunError.
QString findWorkFolder(Connection& cn, const DriveMap& drive);

// "MTGIJU10%.CSV" or "MTTENP10%.CSV".
QString backupFileName(Menu menu);
// "SELECT * From MSTORI.dbo.MTGIJU  ORDER BY ..." (or MTTENP): every row, in key order.
QString backupQuery(Menu menu);

// Writes rs (open, on its first row) to the host file hostPath in the format
// above, replacing a file of that name only when complete. Leaves rs at EOF.
// False when creating, writing or reading failed; no file is then left, and
// cause (when given) receives the error: the database's, or the file's with
// the system's text. progress, when given, is told each row out of total.
bool writeBackupFile(const QString& hostPath, Recordset& rs, const Progress& progress = {},
                     qint64 total = 0, RunError* cause = nullptr);

// The backup of one table into tmpDir (a Windows path) unless the file exists.
// True when the backup is in place (written now or earlier). On failure shows
// "<file>の作成に失敗しました" with the cause's number and text and the note that
// no price was changed, with the critical icon, and returns false.
// Database errors while the table is opened raise RunError.
// With progress, the table's rows are counted first (one more statement).
bool backupTable(Menu menu, Connection& cn, const QString& tmpDir, const DriveMap& drive,
                 MessageBoxes& boxes, const Progress& progress = {});
bool backupTechnicalMenu(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                         MessageBoxes& boxes, const Progress& progress = {});
bool backupRetailProducts(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                          MessageBoxes& boxes, const Progress& progress = {});

} // namespace tanka
