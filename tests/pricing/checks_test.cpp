// The price-slot state checks, switch flags and processing date against real
// SQLite sample installations.

#include <gtest/gtest.h>

#include "core/run_error.h"
#include "engine_fixture.h"
#include "pricing/checks.h"

namespace tanka::test {
namespace {

using sample::Options;

// Result of the three Data_Check modes of one menu: no row priced in both
// slots, no row priced in A, no row priced in B (true = no such row).
struct SlotAnswer {
    bool noBoth, noA, noB;
    bool operator==(const SlotAnswer&) const = default;
};

void PrintTo(const SlotAnswer& s, std::ostream* os) {
    *os << "{noBoth " << s.noBoth << ", noA " << s.noA << ", noB " << s.noB << "}";
}

SlotAnswer check(EngineFixture& fx, std::int16_t menu) {
    return {Data_Check(0, menu, fx.cn(), fx.g()) == True,
            Data_Check(1, menu, fx.cn(), fx.g()) == True,
            Data_Check(2, menu, fx.cn(), fx.g()) == True};
}

// Without rows of its own: the tests insert exactly the rows they reason about.
Options emptyMasters(bool headquarters = false, int stores = 1, std::int16_t own = 1) {
    Options o = headquarters ? headquartersOptions(stores) : storeOptions(stores, own);
    o.gijuRows = o.tenRows = 0;
    return o;
}

// Hand-made rows of store 1 (the own store) and store 2. (Every slot state of
// generated data reaches these checks through the window's refresh tests.)
TEST(DataCheck, HandMadeRows) {
    const Slot5 one{4320, 1, 1, 1, 1};
    const struct {
        const char* name;
        std::int16_t menu;
        std::vector<GijuRow> giju;
        std::vector<TenRow> ten;
        SlotAnswer expected;
    } cases[] = {
        // clang-format off
        {"one price in the middle of slot A", 0,
         {{.a = {0, {}, 500, 0, 0}, .b = {0, 0, {}, 0, 0}}}, {}, {true, false, true}},
        {"Null and zero prices are no prices", 0,
         {{.a = {std::nullopt, 0, {}, 0, {}}, .b = {0, {}, 0, {}, 0}}}, {}, {true, true, true}},
        {"deleted, unflagged and foreign rows never count", 0,
         {{.a = one, .b = one, .kosinFlg = 9},
          {.gijutuId = 2, .a = one, .b = one, .kosinFlg = std::nullopt},
          {.miseId = 2, .a = one, .b = one}}, {}, {true, true, true}},
        {"retail: Null in A, price in B", 1, {}, {{.b = 1650}}, {true, true, false}},
        {"retail: deleted, unflagged and foreign rows never count", 1, {},
         {{.a = 3240, .b = 3300, .kosinFlg = 9},
          {.tenpanId = 2, .a = 1620, .b = 1650, .kosinFlg = std::nullopt},
          {.miseId = 2, .a = 3240, .b = 3300}}, {true, true, true}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EngineFixture fx(emptyMasters(false, 2));
        fx.setGiju(c.giju);
        fx.setTen(c.ten);
        EXPECT_EQ(check(fx, c.menu), c.expected) << c.name;
    }
}

TEST(DataCheck, DatabaseErrorsReachTheCaller) {
    EngineFixture fx(emptyMasters());
    fx.exec({"DROP TABLE MTTENP"});
    EXPECT_THROW(Data_Check(1, 1, fx.cn(), fx.g()), RunError);
}

// Switch flags and processing date: MTMISE's own row at a store, MHSCTB at
// headquarters. The sample writes flags 1 and the date 2019-09-30.
TEST(StoreRow, SwitchFlagsAndProcessingDate) {
    const QString allStores2 = "UPDATE MTMISE SET GijutuTankaSwFlg = 2, TenpanTankaSwFlg = 2";
    const struct {
        const char* name;
        Options options;
        QStringList mstori, mshonb; // run after generation
        std::int16_t flag1, flag2;
        QString date; // MiseSyoriDate afterwards; it starts as "1999/12/31"
    } cases[] = {
        // clang-format off
        {"no row for the store: both 1, date kept", emptyMasters(false, 3, 2),
         {allStores2, "DELETE FROM MTMISE WHERE MiseID = 2"}, {}, 1, 1, "1999/12/31"},
        {"Null flags read 0, Null date reads empty", emptyMasters(),
         {"UPDATE MTMISE SET GijutuTankaSwFlg = NULL, TenpanTankaSwFlg = 2, SyoriDate = NULL"},
         {}, 0, 2, ""},
        {"headquarters reads its control table", emptyMasters(true, 3), {allStores2},
         {"UPDATE MHSCTB SET TenpanTankaSwFlg = 2, SyoriDate = '2019-10-01 00:00:00'"}, 1, 2,
         "2019/10/01"},
        {"headquarters without a control row", emptyMasters(true, 2), {allStores2},
         {"DELETE FROM MHSCTB"}, 1, 1, "1999/12/31"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EngineFixture fx(c.options);
        fx.exec(c.mstori);
        if (!c.mshonb.isEmpty())
            fx.site().sql("MSHONB", c.mshonb);
        std::int16_t flag1 = -7, flag2 = -7;
        Get_TankaSwFlg(flag1, flag2, fx.cn(), fx.g());
        EXPECT_EQ(flag1, c.flag1) << c.name;
        EXPECT_EQ(flag2, c.flag2) << c.name;
        fx.g().MiseSyoriDate = QStringLiteral("1999/12/31");
        Get_Mise(fx.cn(), fx.g());
        EXPECT_EQ(fx.g().MiseSyoriDate, c.date) << c.name;
    }
}

TEST(CheckHonbu, TrueOnlyWhereTheControlTableAnswers) {
    const struct {
        const char* name;
        bool headquarters;
        QStringList mshonb;
        std::int16_t expected;
    } cases[] = {
        {"headquarters with an empty control table", true, {"DELETE FROM MHSCTB"}, True},
        {"headquarters without the control table", true, {"DROP TABLE MHSCTB"}, False},
        {"store: no MSHONB database", false, {}, False},
    };
    for (const auto& c : cases) {
        EngineFixture fx(emptyMasters(c.headquarters));
        if (!c.mshonb.isEmpty())
            fx.site().sql("MSHONB", c.mshonb);
        EXPECT_EQ(Check_Honbu(&fx.cn()), c.expected) << c.name;
    }
}

} // namespace
} // namespace tanka::test
