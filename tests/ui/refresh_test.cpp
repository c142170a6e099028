// The display refresh refreshSlotDisplay on real sample databases: the slot state
// of each menu decides captions, enabled selectors, slots, panel, timer and
// (at headquarters) the store-selection button.

#include <optional>

#include "support/gui_app.h"

namespace tanka::test {
namespace {

using sample::Slots;

// Not a slot: a source the refresh must leave alone.
constexpr Slot Kept = static_cast<Slot>(7);

struct MenuExpect {
    const char* source;      // technicalSourceLabel / retailSourceLabel
    const char* destination; // destinationButtons(k)
    bool enabled;            // the destination toggle and the menu's kind selectors
    Slot src, dst;
};

constexpr MenuExpect GijuA{"技術単価Ａ", "技術単価Ｂ", true, Slot::A, Slot::B};
constexpr MenuExpect GijuOpen{"技術単価Ａ", "技術単価Ｂ", true, Kept,
                              Slot::None}; // design captions
constexpr MenuExpect GijuRefused{"技術単価A/B", "技術単価A/B", false, Kept, Slot::None};
constexpr MenuExpect TenA{"店販単価Ａ", "店販単価Ｂ", true, Slot::A, Slot::B};
constexpr MenuExpect TenB{"店販単価Ｂ", "店販単価Ａ", true, Slot::B, Slot::A};
constexpr MenuExpect TenOpen{"店販単価Ａ", "店販単価Ｂ", true, Kept, Slot::None};
constexpr MenuExpect TenRefused{"店販単価A/B", "店販単価A/B", false, Kept, Slot::None};

struct RefreshCase {
    const char* name;
    bool headquarters;
    Slots technical, retail;
    std::optional<std::int16_t> technicalSwitch, retailSwitch;
    DisplayRefresh variant; // run after the start-up refresh unless StartUp
    const char* between;    // MSTORI statement run between the two refreshes
    MenuExpect technicalExpect, retailExpect;
    bool panel, timer, storeButton;
    const char* label14; // nullptr: hidden
    const char* label16;
};

constexpr const char* ClearGijuB = "update MTGIJU set TankaB1 = 0, TankaB2 = 0, TankaB3 = 0, "
                                   "TankaB4 = 0, TankaB5 = Null where SaisyuKosinFlg <> 9";

using enum DisplayRefresh;
// clang-format off
const RefreshCase Cases[] = {
    //                                                             hq     technical    retail       flags  refresh      between     technical    retail      panel  timer  store  in-use labels
    {"HeadquartersAInUseHidesStoreButton",                         true,  Slots::A,    Slots::A,    1, 1,  StartUp,     nullptr,    GijuA,       TenA,       false, false, false, nullptr, nullptr},
    {"StartUpBothEmptyStaysUndetermined",                          false, Slots::None, Slots::None, 1, 2,  StartUp,     nullptr,    GijuOpen,    TenOpen,    false, true,  false, nullptr, nullptr},
    {"StartUpMixedRefusedWithoutPanel",                            false, Slots::Mixed, Slots::A,   1, 1,  StartUp,     nullptr,    GijuRefused, TenA,       false, true,  false, nullptr, nullptr},
    {"HeadquartersBothSetShowsPanelSlotsInUseAndStoreButton",      true,  Slots::Both, Slots::B,    2, 1,  StartUp,     nullptr,    GijuRefused, TenB,       true,  true,  true,  "(使用中単価:Ｂ)", "(使用中単価:Ａ)"},
    {"HeadquartersStoreChangeFollowsSwitchFlagsAndKeepsStoreButton", true, Slots::None, Slots::None, 1, 2, StoreChange, nullptr,    GijuA,       TenB,       false, false, true,  nullptr, nullptr},
    {"StoreChangeHidesInUseLabels",                                false, Slots::Both, Slots::A,    2, 1,  StoreChange, nullptr,    GijuRefused, TenA,       true,  true,  false, nullptr, nullptr},
    {"StoreChangeReenablesAMenuThatLostItsBPrices",                false, Slots::Both, Slots::A,    1, 1,  StoreChange, ClearGijuB, GijuA,       TenA,       false, false, false, nullptr, nullptr},
    {"CancelKeepsEmptyMenusUndetermined",                          false, Slots::None, Slots::A,    1, 1,  Cancel,      nullptr,    GijuOpen,    TenA,       false, true,  false, "使用中単価Ａ", "使用中単価Ａ"},
    {"CancelShowsInUseLabelsAsStartUpLeftThem",                    false, Slots::Both, Slots::Mixed, 2, 1, Cancel,      nullptr,    GijuRefused, TenRefused, true,  true,  false, "(使用中単価:Ｂ)", "(使用中単価:Ａ)"},
};
// clang-format on

// Chooses a technical kind and both roundings, as a user would before a refresh.
void chooseEverything(MainForm& form) {
    form.onRoundingMethodClicked(0);
    form.onRoundingUnitClicked(0);
    form.onConversionKindClicked(0);
    ASSERT_TRUE(form.model().executeButton.enabled);
}

void expectMenu(const WindowModel& m, const Globals& g, std::size_t k, const MenuExpect& e) {
    SCOPED_TRACE(k == 0 ? "technical menu" : "retail products");
    EXPECT_EQ((k == 0 ? m.technicalSourceLabel : m.retailSourceLabel).caption,
              QString::fromUtf8(e.source));
    EXPECT_EQ(m.destinationButtons[k].caption, QString::fromUtf8(e.destination));
    EXPECT_EQ(m.destinationButtons[k].enabled, e.enabled);
    for (std::size_t i = 2 * k; i < 2 * k + 2; ++i) {
        EXPECT_EQ(m.conversionKindButtons[i].enabled, e.enabled);
        EXPECT_EQ(m.conversionKindChecks[i].enabled, e.enabled);
    }
    EXPECT_EQ(k == 0 ? g.technicalSource : g.retailSource, e.src);
    EXPECT_EQ(k == 0 ? g.technicalDestination : g.retailDestination, e.dst);
}

// An in-use label's caption, or null while it is hidden.
QString shown(const Control& label) {
    return label.visible ? label.caption : QString();
}

class RefreshTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshTest, SetsSlotsAndControls) {
    const RefreshCase& c = GetParam();
    sample::Options o;
    o.headquarters = c.headquarters;
    o.technicalSlots = c.technical;
    o.retailSlots = c.retail;
    o.technicalSwitchFlag = c.technicalSwitch;
    o.retailSwitchFlag = c.retailSwitch;
    AppOnSample a(o);
    a.g().technicalSource = Kept;
    a.g().retailSource = Kept;
    chooseEverything(a.form());
    ASSERT_EQ(a.app->load(), LoadResult::Loaded); // runs the start-up refresh
    if (c.variant != StartUp) {
        if (c.between)
            a.site.sql(QStringLiteral("MSTORI"), {QString::fromUtf8(c.between)});
        chooseEverything(a.form());
        a.model().warningLabel.caption = QStringLiteral("x");
        a.form().refreshSlotDisplay(c.variant);
    }

    const WindowModel& m = a.model();
    expectMenu(m, a.g(), 0, c.technicalExpect);
    expectMenu(m, a.g(), 1, c.retailExpect);
    EXPECT_EQ(m.forcePanel.visible, c.panel);
    EXPECT_EQ(m.blinkTimer.enabled, c.timer);
    EXPECT_EQ(m.storeButton.visible, c.storeButton);
    EXPECT_EQ(shown(m.technicalInUseLabel), QString::fromUtf8(c.label14));
    EXPECT_EQ(shown(m.retailInUseLabel), QString::fromUtf8(c.label16));

    // Every refresh clears the kinds, so Execute is off; it keeps the check
    // marks, and the rounding except at start-up.
    EXPECT_EQ(a.g().technicalKind, ConversionKind::None);
    EXPECT_EQ(a.g().retailKind, ConversionKind::None);
    EXPECT_FALSE(m.executeButton.enabled);
    EXPECT_EQ(m.conversionKindChecks[0].value, 1);
    EXPECT_EQ(a.g().roundingMethod,
              c.variant == StartUp ? RoundingMethod::None : RoundingMethod::Down);
    EXPECT_EQ(a.g().roundingUnit, c.variant == StartUp ? RoundingUnit::None : RoundingUnit::Yen1);
    EXPECT_TRUE(m.warningLabel.caption.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(States, RefreshTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
