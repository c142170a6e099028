// The readers on values as the SQLite driver delivers them from a real file
// with the column types of the price masters: typed nulls, integers, reals
// and date texts.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "core/run_error.h"

using namespace tanka;

namespace {

TEST(SqliteFields, NullsNumbersAndDateTextsReadAsTheProgramExpects) {
    QTemporaryDir dir;
    const QString connection = QStringLiteral("field_readers_sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(dir.filePath(QStringLiteral("MSTORI.sqlite")));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table MTGIJU (TankaA1 integer, TankaB1 money,"
                           " SaisyuKosinDate datetime, Meisyo text)"));
        ASSERT_TRUE(q.exec("insert into MTGIJU values (40000, '5400.5', '2019-09-30 00:00:00',"
                           " '  カット  '), (null, null, null, null)"));
        ASSERT_TRUE(q.exec("select * from MTGIJU order by rowid") && q.next());
        EXPECT_EQ(Get_LngVal(q.value(0)), 40000);
        EXPECT_THROW(Get_IntVal(q.value(0)), RunError); // beyond 16 bits
        EXPECT_EQ(Get_IntVal(q.value(1)), 5400);        // half to even
        EXPECT_EQ(Get_DateStr(q.value(2), "yyyy/mm/dd"), "2019/09/30");
        EXPECT_EQ(Get_FixStr(q.value(3), 0, false), QString::fromUtf8("カット"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(Get_LngVal(q.value(0)), 0);
        EXPECT_EQ(Get_IntVal(q.value(1)), 0);
        EXPECT_EQ(Get_DateStr(q.value(2), "yyyy/mm/dd"), "");
        EXPECT_EQ(Get_FixStr(q.value(3), 0, false), "");
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace
