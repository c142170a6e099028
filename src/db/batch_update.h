#pragma once
// Optimistic writes of many rows of one table, one statement per batch:
//
//   UPDATE <table> SET [c] = v.n0, ...
//   FROM (SELECT <key> AS k0, ..., <old> AS o0, <new> AS n0, ...
//         UNION ALL SELECT ...) AS v
//   WHERE [<table>].[key] = v.k0 AND ...
//     AND ([<table>].[c] = v.o0 OR ([<table>].[c] IS NULL AND v.o0 IS NULL)) ...
//
// A row is written only where its key matches and every written column still
// holds the value that was read (Null-safe). Both servers accept this form
// (the embedded one translates the table's name as for any statement), so the
// embedded server runs the very text SQL Server receives.
//
// Every value is bound, none is written into the text, so the text depends
// only on the columns written and the number of rows: it is prepared once and
// reused for every full batch. A batch holds at most MaxRows rows and
// MaxParameters bound values (SQL Server's limit is 2,100).
//
// A statement that writes fewer rows than it holds raises RowNotFound ("Row
// cannot be located for updating. Some values may have been changed since it
// was last read."); the caller rolls the transaction back.

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "db/engine.h"
#include "db/sqlite_statement.h"

namespace tanka {

class Connection;

// One column of a row to write: the value it must still hold and the new one.
struct ColumnChange {
    QString column;
    QVariant before;
    QVariant after;
};

class BatchUpdate {
public:
    static constexpr int MaxRows = 250;
    static constexpr int MaxParameters = 2000;

    // table as statements name it ("MSTORI.dbo.MTGIJU"); keyColumns identify
    // a row. Reads the table's column types from the catalogue where the
    // server needs them to store values.
    BatchUpdate(Connection& cn, QString table, QStringList keyColumns);
    ~BatchUpdate(); // what was not flushed is dropped
    BatchUpdate(const BatchUpdate&) = delete;
    BatchUpdate& operator=(const BatchUpdate&) = delete;

    // Queues one row. Rows with the same written columns share a batch; a full
    // batch is written at once. Each row must be added once.
    void add(const std::vector<QVariant>& key, const std::vector<ColumnChange>& changes);
    // Writes every queued row.
    void flush();
    // Rows written so far.
    qint64 written() const { return m_written; }

private:
    using Columns = QStringList; // the written columns of a batch, in order
    struct Batch {
        std::vector<const ColumnInfo*> types; // per column; null: value as given
        std::vector<QVariant> values;         // per row: key, then before/after per column
        std::size_t rows = 0;
    };
    struct Statement { // prepared once: on SQLite's connection, or through Qt
        SqliteStatement direct;
        std::unique_ptr<QSqlQuery> query;
    };

    std::size_t rowsPerBatch(qsizetype columns) const;
    // dates: per column, whether its values are dates (bound as the engine's
    // dateParameter()).
    QString updateText(const Columns& columns, const std::vector<bool>& dates,
                       std::size_t rows) const;
    void write(const Columns& columns, Batch& batch);
    // Binds values and runs statement once; the rows it changed, as the
    // server reports them (-1: no count).
    int execute(Statement& statement, const std::vector<QVariant>& values);
    QVariant stored(const ColumnInfo* type, const QVariant& value) const;
    const ColumnInfo* typeOf(const QString& column) const;
    Batch& batchFor(const std::vector<ColumnChange>& changes);

    Connection& m_cn;
    QString m_table;
    QString m_exposed; // [<table>] as the WHERE clause names it
    QStringList m_keys;
    std::vector<ColumnInfo> m_types; // empty when the server takes values as given
    std::map<Columns, Batch> m_batches;
    std::pair<const Columns, Batch>* m_last = nullptr; // the batch last added to
    std::map<std::tuple<Columns, std::vector<bool>, std::size_t>, Statement> m_statements;
    qint64 m_written = 0;
};

} // namespace tanka
