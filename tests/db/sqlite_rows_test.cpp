// Tables of every shape the embedded server may hold: with and without
// rowid, with columns that take the rowid's names, with text keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/batch_update.h"
#include "db/connection.h"
#include "db/keyed_pages.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;
using test::SqliteServers;
using test::sv01;

constexpr int kRows = 30;

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
        cn.setConnectionParams(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }
    QString stori() const { return servers.sv01File("MSTORI"); }
    int count(const QString& where) const {
        return SqliteServers::scalar(stori(),
                                     QStringLiteral("select count(*) from T where ") + where)
            .toInt();
    }

    SqliteServers servers;
    Connection cn;
};

// Pages by key and batched writes over every table shape: each row is read
// once and written once, text keys bound, rowid names no concern.
TEST_P(TableShapeTest, PagesAndBatchesWriteEveryRowOnce) {
    cn.beginTrans();
    KeyedPages pages(cn, QStringLiteral(" from MSTORI.dbo.T "), QStringLiteral(" where v >= 0"),
                     QString(), {QStringLiteral("k1"), QStringLiteral("k2")},
                     {QStringLiteral("v")}, 7);
    BatchUpdate batch(cn, QStringLiteral("MSTORI.dbo.T"),
                      {QStringLiteral("k1"), QStringLiteral("k2")});
    std::vector<std::vector<QVariant>> rows;
    int visits = 0;
    while (pages.nextPage(rows)) {
        for (const auto& row : rows) {
            batch.add({row[0], row[1]}, {{QStringLiteral("v"), row[2], row[2].toInt() + 100}});
            ++visits;
        }
    }
    batch.flush();
    cn.commitTrans();
    EXPECT_EQ(visits, kRows);
    EXPECT_EQ(count(QStringLiteral("v >= 100 and v = k1 + 100")), kRows);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, TableShapeTest,
    ::testing::Values(
        TableShape{"without_rowid", "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v "
                                    "INTEGER, d DATETIME, PRIMARY KEY (k1, k2)) WITHOUT ROWID"},
        TableShape{"integer_primary_key",
                   "CREATE TABLE T (k1 INTEGER PRIMARY KEY, k2 TEXT, v INTEGER, d DATETIME)"},
        TableShape{"all_rowid_names_taken",
                   "CREATE TABLE T (k1 INTEGER NOT NULL, k2 TEXT NOT NULL, v INTEGER, d DATETIME, "
                   "_rowid_ INTEGER, rowid INTEGER, oid INTEGER, PRIMARY KEY (k1, k2))"}),
    [](const ::testing::TestParamInfo<TableShape>& info) { return info.param.name; });

class SqliteValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        cn.setConnectionParams(sv01(QStringLiteral("MSTORI")));
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
