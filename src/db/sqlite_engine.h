#pragma once
// The embedded server: SQL Server's behaviour as far as the program relies on
// it, over SQLite files.
//
// Server S is the folder <root>/S (a backslash in S separates sub-folders; the
// empty name is the folder "(local)"); database D on it is the file D.sqlite.
// Names match without regard to case. Opening D attaches the other databases
// of the folder under their upper-case names, so that three-part names
// db.dbo.object reach them; the connected database is "main", and a table
// named without a database is looked for there only. Up to SQLite's attach
// limit (ten) are attached, in name order. A name of a database that is not
// there is an invalid object name (208), as on SQL Server.
//
// The layer answers "select @@version" and the two catalogue queries for a
// database's data file itself (the file's Windows path under drive C: when it
// lies there).
//
// Rollback journal, not WAL, so that a commit across attached files is atomic.
// The command timeout is the wait for another connection's lock.
//
// A database that cannot be attached (a damaged file) is left out without
// affecting the others; a statement naming it raises the attach's error.
//
// Transport: Qt's SQLite driver by default, where rows are read and batches
// written with direct statements on the sqlite3 connection (sqliteHandle()).
// With TANKA_SQLITE_VIA_ODBC set when the connection opens,
// the files are reached the way SQL Server is, through Qt's ODBC driver, the
// ODBC driver manager and the SQLite ODBC driver ("SQLite3", or the driver
// named by TANKA_SQLITE_ODBC_DRIVER), and values come as ODBC types; the SQL
// translation, attaching and catalogue answers are the same either way.

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

    std::optional<FixedResult> answer(const QString& sql) const override;
    QString translate(const QString& sql) const override;

    TableInfo tableInfo(QSqlDatabase& db, const QStringList& parts) const override;
    bool typesFromCatalogue() const override { return true; }
    QVariant storedValue(const ColumnInfo& column, const QVariant& value) const override;

    RunError error(const QSqlError& e) const override;
    sqlite3* sqliteHandle(const QSqlDatabase& db) const override;

    // The fixed login of the point-of-sale installation.
    static const QString& loginName();
    static const QString& loginPassword();

private:
    // Upper-case database name -> host path of its file.
    QString fileOf(const QString& database) const;
    // The error of a database that could not be attached, cause e.
    RunError unusable(const QString& database, const QSqlError& e) const;
    // Raises the attach error of database when it could not be attached.
    void requireAttached(const QString& database) const;
    // Connects db to file through the transport; raises as the server would.
    void connect(QSqlDatabase& db, const QString& file, int loginTimeout, int commandTimeout);
    QString dataFilePath(const QString& database) const;

    QString m_root;
    QString m_mainName;             // upper case
    QMap<QString, QString> m_files; // upper-case name -> host path, main included
    // Upper-case name -> why its file could not be attached.
    QMap<QString, RunError> m_broken;
    QString m_version;
    bool m_odbc = false;
};

} // namespace tanka
