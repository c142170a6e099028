#pragma once
// The program's connection routines, on its settings: the database index
// table, and opening and closing connections with results instead of errors.

#include <cstdint>
#include <memory>

#include <QString>

#include "core/globals.h"
#include "db/connection.h"

namespace tanka {

void databaseAndServer(std::int32_t index, QString& databaseName, QString& serverName,
                       const Globals& g);
// The pieces of the connection to database index: its server and name, the
// login and the password.
ConnectionParams connectionParamsFor(std::int32_t index, const Globals& g);
// What openConnection and closeConnection report: success, or the number of the error that
// stopped them (never -1, the platform's form of success).
class ConnectionResult {
public:
    static ConnectionResult success() { return ConnectionResult(-1); }
    static ConnectionResult failure(std::int32_t number) { return ConnectionResult(number); }
    bool ok() const { return m_value == -1; }
    // -1 on success, else the error number.
    std::int32_t value() const { return m_value; }

private:
    explicit ConnectionResult(std::int32_t value) : m_value(value) {}
    std::int32_t m_value;
};

// cn may be null: error 91 with the "instance not created" text appended.
ConnectionResult openConnection(std::int32_t index, Connection* cn, QString& failureText,
                                const Globals& g);
// Always leaves cn released (null).
ConnectionResult closeConnection(std::unique_ptr<Connection>& cn, QString* failureText = nullptr);
// The command timeout of the program-wide connection during a run, seconds.
inline constexpr int RunCommandTimeout = 9999;

// Creates cn with the command timeout given (the run's by default) and opens
// it on MSKYAK. Reports nothing.
void openProgramConnection(std::unique_ptr<Connection>& cn, const Globals& g,
                           int commandTimeout = RunCommandTimeout);
void closeProgramConnection(std::unique_ptr<Connection>& cn);

} // namespace tanka
