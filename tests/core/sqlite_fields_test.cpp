// The readers on values as the SQLite driver delivers them from a real file:
// typed nulls, integers, reals and date texts.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "core/run_error.h"

using namespace tanka;

namespace {

TEST(SqliteFields, NullsNumbersAndDateTextsReadAsTheProgramExpects) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString connection = QStringLiteral("field_readers_sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(dir.filePath(QStringLiteral("MSTORI.sqlite")));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table MTGIJU (TankaA1 integer, TankaB1 money, TaxFlg integer,"
                           " SaisyuKosinDate datetime, Meisyo text)"));
        ASSERT_TRUE(q.exec("insert into MTGIJU values (5400, 5400.5, 1,"
                           " '2019-09-30 00:00:00', '  カット  ')"));
        ASSERT_TRUE(q.exec("insert into MTGIJU values (null, null, null, null, null)"));
        ASSERT_TRUE(
            q.exec("insert into MTGIJU values (40000, '12.5', '', '1990-01-01T15:10:00.000',"
                   " 'abc')"));

        const struct {
            int tanka16; // Get_IntVal(TankaB1)
            int tanka32; // Get_LngVal(TankaB1)
            int taxFlg;  // Get_IntVal(TaxFlg)
            const char* date;
            const char* name;
        } expected[] = {
            {5400, 5400, 1, "2019/09/30", "カット"},
            {0, 0, 0, "", ""},
            {12, 12, 0, "1990/01/01", "abc"},
        };
        ASSERT_TRUE(q.exec("select TankaA1, TankaB1, TaxFlg, SaisyuKosinDate, Meisyo from MTGIJU"
                           " order by rowid"));
        for (const auto& row : expected) {
            ASSERT_TRUE(q.next());
            EXPECT_EQ(Get_IntVal(q.value(1)), row.tanka16);
            EXPECT_EQ(Get_LngVal(q.value(1)), row.tanka32);
            EXPECT_EQ(Get_IntVal(q.value(2)), row.taxFlg);
            EXPECT_EQ(Get_DateStr(q.value(3), "yyyy/mm/dd"), QString::fromUtf8(row.date));
            EXPECT_EQ(Get_FixStr(q.value(4), 0, false), QString::fromUtf8(row.name));
        }
        // A price beyond 16 bits is an error for the 16-bit reader only.
        EXPECT_EQ(Get_LngVal(q.value(0)), 40000);
        EXPECT_THROW(Get_IntVal(q.value(0)), RunError);
        EXPECT_FALSE(q.next());
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace
