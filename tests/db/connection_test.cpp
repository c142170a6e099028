// Opening connections on the embedded server: folders and files for servers
// and databases, logins, attached databases, the layer's own answers,
// transactions.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;
using test::SqliteServers;
using test::sv01;

QString connectString(const QString& server, const QString& uid, const QString& pwd,
                      const QString& database) {
    return QStringLiteral("Provider=SQLOLEDB;server=%1;uid=%2;pwd=%3;database=%4")
        .arg(server, uid, pwd, database);
}

QString firstValue(Connection& cn, const QString& sql) {
    Recordset rs;
    rs.open(sql, cn);
    return rs.isEOF() ? QStringLiteral("<none>") : rs.value(0).toString();
}

struct OpenCase {
    const char* name;
    QString folder; // created with an MSKYAK.sqlite in it
    QString server;
    QString uid;
    QString pwd;
    QString database;
    std::int32_t number; // 0: opens
    QString text;
};

class OpenTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenTest, OpensOrRefusesAsTheServerWould) {
    const OpenCase& c = GetParam();
    SqliteServers servers;
    servers.createDatabase(c.folder, QStringLiteral("MSKYAK.sqlite"),
                           {QStringLiteral("CREATE TABLE T (a INTEGER)")});
    Connection cn;
    cn.setConnectionString(connectString(c.server, c.uid, c.pwd, c.database));
    const RunError e = raised([&] { cn.open(); });
    EXPECT_EQ(e.number(), c.number);
    EXPECT_EQ(QString::fromStdString(e.description()), c.text);
    EXPECT_EQ(cn.isOpen(), c.number == 0);
}

const QString kUid = QStringLiteral("ORBE-TLX-MEMBER");
const QString kPwd = QStringLiteral("QDR615");
const QString kNoServer = QStringLiteral("[DBNETLIB]SQL Server does not exist or access denied.");

INSTANTIATE_TEST_SUITE_P(
    Servers, OpenTest,
    ::testing::Values(
        OpenCase{"exact", "SV01", "SV01", kUid, kPwd, "MSKYAK", 0, ""},
        OpenCase{"caseless", "Sv01", "sV01", kUid.toLower(), kPwd, "mskyak", 0, ""},
        OpenCase{"instance", "SV01/SQLEXPRESS", "sv01\\sqlexpress", kUid, kPwd, "MSKYAK", 0, ""},
        OpenCase{"local", "(local)", "", kUid, kPwd, "MSKYAK", 0, ""},
        OpenCase{"no_server", "SV01", "SV02", kUid, kPwd, "MSKYAK", -2147467259, kNoServer},
        OpenCase{"instance_missing", "SV01", "SV01\\SQLEXPRESS", kUid, kPwd, "MSKYAK", -2147467259,
                 kNoServer},
        OpenCase{"empty_not_local", "SV01", "", kUid, kPwd, "MSKYAK", -2147467259, kNoServer},
        OpenCase{"parent", "SV01", "SV01\\..\\SV01", kUid, kPwd, "MSKYAK", -2147467259, kNoServer},
        OpenCase{"slash", "SV01/X", "SV01/X", kUid, kPwd, "MSKYAK", -2147467259, kNoServer},
        OpenCase{"no_database", "SV01", "SV01", kUid, kPwd, "MSTORI", 4060,
                 "Cannot open database \"MSTORI\" requested by the login. The login failed."},
        OpenCase{"path_database", "SV01", "SV01", kUid, kPwd, "../SV01/MSKYAK", 4060,
                 "Cannot open database \"../SV01/MSKYAK\" requested by the login. The login "
                 "failed."},
        OpenCase{"empty_login", "SV01", "SV01", "", "", "MSKYAK", 18456,
                 "Login failed for user ''."},
        OpenCase{"other_login", "SV01", "SV01", "sa", kPwd, "MSKYAK", 18456,
                 "Login failed for user 'sa'."},
        OpenCase{"wrong_password", "SV01", "SV01", kUid, "qdr615", "MSKYAK", 18456,
                 "Login failed for user 'ORBE-TLX-MEMBER'."},
        OpenCase{"login_before_database", "SV01", "SV01", "x", "", "NONE", 18456,
                 "Login failed for user 'x'."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Connection, UseAfterFailedOpenRaisesThatOpensError) {
    SqliteServers servers;
    Connection cn;
    cn.setConnectionString(sv01(QStringLiteral("MSKYAK")));
    const RunError openError = raised([&] { cn.open(); });
    ASSERT_NE(openError.number(), 0);
    const std::function<void()> uses[] = {
        [&] { cn.execute(QStringLiteral("select 1")); },
        [&] { cn.executeQuery(QStringLiteral("select 1")); },
        [&] { Recordset().open(QStringLiteral("select 1"), cn); },
        [&] { cn.beginTrans(); },
    };
    for (const auto& use : uses) {
        const RunError e = raised(use);
        EXPECT_EQ(e.number(), openError.number());
        EXPECT_EQ(e.description(), openError.description());
    }
}

TEST(Connection, UseOfClosedConnectionRaises3704) {
    SqliteServers servers;
    test::createInstallation(servers);
    Connection never;
    Connection closed;
    closed.setConnectionString(sv01(QStringLiteral("MSKYAK")));
    closed.open();
    closed.close();
    for (Connection* cn : {&never, &closed}) {
        const RunError e = raised([&] { cn->execute(QStringLiteral("select 1")); });
        EXPECT_EQ(e.number(), 3704);
        EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
        EXPECT_EQ(raised([&] { cn->close(); }).number(), 3704);
    }
}

TEST(Connection, WithoutSqliteDirTheOdbcDriverIsUsed) {
    SqliteServers servers;
    test::createInstallation(servers);
    qunsetenv("TANKA_SQLITE_DIR");
    qputenv("TANKA_ODBC_DRIVER", "tanka-no-such-driver");
    Connection cn;
    cn.setConnectionString(sv01(QStringLiteral("MSKYAK")));
    const RunError e = raised([&] { cn.open(); });
    qunsetenv("TANKA_ODBC_DRIVER");
    EXPECT_NE(e.number(), 0);
    EXPECT_NE(e.number(), -1);
    EXPECT_NE(e.description().find("tanka-no-such-driver"), std::string::npos) << e.description();
}

class AttachedTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        cn.setConnectionString(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }
    SqliteServers servers;
    Connection cn;
};

TEST_F(AttachedTest, ThreePartNamesReachEveryDatabaseOfTheServer) {
    const struct {
        QString sql;
        QString expected;
    } cases[] = {
        {"select count(*) from MSTORI.dbo.MTGIJU", "3"},
        {"select count(*) from mstori.DBO.mtgiju", "3"},
        {"select count(*) from [MSTORI].[dbo].[MTGIJU]", "3"},
        {"select count(*) from MSTORI..MTGIJU", "3"},
        {"select MiseName from MSTORI.dbo.MTMISE M where M.MiseID = 7", "Ginza"},
        {"select count(*) from MSKYAK.dbo.MKKYAK", "0"},
        {"select count(*) from MKKYAK", "0"},
        {"select MiseID from MSLOCL.dbo.MlMsno", "7"},
        {"select 'MSHONB.dbo.MHSCTB'", "MSHONB.dbo.MHSCTB"},
        {"select count(*) from MSTORI.dbo.MTGIJU G, MSTORI.dbo.MTTENP T where G.MiseID = "
         "T.MiseID",
         "2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstValue(cn, c.sql), c.expected) << c.sql.toStdString();
}

TEST_F(AttachedTest, AbsentDatabaseOrTableIsAnInvalidObjectName) {
    const struct {
        QString sql;
        QString text;
    } cases[] = {
        {" select * from MSHONB.dbo.MHSCTB ", "Invalid object name 'MSHONB.dbo.MHSCTB'."},
        {"select * from MSTORI.sys.tables", "Invalid object name 'MSTORI.sys.tables'."},
        {"select * from MSTORI.dbo.NOTABLE", "Invalid object name 'MSTORI.NOTABLE'."},
        {"select * from NOTABLE", "Invalid object name 'NOTABLE'."},
    };
    for (const auto& c : cases) {
        for (const bool viaRecordset : {false, true}) {
            const RunError e = raised([&] {
                if (viaRecordset)
                    Recordset().open(c.sql, cn, CursorType::Static, LockType::Optimistic);
                else
                    cn.execute(c.sql);
            });
            EXPECT_EQ(e.number(), 208) << c.sql.toStdString();
            EXPECT_EQ(QString::fromStdString(e.description()), c.text);
        }
    }
    // A table of another database is not found without its database name.
    EXPECT_EQ(raised([&] { cn.execute(QStringLiteral("select MiseID from MTMISE")); }).number(),
              208);
    EXPECT_EQ(raised([&] {
                  cn.execute(QStringLiteral("select NoColumn from MSTORI.dbo.MTMISE"));
              }).number(),
              207);
}

TEST_F(AttachedTest, VersionNamesTheEmbeddedEngineInOneRowAndColumn) {
    for (const QString& sql :
         {QStringLiteral("select @@version"), QStringLiteral("  SELECT  @@VERSION ;")}) {
        Recordset rs;
        rs.open(sql, cn);
        ASSERT_FALSE(rs.isEOF());
        EXPECT_EQ(rs.fieldCount(), 1);
        const QString version = rs.value(0).toString();
        EXPECT_TRUE(version.startsWith(QStringLiteral("SQLite 3."))) << version.toStdString();
        EXPECT_FALSE(version.contains(QStringLiteral("2000")) ||
                     version.contains(QStringLiteral("2005")));
        rs.moveNext();
        EXPECT_TRUE(rs.isEOF());
    }
}

TEST(Catalogue, DataFileOfADatabaseIsAWindowsPathUnderDriveC) {
    QTemporaryDir drive;
    const QString root = drive.path() + QStringLiteral("/ZEMAH/DATA");
    QDir().mkpath(root + QStringLiteral("/SV01"));
    for (const char* file : {"MSKYAK.sqlite", "MSTORI.sqlite"})
        SqliteServers::run(root + QStringLiteral("/SV01/") + QString::fromLatin1(file),
                           {QStringLiteral("CREATE TABLE T (a INTEGER)")});
    qputenv("TANKA_DRIVE_C", drive.path().toLocal8Bit());
    qputenv("TANKA_SQLITE_DIR", root.toLocal8Bit());

    Connection cn;
    cn.setConnectionString(sv01(QStringLiteral("MSTORI")));
    cn.open();
    const QString windows = QStringLiteral("C:\\ZEMAH\\DATA\\SV01\\MSKYAK.sqlite");
    const struct {
        QString sql;
        QString column;
        QString expected;
    } cases[] = {
        {"select * FROM master.dbo.sysdatabases  where name = 'mskyak' ", "filename", windows},
        {"SELECT * from MASTER.DBO.SYSDATABASES WHERE name='MSKYAK'", "filename", windows},
        {"select * FROM master.dbo.sysdatabases  where name = 'msnone' ", "filename", "<none>"},
        {"select * FROM mskyak.sys.database_files", "physical_name", windows},
        {" select *  from MSKYAK.SYS.DATABASE_FILES ", "physical_name", windows},
    };
    for (const auto& c : cases) {
        Recordset rs;
        rs.open(c.sql, cn);
        EXPECT_EQ(rs.isEOF() ? QStringLiteral("<none>") : rs.value(c.column).toString(), c.expected)
            << c.sql.toStdString();
    }
    EXPECT_EQ(raised([&] {
                  Recordset().open(QStringLiteral("select * FROM msnone.sys.database_files"), cn);
              }).number(),
              208);

    // Outside the drive folder the host path is given.
    qunsetenv("TANKA_DRIVE_C");
    Recordset rs;
    rs.open(QStringLiteral("select * FROM mskyak.sys.database_files"), cn);
    EXPECT_EQ(QDir::fromNativeSeparators(rs.value(QStringLiteral("physical_name")).toString()),
              QFileInfo(root + QStringLiteral("/SV01/MSKYAK.sqlite")).absoluteFilePath());
    qunsetenv("TANKA_SQLITE_DIR");
}

class TransactionTest : public AttachedTest {
protected:
    QString stori() const { return servers.root() + QStringLiteral("/SV01/MSTORI.sqlite"); }
    QString kyak() const { return servers.root() + QStringLiteral("/SV01/MSKYAK.sqlite"); }
    QVariant miseName() const {
        return SqliteServers::scalar(stori(), QStringLiteral("select MiseName from MTMISE"));
    }
    QVariant kyakCount() const {
        return SqliteServers::scalar(kyak(), QStringLiteral("select count(*) from MKKYAK"));
    }
    void changeBoth(Connection& c) {
        c.beginTrans();
        c.execute(QStringLiteral("update MSTORI.dbo.MTMISE set MiseName = 'Shibuya'"));
        c.execute(QStringLiteral("insert into MSKYAK.dbo.MKKYAK values (1)"));
    }
};

TEST_F(TransactionTest, UncommittedWorkIsRolledBackWhenTheConnectionGoes) {
    const std::function<void(std::unique_ptr<Connection>&)> endings[] = {
        [](std::unique_ptr<Connection>& c) { c->close(); },
        [](std::unique_ptr<Connection>& c) { c.reset(); },
        [](std::unique_ptr<Connection>& c) { c->rollbackTrans(); },
    };
    cn.close();
    for (const auto& end : endings) {
        auto c = std::make_unique<Connection>();
        c->setConnectionString(sv01(QStringLiteral("MSKYAK")));
        c->open();
        changeBoth(*c);
        end(c);
        EXPECT_EQ(miseName().toString(), QStringLiteral("Ginza"));
        EXPECT_EQ(kyakCount().toInt(), 0);
    }
}

TEST_F(TransactionTest, CommitWritesBothAttachedFiles) {
    changeBoth(cn);
    EXPECT_TRUE(cn.inTransaction());
    cn.commitTrans();
    EXPECT_FALSE(cn.inTransaction());
    cn.close();
    EXPECT_EQ(miseName().toString(), QStringLiteral("Shibuya"));
    EXPECT_EQ(kyakCount().toInt(), 1);
}

TEST_F(TransactionTest, EveryFileUsesTheRollbackJournalEvenIfItWasWal) {
    cn.close();
    SqliteServers::run(stori(), {QStringLiteral("PRAGMA journal_mode=WAL")});
    cn.open();
    for (const char* db : {"main", "MSTORI", "MSLOCL"})
        EXPECT_EQ(firstValue(cn, QStringLiteral("PRAGMA %1.journal_mode").arg(QLatin1String(db))),
                  QStringLiteral("delete"))
            << db;
}

TEST_F(TransactionTest, TransactionCallsOutOfOrderRaise) {
    EXPECT_EQ(raised([&] { cn.commitTrans(); }).number(), 3902);
    EXPECT_EQ(raised([&] { cn.rollbackTrans(); }).number(), 3903);
    cn.beginTrans();
    EXPECT_EQ(raised([&] { cn.beginTrans(); }).number(), -2147168237);
    cn.commitTrans();
}

TEST_F(TransactionTest, ALockHeldElsewhereTimesOutAfterTheCommandTimeout) {
    Connection other;
    other.setConnectionString(sv01(QStringLiteral("MSTORI")));
    other.setCommandTimeout(1);
    other.open();
    changeBoth(cn);
    const RunError e =
        raised([&] { other.execute(QStringLiteral("update MTMISE set MiseName = 'x'")); });
    EXPECT_EQ(e.number(), -2147217871);
    cn.rollbackTrans();
    other.execute(QStringLiteral("update MTMISE set MiseName = 'x'"));
}

} // namespace
} // namespace tanka
