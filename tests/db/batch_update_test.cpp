// Batched optimistic writes and keyed pages on the embedded server: the
// statement text is the one SQL Server receives.
#include <gtest/gtest.h>

#include "db/batch_update.h"
#include "db/connection.h"
#include "db/keyed_pages.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;

const QStringList kKeys{"GlobalID", "MiseID", "GijutuID", "ShumokuID"};
const QString kFrom = QStringLiteral(" from MSTORI.dbo.MTGIJU G ");
const QString kWhere = QStringLiteral(" Where  G.SaisyuKosinFlg <> 9 ");

class BatchUpdateTest : public test::InstallationTest {
protected:
    // n rows of store 7 with GijutuID 100.., TankaB1 0 and every other price Null.
    void fillStore(int n) {
        QStringList rows;
        for (int i = 0; i < n; ++i)
            rows << QStringLiteral("(1, 7, %1, 1, 0, 0)").arg(100 + i);
        servers.run("MSTORI", {QStringLiteral("DELETE FROM MTGIJU WHERE GijutuID >= 100"),
                               QStringLiteral("INSERT INTO MTGIJU (GlobalID, MiseID, GijutuID, "
                                              "ShumokuID, TankaB1, SaisyuKosinFlg) VALUES ") +
                                   rows.join(u',')});
    }
    static std::vector<QVariant> key(int gijutuId) { return {1, 7, gijutuId, 1}; }
};

// The row must still hold every value read; one changed row in the middle of
// a batch fails the whole statement.
TEST_F(BatchUpdateTest, ARowChangedSinceReadFailsItsBatch) {
    const struct {
        const char* otherChange;
        bool conflict;
    } cases[] = {
        {"update MSTORI.dbo.MTGIJU set TankaB1 = 999", true},
        {"update MSTORI.dbo.MTGIJU set TankaB1 = NULL", true},
        {"update MSTORI.dbo.MTGIJU set TankaA5 = 1", false}, // a column not written
        {"delete from MSTORI.dbo.MTGIJU", true},
    };
    for (const auto& c : cases) {
        fillStore(5);
        cn.beginTrans();
        BatchUpdate batch(cn, QStringLiteral("MSTORI.dbo.MTGIJU"), kKeys);
        for (int i = 0; i < 5; ++i)
            batch.add(key(100 + i), {{"TankaB1", qlonglong{0}, qlonglong{1100}}});
        cn.execute(QString::fromLatin1(c.otherChange) + " where MiseID = 7 and GijutuID = 102");
        const RunError e = raised([&] { batch.flush(); });
        cn.rollbackTrans();
        if (c.conflict) {
            EXPECT_EQ(e.number(), -2147217864) << c.otherChange;
            EXPECT_EQ(e.description(), "Row cannot be located for updating. Some values may "
                                       "have been changed since it was last read.");
        } else {
            EXPECT_EQ(e.number(), 0) << c.otherChange << ": " << e.description();
        }
    }
}

// A batch never binds more than the parameter limit and never holds more than
// MaxRows rows; the price masters' widest write still takes 100 rows or more.
TEST_F(BatchUpdateTest, BatchesStopAtTheRowAndParameterLimits) {
    const int rows = 401;
    fillStore(rows);
    const struct {
        QVariant after;
        int columns;
        int statements;
    } cases[] = {
        {qlonglong{5}, 1, 2},             // 6 values a row: MaxRows (250) per batch
        {QStringLiteral(" 1100 "), 7, 4}, // 18 values a row: 111 rows per batch
    };
    for (const auto& c : cases) {
        servers.run("MSTORI",
                    {QStringLiteral("update MTGIJU set TankaA1 = 0, TankaA2 = 0, "
                                    "TankaA3 = 0, TankaA4 = 0, TankaA5 = 0, TankaB1 = 0, "
                                    "TankaB2 = 0, TankaB3 = 0, TankaB4 = 0, TankaB5 = 0")});
        const auto before = cn.statementCount();
        BatchUpdate batch(cn, QStringLiteral("MSTORI.dbo.MTGIJU"), kKeys);
        for (int i = 0; i < rows; ++i) {
            std::vector<ColumnChange> changes;
            for (int col = 0; col < c.columns; ++col)
                changes.push_back(
                    {QStringLiteral("Tanka%1%2").arg(QChar(col < 5 ? u'A' : u'B')).arg(col % 5 + 1),
                     QStringLiteral("0"), c.after}); // "0": a text, bound
            batch.add(key(100 + i), changes);
        }
        batch.flush();
        EXPECT_EQ(batch.written(), rows);
        EXPECT_EQ(cn.statementCount() - before, std::uint64_t(c.statements));
        EXPECT_EQ(
            servers.value("MSTORI", QStringLiteral("select count(*) from MTGIJU where "
                                                   "GijutuID >= 100 and %1")
                                        .arg(c.columns == 1 ? "TankaA1 = 5" : "TankaB2 = 1100")),
            QString::number(rows));
    }
}

// The keys fix the rows; each page reads its rows as they are then.
TEST_F(BatchUpdateTest, PagesVisitEachKeyOnceWithTheValuesOfTheirTime) {
    fillStore(7);
    cn.beginTrans();
    KeyedPages pages(cn, kFrom, kWhere + QStringLiteral(" and miseid = 7 and GijutuID >= 100"),
                     QStringLiteral("G"), kKeys, {QStringLiteral("TankaB1")}, 3);
    EXPECT_EQ(pages.rowCount(), 7);
    std::vector<std::vector<QVariant>> rows;
    ASSERT_TRUE(pages.nextPage(rows));
    ASSERT_EQ(rows.size(), 3u);
    // Meanwhile: a later row changes, one is deleted, one is marked deleted,
    // and a new one appears.
    cn.execute(QStringLiteral("update MSTORI.dbo.MTGIJU set TankaB1 = 55 where GijutuID = 104"));
    cn.execute(QStringLiteral("delete from MSTORI.dbo.MTGIJU where GijutuID = 105"));
    cn.execute(
        QStringLiteral("update MSTORI.dbo.MTGIJU set SaisyuKosinFlg = 9 where GijutuID = 106"));
    cn.execute(QStringLiteral("insert into MSTORI.dbo.MTGIJU (GlobalID, MiseID, GijutuID, "
                              "ShumokuID, SaisyuKosinFlg) values (1, 7, 200, 1, 0)"));
    std::map<int, int> seen;
    int pagesRead = 1;
    while (pages.nextPage(rows)) {
        ++pagesRead;
        for (const auto& row : rows)
            seen[row[2].toInt()] = row[4].toInt();
    }
    cn.rollbackTrans();
    EXPECT_EQ(pagesRead, 3);
    EXPECT_EQ(seen, (std::map<int, int>{{103, 0}, {104, 55}}));
}

} // namespace
} // namespace tanka
