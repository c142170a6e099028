#pragma once
// The pieces of a connection (server, login, password, database), carried as
// fields from the settings to the driver, and the ODBC connection string that
// SQL Server receives.

#include <QString>

namespace tanka {

struct ConnectionParams {
    QString server;
    QString uid;
    QString pwd;
    QString database;
};

// False when value holds a character that ends, quotes or assigns a piece of
// a connection text (';', '"', '{', '}', '='). Settings holding one are
// refused before they reach a driver.
bool isSafeConnectionValue(const QString& value);

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
