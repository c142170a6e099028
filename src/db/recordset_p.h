#pragma once
// The inside of a Recordset, known to the Connection so that closing a
// connection closes its record sets first.

#include <memory>
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
};

class RecordsetPrivate {
public:
    ConnectionPrivate* cn = nullptr;
    bool open = false;

    QStringList names;
    QHash<QString, int> byName; // lower case
    std::vector<ColumnInfo> columns;
    std::vector<bool> dateColumns; // isDateType() of each column's declared type

    std::unique_ptr<RowSource> source;
    RowData row; // the current row
    bool bof = true;
    bool eof = true;

    void requireOpen() const;
    void requireCurrent() const;
    int indexOf(const QString& name) const;
    QVariant currentValue(std::size_t i) const { return row.value(i); }
    void advance();
    // Finishes every statement and forgets the rows; the object is closed.
    // Never raises.
    void release();
};

} // namespace tanka
