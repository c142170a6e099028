#pragma once
// The inside of a Connection, shared with the Recordset.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include "core/run_error.h"
#include "db/engine.h"

namespace tanka {

class RecordsetPrivate;

class ConnectionPrivate {
public:
    ConnectionParams params;
    int connectionTimeout = 15;
    int commandTimeout = 30;

    QString name; // of the QSqlDatabase, unique per Connection
    QSqlDatabase db;
    std::unique_ptr<Engine> engine;
    bool open = false;
    bool inTransaction = false;
    // Why the last open() failed; raised again by any use of the connection
    // until the next open() or close().
    std::optional<RunError> openError;
    // Open record sets; they are closed before the connection closes.
    std::vector<RecordsetPrivate*> recordsets;
    // Statements sent to the server (queries, record set opens, batches,
    // transaction commands): on a LAN each is a round trip.
    std::uint64_t statements = 0;

    // Raises the failed open's error, or "object is closed".
    void requireOpen() const;
    // A forward-only query on the connection.
    QSqlQuery newQuery() const;
    [[noreturn]] void raise(const QSqlError& e) const;

    // Closes record sets, rolls back an open transaction, closes and forgets
    // the database. Never raises.
    void shutdown();
};

} // namespace tanka
