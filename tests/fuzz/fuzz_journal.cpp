// The journal reader on any file, as `tanka undo FILE` reads whatever it is
// given: it returns rows or raises the file error (75), and every row it
// returns is one a run could have written: a full key, and only columns a
// run writes into that table, each once, named by the program's own names.
#include <QSet>

#include "core/run_error.h"
#include "fuzz_input.h"
#include "pricing/journal.h"

using namespace tanka;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::inputFile("-journal.TSV", data, size);
    if (path.isEmpty())
        return 0;
    JournalFile journal;
    try {
        journal = readJournal(path);
    } catch (const RunError& e) {
        fuzz::require(e.number() == err::FileFailed);
        return 0;
    }
    QSet<QString> rows;
    for (const JournalRow& row : journal.rows) {
        fuzz::require(row.key.size() == std::size_t(keyColumns(row.menu).size()));
        const QStringList writable = writableColumns(row.menu);
        QSet<QString> columns;
        for (const ColumnChange& change : row.changes) {
            fuzz::require(writable.contains(change.column));
            fuzz::require(!columns.contains(change.column));
            columns.insert(change.column);
        }
        QString name = tableName(row.menu);
        for (const QVariant& value : row.key)
            name += u'\t' + journalText(value);
        fuzz::require(!rows.contains(name));
        rows.insert(name);
    }
    return 0;
}
