// Record sets on the embedded server: visiting rows, reading fields, the
// clip-string form, and optimistic updates of the current row.
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
        cn.setConnectionString(sv01(QStringLiteral("MSKYAK")));
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
    EXPECT_EQ(rs.value(QStringLiteral("SaisyuKosinDate")).toString(),
              QStringLiteral("2019-09-01 00:00:00"));

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

TEST_F(RecordsetTest, UpdateWritesTheChangedColumnsOfTheCurrentRow) {
    Recordset rs;
    rs.open(kGiju + QStringLiteral(" and miseid = 7 "), cn, CursorType::Static,
            LockType::Optimistic);
    ASSERT_EQ(rs.value(QStringLiteral("GijutuID")).toInt(), 10);
    rs.setValue(QStringLiteral("TankaB1"), qlonglong{1100});
    rs.setValue(QStringLiteral("TankaB2"), qlonglong{0});
    rs.setValue(QStringLiteral("SaisyuKosinFlg"), qint16{2});
    rs.setValue(QStringLiteral("SaisyuKosinDate"), QStringLiteral("2019/09/30"));
    rs.update();
    // The row as written, also through the record set.
    EXPECT_EQ(rs.value(QStringLiteral("SaisyuKosinDate")).toString(),
              QStringLiteral("2019-09-30 00:00:00"));
    rs.setValue(QStringLiteral("TankaB3"), qlonglong{5});
    rs.update(); // a second update of the same row compares with the values written
    rs.moveNext();
    rs.close();

    const QString row = QStringLiteral(" from MTGIJU where MiseID = 7 and GijutuID = 10");
    EXPECT_EQ(storiValue("select TankaB1 || ',' || TankaB2 || ',' || TankaB3" + row).toString(),
              QStringLiteral("1100,0,5"));
    EXPECT_EQ(storiValue("select SaisyuKosinFlg" + row).toInt(), 2);
    EXPECT_EQ(storiValue("select SaisyuKosinDate" + row).toString(),
              QStringLiteral("2019-09-30 00:00:00"));
    EXPECT_TRUE(storiValue("select TankaA2" + row).isNull()); // untouched column stays Null
    EXPECT_EQ(
        storiValue(QStringLiteral("select count(*) from MTGIJU where TankaB1 = 1100")).toInt(), 1);
}

TEST_F(RecordsetTest, MovingOnWritesPendingChangesAndReadOnlyRefusesThem) {
    {
        Recordset rs;
        rs.open(kGiju + QStringLiteral(" and miseid = 7 "), cn, CursorType::Static,
                LockType::Optimistic);
        rs.setValue(QStringLiteral("TankaB1"), qlonglong{7});
        rs.moveNext();
    }
    EXPECT_EQ(storiValue(QStringLiteral("select TankaB1 from MTGIJU where GijutuID = 10 and "
                                        "MiseID = 7"))
                  .toInt(),
              7);

    const QString notUpdatable[] = {
        kGiju, // read-only lock below
        QStringLiteral("select count(*) as n from MSTORI.dbo.MTGIJU"),
        QStringLiteral("select * from MSTORI.dbo.MTGIJU G join MSTORI.dbo.MTMISE M on "
                       "M.MiseID = G.MiseID"),
    };
    bool first = true;
    for (const QString& sql : notUpdatable) {
        Recordset rs;
        rs.open(sql, cn, CursorType::Static, first ? LockType::ReadOnly : LockType::Optimistic);
        first = false;
        const RunError e = raised([&] { rs.setValue(rs.fieldName(0), 1); });
        EXPECT_EQ(e.number(), 3251) << sql.toStdString();
    }
}

// Another connection changes the row between our read and our update.
TEST_F(RecordsetTest, UpdateFailsWhenAColumnWeChangeWasChangedSinceRead) {
    const struct {
        const char* otherChange;
        bool conflict;
    } cases[] = {
        {"update MTGIJU set TankaB1 = 999", true},
        {"update MTGIJU set TankaB1 = NULL", true},
        {"update MTGIJU set TankaA5 = 1", false}, // a column we do not write
        {"update MTGIJU set TankaB1 = 0", false}, // the same value as read
        {"delete from MTGIJU", true},             // last: the row is gone
    };
    for (const auto& c : cases) {
        SqliteServers::run(stori(), {QStringLiteral("update MTGIJU set TankaB1 = 0, TankaA5 = 0")});
        Recordset rs;
        rs.open(kGiju + QStringLiteral(" and miseid = 7 "), cn, CursorType::Static,
                LockType::Optimistic);
        rs.setValue(QStringLiteral("TankaB1"), qlonglong{1100});

        Connection other;
        other.setConnectionString(sv01(QStringLiteral("MSTORI")));
        other.open();
        other.execute(QString::fromLatin1(c.otherChange) +
                      QStringLiteral(" where MiseID = 7 and GijutuID = 10"));
        other.close();

        const RunError e = raised([&] { rs.update(); });
        if (c.conflict) {
            EXPECT_EQ(e.number(), -2147217864) << c.otherChange;
            EXPECT_EQ(e.description(), "Row cannot be located for updating. Some values may "
                                       "have been changed since it was last read.");
        } else {
            EXPECT_EQ(e.number(), 0) << c.otherChange << ": " << e.description();
        }
        // The other row of the store was not touched either way.
        EXPECT_EQ(
            storiValue(QStringLiteral("select TankaB1 from MTGIJU where GijutuID = 11")).toInt(),
            0);
    }
}

// Writing a column the query filters on (through an index) must not make the
// walk see a row again or skip one.
TEST_F(RecordsetTest, WalkVisitsEveryRowOnceWhileUpdatingTheFilteredColumn) {
    QStringList rows{QStringLiteral("CREATE INDEX ix_flg ON MTGIJU (SaisyuKosinFlg)"),
                     QStringLiteral("DELETE FROM MTGIJU")};
    for (int i = 0; i < 300; ++i)
        rows << QStringLiteral("INSERT INTO MTGIJU (GlobalID, MiseID, GijutuID, ShumokuID, "
                               "SaisyuKosinFlg) VALUES (1, 7, %1, 1, %2)")
                    .arg(i)
                    .arg(i % 3);
    SqliteServers::run(stori(), rows);
    cn.beginTrans();
    Recordset rs;
    rs.open(QStringLiteral("select * from MSTORI.dbo.MTGIJU where SaisyuKosinFlg >= 0"), cn,
            CursorType::Static, LockType::Optimistic);
    int visits = 0;
    while (!rs.isEOF()) {
        rs.setValue(QStringLiteral("SaisyuKosinFlg"),
                    rs.value(QStringLiteral("SaisyuKosinFlg")).toInt() + 10);
        rs.update();
        rs.moveNext();
        ASSERT_LE(++visits, 300);
    }
    rs.close();
    cn.commitTrans();
    EXPECT_EQ(visits, 300);
    EXPECT_EQ(storiValue(QStringLiteral("select count(*) from MTGIJU where SaisyuKosinFlg >= 10 "
                                        "and SaisyuKosinFlg < 13"))
                  .toInt(),
              300);
}

// An existence test reads the first row only: a failure later in the result
// does not reach it, but walking on does.
TEST_F(RecordsetTest, OpeningReadsOnlyTheFirstRow) {
    const QString failsOnSecondRow =
        kGiju + QStringLiteral(" and abs(case when G.GijutuID = 11 then -9223372036854775807 - 1 "
                               "else 1 end) > 0 ");
    for (const LockType lock : {LockType::ReadOnly, LockType::Optimistic}) {
        Recordset rs;
        rs.open(failsOnSecondRow, cn, CursorType::Static, lock);
        EXPECT_FALSE(rs.isBOF() && rs.isEOF());
        EXPECT_NE(raised([&] { rs.moveNext(); }).number(), 0);
    }
}

TEST_F(RecordsetTest, DatesAssignedAsTextAreStoredAsTheServerConvertsThem) {
    const struct {
        QVariant assigned;
        std::int32_t error;
        const char* stored;
    } cases[] = {
        {QStringLiteral("2019/09/30"), 0, "2019-09-30 00:00:00"},
        {QStringLiteral("2019-09-30 13:05:09"), 0, "2019-09-30 13:05:09"},
        {QString(), 0, "1900-01-01 00:00:00"},
        {QDate(2020, 2, 29), 0, "2020-02-29 00:00:00"},
        {QVariant(), 0, nullptr},
        {QStringLiteral("abc"), 241, "2019-09-01 00:00:00"},
        {QStringLiteral("2019/02/30"), 242, "2019-09-01 00:00:00"},
    };
    for (const auto& c : cases) {
        SqliteServers::run(stori(), {QStringLiteral("update MTGIJU set SaisyuKosinDate = "
                                                    "'2019-09-01 00:00:00' where GijutuID = 10")});
        Recordset rs;
        rs.open(kGiju + QStringLiteral(" and miseid = 7 and GijutuID = 10"), cn, CursorType::Static,
                LockType::Optimistic);
        rs.setValue(QStringLiteral("SaisyuKosinDate"), c.assigned);
        const RunError e = raised([&] { rs.update(); });
        EXPECT_EQ(e.number(), c.error) << c.assigned.toString().toStdString();
        if (c.error == 241) {
            EXPECT_EQ(e.description(),
                      "Conversion failed when converting date and/or time from character string.");
        }
        rs.close();
        const QVariant stored = storiValue(QStringLiteral(
            "select SaisyuKosinDate from MTGIJU where MiseID = 7 and GijutuID = 10"));
        if (c.stored) {
            EXPECT_EQ(stored.toString(), QString::fromLatin1(c.stored))
                << c.assigned.toString().toStdString();
        } else {
            EXPECT_TRUE(stored.isNull());
        }
    }
}

TEST_F(RecordsetTest, NumbersAssignedAsTextMustReadAsNumbers) {
    const struct {
        const char* column;
        QString assigned;
        std::int32_t error;
    } cases[] = {
        {"SaisyuKosinFlg", "", 0},  {"SaisyuKosinFlg", "x", 245}, {"TankaB1", " 1100 ", 0},
        {"TankaB1", "1,100", 8114}, {"GijutuName", "text", 0},
    };
    for (const auto& c : cases) {
        Recordset rs;
        rs.open(kGiju + QStringLiteral(" and miseid = 7"), cn, CursorType::Static,
                LockType::Optimistic);
        rs.setValue(QString::fromLatin1(c.column), c.assigned);
        EXPECT_EQ(raised([&] { rs.update(); }).number(), c.error)
            << c.column << " " << c.assigned.toStdString();
    }
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
