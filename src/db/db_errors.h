#pragma once
// Error numbers raised by the database layer. Callers compare them with the
// numbers the platform's data objects and SQL Server produced, so the layer
// keeps one fixed scheme:
//
//  - Data-object errors (the object itself refuses the call): 3021 no current
//    row, 3251 not updatable, 3265 unknown field, 3704 object closed, 3705
//    object already open.
//  - Provider-style HRESULTs for failures of the connection as a whole:
//    -2147467259 (E_FAIL) when a server cannot be reached or an open fails
//    without a number of its own, -2147217843 login refused before any
//    server number exists, -2147217864 optimistic update found no row,
//    -2147217871 timeout (lock wait expired), -2147217900 a command failed
//    without a more specific number, -2147168237 a transaction already exists.
//  - SQL Server native numbers where the embedded engine reproduces a server
//    error: 18456 login failed, 4060 cannot open database, 208 invalid object
//    name, 207 invalid column name, 241/242 date conversion, 245/8114 number
//    conversion, 3902/3903 commit/rollback without a transaction.
//  - Through ODBC: the driver's native error number, or E_FAIL when it gives
//    none (0 or -1); SQL Server's lock timeout (1222) is the timeout above.
//    The embedded server reached through ODBC gives the same numbers as
//    without it. No number is ever -1, which callers read as success.

#include <cstdint>

#include <QString>

#include "core/run_error.h"

namespace tanka::dberr {

inline constexpr std::int32_t NoCurrentRecord = 3021;
inline constexpr std::int32_t NotUpdatable = 3251;
inline constexpr std::int32_t ItemNotFound = 3265;
inline constexpr std::int32_t ObjectClosed = 3704;
inline constexpr std::int32_t ObjectOpen = 3705;

inline constexpr std::int32_t Fail = -2147467259;
inline constexpr std::int32_t AuthFailed = -2147217843;
inline constexpr std::int32_t RowNotFound = -2147217864;
inline constexpr std::int32_t Timeout = -2147217871;
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
