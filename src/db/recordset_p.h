#pragma once
// The inside of a Recordset, known to the Connection so that closing a
// connection closes its record sets first.

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "db/engine.h"
#include "db/recordset.h"
#include "db/row_data.h"

namespace tanka {

class ConnectionPrivate;

// Delivers the rows of a result one at a time.
class RowSource {
public:
    virtual ~RowSource() = default;
    // The next row into row; false at the end. Raises on a failed read.
    virtual bool fetch(RowData& row) = 0;
    // Finishes any statement still reading, so that another may run on the
    // connection (ODBC allows one at a time; SQLite must not see the table
    // change under a running scan).
    virtual void settle() {}
};

// Where the rows of an updatable result are written back.
struct UpdateTarget {
    QString table;               // as the statement names it
    std::vector<int> keyColumns; // positions in the result
};

// Writes changed columns of the current row back to its table: the row whose
// key columns hold the key as read and whose changed columns still hold the
// values read (null-safe). Returns the number of rows written (0: none
// matched). Raises on a failed statement.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    // edited: positions of the changed columns, ascending; stored: their new
    // values; original: the whole row as read. untouched: nothing ran on the
    // connection since the row was read.
    virtual int write(const std::vector<int>& edited, const std::vector<QVariant>& stored,
                      const RowData& original, bool untouched) = 0;
};

class RecordsetPrivate {
public:
    ConnectionPrivate* cn = nullptr;
    CursorLocation location = CursorLocation::Server;
    CursorType cursorType = CursorType::ForwardOnly;
    LockType lockType = LockType::ReadOnly;
    bool open = false;

    QStringList names;
    QHash<QString, int> byName;      // lower case
    QHash<QString, int> byExactName; // names as the result spells them, same answers
    std::vector<ColumnInfo> columns;
    std::vector<bool> dateColumns; // isDateType() of each column's declared type
    qsizetype lineCapacity = 0;    // longest getString() line so far

    std::unique_ptr<RowSource> source;
    // The current row: the values as read (or as last written) in row, the
    // values assigned since in pending where changed is set.
    RowData row;
    std::vector<QVariant> pending;
    std::vector<bool> changed;
    bool bof = true;
    bool eof = true;
    std::uint64_t readAt = 0; // the connection's activity when the row was read

    std::optional<UpdateTarget> target;
    std::unique_ptr<RowWriter> writer; // set with target
    // Per column, the last value assigned and the engine's stored form of it.
    std::vector<std::optional<std::pair<QVariant, QVariant>>> lastAssigned;
    // Working lists of writeBack(), kept to spare an allocation per row.
    std::vector<int> editedColumns;
    std::vector<QVariant> storedValues;

    void requireOpen() const;
    void requireCurrent() const;
    int indexOf(const QString& name) const;
    QVariant currentValue(std::size_t i) const { return changed[i] ? pending[i] : row.value(i); }
    bool dirty() const;
    // Assigns value to column index of the current row (not yet written).
    void assign(int index, const QVariant& value);
    void advance();
    void writeBack();
    // Finishes every statement and forgets the rows; the object is closed.
    // Never raises.
    void release();
};

} // namespace tanka
