#pragma once
// The journal of a run: a record of every row the run changed, written into
// the work folder, so that a run can be checked afterwards and taken back.
//
// Format (as the backups): code page 932, TAB between cells, CR LF after every
// line, "#NULL#" for Null. First the run's details, one "name TAB value" line
// each, starting with "単価変更履歴 TAB 1" (the format's version); then an empty
// line; then one line per changed row:
//
//   table TAB key=value (one cell per key column) TAB column TAB before TAB after ...
//
// with a column/before/after triple for every column the run wrote. Numbers
// are plain digits, dates "yyyy/MM/dd hh:mm:ss" (".zzz" added when the
// milliseconds are not 0).
//
// The file is written under a temporary name while the run proceeds and gets
// its final name, "単価変更_yyyyMMdd_hhmmss.TSV" (or "_2", "_3" ... before the
// dot when that name is taken), just before the run commits, so no run ever
// replaces another's journal and a failed run leaves none.

#include <array>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/tsv_writer.h"
#include "db/batch_update.h"
#include "pricing/row_prices.h"

namespace tanka {

struct RowWrite;

// What the journal says of a run, in order, as name/value pairs.
struct RunDetails {
    QDateTime at;
    QList<std::pair<QString, QString>> lines; // after the date: computer, user, ...
};

// The computer and the user a journal names: COMPUTERNAME and USERNAME where
// Windows sets them; elsewhere the host name and USER.
QString computerName();
QString userName();

// One changed row as a journal holds it.
struct JournalRow {
    Menu menu = Menu::Technical;
    std::vector<QVariant> key; // keyColumns(menu) order
    std::vector<ColumnChange> changes;
};

class Journal {
public:
    // Starts the journal in the host folder dir. Raises RunError (Japanese
    // text) when the file cannot be created.
    Journal(const QString& dir, const RunDetails& details);
    ~Journal(); // a journal never finished is removed
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Raises RunError when the line cannot be written.
    void add(const RowWrite& row);
    // Writes out what is buffered and gives the file its final name, which it
    // returns (host path). Raises RunError when that fails.
    QString finish();
    // Removes the file, under whichever name it has.
    void discard();

    qint64 rows() const { return m_rows; }

private:
    void write(const QString& line);
    // Ends the line; raises RunError when a full block could not be written.
    void endLine();

    QString m_dir;
    QDateTime m_at;
    QFile m_file;
    QString m_final;
    TsvWriter m_out{m_file};
    std::array<QByteArrayList, 2> m_keys; // per menu: the table, then "\tkey=" per key
    qint64 m_rows = 0;
};

// A journal's text form of a value; valueFromJournal reads it back (Null,
// integer, date or text).
QString journalText(const QVariant& value);
QVariant valueFromJournal(const QString& text);

// A journal file read back. Raises RunError with a Japanese text when the
// file cannot be read or is not a journal.
struct JournalFile {
    QList<std::pair<QString, QString>> details;
    std::vector<JournalRow> rows;
};
JournalFile readJournal(const QString& hostPath);

} // namespace tanka
