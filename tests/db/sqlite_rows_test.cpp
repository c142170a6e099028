// Record sets on tables of every shape the embedded server may hold: with and
// without rowid, with columns that take the rowid's names, with text keys. A
// walk finds each row again by key and writes it by rowid where it can; the
// answers must be those of an update by key alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/connection.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;
using test::SqliteServers;
using test::sv01;

constexpr int kRows = 30;
constexpr std::int32_t kConflict = -2147217864;

struct TableShape {
    const char* name;
    const char* create;
};

void PrintTo(const TableShape& shape, std::ostream* out) {
    *out << shape.name;
}

class TableShapeTest : public ::testing::TestWithParam<TableShape> {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        QStringList statements{QString::fromLatin1(GetParam().create)};
        for (int i = 0; i < kRows; ++i)
            statements << QStringLiteral("INSERT INTO T (k1, k2, v, d) VALUES (%1, 'key%2', %1, "
                                         "'2019-09-30 00:00:00')")
                              .arg(i)
                              .arg(i % 3);
        SqliteServers::run(stori(), statements);
        cn.setConnectionString(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }
    QString stori() const { return servers.sv01File("MSTORI"); }
    int count(const QString& where) const {
        return SqliteServers::scalar(stori(),
                                     QStringLiteral("select count(*) from T where ") + where)
            .toInt();
    }
    // Runs sql on another connection, as another program would.
    void elsewhere(const QString& sql) const { SqliteServers::run(stori(), {sql}); }

    SqliteServers servers;
    Connection cn;
};

// Each walk moves to row 5 (found again by key), then another program changes
// that row before the walk writes it.
TEST_P(TableShapeTest, UpdateAnswersAsAnUpdateByKeyWhateverHappenedToTheRow) {
    const struct {
        const char* otherChange;
        bool conflict;
    } cases[] = {
        {"delete from T where k1 = 5; insert into T (k1, k2, v, d) values (5, 'key2', 5, "
         "'2019-09-30 00:00:00')",
         false}, // written again with the same values: still the row we read
        {"delete from T where k1 = 5; insert into T (k1, k2, v, d) values (5, 'key2', 99, "
         "'2019-09-30 00:00:00')",
         true},
        {"update T set d = '2020-01-01 00:00:00' where k1 = 5", false}, // not a column we write
        {"update T set v = 99 where k1 = 5", true},
        {"delete from T where k1 = 5", true},
    };
    for (const auto& c : cases) {
        elsewhere(QStringLiteral("update T set v = k1"));
        Recordset rs;
        rs.open(QStringLiteral("select * from MSTORI.dbo.T where v >= 0 order by k1"), cn,
                CursorType::Static, LockType::Optimistic);
        while (rs.value(QStringLiteral("k1")).toInt() != 5)
            rs.moveNext();
        for (const QString& sql : QString::fromLatin1(c.otherChange).split(u';'))
            elsewhere(sql);
        rs.setValue(QStringLiteral("v"), qlonglong{1005});
        const RunError e = raised([&] { rs.update(); });
        EXPECT_EQ(e.number(), c.conflict ? kConflict : 0) << c.otherChange;
        EXPECT_EQ(count(QStringLiteral("v = 1005")), c.conflict ? 0 : 1) << c.otherChange;
    }
}

// Inside a transaction only this connection can change the row between the
// walk's read and its write; whatever ran on it, the answer is still that of
// an update by key and values.
TEST_P(TableShapeTest, UpdateInsideATransactionAnswersAsAnUpdateByKey) {
    const struct {
        const char* before;  // run before the walk opens
        const char* between; // run after the walk reached row 5
        bool conflict;
    } cases[] = {
        {"", "", false},
        {"", "select count(*) from %T", false},
        {"", "update %T set d = '2020-01-01 00:00:00' where k1 = 5", false},
        {"", "update %T set v = 99 where k1 = 5", true},
        {"", "delete from %T where k1 = 5; insert into %T (k1, k2, v) values (5, 'key2', 5)",
         false},
        {"", "delete from %T where k1 = 5; insert into %T (k1, k2, v) values (5, 'key2', 6)", true},
        {"savepoint s; update %T set v = 77 where k1 = 5", "rollback to s", true},
    };
    const auto run = [&](const char* sql) {
        for (QString statement : QString::fromLatin1(sql).split(u';', Qt::SkipEmptyParts))
            cn.execute(statement.replace(QStringLiteral("%T"), QStringLiteral("MSTORI.dbo.T")));
    };
    for (const auto& c : cases) {
        elsewhere(QStringLiteral("update T set v = k1"));
        cn.beginTrans();
        run(c.before);
        Recordset rs;
        rs.open(QStringLiteral("select * from MSTORI.dbo.T where v >= 0 order by k1"), cn,
                CursorType::Static, LockType::Optimistic);
        while (rs.value(QStringLiteral("k1")).toInt() != 5)
            rs.moveNext();
        run(c.between);
        rs.setValue(QStringLiteral("v"), qlonglong{1005});
        const RunError e = raised([&] { rs.update(); });
        EXPECT_EQ(e.number(), c.conflict ? kConflict : 0) << c.before << " / " << c.between;
        rs.close();
        cn.commitTrans();
        EXPECT_EQ(count(QStringLiteral("v = 1005")), c.conflict ? 0 : 1) << c.between;
    }
}

// Every row of the walk once, values as they are when the walk reaches the
// row, inside a transaction that commits: a row deleted meanwhile is skipped,
// also when a new row took its rowid; a row deleted and written again is
// visited.
TEST_P(TableShapeTest, WalkWritesEveryRowOnce) {
    cn.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.T G where G.v >= 0"), cn, CursorType::Static,
            LockType::Optimistic);
    rs.setValue(QStringLiteral("v"), rs.value(QStringLiteral("v")).toLongLong() + 1000);
    rs.moveNext(); // the rows of the walk are fixed now
    for (const char* sql : {
             "delete from MSTORI.dbo.T where k1 = 20",
             "update MSTORI.dbo.T set v = 500 where k1 = 25",
             "delete from MSTORI.dbo.T where k1 = 29", // the last rowid: taken by the next row
             "insert into MSTORI.dbo.T (k1, k2, v) values (100, 'key0', 100)",
             "delete from MSTORI.dbo.T where k1 = 27",
             "insert into MSTORI.dbo.T (k1, k2, v) values (27, 'key0', 27)",
         })
        cn.execute(QString::fromLatin1(sql));
    int visits = 1;
    while (!rs.isEOF()) {
        EXPECT_EQ(rs.value(QStringLiteral("k2")).typeId(), QMetaType::QString);
        const qlonglong v = rs.value(QStringLiteral("v")).toLongLong();
        if (rs.value(QStringLiteral("k1")).toInt() == 25) {
            EXPECT_EQ(v, 500);
        }
        rs.setValue(QStringLiteral("v"), v + 1000);
        rs.moveNext();
        ASSERT_LE(++visits, kRows);
    }
    rs.close();
    cn.commitTrans();
    EXPECT_EQ(visits, kRows - 2);
    EXPECT_EQ(count(QStringLiteral("v = k1 + 1000")), kRows - 3);
    EXPECT_EQ(count(QStringLiteral("k1 = 25 and v = 1500")), 1);
    EXPECT_EQ(count(QStringLiteral("k1 = 100 and v = 100")), 1);
}

// A write of one row that a trigger turns into a write of another: the walk
// still meets that row as it is when it reaches it.
TEST_P(TableShapeTest, WalkSeesWhatTriggersChanged) {
    elsewhere(QStringLiteral("CREATE TRIGGER tg AFTER UPDATE OF v ON T WHEN new.k1 = 3 "
                             "BEGIN UPDATE T SET v = 500 WHERE k1 = 25; END"));
    cn.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.T G where G.v >= 0"), cn, CursorType::Static,
            LockType::Optimistic);
    while (!rs.isEOF()) {
        rs.setValue(QStringLiteral("v"), rs.value(QStringLiteral("v")).toLongLong() + 1000);
        rs.moveNext();
    }
    rs.close();
    cn.commitTrans();
    EXPECT_EQ(count(QStringLiteral("k1 = 25 and v = 1500")), 1);
}

// Rows the walk has not reached yet, changed by another statement while the
// walk only reads, are met as they are then.
TEST_P(TableShapeTest, WalkThatOnlyReadsSeesLaterChanges) {
    cn.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.T G where G.v >= 0"), cn, CursorType::Static,
            LockType::Optimistic);
    rs.moveNext();
    rs.moveNext();
    cn.execute(QStringLiteral("update MSTORI.dbo.T set v = 500 where k1 = 25"));
    int seen = 0;
    for (; !rs.isEOF(); rs.moveNext()) {
        if (rs.value(QStringLiteral("k1")).toInt() == 25) {
            EXPECT_EQ(rs.value(QStringLiteral("v")).toInt(), 500);
            ++seen;
        }
    }
    EXPECT_EQ(seen, 1);
    rs.close();
    cn.rollbackTrans();
}

// A walk over some rows of the table writes those and no others.
TEST_P(TableShapeTest, WalkOverEveryOtherRowWritesThoseOnly) {
    cn.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.T G where G.k1 % 2 = 1"), cn,
            CursorType::Static, LockType::Optimistic);
    int visits = 0;
    for (; !rs.isEOF(); rs.moveNext(), ++visits)
        rs.setValue(QStringLiteral("v"), rs.value(QStringLiteral("v")).toLongLong() + 1000);
    rs.close();
    cn.commitTrans();
    EXPECT_EQ(visits, kRows / 2);
    EXPECT_EQ(count(QStringLiteral("k1 % 2 = 1 and v = k1 + 1000")), kRows / 2);
    EXPECT_EQ(count(QStringLiteral("k1 % 2 = 0 and v = k1")), kRows / 2);
}

// The walk keeps the statement's order, also one given by column position.
TEST_P(TableShapeTest, WalkKeepsTheOrderAsked) {
    for (const char* order : {"order by 3 desc", ""}) {
        Recordset rs;
        rs.open(QStringLiteral("select * from MSTORI.dbo.T G where G.v < 1000 ") +
                    QString::fromLatin1(order),
                cn, CursorType::Static, LockType::Optimistic);
        QList<int> seen;
        while (!rs.isEOF()) {
            seen << rs.value(QStringLiteral("v")).toInt();
            rs.setValue(QStringLiteral("v"), seen.back() + 1000);
            rs.moveNext();
        }
        rs.close();
        EXPECT_EQ(seen.size(), kRows) << order;
        if (*order) {
            EXPECT_TRUE(std::is_sorted(seen.rbegin(), seen.rend())) << order;
        }
        elsewhere(QStringLiteral("update T set v = k1"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, TableShapeTest,
    ::testing::Values(
        TableShape{"rowid", "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v INTEGER, d "
                            "DATETIME, PRIMARY KEY (k1, k2))"},
        TableShape{"without_rowid", "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v "
                                    "INTEGER, d DATETIME, PRIMARY KEY (k1, k2)) WITHOUT ROWID"},
        TableShape{"integer_primary_key",
                   "CREATE TABLE T (k1 INTEGER PRIMARY KEY, k2 TEXT, v INTEGER, d DATETIME)"},
        TableShape{"two_rowid_names_taken",
                   "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v INTEGER, d DATETIME, "
                   "_rowid_ INTEGER, RowID INTEGER, PRIMARY KEY (k1, k2))"},
        TableShape{"all_rowid_names_taken",
                   "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v INTEGER, d DATETIME, "
                   "_rowid_ INTEGER, rowid INTEGER, oid INTEGER, PRIMARY KEY (k1, k2))"}),
    [](const ::testing::TestParamInfo<TableShape>& info) { return info.param.name; });

class SqliteValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        cn.setConnectionString(sv01(QStringLiteral("MSTORI")));
        cn.open();
    }
    SqliteServers servers;
    Connection cn;
};

TEST_F(SqliteValuesTest, OneStatementAtATime) {
    const RunError e = raised([&] { cn.executeQuery(QStringLiteral("select 1; select 2")); });
    EXPECT_EQ(e.number(), -2147217900);
    EXPECT_EQ(raised([&] { cn.executeQuery(QStringLiteral("select 1;  ")); }).number(), 0);
}

} // namespace
} // namespace tanka
