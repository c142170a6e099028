// The display refresh Set_TankaDisp on real sample databases: the slot state
// of each menu decides captions, enabled selectors, slots, panel and timer.

#include <optional>

#include "ui/window_fixture.h"

namespace tanka::test {
namespace {

using sample::Slots;

constexpr std::int16_t Kept = 7; // a source slot the refresh must leave alone

struct MenuExpect {
    const char* source;      // SSPanel6 / SSPanel8
    const char* destination; // SSCommand2(k)
    bool destEnabled;
    bool kindsEnabled; // SSCommand1 and Check1 of the menu
    std::int16_t src, dst;
};

struct RefreshCase {
    const char* name;
    Slots giju, ten;
    std::optional<std::int16_t> gijuSw, tenSw;
    TankaDisp variant;   // run after a start-up refresh unless StartUp
    const char* between; // MSTORI statement run between the two refreshes
    MenuExpect gijuExp, tenExp;
    bool panel, timer;
    const char* label14; // nullptr: hidden (caption not checked)
    const char* label16;
};

constexpr MenuExpect GijuA{"技術単価Ａ", "技術単価Ｂ", true, true, 0, 1};
constexpr MenuExpect GijuB{"技術単価Ｂ", "技術単価Ａ", true, true, 1, 0};
constexpr MenuExpect GijuOpen{"技術単価Ａ", "技術単価Ｂ", true, true, Kept, -1}; // design captions
constexpr MenuExpect GijuRefused{"技術単価A/B", "技術単価A/B", false, false, Kept, -1};
constexpr MenuExpect TenA{"店販単価Ａ", "店販単価Ｂ", true, true, 0, 1};
constexpr MenuExpect TenB{"店販単価Ｂ", "店販単価Ａ", true, true, 1, 0};
constexpr MenuExpect TenOpen{"店販単価Ａ", "店販単価Ｂ", true, true, Kept, -1};
constexpr MenuExpect TenRefused{"店販単価A/B", "店販単価A/B", false, false, Kept, -1};

constexpr const char* ClearGijuB = "update MTGIJU set TankaB1 = 0, TankaB2 = 0, TankaB3 = 0, "
                                   "TankaB4 = 0, TankaB5 = Null where SaisyuKosinFlg <> 9";

using enum TankaDisp;
const RefreshCase Cases[] = {
    {"StartUpAInUse", Slots::A, Slots::A, 1, 1, StartUp, nullptr, GijuA, TenA, false, false,
     nullptr, nullptr},
    {"StartUpBInUse", Slots::B, Slots::B, 2, 2, StartUp, nullptr, GijuB, TenB, false, false,
     nullptr, nullptr},
    {"StartUpBothEmptyStaysUndetermined", Slots::None, Slots::None, 1, 2, StartUp, nullptr,
     GijuOpen, TenOpen, false, true, nullptr, nullptr},
    {"StartUpMixedRefusedWithoutPanel", Slots::Mixed, Slots::A, 1, 1, StartUp, nullptr, GijuRefused,
     TenA, false, true, nullptr, nullptr},
    {"StartUpBothSetShowsPanelAndSlotsInUse", Slots::Both, Slots::B, 2, 1, StartUp, nullptr,
     GijuRefused, TenB, true, true, "(使用中単価:Ｂ)", "(使用中単価:Ａ)"},
    {"StartUpOtherSwitchFlagLeavesInUseLabel", Slots::A, Slots::Both, 1, 0, StartUp, nullptr, GijuA,
     TenRefused, true, true, "(使用中単価:Ａ)", nullptr},
    {"StoreChangeEmptyMenusFollowSwitchFlags", Slots::None, Slots::None, 1, 2, StoreChange, nullptr,
     GijuA, TenB, false, false, nullptr, nullptr},
    {"StoreChangeNullFlagActsAsB", Slots::None, Slots::None, std::nullopt, 1, StoreChange, nullptr,
     GijuB, TenA, false, false, nullptr, nullptr},
    {"StoreChangeHidesInUseLabels", Slots::Both, Slots::A, 2, 1, StoreChange, nullptr, GijuRefused,
     TenA, true, true, nullptr, nullptr},
    {"StoreChangeReenablesAMenuThatLostItsBPrices", Slots::Both, Slots::A, 1, 1, StoreChange,
     ClearGijuB, GijuA, TenA, false, false, nullptr, nullptr},
    {"CancelKeepsEmptyMenusUndetermined", Slots::None, Slots::A, 1, 1, Cancel, nullptr, GijuOpen,
     TenA, false, true, "使用中単価Ａ", "使用中単価Ａ"},
    {"CancelShowsInUseLabelsAsStartUpLeftThem", Slots::Both, Slots::Mixed, 2, 1, Cancel, nullptr,
     GijuRefused, TenRefused, true, true, "(使用中単価:Ｂ)", "(使用中単価:Ａ)"},
};

void PrintTo(const RefreshCase& c, std::ostream* os) {
    *os << c.name;
}

class RefreshTest : public ::testing::TestWithParam<RefreshCase> {};

// Chooses a technical kind and both roundings, as a user would before a refresh.
void chooseEverything(MainForm& form) {
    form.SSCommand3_Click(0);
    form.SSCommand6_Click(0);
    form.SSCommand1_Click(0);
    ASSERT_TRUE(form.model().SSCommand4.enabled);
}

void expectMenu(const WindowModel& m, const Globals& g, std::int16_t k, const MenuExpect& e) {
    SCOPED_TRACE(k == 0 ? "technical menu" : "retail products");
    const Control& source = k == 0 ? m.SSPanel6 : m.SSPanel8;
    const Control& destination = m.SSCommand2[static_cast<std::size_t>(k)];
    EXPECT_EQ(source.caption, QString::fromUtf8(e.source));
    EXPECT_EQ(destination.caption, QString::fromUtf8(e.destination));
    EXPECT_EQ(destination.enabled, e.destEnabled);
    EXPECT_EQ(destination.backColor, colors::SelectedButton);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(m.SSCommand1[2 * k + i].enabled, e.kindsEnabled);
        EXPECT_EQ(m.Check1[2 * k + i].enabled, e.kindsEnabled);
    }
    EXPECT_EQ(k == 0 ? g.GijuSrcSlot : g.TenSrcSlot, e.src);
    EXPECT_EQ(k == 0 ? g.GijuDstSlot : g.TenDstSlot, e.dst);
}

TEST_P(RefreshTest, SetsSlotsAndControls) {
    const RefreshCase& c = GetParam();
    sample::Options o;
    o.gijuSlots = c.giju;
    o.tenSlots = c.ten;
    o.gijuSwFlg = c.gijuSw;
    o.tenSwFlg = c.tenSw;
    FormOnSample f(o);
    f.g.GijuSrcSlot = Kept;
    f.g.TenSrcSlot = Kept;
    f.model.Label4.caption = QStringLiteral("x");

    chooseEverything(f.form);
    f.form.Set_TankaDisp(StartUp);
    if (c.variant != StartUp) {
        if (c.between)
            f.sql(QStringLiteral("MSTORI"), {QString::fromUtf8(c.between)});
        chooseEverything(f.form);
        f.form.Set_TankaDisp(c.variant);
    }

    const WindowModel& m = f.model;
    expectMenu(m, f.g, 0, c.gijuExp);
    expectMenu(m, f.g, 1, c.tenExp);
    EXPECT_EQ(m.SSPanel1.visible, c.panel);
    EXPECT_EQ(m.Timer1.enabled, c.timer);
    EXPECT_EQ(m.Label14.visible, c.label14 != nullptr);
    EXPECT_EQ(m.Label16.visible, c.label16 != nullptr);
    if (c.label14) {
        EXPECT_EQ(m.Label14.caption, QString::fromUtf8(c.label14));
    }
    if (c.label16) {
        EXPECT_EQ(m.Label16.caption, QString::fromUtf8(c.label16));
    }

    // Every refresh clears the kinds, so Execute is off; it keeps the selector
    // colours and check marks, and the rounding except at start-up.
    EXPECT_EQ(f.g.GijuMode, -1);
    EXPECT_EQ(f.g.TenMode, -1);
    EXPECT_FALSE(m.SSCommand4.enabled);
    EXPECT_EQ(m.SSCommand1[0].backColor, colors::SelectedButton);
    EXPECT_EQ(m.Check1[0].value, 1);
    EXPECT_EQ(f.g.HasuMode, c.variant == StartUp ? -1 : 0);
    EXPECT_EQ(f.g.HasuTani, c.variant == StartUp ? -1 : 0);
    EXPECT_EQ(m.Label4.caption, c.variant == StartUp ? QStringLiteral("x") : QString());
    EXPECT_TRUE(m.Label15.caption.startsWith(QStringLiteral("単価はA/B共に設定済みです\r\n\r\n")));
    EXPECT_TRUE(m.Label15.caption.endsWith(QStringLiteral("\r\n 実行してください")));
    EXPECT_GE(f.eventRounds, 1); // Check_Job let events run
}

INSTANTIATE_TEST_SUITE_P(States, RefreshTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StoreButtonCase {
    const char* name;
    bool headquarters;
    Slots giju;
    bool visible;
};

void PrintTo(const StoreButtonCase& c, std::ostream* os) {
    *os << c.name;
}

class StoreButtonTest : public ::testing::TestWithParam<StoreButtonCase> {};

TEST_P(StoreButtonTest, ShownOnlyAtHeadquartersWithAnUndeterminedSlot) {
    const StoreButtonCase& c = GetParam();
    sample::Options o;
    o.headquarters = c.headquarters;
    o.stores = 2;
    o.gijuSlots = c.giju;
    FormOnSample f(o);
    ASSERT_EQ(f.g.HonbuFlg, c.headquarters ? True : False);
    f.form.Set_TankaDisp(StartUp);
    EXPECT_EQ(f.model.Command2.visible, c.visible);

    // Later refreshes leave its visibility alone.
    f.form.Set_TankaDisp(StoreChange);
    f.form.Set_TankaDisp(Cancel);
    EXPECT_EQ(f.model.Command2.visible, c.visible);
}

const StoreButtonCase StoreButtonCases[] = {
    {"HeadquartersUndetermined", true, Slots::None, true},
    {"HeadquartersDetermined", true, Slots::A, false},
    {"StoreUndetermined", false, Slots::None, false},
    {"HeadquartersBothSet", true, Slots::Both, true},
};

INSTANTIATE_TEST_SUITE_P(Visibility, StoreButtonTest, ::testing::ValuesIn(StoreButtonCases),
                         [](const auto& info) { return std::string(info.param.name); });

// At headquarters the chosen stores narrow every check of the refresh.
TEST(RefreshStoreList, HeadquartersJudgesOnlyTheChosenStores) {
    sample::Options o;
    o.headquarters = true;
    o.stores = 2;
    o.gijuSlots = Slots::A;
    FormOnSample f(o);
    f.sql(QStringLiteral("MSTORI"),
          {QStringLiteral("update MTGIJU set TankaB2 = 1080 where MiseID = 2")});

    f.form.Set_TankaDisp(StartUp);
    EXPECT_EQ(f.model.SSPanel6.caption, QStringLiteral("技術単価A/B")) << "all stores";
    EXPECT_TRUE(f.model.SSPanel1.visible);

    f.g.MiseList[0][0] = QStringLiteral("1");
    f.form.Set_TankaDisp(StoreChange);
    EXPECT_EQ(f.model.SSPanel6.caption, QStringLiteral("技術単価Ａ")) << "store 1 only";
    EXPECT_EQ(f.g.GijuDstSlot, 1);
    EXPECT_FALSE(f.model.SSPanel1.visible);
    EXPECT_TRUE(f.model.SSCommand1[0].enabled);
}

} // namespace
} // namespace tanka::test
