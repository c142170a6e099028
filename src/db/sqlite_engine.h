#pragma once
// The embedded server: SQL Server's behaviour as far as the program relies on
// it, over SQLite files.
//
// Server S is the folder <root>/S (a backslash in S separates sub-folders; the
// empty name is the folder "(local)"); database D on it is the file D.sqlite.
// Names match without regard to case. Opening D attaches the other databases
// of the folder (up to SQLite's limit of ten, in name order) so that
// three-part names db.dbo.object reach them; a table named without a database
// is looked for in D only. A database that is not there is an invalid object
// name (208), as on SQL Server; one that cannot be attached (a damaged file)
// is left out, and a statement naming it raises the attach's error.
//
// The layer answers "select @@version" (naming no SQL Server release) and
// db.sys.database_files (the file's Windows path under drive C: when it lies
// there).
// Rollback journal, not WAL, so that a commit across attached files is atomic.
// The command timeout is the wait for another connection's lock.
//
// Transport: Qt's SQLite driver, with direct statements on its sqlite3
// connection (sqliteHandle()); or, with TANKA_SQLITE_VIA_ODBC set when the
// connection opens, the way SQL Server is reached: Qt's ODBC driver and the
// SQLite ODBC driver ("SQLite3", or TANKA_SQLITE_ODBC_DRIVER), values coming
// as ODBC types.

#include <QMap>

#include "db/engine.h"

namespace tanka {

class SqliteEngine final : public Engine {
public:
    explicit SqliteEngine(QString root);

    QString driverName() const override;
    void open(QSqlDatabase& db, const ConnectionParams& params, int loginTimeout,
              int commandTimeout) override;
    void setCommandTimeout(QSqlDatabase& db, int seconds) override;
    RunError error(const QSqlError& e) const override;

    std::optional<FixedResult> answer(const QString& sql) const override;
    QString translate(const QString& sql) const override;
    bool typesFromCatalogue() const override { return true; }
    TableInfo tableInfo(QSqlDatabase& db, const QStringList& parts) const override;
    QVariant storedValue(const ColumnInfo& column, const QVariant& value) const override;
    sqlite3* sqliteHandle(const QSqlDatabase& db) const override;

private:
    // Raises unless database (upper case) is reachable: the attach error of a
    // damaged file, else an invalid object name, objectText.
    void requireDatabase(const QString& database, const QString& objectText) const;
    // Connects db to file through the transport; raises as the server would.
    void connect(QSqlDatabase& db, const QString& file, int loginTimeout, int commandTimeout);

    QString m_root;
    QString m_mainName;             // upper case
    QMap<QString, QString> m_files; // upper-case name -> host path, main included
    // Upper-case name -> why its file could not be attached.
    QMap<QString, RunError> m_broken;
    QString m_version;
    bool m_odbc = false;
};

} // namespace tanka
