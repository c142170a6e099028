#pragma once
// Rows of record sets on the embedded server, read and written with direct
// statements on the sqlite3 connection (sqlite_statement.h says why).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "db/key_store.h"
#include "db/recordset_p.h"
#include "db/sqlite_statement.h"

namespace tanka {

// Steps one forward-only statement; only the current row is held.
class SqliteStreamSource final : public RowSource {
public:
    explicit SqliteStreamSource(SqliteStatement statement);
    bool fetch(RowData& row) override;

private:
    SqliteStatement m_statement;
    int m_count;
    bool m_done = false;
};

// How an updatable walk finds its rows again, as statements on the table of
// the walk ("<q>" its alias, else its name):
//   byRowId       "SELECT <list> FROM <table> <alias> WHERE <q>.<rowid> = ?"
//   withRowId     "SELECT <list>, <q>.<rowid> FROM <table> <alias>
//                  WHERE <key> IS ? AND ..."
//   plain         the same without the rowid
//   byRowIdRange  "SELECT <list>, <q>.<rowid> FROM <table> <alias>
//                  WHERE <q>.<rowid> BETWEEN ? AND ? ORDER BY <q>.<rowid>"
// The texts with the rowid are empty when the table has no rowid name free.
struct SqliteLookup {
    QString byRowId;
    QString withRowId;
    QString plain;
    QString byRowIdRange;
};

// The statement of an updatable walk as its source reads it: either the rows
// themselves (wholeRows; the keys at the rows' key positions) or only their
// keys, at positions 0..n-1. The rowid may follow as one more column.
struct SqliteWalk {
    SqliteStatement statement;
    bool wholeRows = true;
    int rowIdColumn = -1; // -1: the statement does not give the rowid
};

// An updatable result with the visiting order fixed when it opened, as the
// layer's other updatable results: the first row is the statement's first
// (an existence test reads one row); before anything else runs, the statement
// is read to its end keeping only the key of each row (and its rowid); every
// row (the first too, when the statement gives keys only) is then found again
// one at a time, with its values as they are then: by rowid when the row there
// still has the key, else by key. A row deleted meanwhile is skipped; rows
// changed through this record set are not visited twice. The rowid of each row
// visited is at hand for its update.
//
// Inside a transaction, on a table without triggers and with foreign key
// actions off, the rows are found again a batch at a time: one range of
// ascending rowids read in one statement instead of one lookup per row. A row
// of a batch is served as read only while nothing but this walk's own fetches
// and its writes of its own rows (each one row, by rowid) ran on the
// connection since the batch was read: then no statement changed it and no
// other connection could, so it holds what a lookup would find. Anything else
// drops the batch, and the rows are looked up again.
class SqliteKeyedSource final : public RowSource {
public:
    // columns: of a row; keyColumns: the key's positions in a row; activity:
    // the connection's count of what ran on it; batches: the table allows
    // batches (no triggers, no foreign key actions).
    SqliteKeyedSource(sqlite3* db, const Engine& engine, SqliteWalk walk, int columns,
                      std::vector<int> keyColumns, SqliteLookup lookup,
                      const std::uint64_t& activity, bool batches);
    bool fetch(RowData& row) override;
    void settle() override;
    // The rowid of the row fetched last, when known.
    std::optional<std::int64_t> rowId() const { return m_rowId; }
    // The writer wrote the current row (by rowid, one row) or something else.
    void wroteCurrentRow() {
        if (m_batchLoaded && m_activity == m_batchValidAt + 1)
            m_batchValidAt = m_activity;
        else
            dropBatch();
    }
    void dropBatch() { m_batchLoaded = false; }

private:
    struct BatchRow {
        std::size_t index; // in the walk
        std::int64_t rowId;
        RowData row;
    };

    bool nextStreamRow(RowData* row);
    bool lookUp(std::size_t index, RowData& row);
    bool lookUpByRowId(std::size_t index, RowData& row);
    bool lookUpByKey(std::size_t index, RowData& row);
    bool fromBatch(std::size_t index, RowData& row);
    void loadBatch(std::size_t index);
    bool keyMatches(std::size_t index, const RowData& row) const;

    sqlite3* m_db;
    const Engine& m_engine;
    SqliteWalk m_walk;
    int m_count; // columns of a row
    bool m_streaming = true;
    std::vector<int> m_keyColumns;       // in a row
    std::vector<int> m_streamKeyColumns; // in the walk's statement
    SqliteLookup m_lookupText;
    SqliteStatement m_byRowId;
    bool m_byRowIdRefused = false;
    SqliteStatement m_byKey;
    bool m_byKeyHasRowId = false;
    KeyStore m_keys;                    // m_rows keys of m_keyColumns.size() values each
    std::vector<std::int64_t> m_rowIds; // m_rows rowids when the walk's statement gives them
    std::size_t m_rows = 0;
    std::size_t m_next = 0; // first row not yet fetched
    std::optional<std::int64_t> m_rowId;

    const std::uint64_t& m_activity;
    bool m_batches;
    SqliteStatement m_byRange;
    bool m_batchLoaded = false;
    std::vector<BatchRow> m_batch; // rows of walk indexes below m_batchEnd, ascending
    std::size_t m_batchNext = 0;   // first row of m_batch not yet served
    std::size_t m_batchEnd = 0;
    std::uint64_t m_batchValidAt = 0; // the connection's activity the batch is valid at
    std::vector<RowData> m_spareRows; // buffers of served rows, for the next batch
};

// Optimistic updates of the rows of a SqliteKeyedSource, one prepared
// statement per set of changed columns. A row whose rowid is known is written
// with "<rowid> = ?" added to the key and value conditions; when that finds
// nothing (the row was deleted and its key written again meanwhile), the same
// update by key alone decides.
//
// Inside a transaction, when nothing ran on the connection since the row was
// read, the row is known to hold what was read: no other connection can commit
// while this one holds its transaction's read lock, and nothing on this one
// ran. The key and value conditions then hold for certain and the row is
// written by rowid alone, which is the same update with less for SQLite to do.
class SqliteRowWriter final : public RowWriter {
public:
    // rowIdName: how the table's rowid is named, empty when it has none.
    SqliteRowWriter(sqlite3* db, const Engine& engine, UpdateTarget target, QStringList names,
                    QString rowIdName, SqliteKeyedSource& source);
    int write(const std::vector<int>& edited, const std::vector<QVariant>& stored,
              const RowData& original, bool untouched) override;

private:
    struct Statements {
        SqliteStatement rowIdOnly;
        SqliteStatement byRowId;
        SqliteStatement byKey;
    };
    enum class Match { RowIdOnly, RowIdAndValues, KeyAndValues };
    QString updateText(const std::vector<int>& edited, Match match) const;
    SqliteStatement& statement(SqliteStatement& slot, const std::vector<int>& edited,
                               Match match) const;
    int run(SqliteStatement& statement, const std::vector<int>& edited,
            const std::vector<QVariant>& stored, const RowData* original,
            std::optional<std::int64_t> rowId) const;

    sqlite3* m_db;
    const Engine& m_engine;
    UpdateTarget m_target;
    QStringList m_names;
    QString m_rowIdName;
    SqliteKeyedSource& m_source;
    std::map<std::vector<int>, Statements> m_statements;
};

// The name among "_rowid_", "rowid" and "oid" that no column of the table
// takes; empty when all are taken.
QString freeRowIdName(const std::vector<ColumnInfo>& tableColumns);

} // namespace tanka
