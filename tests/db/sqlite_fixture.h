#pragma once
// Embedded servers for tests: a temporary folder named by TANKA_SQLITE_DIR
// (restored afterwards), server folders in it, and SQLite files made and read
// with plain QSqlDatabase (dumpRows), independent of the layer under test.

#include <functional>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/run_error.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "support/sample_site.h"

namespace tanka::test {

class SqliteServers {
public:
    SqliteServers();

    QString root() const { return m_dir.path(); }
    // <root>/SV01/<database>.sqlite
    QString sv01File(const char* database) const;
    // Runs statements on a database of SV01, each on its own; a failing one throws.
    void run(const char* database, const QStringList& statements) const;
    // The first row of query on a database of SV01 as text (Null as "<null>",
    // empty when there is no row), read outside the layer.
    QString value(const char* database, const QString& query) const;

private:
    ScopedEnv m_env{"TANKA_SQLITE_DIR", "TANKA_DRIVE_C", "TANKA_ODBC_DRIVER"};
    QTemporaryDir m_dir;
};

// The sample's store installation on server "SV01" (its other files in
// <root>/site): store 7 "Ginza" with 24 MTGIJU rows, and in MSKYAK the table
// MKKYAK, empty.
void createInstallation(SqliteServers& servers);

// All six server names "SV01" and the fixed login.
Globals globalsOnSv01();

// The connection string of database on SV01 with the fixed login.
ConnectionParams sv01(const QString& database);

// The first value of a query through the layer ("<none>" without rows).
QString firstValue(Connection& cn, const QString& sql);

// The error action raises; number 0 and no text when it raises none.
RunError raised(const std::function<void()>& action);

// createInstallation's installation with an open connection to MSKYAK.
class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        createInstallation(servers);
        cn.setConnectionParams(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }

    SqliteServers servers;
    Connection cn;
};

} // namespace tanka::test
