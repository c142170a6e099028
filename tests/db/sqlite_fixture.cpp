#include "sqlite_fixture.h"

#include <QDir>

#include "support/table_dump.h"
#include "tools/sample/schema.h"

namespace tanka::test {

SqliteServers::SqliteServers() {
    qputenv("TANKA_SQLITE_DIR", m_dir.path().toLocal8Bit());
}

QString SqliteServers::sv01File(const char* database) const {
    return m_dir.path() + QStringLiteral("/SV01/") + QLatin1String(database) +
           QStringLiteral(".sqlite");
}

QString SqliteServers::createDatabase(const QString& folder, const QString& file,
                                      const QStringList& statements) {
    const QString dir = m_dir.path() + u'/' + folder;
    QDir().mkpath(dir);
    const QString path = dir + u'/' + file;
    run(path, statements);
    return path;
}

void SqliteServers::run(const QString& path, const QStringList& statements) {
    for (const QString& statement : statements)
        dumpRows(path, statement);
}

QVariant SqliteServers::scalar(const QString& path, const QString& text) {
    const QStringList rows = dumpRows(path, text);
    return rows.isEmpty() ? QVariant() : QVariant(rows.first());
}

// The tables of database as the sample installations have them.
QStringList schemaOf(const char* database) {
    QStringList statements;
    for (const schema::TableDdl& t : schema::tables())
        if (QLatin1String(t.database) == QLatin1String(database))
            statements << QString::fromUtf8(t.sqlite);
    return statements;
}

void createInstallation(SqliteServers& servers) {
    const QString sv = QStringLiteral("SV01");
    servers.createDatabase(
        sv, QStringLiteral("MSTORI.sqlite"),
        schemaOf("MSTORI") +
            QStringList{
                QStringLiteral("INSERT INTO MTMISE (MiseID, MiseRyakusho, GijutuTankaSwFlg, "
                               "TenpanTankaSwFlg, SyoriDate) VALUES (7, 'Ginza', 1, 2, "
                               "'2019-09-30 00:00:00')"),
                QStringLiteral("INSERT INTO MTGIJU VALUES (1, 7, 10, 1, 'Cut', 1, 1080, NULL, 0, "
                               "0, 0, 0, 0, 0, 0, 0, 0, '2019-09-01 00:00:00')"),
                QStringLiteral("INSERT INTO MTGIJU VALUES (1, 7, 11, 1, 'Color', 0, 3000, 0, 0, "
                               "0, 0, 0, 0, 0, 0, 0, 2, '2019-09-30 00:00:00')"),
                QStringLiteral("INSERT INTO MTGIJU VALUES (1, 8, 10, 1, 'Cut', 1, 2160, 0, 0, 0, "
                               "0, 0, 0, 0, 0, 0, 9, NULL)"),
                QStringLiteral("INSERT INTO MTTENP VALUES (1, 7, 1, 4901234567894, 'Shampoo', 1, "
                               "540, NULL, 0, '2019-09-01 00:00:00')"),
            });
    // The customer database's own table, which the program never reads: a
    // table that only the connection's main database holds.
    servers.createDatabase(sv, QStringLiteral("MSKYAK.sqlite"),
                           {QStringLiteral("CREATE TABLE MKKYAK (KyakID INTEGER PRIMARY KEY)")});
    servers.createDatabase(sv, QStringLiteral("MSLOCL.sqlite"),
                           schemaOf("MSLOCL") +
                               QStringList{QStringLiteral("INSERT INTO MlMsno VALUES (7)")});
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

RunError raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunError& e) {
        return e;
    }
    return RunError(0, "");
}

} // namespace tanka::test
