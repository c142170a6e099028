#pragma once
// Embedded servers for tests: a temporary folder named by TANKA_SQLITE_DIR
// (set for the fixture's lifetime), server folders in it, and SQLite files
// made with plain QSqlDatabase, independent of the layer under test.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>

#include "core/globals.h"
#include "core/run_error.h"

namespace tanka::test {

class SqliteServers {
public:
    SqliteServers();
    ~SqliteServers();
    SqliteServers(const SqliteServers&) = delete;
    SqliteServers& operator=(const SqliteServers&) = delete;

    QString root() const { return m_dir.path(); }
    // Creates <root>/<folder>/<file> (folder may hold '/') and runs statements.
    QString createDatabase(const QString& folder, const QString& file,
                           const QStringList& statements = {});
    // Runs statements on an existing file.
    static void run(const QString& path, const QStringList& statements);
    // The first column of the first row of query, read outside the layer.
    static QVariant scalar(const QString& path, const QString& query);

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

// Tables as the point-of-sale databases have them, with sample rows.
QStringList storiSchema();
QStringList loclSchema(int miseId);
QStringList honbSchema();

// A store installation on server "SV01": MSTORI, MSKYAK, MSLOCL (and MSHONB
// when headquarters is true) in the folder SV01.
void createInstallation(SqliteServers& servers, bool headquarters = false, int localMiseId = 7);

// All six server names "SV01" and the fixed login.
Globals globalsOnSv01();

// The connection string of database on SV01 with the fixed login.
QString sv01(const QString& database);

// The error action raises; number 0 and no text when it raises none.
RunError raised(const std::function<void()>& action);

} // namespace tanka::test
