#include "sqlite_fixture.h"

#include <QDir>

#include "db/recordset.h"
#include "support/table_dump.h"

namespace tanka::test {

SqliteServers::SqliteServers() {
    qputenv("TANKA_SQLITE_DIR", m_dir.path().toLocal8Bit());
}

QString SqliteServers::sv01File(const char* database) const {
    return m_dir.path() + QStringLiteral("/SV01/") + QLatin1String(database) +
           QStringLiteral(".sqlite");
}

void SqliteServers::run(const char* database, const QStringList& statements) const {
    for (const QString& statement : statements)
        dumpRows(sv01File(database), statement);
}

QString SqliteServers::value(const char* database, const QString& query) const {
    return dumpRows(sv01File(database), query).value(0);
}

void createInstallation(SqliteServers& servers) {
    sample::Options o;
    o.storeIds = {7};
    const auto site = sample::writeSampleInstall(servers.root() + QStringLiteral("/site"), o);
    QDir().rename(site.serverDir, servers.root() + QStringLiteral("/SV01"));
    servers.run("MSTORI", {QStringLiteral("UPDATE MTMISE SET MiseRyakusho = 'Ginza'")});
    // The customer database's own table, which the program never reads: a
    // table that only the connection's main database holds.
    servers.run("MSKYAK", {QStringLiteral("CREATE TABLE MKKYAK (KyakID INTEGER PRIMARY KEY)")});
}

Globals globalsOnSv01() {
    Globals g;
    g.servers.fill(QStringLiteral("SV01"));
    g.login = QStringLiteral("ORBE-TLX-MEMBER");
    g.password = QStringLiteral("QDR615");
    return g;
}

ConnectionParams sv01(const QString& database) {
    return {QStringLiteral("SV01"), QStringLiteral("ORBE-TLX-MEMBER"), QStringLiteral("QDR615"),
            database};
}

QString firstValue(Connection& cn, const QString& sql) {
    Recordset rs;
    rs.open(sql, cn);
    return rs.isEOF() ? QStringLiteral("<none>") : rs.value(0).toString();
}

RunError raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunError& e) {
        return e;
    }
    return RunError(0, "");
}

} // namespace tanka::test
