// The price-slot state checks against real SQLite sample installations.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/globals.h"
#include "core/run_error.h"
#include "db/connection.h"
#include "pricing/checks.h"
#include "tools/sample/sample_install.h"

namespace tanka {
namespace {

using sample::Options;
using sample::SampleInstall;
using sample::Slots;

// Result of the three Data_Check modes of one menu: no row priced in both
// slots, no row priced in A, no row priced in B (true = no such row).
struct SlotAnswer {
    bool noBoth;
    bool noA;
    bool noB;
    bool operator==(const SlotAnswer&) const = default;
};

void PrintTo(const SlotAnswer& s, std::ostream* os) {
    *os << "{noBoth " << s.noBoth << ", noA " << s.noA << ", noB " << s.noB << "}";
}

// A sample installation in a temporary folder, the environment pointing at
// it, and an open connection like the program's (MSKYAK on SV01).
class Installation {
public:
    explicit Installation(const Options& options) {
        if (!m_dir.isValid())
            throw std::runtime_error("no temporary folder");
        m_install = sample::writeSampleInstall(m_dir.path(), options);
        m_install.applyEnvironment();
        m_cn.setConnectionString(QStringLiteral("Provider=SQLOLEDB;server=") + m_install.server +
                                 QStringLiteral(";uid=ORBE-TLX-MEMBER;pwd=QDR615;database=MSKYAK"));
        m_cn.open();
        g.MyMiseID = m_install.miseId;
        g.HonbuFlg = options.headquarters ? True : False;
    }

    void sql(const QString& database, const QStringList& statements) {
        sample::execSql(m_install.databaseFile(database), statements);
    }

    SlotAnswer check(std::int16_t menu) {
        return {Data_Check(0, menu, m_cn, g) == True, Data_Check(1, menu, m_cn, g) == True,
                Data_Check(2, menu, m_cn, g) == True};
    }

    // Stores 1..n chosen in rows 0..n-1 of the store list, the rest "0".
    void choose(const QStringList& codes) {
        for (auto& row : g.MiseList)
            row[0] = QStringLiteral("0");
        for (int i = 0; i < codes.size(); ++i)
            g.MiseList[static_cast<std::size_t>(i)][0] = codes[i];
    }

    Connection& cn() { return m_cn; }
    const SampleInstall& install() const { return m_install; }
    Globals g;

private:
    QTemporaryDir m_dir;
    SampleInstall m_install;
    Connection m_cn;
};

Options storeWith(Slots giju, Slots ten, int rows = 30) {
    Options o;
    o.gijuSlots = giju;
    o.tenSlots = ten;
    o.gijuRows = rows;
    o.tenRows = rows;
    return o;
}

// Without rows of its own: the tests insert exactly the rows they reason about.
Options emptyMasters(bool headquarters = false, int stores = 1) {
    Options o = storeWith(Slots::None, Slots::None, 0);
    o.headquarters = headquarters;
    o.stores = stores;
    return o;
}

// ---------------------------------------------------------------------------

struct FilterCase {
    const char* name;
    std::int16_t honbuFlg;
    std::int16_t myMiseId;
    std::vector<std::pair<int, QString>> list; // row, store code text
    QString expected;
};

TEST(StoreFilter, FollowsInstallationKindAndChosenStores) {
    const FilterCase cases[] = {
        {"store", False, 12, {}, " and miseid = 12 "},
        {"store ignores the list", False, 3, {{0, "5"}}, " and miseid = 3 "},
        {"only True (-1) means headquarters", 1, 4, {{0, "5"}}, " and miseid = 4 "},
        {"store number 0", False, 0, {}, " and miseid = 0 "},
        {"headquarters skips 0, empty, letters and negatives",
         True,
         1,
         {{0, "0"}, {1, "7"}, {2, ""}, {3, "abc"}, {4, "-2"}, {5, " 9 "}},
         " and miseid in(7,9)"},
        {"headquarters, nothing chosen covers every store", True, 1, {}, ""},
        {"headquarters reads rows 0 to 19 only",
         True,
         1,
         {{19, "19"}, {20, "20"}},
         " and miseid in(19)"},
    };
    for (const auto& c : cases) {
        Globals g;
        g.HonbuFlg = c.honbuFlg;
        g.MyMiseID = c.myMiseId;
        for (auto& row : g.MiseList)
            row[0] = QStringLiteral("0");
        for (const auto& [row, code] : c.list)
            g.MiseList[static_cast<std::size_t>(row)][0] = code;
        EXPECT_EQ(storeFilter(g), c.expected) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Generated data in every slot state; the deleted rows (SaisyuKosinFlg 9)
// that the generator adds carry prices in both slots and must not count.

struct StateCase {
    Slots giju;
    Slots ten;
};

SlotAnswer expectedFor(Slots state) {
    switch (state) {
    case Slots::A:
        return {true, false, true};
    case Slots::B:
        return {true, true, false};
    case Slots::Both:
        return {false, false, false};
    case Slots::Mixed: // each slot in use, never both in one row
        return {true, false, false};
    case Slots::None:
        break;
    }
    return {true, true, true};
}

class SlotStates : public ::testing::TestWithParam<StateCase> {};

TEST_P(SlotStates, EachMenuAnswersForItsOwnTable) {
    Installation inst(storeWith(GetParam().giju, GetParam().ten));
    EXPECT_EQ(inst.check(0), expectedFor(GetParam().giju));
    EXPECT_EQ(inst.check(1), expectedFor(GetParam().ten));
}

// The two menus always differ, so answering from the wrong table shows.
INSTANTIATE_TEST_SUITE_P(Generated, SlotStates,
                         ::testing::Values(StateCase{Slots::A, Slots::B},
                                           StateCase{Slots::B, Slots::A},
                                           StateCase{Slots::Both, Slots::None},
                                           StateCase{Slots::Mixed, Slots::Both},
                                           StateCase{Slots::None, Slots::Mixed}),
                         [](const auto& info) {
                             return (sample::slotsName(info.param.giju) + QStringLiteral("_") +
                                     sample::slotsName(info.param.ten))
                                 .toStdString();
                         });

// ---------------------------------------------------------------------------
// Hand-made rows of store 1 (the own store) and store 2.

struct RowCase {
    const char* name;
    std::int16_t menu;
    QStringList rows;
    SlotAnswer expected;
};

const char* const kGiju = "INSERT INTO MTGIJU (GlobalID, MiseID, GijutuID, ShumokuID, "
                          "GijutuName, TaxFlg, TankaA1, TankaA2, TankaA3, TankaA4, TankaA5, "
                          "TankaB1, TankaB2, TankaB3, TankaB4, TankaB5, SaisyuKosinFlg, "
                          "SaisyuKosinDate) VALUES ";
const char* const kTen = "INSERT INTO MTTENP (GlobalID, MiseID, TenpanFlg, TenpanID, TenpanName, "
                         "TaxFlg, UriTankaA, UriTankaB, SaisyuKosinFlg, SaisyuKosinDate) VALUES ";

QString giju(const char* values) {
    return QString::fromUtf8(kGiju) + QString::fromUtf8(values);
}
QString ten(const char* values) {
    return QString::fromUtf8(kTen) + QString::fromUtf8(values);
}

TEST(DataCheck, HandMadeRows) {
    const RowCase cases[] = {
        {"one price in the middle of slot A",
         0,
         {giju("(1,1,1,1,'カット',1,0,NULL,500,0,0,0,0,NULL,0,0,0,'2019-01-01 00:00:00')")},
         {true, false, true}},
        {"Null and zero prices are no prices",
         0,
         {giju("(1,1,1,1,'カット',1,NULL,0,NULL,0,NULL,0,NULL,0,NULL,0,0,NULL)")},
         {true, true, true}},
        {"A in one row and B in another: not both",
         0,
         {giju("(1,1,1,1,'カット',1,4320,0,0,0,0,0,0,0,0,0,0,NULL)"),
          giju("(1,1,2,1,'パーマ',1,0,0,0,0,0,8800,0,0,0,0,2,NULL)")},
         {true, false, false}},
        {"both slots in one row",
         0,
         {giju("(1,1,1,4,'ヘッドスパ',1,0,3240,0,0,0,0,0,0,3300,0,0,NULL)")},
         {false, false, false}},
        {"deleted rows never count",
         0,
         {giju("(1,1,1,1,'カット',1,4320,1,1,1,1,4400,1,1,1,1,9,NULL)")},
         {true, true, true}},
        {"a row without SaisyuKosinFlg is not live either",
         0,
         {giju("(1,1,1,1,'カット',1,4320,0,0,0,0,4400,0,0,0,0,NULL,NULL)")},
         {true, true, true}},
        {"rows of another store do not count",
         0,
         {giju("(1,2,1,1,'カット',1,4320,0,0,0,0,4400,0,0,0,0,0,NULL)")},
         {true, true, true}},
        {"retail: Null in A, price in B",
         1,
         {ten("(1,1,2,1,'ワックス',1,NULL,1650,1,NULL)")},
         {true, true, false}},
        {"retail: deleted, unflagged and foreign rows never count",
         1,
         {ten("(1,1,1,1,'シャンプー',1,3240,3300,9,NULL)"),
          ten("(1,1,1,2,'ワックス',1,1620,1650,NULL,NULL)"),
          ten("(1,2,1,1,'シャンプー',1,3240,3300,0,NULL)")},
         {true, true, true}},
        {"retail: technical rows do not count",
         1,
         {giju("(1,1,1,1,'カット',1,4320,0,0,0,0,4400,0,0,0,0,0,NULL)")},
         {true, true, true}},
    };
    for (const auto& c : cases) {
        Installation inst(emptyMasters(false, 2));
        inst.sql(QStringLiteral("MSTORI"), c.rows);
        EXPECT_EQ(inst.check(c.menu), c.expected) << c.name;
    }
}

TEST(DataCheck, HeadquartersCoversTheChosenStoresOrAll) {
    Installation inst(emptyMasters(true, 3));
    // Store 1 prices in A, store 3 in B, store 2 none; the same for retail.
    inst.sql(QStringLiteral("MSTORI"), {giju("(1,1,1,1,'カット',1,4320,0,0,0,0,0,0,0,0,0,0,NULL)"),
                                        giju("(1,3,1,1,'カット',1,0,0,0,0,0,4400,0,0,0,0,0,NULL)"),
                                        ten("(1,1,1,1,'シャンプー',1,3240,0,0,NULL)"),
                                        ten("(1,3,1,1,'シャンプー',1,0,3300,0,NULL)")});
    struct Case {
        QStringList chosen;
        SlotAnswer expected;
    };
    const Case cases[] = {
        {{"0", "", "0"}, {true, false, false}},
        {{"2"}, {true, true, true}},
        {{"0", "3"}, {true, true, false}},
    };
    for (const auto& c : cases) {
        inst.choose(c.chosen);
        EXPECT_EQ(inst.check(0), c.expected) << c.chosen.join(',').toStdString();
        EXPECT_EQ(inst.check(1), c.expected) << c.chosen.join(',').toStdString();
    }
}

TEST(DataCheck, DatabaseErrorsReachTheCaller) {
    Installation inst(emptyMasters());
    EXPECT_THROW(Data_Check(0, 2, inst.cn(), inst.g), RunError); // no such table kind
    inst.sql(QStringLiteral("MSTORI"), {QStringLiteral("DROP TABLE MTTENP")});
    EXPECT_THROW(Data_Check(1, 1, inst.cn(), inst.g), RunError);
}

// ---------------------------------------------------------------------------
// Switch flags and processing date: MTMISE's own row at a store, MHSCTB at
// headquarters.

struct StoreRowCase {
    const char* name;
    Options options;
    QStringList mstori; // statements run after generation
    QStringList mshonb;
    std::int16_t flag1;
    std::int16_t flag2;
    QString date; // MiseSyoriDate afterwards; it starts as "1999/12/31"
};

Options with(Options o, void (*shape)(Options&)) {
    shape(o);
    return o;
}

TEST(StoreRow, SwitchFlagsAndProcessingDate) {
    const StoreRowCase cases[] = {
        {"store row",
         with(emptyMasters(),
              [](Options& o) {
                  o.gijuSwFlg = 2;
                  o.tenSwFlg = 1;
                  o.syoriDate = QStringLiteral("2019-09-30 00:00:00");
              }),
         {},
         {},
         2,
         1,
         "2019/09/30"},
        {"own row among other stores",
         with(emptyMasters(false, 5), [](Options& o) { o.miseId = 4; }),
         {"UPDATE MTMISE SET GijutuTankaSwFlg = 2, SyoriDate = '2020-03-31 15:10:00' "
          "WHERE MiseID = 4"},
         {},
         2,
         1,
         "2020/03/31"},
        {"no row for the store: both 1, date kept",
         with(emptyMasters(false, 3),
              [](Options& o) {
                  o.miseId = 2;
                  o.ownStoreRow = false;
                  o.gijuSwFlg = 2;
                  o.tenSwFlg = 2;
              }),
         {},
         {},
         1,
         1,
         "1999/12/31"},
        {"Null flags read 0, Null date reads empty",
         with(emptyMasters(),
              [](Options& o) {
                  o.gijuSwFlg = std::nullopt;
                  o.tenSwFlg = 2;
              }),
         {"UPDATE MTMISE SET SyoriDate = NULL"},
         {},
         0,
         2,
         ""},
        {"headquarters reads its control table",
         with(emptyMasters(true, 3),
              [](Options& o) {
                  o.gijuSwFlg = 1;
                  o.tenSwFlg = 1;
              }),
         {},
         {"UPDATE MHSCTB SET TenpanTankaSwFlg = 2, SyoriDate = '2019-10-01 00:00:00'"},
         1,
         2,
         "2019/10/01"},
        {"headquarters without a control row",
         with(emptyMasters(true, 2),
              [](Options& o) {
                  o.honbuRow = false;
                  o.gijuSwFlg = 2;
              }),
         {},
         {},
         1,
         1,
         "1999/12/31"},
    };
    for (const auto& c : cases) {
        Installation inst(c.options);
        if (!c.mstori.isEmpty())
            inst.sql(QStringLiteral("MSTORI"), c.mstori);
        if (!c.mshonb.isEmpty())
            inst.sql(QStringLiteral("MSHONB"), c.mshonb);
        std::int16_t flag1 = -7;
        std::int16_t flag2 = -7;
        Get_TankaSwFlg(flag1, flag2, inst.cn(), inst.g);
        EXPECT_EQ(flag1, c.flag1) << c.name;
        EXPECT_EQ(flag2, c.flag2) << c.name;
        inst.g.MiseSyoriDate = QStringLiteral("1999/12/31");
        Get_Mise(inst.cn(), inst.g);
        EXPECT_EQ(inst.g.MiseSyoriDate, c.date) << c.name;
    }
}

TEST(StoreRow, MissingControlTableIsAnError) {
    // A store installation has no MSHONB: reading it as headquarters fails
    // loudly instead of reporting slot A.
    Installation inst(emptyMasters());
    inst.g.HonbuFlg = True;
    std::int16_t flag1 = 0;
    std::int16_t flag2 = 0;
    EXPECT_THROW(Get_TankaSwFlg(flag1, flag2, inst.cn(), inst.g), RunError);
    EXPECT_THROW(Get_Mise(inst.cn(), inst.g), RunError);
}

// ---------------------------------------------------------------------------

TEST(CheckHonbu, TrueOnlyWhereTheControlTableAnswers) {
    struct Case {
        const char* name;
        bool headquarters;
        QStringList mshonb;
        std::int16_t expected;
    };
    const Case cases[] = {
        {"headquarters", true, {}, True},
        {"headquarters with an empty control table", true, {"DELETE FROM MHSCTB"}, True},
        {"headquarters without the control table", true, {"DROP TABLE MHSCTB"}, False},
        {"store: no MSHONB database", false, {}, False},
    };
    for (const auto& c : cases) {
        Installation inst(emptyMasters(c.headquarters));
        if (!c.mshonb.isEmpty())
            inst.sql(QStringLiteral("MSHONB"), c.mshonb);
        EXPECT_EQ(Check_Honbu(&inst.cn()), c.expected) << c.name;
    }
}

TEST(CheckHonbu, NeverRaisesOnAMissingOrClosedConnection) {
    Installation inst(emptyMasters(true));
    EXPECT_EQ(Check_Honbu(nullptr), False);
    Connection neverOpened;
    EXPECT_EQ(Check_Honbu(&neverOpened), False);
    inst.cn().close();
    EXPECT_EQ(Check_Honbu(&inst.cn()), False);
}

} // namespace
} // namespace tanka
