#include "sqlite_fixture.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>

namespace tanka::test {

namespace {

template <typename F> void withDatabase(const QString& path, F&& body) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            ADD_FAILURE() << db.lastError().text().toStdString();
        body(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

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
    withDatabase(path, [&](QSqlDatabase& db) {
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                ADD_FAILURE() << statement.toStdString() << ": "
                              << query.lastError().text().toStdString();
        }
    });
}

QVariant SqliteServers::scalar(const QString& path, const QString& text) {
    QVariant result;
    withDatabase(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (query.exec(text) && query.next())
            result = query.value(0);
        else
            ADD_FAILURE() << text.toStdString() << ": " << query.lastError().text().toStdString();
    });
    return result;
}

void createInstallation(SqliteServers& servers) {
    const QString sv = QStringLiteral("SV01");
    servers.createDatabase(
        sv, QStringLiteral("MSTORI.sqlite"),
        {
            QStringLiteral(
                "CREATE TABLE MTGIJU (GlobalID INTEGER NOT NULL, MiseID INTEGER NOT NULL, "
                "GijutuID INTEGER NOT NULL, ShumokuID INTEGER NOT NULL, GijutuName "
                "NVARCHAR(40), TaxFlg SMALLINT, TankaA1 MONEY, TankaA2 MONEY, TankaA3 MONEY, "
                "TankaA4 MONEY, TankaA5 MONEY, TankaB1 MONEY, TankaB2 MONEY, TankaB3 MONEY, "
                "TankaB4 MONEY, TankaB5 MONEY, SaisyuKosinFlg SMALLINT, SaisyuKosinDate "
                "DATETIME, PRIMARY KEY (GlobalID, MiseID, GijutuID, ShumokuID))"),
            QStringLiteral(
                "CREATE TABLE MTTENP (GlobalID INTEGER NOT NULL, MiseID INTEGER NOT NULL, "
                "TenpanFlg SMALLINT NOT NULL, TenpanID NVARCHAR(13) NOT NULL, TenpanName "
                "NVARCHAR(40), TaxFlg SMALLINT, UriTankaA MONEY, UriTankaB MONEY, "
                "SaisyuKosinFlg SMALLINT, SaisyuKosinDate DATETIME, "
                "PRIMARY KEY (GlobalID, MiseID, TenpanFlg, TenpanID))"),
            QStringLiteral(
                "CREATE TABLE MTMISE (MiseID INTEGER PRIMARY KEY, MiseName NVARCHAR(40), "
                "GijutuTankaSwFlg SMALLINT, TenpanTankaSwFlg SMALLINT, SyoriDate DATETIME)"),
            QStringLiteral("INSERT INTO MTMISE VALUES (7, 'Ginza', 1, 2, '2019-09-30 00:00:00')"),
            QStringLiteral("INSERT INTO MTGIJU VALUES (1, 7, 10, 1, 'Cut', 1, 1080, NULL, 0, 0, 0, "
                           "0, 0, 0, 0, 0, 0, '2019-09-01 00:00:00')"),
            QStringLiteral("INSERT INTO MTGIJU VALUES (1, 7, 11, 1, 'Color', 0, 3000, 0, 0, 0, 0, "
                           "0, 0, 0, 0, 0, 2, '2019-09-30 00:00:00')"),
            QStringLiteral("INSERT INTO MTGIJU VALUES (1, 8, 10, 1, 'Cut', 1, 2160, 0, 0, 0, 0, "
                           "0, 0, 0, 0, 0, 9, NULL)"),
            QStringLiteral(
                "INSERT INTO MTTENP VALUES (1, 7, 1, '4901234567894', 'Shampoo', 1, 540, "
                "NULL, 0, '2019-09-01 00:00:00')"),
        });
    servers.createDatabase(sv, QStringLiteral("MSKYAK.sqlite"),
                           {QStringLiteral("CREATE TABLE MKKYAK (KyakID INTEGER PRIMARY KEY)")});
    servers.createDatabase(
        sv, QStringLiteral("MSLOCL.sqlite"),
        {QStringLiteral("CREATE TABLE MlMsno (MiseID INTEGER, MiseName NVARCHAR(40))"),
         QStringLiteral("INSERT INTO MlMsno VALUES (7, 'local')")});
}

Globals globalsOnSv01() {
    Globals g;
    for (QString* server : {&g.SvTori, &g.SvJsho, &g.SvKyak, &g.SvUria, &g.SvLocl, &g.SvHonb})
        *server = QStringLiteral("SV01");
    g.LoginID = QStringLiteral("ORBE-TLX-MEMBER");
    g.LoginPW = QStringLiteral("QDR615");
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
