// What production relies on of the transport under the record sets. The db
// suite runs twice: on Qt's SQLite driver, and through ODBC (QODBC, the
// driver manager, the SQLite ODBC driver) as SQL Server is reached; these
// cases hold both ways.
#include <gtest/gtest.h>

#include "core/code_page_932.h"
#include <QDateTime>
#include <QFile>

#include "db/batch_update.h"
#include "db/connection.h"
#include "db/recordset.h"
#include "pricing/backup.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::firstValue;
using test::raised;

class TransportTest : public test::InstallationTest {
protected:
    void SetUp() override {
        InstallationTest::SetUp();
        servers.run("MSTORI",
                    {QStringLiteral("CREATE TABLE V (id INTEGER PRIMARY KEY, n INTEGER, "
                                    "r REAL, m MONEY, t NVARCHAR(20), d DATETIME, b BLOB)"),
                     QStringLiteral("INSERT INTO V VALUES (1, -12, 0.25, 1080.5, 'ｶｯﾄ', "
                                    "'2019-09-30 00:00:00', x'00ff')"),
                     QStringLiteral("INSERT INTO V VALUES (2, NULL, NULL, NULL, '', NULL, "
                                    "NULL)")});
    }
};

// Values come as the transport types them (dates as texts from SQLite, as
// date/times through ODBC, as from SQL Server); the plain text lines of a
// backup are the same either way.
TEST_F(TransportTest, ValuesReadAsTheirTypesAndLinesComeAlike) {
    Recordset rs;
    rs.open(QStringLiteral("SELECT * From MSTORI.dbo.V  ORDER BY id"), cn);
    EXPECT_EQ(rs.value(QStringLiteral("d")).typeId(),
              qEnvironmentVariableIsSet("TANKA_SQLITE_VIA_ODBC") ? QMetaType::QDateTime
                                                                 : QMetaType::QString);
    EXPECT_EQ(rs.value(QStringLiteral("b")).toByteArray(), QByteArray("\x00\xff", 2));
    const QString path = servers.root() + QStringLiteral("/V.CSV");
    ASSERT_TRUE(writeBackupFile(path, rs));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(cp932::decode(file.readAll()),
              QStringLiteral("id\tn\tr\tm\tt\td\tb\r\n"
                             "1\t-12\t0.25\t1080.5\tｶｯﾄ\t2019/09/30 00:00:00\t00FF\r\n"
                             "2\t#NULL#\t#NULL#\t#NULL#\t\t#NULL#\t#NULL#\r\n"));
}

// Values read through the transport go back as the old values of an
// optimistic write (a date read as a date/time included) and match; whatever
// the transport binds, the file holds what the embedded server stores:
// integers as 64-bit integers, money as a number, dates as "yyyy-MM-dd
// hh:mm:ss" texts, Null as Null. A value the column cannot take raises the
// server's conversion error and leaves the row as it was.
TEST_F(TransportTest, ValuesReadAndWrittenBackAreStoredAsTheServerStoresThem) {
    const struct {
        const char* column;
        QVariant assigned;
        const char* stored; // typeof() || ':' || value afterwards
        std::int32_t error = 0;
    } cases[] = {
        {"n", qlonglong{9007199254740993}, "integer:9007199254740993"},
        {"n", QVariant(), "null:"},
        {"n", QStringLiteral("x"), "null:", 245},
        {"n", QStringLiteral(" 1100 "), "integer:1100"},
        {"m", QStringLiteral("1080.5"), "real:1080.5"},
        {"d", QDateTime(QDate(2019, 10, 1), QTime(12, 34, 56)), "text:2019-10-01 12:34:56"},
        {"d", QStringLiteral("2019/10/01"), "text:2019-10-01 00:00:00"},
        {"d", QDate(2020, 2, 29), "text:2020-02-29 00:00:00"},
        {"d", QStringLiteral("abc"), "text:2020-02-29 00:00:00", 241},
        {"d", QStringLiteral("2019/02/30"), "text:2020-02-29 00:00:00", 242},
    };
    for (const auto& c : cases) {
        const QString column = QString::fromLatin1(c.column);
        Recordset rs;
        rs.open(QStringLiteral("select * from MSTORI.dbo.V where id = 1"), cn);
        const QVariant before = rs.value(column);
        rs.close();
        BatchUpdate batch(cn, QStringLiteral("MSTORI.dbo.V"), {QStringLiteral("id")});
        const RunError e = raised([&] {
            batch.add({qlonglong{1}}, {{column, before, c.assigned}});
            batch.flush();
        });
        EXPECT_EQ(e.number(), c.error) << c.column << " " << e.description();
        EXPECT_EQ(servers.value("MSTORI", QStringLiteral("select typeof(%1) || ':' || "
                                                         "ifnull(%1, '') from V where id = 1")
                                              .arg(column)),
                  QString::fromLatin1(c.stored))
            << c.column;
    }
}

TEST_F(TransportTest, RollbackAfterAFailedStatementUndoesTheWholeTransaction) {
    cn.beginTrans();
    cn.execute(QStringLiteral("update MSTORI.dbo.V set n = 1"));
    EXPECT_EQ(
        raised([&] { cn.execute(QStringLiteral("update MSTORI.dbo.V set nosuch = 1")); }).number(),
        207);
    cn.rollbackTrans();
    EXPECT_EQ(servers.value("MSTORI", QStringLiteral("select n from V where id = 1")), "-12");
}

// A database whose file cannot be read is left out; the others are there,
// and the damaged one raises its own error when a statement names it.
TEST_F(TransportTest, ADamagedDatabaseDoesNotHideTheOthers) {
    cn.close();
    QFile damaged(servers.sv01File("MSJSHO"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    cn.open();

    EXPECT_EQ(firstValue(cn, QStringLiteral("select MiseID from MSTORI.dbo.MTMISE")), "7");
    const RunError e =
        raised([&] { Recordset().open(QStringLiteral("select * from MSJSHO.dbo.MJJSHO"), cn); });
    EXPECT_NE(e.number(), 0);
    EXPECT_NE(e.number(), 208);
    EXPECT_NE(e.description().find("MSJSHO"), std::string::npos) << e.description();
}

} // namespace
} // namespace tanka
