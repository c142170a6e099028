#pragma once
// A database connection in the manner of the platform's ADO connection, on
// Qt SQL. Two engines stand behind it, chosen when the connection opens:
//  - TANKA_SQLITE_DIR set: the embedded server. Server S is the folder
//    $TANKA_SQLITE_DIR/S, database D on it the file S/D.sqlite.
//  - otherwise SQL Server through Qt's ODBC driver, with the ODBC driver named
//    by TANKA_ODBC_DRIVER.
// Every failure raises RunError with a number and a description; no
// description ever carries the password.

#include <cstdint>
#include <memory>

#include <QString>

#include "db/connection_string.h"

namespace tanka {

class ConnectionPrivate;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Server, login, password and database for the next open().
    void setConnectionParams(const ConnectionParams& params);
    const ConnectionParams& connectionParams() const;
    void setConnectionTimeout(int seconds); // open (login) timeout, default 15
    void setCommandTimeout(int seconds);    // default 30
    int commandTimeout() const;

    void open();
    // Raises when the connection is not open (as the platform did); the object
    // stays usable for another open either way.
    void close();
    bool isOpen() const;

    // Runs a statement and discards whatever rows it returns.
    void execute(const QString& sql);

    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;

    // Statements sent to the server since the connection object was made.
    std::uint64_t statementCount() const;

    ConnectionPrivate* d() const { return m_d.get(); }

private:
    std::unique_ptr<ConnectionPrivate> m_d;
};

} // namespace tanka
