#pragma once
// Error numbers raised by the database layer. Callers compare them with the
// numbers the platform's data objects and SQL Server gave, so one scheme holds
// for both servers: the data objects' own numbers where the object refuses a
// call; provider HRESULTs where the connection as a whole fails (E_FAIL when a
// server cannot be reached or gives no number); SQL Server's native numbers,
// which the embedded server reproduces, and through ODBC the driver's. SQL
// Server's lock timeout (1222) is the layer's Timeout. No number is ever -1,
// which callers read as success.

#include <cstdint>

#include <QString>

#include "core/run_error.h"

namespace tanka::dberr {

inline constexpr std::int32_t NoCurrentRecord = 3021;
inline constexpr std::int32_t ItemNotFound = 3265;
inline constexpr std::int32_t ObjectClosed = 3704;
inline constexpr std::int32_t ObjectOpen = 3705;

inline constexpr std::int32_t Fail = -2147467259;        // E_FAIL
inline constexpr std::int32_t RowNotFound = -2147217864; // optimistic write found no row
inline constexpr std::int32_t Timeout = -2147217871;     // lock wait expired
inline constexpr std::int32_t CommandFailed = -2147217900;
inline constexpr std::int32_t TransactionExists = -2147168237;

inline constexpr std::int32_t LoginFailed = 18456;
inline constexpr std::int32_t CannotOpenDatabase = 4060;
inline constexpr std::int32_t InvalidObjectName = 208;
inline constexpr std::int32_t InvalidColumnName = 207;
inline constexpr std::int32_t DateConversion = 241;
inline constexpr std::int32_t DateOutOfRange = 242;
inline constexpr std::int32_t IntConversion = 245;
inline constexpr std::int32_t NumericConversion = 8114;
inline constexpr std::int32_t CommitWithoutBegin = 3902;
inline constexpr std::int32_t RollbackWithoutBegin = 3903;

[[noreturn]] inline void raise(std::int32_t number, const QString& text) {
    throw RunError(number, text.toStdString());
}

[[noreturn]] inline void raiseClosed() {
    raise(ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

[[noreturn]] inline void raiseNoCurrentRecord() {
    raise(NoCurrentRecord, QStringLiteral("Either BOF or EOF is True, or the current record has "
                                          "been deleted. Requested operation requires a current "
                                          "record."));
}

[[noreturn]] inline void raiseItemNotFound() {
    raise(ItemNotFound, QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal."));
}

[[noreturn]] inline void raiseInvalidObject(const QString& name) {
    raise(InvalidObjectName, QStringLiteral("Invalid object name '%1'.").arg(name));
}

} // namespace tanka::dberr
