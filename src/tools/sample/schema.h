#pragma once
// The point-of-sale tables this program reads and writes, as DDL for a real
// SQL Server (T-SQL) and for the embedded server (one SQLite file per
// database). Prices and flags are nullable everywhere: the program must cope
// with Null in any of them. In SQLite, dates are declared DATETIME and hold
// ISO text ("2019-09-30 00:00:00"), as the database layer expects.

#include <span>

namespace tanka::schema {

struct TableDdl {
    const char* database; // "MSTORI", "MSHONB", "MSLOCL"
    const char* table;    // "MTGIJU", ...
    const char* tsql;     // CREATE TABLE dbo.<table> (...) for SQL Server
    const char* sqlite;   // CREATE TABLE <table> (...) for the embedded server
};

// MTGIJU, MTTENP, MTMISE (MSTORI), MHSCTB (MSHONB), MlMsno (MSLOCL).
std::span<const TableDdl> tables();

} // namespace tanka::schema
