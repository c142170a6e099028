// Record sets on the embedded server: visiting rows, reading fields, the
// clip-string form.
#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/recordset.h"
#include "db/value_text.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;
using test::SqliteServers;
using test::sv01;

const QString kGiju =
    QStringLiteral(" select * from MSTORI.dbo.MTGIJU G  Where  G.SaisyuKosinFlg <> 9 ");

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createInstallation(servers);
        cn.setConnectionParams(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }
    QString stori() const { return servers.sv01File("MSTORI"); }
    QVariant storiValue(const QString& sql) const { return SqliteServers::scalar(stori(), sql); }

    SqliteServers servers;
    Connection cn;
};

// What every caller relies on, whatever cursor it asks for.
TEST_F(RecordsetTest, EmptyExactlyWhenBofAndEofRightAfterOpen) {
    const struct {
        CursorLocation location;
        CursorType type;
        LockType lock;
    } kinds[] = {
        {CursorLocation::Server, CursorType::ForwardOnly, LockType::ReadOnly},
        {CursorLocation::Client, CursorType::Static, LockType::Optimistic},
    };
    for (const auto& k : kinds) {
        for (const int rows : {2, 0}) {
            Recordset rs;
            rs.setCursorLocation(k.location);
            rs.open(kGiju + (rows ? QStringLiteral(" and miseid = 7")
                                  : QStringLiteral(" and miseid = 8")),
                    cn, k.type, k.lock);
            EXPECT_EQ(rs.isBOF(), rows == 0);
            EXPECT_EQ(rs.isEOF(), rows == 0);
            int seen = 0;
            for (; !rs.isEOF(); rs.moveNext(), ++seen)
                EXPECT_EQ(rs.value(QStringLiteral("MiseID")).toInt(), 7);
            EXPECT_FALSE(rs.isBOF() && rows);
            EXPECT_EQ(seen, rows);
            EXPECT_EQ(raised([&] { rs.moveNext(); }).number(), 3021);
            EXPECT_EQ(raised([&] { rs.value(0); }).number(), 3021);
            rs.close();
            EXPECT_EQ(raised([&] { rs.isEOF(); }).number(), 3704);
        }
    }
}

TEST_F(RecordsetTest, FieldsByNameWithoutRegardToCaseAndByPosition) {
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.MTGIJU order by MiseID, GijutuID"), cn);
    ASSERT_EQ(rs.fieldCount(), 18);
    EXPECT_EQ(rs.fieldName(17), QStringLiteral("SaisyuKosinDate"));
    EXPECT_EQ(rs.value(QStringLiteral("tankaA1")).toInt(), 1080);
    EXPECT_EQ(rs.value(6).toInt(), 1080);
    EXPECT_TRUE(rs.value(QStringLiteral("TankaA2")).isNull());
    EXPECT_FALSE(rs.value(QStringLiteral("TankaA3")).isNull());
    EXPECT_EQ(plainText(rs.value(QStringLiteral("SaisyuKosinDate")), QStringLiteral("DATETIME"),
                        QString()),
              QStringLiteral("2019/09/01 00:00:00"));

    for (const auto& bad : std::initializer_list<std::function<void()>>{
             [&] { rs.value(QStringLiteral("TankaC1")); },
             [&] { rs.value(18); },
             [&] { rs.fieldName(18); },
         }) {
        const RunError e = raised(bad);
        EXPECT_EQ(e.number(), 3265);
        EXPECT_EQ(e.description(), "Item cannot be found in the collection corresponding to the "
                                   "requested name or ordinal.");
    }
}

TEST_F(RecordsetTest, GetStringGivesOneRowInPlainTextAndMovesOn) {
    test::SqliteServers::run(
        stori(),
        {QStringLiteral("CREATE TABLE V (id INTEGER PRIMARY KEY, n INTEGER, r REAL, m MONEY, t "
                        "NVARCHAR(20), d DATETIME)"),
         QStringLiteral("INSERT INTO V VALUES (1, -12, 1234567.5, 1080, 'a\tb', "
                        "'2019-09-30 00:00:00')"),
         QStringLiteral("INSERT INTO V VALUES (2, NULL, 0.25, 1080.5, '', '1990-01-01 15:10:00')"),
         QStringLiteral("INSERT INTO V VALUES (3, 0, 100000000, NULL, NULL, NULL)")});
    Recordset rs;
    rs.open(QStringLiteral("SELECT * From MSTORI.dbo.V  ORDER BY id"), cn, CursorType::Static);
    const char* expected[] = {
        "1\t-12\t1234567.5\t1080\ta\tb\t2019/09/30 00:00:00\r\n",
        "2\t#NULL#\t0.25\t1080.5\t\t1990/01/01 15:10:00\r\n",
        "3\t0\t100000000\t#NULL#\t#NULL#\t#NULL#\r\n",
    };
    for (const char* line : expected)
        EXPECT_EQ(
            rs.getString(QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("#NULL#")),
            QString::fromUtf8(line));
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(rs.getString(QStringLiteral("\t"), QStringLiteral("\r\n"), QString()), QString());
}

// An existence test reads the first row only: a failure later in the result
// does not reach it, but walking on does.
TEST_F(RecordsetTest, OpeningReadsOnlyTheFirstRow) {
    const QString failsOnSecondRow =
        kGiju + QStringLiteral(" and abs(case when G.GijutuID = 11 then -9223372036854775807 - 1 "
                               "else 1 end) > 0 ");
    Recordset rs;
    rs.open(failsOnSecondRow, cn, CursorType::Static);
    EXPECT_FALSE(rs.isBOF() && rs.isEOF());
    EXPECT_NE(raised([&] { rs.moveNext(); }).number(), 0);
}

TEST_F(RecordsetTest, ClosingTheConnectionClosesItsRecordsets) {
    Recordset rs;
    rs.open(kGiju, cn, CursorType::Static, LockType::Optimistic);
    auto forward = cn.executeQuery(QStringLiteral("select * from MSTORI.dbo.MTMISE"));
    cn.close();
    EXPECT_FALSE(rs.isOpen());
    EXPECT_FALSE(forward->isOpen());
    EXPECT_EQ(raised([&] { rs.value(0); }).number(), 3704);
    EXPECT_EQ(raised([&] { rs.open(kGiju, cn); }).number(), 3704);
}

} // namespace
} // namespace tanka
