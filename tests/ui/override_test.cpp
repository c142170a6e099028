// The forced-execution panel on a store whose menus carry prices in both
// slots: "強制実行" takes the slots from the switch flags, "取消" brings the
// refusal back, and a run after forced execution overwrites the slot that
// already held prices, with the old prices kept in the backup.

#include <map>
#include <optional>
#include <tuple>

#include "support/gui_app.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

using enum ControlId;

// Two stores (the other store's rows must never change), both menus priced
// in both slots.
sample::Options bothSlotsPriced(std::optional<std::int16_t> t, std::optional<std::int16_t> r) {
    sample::Options o;
    o.stores = 2;
    o.miseId = 1;
    o.gijuRows = 6;
    o.tenRows = 4;
    o.deletedEvery = 4;
    o.gijuSlots = o.tenSlots = sample::Slots::Both;
    o.gijuSwFlg = t;
    o.tenSwFlg = r;
    return o;
}

// What the panel's buttons touch, by name.
using State = std::map<QString, QString>;

State stateOf(AppOnSample& a) {
    const Globals& g = a.g();
    const WindowModel& m = a.model();
    const auto n = [](auto v) { return QString::number(v); };
    const auto shown = [](const Control& c) { return c.visible ? c.caption : "hidden"; };
    State s{{"GijuSlots", n(g.GijuSrcSlot) + ">" + n(g.GijuDstSlot)},
            {"TenSlots", n(g.TenSrcSlot) + ">" + n(g.TenDstSlot)},
            {"Modes", n(g.GijuMode) + "," + n(g.TenMode)},
            {"technicalSourceLabel", m.technicalSourceLabel.caption},
            {"destinationButtons(0)", m.destinationButtons[0].caption},
            {"retailSourceLabel", m.retailSourceLabel.caption},
            {"destinationButtons(1)", m.destinationButtons[1].caption},
            {"warningLabel", m.warningLabel.caption},
            {"technicalInUseLabel", shown(m.technicalInUseLabel)},
            {"retailInUseLabel", shown(m.retailInUseLabel)},
            {"panel", n(m.forcePanel.visible)},
            {"timer", n(m.blinkTimer.enabled)},
            {"execute", n(m.executeButton.enabled)}};
    for (std::size_t i = 0; i < 4; ++i)
        s["kind" + n(i)] =
            n(m.conversionKindButtons[i].enabled) + n(m.conversionKindChecks[i].enabled);
    for (std::size_t k = 0; k < 2; ++k)
        s["toggle" + n(k)] = n(m.destinationButtons[k].enabled) +
                             n(m.destinationButtons[k].backColor == colors::SelectedButton);
    return s;
}

struct ForceCase {
    const char* name;
    std::optional<std::int16_t> t, r; // switch flags; nullopt is Null
    std::int16_t gijuSrc, gijuDst, tenSrc, tenDst;
};

// Source and destination captions of a menu: the slots, or "A/B" for both
// while the menu is undetermined.
std::pair<QString, QString> captions(const char* menu, std::int16_t src, std::int16_t dst) {
    const QString name = QString::fromUtf8(menu);
    if (dst < 0)
        return {name + "A/B", name + "A/B"};
    return {name + (src == 0 ? "Ａ" : "Ｂ"), name + (dst == 0 ? "Ａ" : "Ｂ")};
}

class ForcedExecutionTest : public ::testing::TestWithParam<ForceCase> {};

// Forcing, then a run: a determined menu overwrites the slot that already
// held prices, an undetermined one is converted in place; the backups keep
// the tables as they were.
TEST_P(ForcedExecutionTest, SwitchFlagsDecideTheSlotsOfTheRun) {
    const ForceCase& c = GetParam();
    AppOnSample a(bothSlotsPriced(c.t, c.r));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    ASSERT_TRUE(a.model().forcePanel.visible);
    const auto gijuBefore = readPriceRows(a.site.mstori(), PriceTable::Giju);
    const auto tenBefore = readPriceRows(a.site.mstori(), PriceTable::Ten);
    a.click({roundingMethodButtons, 2}); // round half up, chosen before forcing
    a.click({roundingUnitButtons, 1});   // ten yen

    // The slots and captions from the flags, every selector unlocked, the
    // in-use labels hidden; panel, timer, Execute and choices as they were.
    State expected = stateOf(a);
    const auto n = [](std::int16_t v) { return QString::number(v); };
    expected["GijuSlots"] = n(c.gijuSrc) + ">" + n(c.gijuDst);
    expected["TenSlots"] = n(c.tenSrc) + ">" + n(c.tenDst);
    std::tie(expected["technicalSourceLabel"], expected["destinationButtons(0)"]) =
        captions("技術単価", c.gijuSrc, c.gijuDst);
    std::tie(expected["retailSourceLabel"], expected["destinationButtons(1)"]) =
        captions("店販単価", c.tenSrc, c.tenDst);
    expected["technicalInUseLabel"] = expected["retailInUseLabel"] = "hidden";
    for (const char* control : {"kind0", "kind1", "kind2", "kind3", "toggle0", "toggle1"})
        expected[control] = "11";
    a.click({forceButton});
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_TRUE(a.view().timerActive());
    EXPECT_EQ(a.button({destinationButtons, 0})->text(), expected["destinationButtons(0)"]);
    // Each press reads the flags afresh and toggles once: the same state again.
    a.click({forceButton});
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_TRUE(a.boxes.shown.empty());

    a.click({conversionKindButtons, 0}); // technical to 10 % inclusive
    a.click({conversionKindButtons, 3}); // retail to tax-exclusive
    a.click({executeButton});
    ASSERT_TRUE(a.boxes.texts().contains(QStringLiteral("終了しました")))
        << a.boxes.texts().join(u'|').toStdString();
    EXPECT_GT(expectConverted(gijuBefore, readPriceRows(a.site.mstori(), PriceTable::Giju),
                              {1, 2, 1, c.gijuSrc, c.gijuDst, {1}}),
              0);
    EXPECT_GT(expectConverted(tenBefore, readPriceRows(a.site.mstori(), PriceTable::Ten),
                              {2, 2, 1, c.tenSrc, c.tenDst, {1}}),
              0);
    EXPECT_EQ(readBackupRows(a.site.workFile("MTGIJU10%.CSV"), PriceTable::Giju), gijuBefore);
    EXPECT_EQ(readBackupRows(a.site.workFile("MTTENP10%.CSV"), PriceTable::Ten), tenBefore);
}

INSTANTIATE_TEST_SUITE_P(Flags, ForcedExecutionTest,
                         ::testing::Values(ForceCase{"TechA_RetailB", 1, 2, 0, 1, 1, 0},
                                           // A flag other than 1 or 2: that menu undetermined.
                                           ForceCase{"TechZero", 0, 2, 0, -1, 1, 0},
                                           ForceCase{"TechThree_RetailNull", 3, std::nullopt, 0, -1,
                                                     0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ForcedExecution, CancelBringsBackTheRefusal) {
    AppOnSample a(bothSlotsPriced(1, 2));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    State expected = stateOf(a);
    a.click({forceButton});
    a.click({conversionKindButtons, 0});
    a.click({roundingMethodButtons, 1});
    a.click({roundingUnitButtons, 1});
    ASSERT_TRUE(a.model().executeButton.enabled);
    a.model().warningLabel.caption = QString::fromUtf8(WarningText);

    a.click({cancelForceButton});
    // As at start-up, except that cancel shows both in-use labels and a
    // refused menu keeps the source slot it had (forcing made retail's B).
    expected["technicalInUseLabel"] = "(使用中単価:Ａ)";
    expected["retailInUseLabel"] = "(使用中単価:Ｂ)";
    expected["TenSlots"] = "1>-1";
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_FALSE(a.button({conversionKindButtons, 0})->isEnabled());
    EXPECT_TRUE(a.view().timerActive());
    EXPECT_EQ(a.g().HasuMode, 1); // rounding stays chosen
}

} // namespace
} // namespace tanka::test
