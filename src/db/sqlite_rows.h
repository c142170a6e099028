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
    bool fetch(std::vector<QVariant>& row) override;

private:
    SqliteStatement m_statement;
    int m_count;
    bool m_done = false;
};

// How an updatable walk finds its rows again: "SELECT <rowid>, <list> FROM
// <table> <alias> WHERE <key> IS ? AND ..." (lookupWithRowId; empty when the
// table has no rowid free to name) or the same without the rowid (lookup).
struct SqliteLookup {
    QString withRowId;
    QString plain;
};

// An updatable result with the visiting order fixed when it opened, as the
// layer's other updatable results: the first row comes from the statement
// itself (an existence test reads one row); before anything else runs, the
// statement is read to its end keeping only the key of each row; the later
// rows are looked up by key one at a time, with their values as they are then.
// A row deleted meanwhile is skipped; rows changed through this record set are
// not visited twice. A row looked up also brings its rowid, so that its update
// need not search the key index again.
class SqliteKeyedSource final : public RowSource {
public:
    SqliteKeyedSource(sqlite3* db, const Engine& engine, SqliteStatement stream,
                      std::vector<int> keyColumns, SqliteLookup lookup);
    bool fetch(std::vector<QVariant>& row) override;
    void settle() override;
    // The rowid of the row fetched last, when the lookup brought it.
    std::optional<std::int64_t> rowId() const { return m_rowId; }

private:
    bool nextStreamRow(std::vector<QVariant>* row);
    void prepareLookup();

    sqlite3* m_db;
    const Engine& m_engine;
    SqliteStatement m_stream;
    int m_count;
    bool m_streaming = true;
    std::vector<int> m_keyColumns;
    SqliteLookup m_lookupText;
    SqliteStatement m_lookup;
    int m_lookupOffset = 0; // 1 when the lookup's first column is the rowid
    KeyStore m_keys;        // m_rows keys of m_keyColumns.size() values each
    std::size_t m_rows = 0;
    std::size_t m_next = 0; // first key not yet looked up
    std::optional<std::int64_t> m_rowId;
};

// Optimistic updates of the rows of a SqliteKeyedSource, one prepared
// statement per set of changed columns. A row whose rowid is known is written
// with "<rowid> = ?" added to the key and value conditions; when that finds
// nothing (the row was deleted and its key written again meanwhile), the same
// update by key alone decides.
class SqliteRowWriter final : public RowWriter {
public:
    // rowIdName: how the table's rowid is named, empty when it has none.
    SqliteRowWriter(sqlite3* db, const Engine& engine, UpdateTarget target, QStringList names,
                    QString rowIdName, const SqliteKeyedSource& source);
    int write(const std::vector<int>& edited, const std::vector<QVariant>& stored,
              const std::vector<QVariant>& original) override;

private:
    struct Statements {
        SqliteStatement byRowId;
        SqliteStatement byKey;
    };
    QString updateText(const std::vector<int>& edited, bool byRowId) const;
    int run(SqliteStatement& statement, const std::vector<int>& edited,
            const std::vector<QVariant>& stored, const std::vector<QVariant>& original,
            std::optional<std::int64_t> rowId) const;

    sqlite3* m_db;
    const Engine& m_engine;
    UpdateTarget m_target;
    QStringList m_names;
    QString m_rowIdName;
    const SqliteKeyedSource& m_source;
    std::map<std::vector<int>, Statements> m_statements;
};

// The name among "_rowid_", "rowid" and "oid" that no column of the table
// takes; empty when all are taken.
QString freeRowIdName(const std::vector<ColumnInfo>& tableColumns);

} // namespace tanka
