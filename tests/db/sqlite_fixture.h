#pragma once
// Embedded servers for tests: a temporary folder named by TANKA_SQLITE_DIR
// (restored afterwards), server folders in it, and SQLite files made and read
// with plain QSqlDatabase (dumpRows), independent of the layer under test.

#include <functional>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include "core/globals.h"
#include "core/run_error.h"
#include "db/connection_string.h"
#include "support/sample_site.h"

namespace tanka::test {

class SqliteServers {
public:
    SqliteServers();

    QString root() const { return m_dir.path(); }
    // <root>/SV01/<database>.sqlite
    QString sv01File(const char* database) const;
    // Creates <root>/<folder>/<file> (folder may hold '/') and runs statements.
    QString createDatabase(const QString& folder, const QString& file,
                           const QStringList& statements = {});
    // Runs statements on a file, each on its own; a failing one throws.
    static void run(const QString& path, const QStringList& statements);
    // The first row of query as text (Null as "<null>"), read outside the layer.
    static QVariant scalar(const QString& path, const QString& query);

private:
    ScopedEnv m_env{"TANKA_SQLITE_DIR", "TANKA_DRIVE_C", "TANKA_ODBC_DRIVER"};
    QTemporaryDir m_dir;
};

// A store installation on server "SV01": MSTORI (store 7 "Ginza"; MTGIJU rows
// (7,10) TankaA1 1080 TankaA2 Null, (7,11), (8,10) deleted; one MTTENP row),
// MSKYAK and MSLOCL (MlMsno: store 7).
void createInstallation(SqliteServers& servers);

// All six server names "SV01" and the fixed login.
Globals globalsOnSv01();

// The connection string of database on SV01 with the fixed login.
ConnectionParams sv01(const QString& database);

// The error action raises; number 0 and no text when it raises none.
RunError raised(const std::function<void()>& action);

} // namespace tanka::test
