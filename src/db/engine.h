#pragma once
// What differs between the embedded SQLite server and SQL Server through ODBC.
// A Connection owns one Engine from open() to close(). The defaults are SQL
// Server's: the text goes to the server as written, values as given.

#include <optional>
#include <utility>
#include <vector>

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/run_error.h"
#include "db/connection_string.h"
#include "db/value_text.h"

struct sqlite3;

namespace tanka {

struct ColumnInfo {
    ColumnInfo(QString columnName, QString type)
        : name(std::move(columnName)), declaredType(std::move(type)),
          kind(valueKind(declaredType)) {}
    QString name;
    QString declaredType; // as the table declares it; empty when unknown
    ValueKind kind;       // valueKind(declaredType), worked out once
};

struct TableInfo {
    std::vector<ColumnInfo> columns; // empty when the engine does not report them
};

// Rows the layer produces itself instead of the server (catalogue answers).
struct FixedResult {
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;
};

class Engine {
public:
    virtual ~Engine() = default;

    // Qt's driver name ("QSQLITE", "QODBC").
    virtual QString driverName() const = 0;
    // Opens db (added with driverName(), not yet open). Raises RunError.
    virtual void open(QSqlDatabase& db, const ConnectionParams& params, int loginTimeout,
                      int commandTimeout) = 0;
    virtual void setCommandTimeout(QSqlDatabase& db, int seconds) = 0;
    virtual RunError error(const QSqlError& e) const = 0;

    // The layer's own answer to sql, if it has one.
    virtual std::optional<FixedResult> answer(const QString& /*sql*/) const { return {}; }
    // The text to hand to the server; raises for names that cannot exist.
    virtual QString translate(const QString& sql) const { return sql; }

    // Whether the server needs the declared types of a table's columns (from
    // tableInfo()) to present and store values as SQL Server would.
    virtual bool typesFromCatalogue() const { return false; }
    // The columns of the table named by parts (as translate() left them).
    // Never raises: an unknown table gives an empty TableInfo.
    virtual TableInfo tableInfo(QSqlDatabase& /*db*/, const QStringList& /*parts*/) const {
        return {};
    }
    // The value to send when value is assigned to column; raises the server's
    // conversion error when the server would refuse it.
    virtual QVariant storedValue(const ColumnInfo& /*column*/, const QVariant& value) const {
        return value;
    }

    // A bound date in a statement: as it is, or cast to the columns' type
    // where the server would otherwise compare it at a finer precision.
    virtual QString dateParameter() const { return QStringLiteral("?"); }

    // The sqlite3 connection under db (open) when the engine is SQLite, for
    // the record sets' direct statements; null otherwise.
    virtual sqlite3* sqliteHandle(const QSqlDatabase& /*db*/) const { return nullptr; }
};

} // namespace tanka
