// The price-slot state checks, switch flags and processing date against real
// SQLite sample installations.

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "pricing/checks.h"

namespace tanka::test {
namespace {

using sample::Options;

// The three slot checks of one menu, "1" where no row is priced in both slots,
// in A, in B.
std::string check(EngineFixture& fx, Menu menu) {
    std::string s;
    for (const PricedIn pricedIn : {PricedIn::BothSlots, PricedIn::SlotA, PricedIn::SlotB})
        s += hasPricedRows(menu, pricedIn, fx.cn(), fx.g()) ? '0' : '1';
    return s;
}

// Without rows of its own: the tests insert exactly the rows they reason about.
Options emptyMasters(bool headquarters = false, int stores = 1, std::int16_t own = 1) {
    Options o = headquarters ? headquartersOptions(stores) : storeOptions(stores, own);
    o.technicalRows = o.retailRows = 0;
    return o;
}

// Hand-made rows of store 1 (the own store) and store 2. (Every slot state of
// generated data reaches these checks through the window's refresh tests; both
// menus share the query of live rows of the own store.)
TEST(SlotChecks, HandMadeRows) {
    const Slot5 one{4320, 1, 1, 1, 1};
    const struct {
        const char* name;
        Menu menu;
        std::vector<TechnicalRow> technical;
        std::vector<RetailRow> retail;
        const char* expected;
    } cases[] = {
        // clang-format off
        {"one price in the middle of slot A", Menu::Technical,
         {{.a = {0, {}, 500, 0, 0}, .b = {0, 0, {}, 0, 0}}}, {}, "101"},
        {"Null and zero prices are no prices", Menu::Technical,
         {{.a = {std::nullopt, 0, {}, 0, {}}, .b = {0, {}, 0, {}, 0}}}, {}, "111"},
        {"deleted, unflagged and foreign rows never count", Menu::Technical,
         {{.a = one, .b = one, .lastUpdateFlag = 9},
          {.gijutuId = 2, .a = one, .b = one, .lastUpdateFlag = std::nullopt},
          {.storeId = 2, .a = one, .b = one}}, {}, "111"},
        {"retail: Null in A, price in B", Menu::Retail, {}, {{.b = 1650}}, "110"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EngineFixture fx(emptyMasters(false, 2));
        fx.setTechnicalRows(c.technical);
        fx.setRetailRows(c.retail);
        EXPECT_EQ(check(fx, c.menu), c.expected) << c.name;
    }
}

// Switch flags and processing date: MTMISE's own row at a store, MHSCTB at
// headquarters. The sample writes flags 1 and the date 2019-09-30.
TEST(StoreRow, SwitchFlagsAndProcessingDate) {
    const struct {
        const char* name;
        Options options;
        QStringList mstori, mshonb; // run after generation
        std::int16_t flag1, flag2;
        QString date; // storeProcessingDate afterwards; it starts as "1999/12/31"
    } cases[] = {
        // clang-format off
        {"Null flags read 0, Null date reads empty", emptyMasters(),
         {"UPDATE MTMISE SET GijutuTankaSwFlg = NULL, TenpanTankaSwFlg = 2, SyoriDate = NULL"},
         {}, 0, 2, ""},
        {"headquarters reads its control table", emptyMasters(true, 3),
         {"UPDATE MTMISE SET GijutuTankaSwFlg = 2, TenpanTankaSwFlg = 2"},
         {"UPDATE MHSCTB SET TenpanTankaSwFlg = 2, SyoriDate = '2019-10-01 00:00:00'"}, 1, 2,
         "2019/10/01"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EngineFixture fx(c.options);
        fx.exec(c.mstori);
        if (!c.mshonb.isEmpty())
            fx.site().sql("MSHONB", c.mshonb);
        std::int16_t flag1 = -7, flag2 = -7;
        readSwitchFlags(flag1, flag2, fx.cn(), fx.g());
        EXPECT_EQ(std::pair(flag1, flag2), std::pair(c.flag1, c.flag2)) << c.name;
        fx.g().storeProcessingDate = QStringLiteral("1999/12/31");
        readStoreProcessingDate(fx.cn(), fx.g());
        EXPECT_EQ(fx.g().storeProcessingDate, c.date) << c.name;
    }
}

} // namespace
} // namespace tanka::test
