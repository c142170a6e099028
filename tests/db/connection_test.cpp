// Opening connections on the embedded server: folders and files for servers
// and databases, logins, attached databases, the layer's own answers,
// transactions.
#include <gtest/gtest.h>

#include <QDir>

#include "db/connection.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"
#include "support/table_dump.h"

namespace tanka {
namespace {

using test::firstValue;
using test::InstallationTest;
using test::raised;
using test::SqliteServers;
using test::sv01;

TEST(Connection, OpensOrRefusesAsTheServerWould) {
    const QString kNoServer =
        QStringLiteral("[DBNETLIB]SQL Server does not exist or access denied.");
    const struct {
        const char* folder; // created with an MSKYAK.sqlite in it
        const char* server;
        const char* uid;
        const char* pwd;
        const char* database;
        std::int32_t number; // 0: opens
        QString text;
    } cases[] = {
        {"Sv01", "sV01", "orbe-tlx-member", "QDR615", "mskyak", 0, ""},
        {"SV01/SQLEXPRESS", "sv01\\sqlexpress", "ORBE-TLX-MEMBER", "QDR615", "MSKYAK", 0, ""},
        {"(local)", "", "ORBE-TLX-MEMBER", "QDR615", "MSKYAK", 0, ""},
        {"SV01", "SV02", "ORBE-TLX-MEMBER", "QDR615", "MSKYAK", -2147467259, kNoServer},
        {"SV01", "SV01\\..\\SV01", "ORBE-TLX-MEMBER", "QDR615", "MSKYAK", -2147467259, kNoServer},
        {"SV01", "SV01", "ORBE-TLX-MEMBER", "QDR615", "MSTORI", 4060,
         "Cannot open database \"MSTORI\" requested by the login. The login failed."},
        {"SV01", "SV01", "ORBE-TLX-MEMBER", "qdr615", "MSKYAK", 18456,
         "Login failed for user 'ORBE-TLX-MEMBER'."},
    };
    for (const auto& c : cases) {
        SqliteServers servers;
        const QString folder = servers.root() + u'/' + QString::fromLatin1(c.folder);
        QDir().mkpath(folder);
        test::dumpRows(folder + "/MSKYAK.sqlite", QStringLiteral("CREATE TABLE T (a INTEGER)"));
        Connection cn;
        cn.setConnectionParams({QString::fromLatin1(c.server), QString::fromLatin1(c.uid),
                                QString::fromLatin1(c.pwd), QString::fromLatin1(c.database)});
        const RunError e = raised([&] { cn.open(); });
        EXPECT_EQ(e.number(), c.number) << c.server << " " << c.database;
        EXPECT_EQ(QString::fromStdString(e.description()), c.text);
        EXPECT_EQ(cn.isOpen(), c.number == 0);
    }
}

// (A statement after a failed open raises the open's error: among the ODBC
// opens, which go through the same connection.)
using AttachedTest = InstallationTest;

// (Names inside literals and comments are among the SQL text tests.)
TEST_F(AttachedTest, ThreePartNamesReachEveryDatabaseOfTheServer) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"select count(*) from mstori.DBO.mtgiju", "24"},
        {"select MiseRyakusho from MSTORI.dbo.MTMISE M where M.MiseID = 7", "Ginza"},
        {"select count(*) from MKKYAK", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstValue(cn, QString::fromLatin1(c.sql)), QString::fromLatin1(c.expected))
            << c.sql;
}

// Statements are never stacked: a second one after a semicolon is refused.
TEST_F(AttachedTest, OneStatementAtATime) {
    EXPECT_EQ(raised([&] { Recordset().open(QStringLiteral("select 1; select 2"), cn); }).number(),
              -2147217900);
    EXPECT_EQ(raised([&] { Recordset().open(QStringLiteral("select 1;  "), cn); }).number(), 0);
}

TEST_F(AttachedTest, AbsentDatabaseOrTableIsAnInvalidObjectName) {
    const struct {
        const char* sql;
        std::int32_t number;
        const char* text;
    } cases[] = {
        {" select * from MSHONB.dbo.MHSCTB ", 208, "Invalid object name 'MSHONB.dbo.MHSCTB'."},
        {"select * from MSTORI.dbo.NOTABLE", 208, "Invalid object name 'MSTORI.NOTABLE'."},
        // A table of another database is not found without its database name.
        {"select MiseID from MTMISE", 208, "Invalid object name 'MTMISE'."},
        {"select NoColumn from MSTORI.dbo.MTMISE", 207, "Invalid column name 'NoColumn'."},
    };
    for (const auto& c : cases) {
        for (const bool viaRecordset : {false, true}) {
            const RunError e = raised([&] {
                if (viaRecordset)
                    Recordset().open(QString::fromLatin1(c.sql), cn);
                else
                    cn.execute(QString::fromLatin1(c.sql));
            });
            EXPECT_EQ(e.number(), c.number) << c.sql;
            EXPECT_EQ(e.description(), c.text);
        }
    }
}

class TransactionTest : public InstallationTest {
protected:
    // The store's name and the number of MKKYAK rows, read from the files.
    QString bothFiles() const {
        return servers.value("MSTORI", QStringLiteral("select MiseRyakusho from MTMISE")) + u' ' +
               servers.value("MSKYAK", QStringLiteral("select count(*) from MKKYAK"));
    }
    void changeBoth(Connection& c) {
        c.beginTrans();
        c.execute(QStringLiteral("update MSTORI.dbo.MTMISE set MiseRyakusho = 'Shibuya'"));
        c.execute(QStringLiteral("insert into MSKYAK.dbo.MKKYAK values (1)"));
    }
};

TEST_F(TransactionTest, UncommittedWorkIsRolledBackWhenTheConnectionGoes) {
    changeBoth(cn);
    cn.close();
    EXPECT_EQ(bothFiles(), QStringLiteral("Ginza 0"));
    {
        Connection destroyed;
        destroyed.setConnectionParams(sv01(QStringLiteral("MSKYAK")));
        destroyed.open();
        changeBoth(destroyed);
    }
    EXPECT_EQ(bothFiles(), QStringLiteral("Ginza 0"));
}

// A file in WAL mode would commit on its own, not atomically with the others.
TEST_F(TransactionTest, CommitWritesBothAttachedFilesThroughTheRollbackJournal) {
    cn.close();
    servers.run("MSTORI", {QStringLiteral("PRAGMA journal_mode=WAL")});
    cn.open();
    for (const char* db : {"main", "MSTORI"})
        EXPECT_EQ(firstValue(cn, QStringLiteral("PRAGMA %1.journal_mode").arg(QLatin1String(db))),
                  QStringLiteral("delete"))
            << db;
    changeBoth(cn);
    cn.commitTrans();
    EXPECT_FALSE(cn.inTransaction());
    cn.close();
    EXPECT_EQ(bothFiles(), QStringLiteral("Shibuya 1"));
}

TEST_F(TransactionTest, ALockHeldElsewhereTimesOutAfterTheCommandTimeout) {
    Connection other;
    other.setConnectionParams(sv01(QStringLiteral("MSTORI")));
    other.setCommandTimeout(1);
    other.open();
    changeBoth(cn);
    const RunError e =
        raised([&] { other.execute(QStringLiteral("update MTMISE set MiseRyakusho = 'x'")); });
    EXPECT_EQ(e.number(), -2147217871);
    cn.rollbackTrans();
    other.execute(QStringLiteral("update MTMISE set MiseRyakusho = 'x'"));
}

} // namespace
} // namespace tanka
