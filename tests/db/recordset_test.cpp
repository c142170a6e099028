// Record sets on the embedded server: visiting rows, first-row reads, closing.
#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/recordset.h"
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
