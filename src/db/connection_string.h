#pragma once
// The connection string in the platform's form ("Provider=SQLOLEDB;server=...;
// uid=...;pwd=...;database=...") read into its parts, and the ODBC connection
// string that stands for it on SQL Server.

#include <QString>

namespace tanka {

struct ConnectionParams {
    QString provider;
    QString server;
    QString uid;
    QString pwd;
    QString database;
};

// Reads "key=value" pairs separated by ';'. Keys match without regard to case
// and accept the usual synonyms ("Data Source", "User ID", "Password",
// "Initial Catalog"); blanks around keys and values are dropped; a value may
// be enclosed in double or single quotes. A repeated key takes its last value.
ConnectionParams parseConnectionString(const QString& text);

// An ODBC attribute value enclosed in braces with every '}' doubled, so that
// no value can end its attribute early and add one of its own.
QString odbcQuote(const QString& value);

// "DRIVER={driver};SERVER={...};UID={...};PWD={...};DATABASE={...};", every
// value quoted, and for FreeTDS the protocol version "TDS_Version=7.4;". An
// empty server stands for the local server, "(local)".
QString odbcConnectionString(const QString& driver, const ConnectionParams& params);

// TANKA_ODBC_DRIVER, or the platform's default driver name when unset.
QString odbcDriverName();

} // namespace tanka
