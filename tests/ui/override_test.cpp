// The forced-execution panel on a store whose menus carry prices in both
// slots: "強制実行" takes the slots from the switch flags, "取消" brings the
// refusal back, and a run after forced execution overwrites the slot that
// already held prices, with the old prices kept in the backup.

#include <map>
#include <optional>

#include "support/gui_app.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

using enum ControlId;

sample::Options bothSlotsPriced(std::optional<std::int16_t> t, std::optional<std::int16_t> r) {
    sample::Options o;
    o.stores = 2; // the other store's rows must never change
    o.miseId = 1;
    o.gijuRows = 6;
    o.tenRows = 4;
    o.deletedEvery = 4;
    o.gijuSlots = sample::Slots::Both;
    o.tenSlots = sample::Slots::Both;
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
            {"SSPanel6", m.SSPanel6.caption},
            {"SSCommand2(0)", m.SSCommand2[0].caption},
            {"SSPanel8", m.SSPanel8.caption},
            {"SSCommand2(1)", m.SSCommand2[1].caption},
            {"Label4", m.Label4.caption},
            {"Label14", shown(m.Label14)},
            {"Label16", shown(m.Label16)},
            {"panel", n(m.SSPanel1.visible)},
            {"timer", n(m.Timer1.enabled)},
            {"execute", n(m.SSCommand4.enabled)}};
    for (std::size_t i = 0; i < 4; ++i)
        s["kind" + n(i)] = n(m.SSCommand1[i].enabled) + n(m.Check1[i].enabled);
    for (std::size_t k = 0; k < 2; ++k)
        s["toggle" + n(k)] =
            n(m.SSCommand2[k].enabled) + n(m.SSCommand2[k].backColor == colors::SelectedButton);
    return s;
}

struct ForceCase {
    const char* name;
    std::optional<std::int16_t> t, r; // switch flags; nullopt is Null
    const char *gijuSlots, *panel6, *toggle0;
    const char *tenSlots, *panel8, *toggle1;
};

void PrintTo(const ForceCase& c, std::ostream* os) {
    *os << c.name;
}

class ForcedExecutionTest : public ::testing::TestWithParam<ForceCase> {};

TEST_P(ForcedExecutionTest, SwitchFlagsDecideTheSlots) {
    const ForceCase& c = GetParam();
    AppOnSample a(bothSlotsPriced(c.t, c.r));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    ASSERT_TRUE(a.model().SSPanel1.visible);
    // The slots and captions from the flags, every selector unlocked, the
    // in-use labels hidden; panel, timer, Execute and choices as they were.
    State expected = stateOf(a);
    expected["GijuSlots"] = c.gijuSlots;
    expected["SSPanel6"] = c.panel6;
    expected["SSCommand2(0)"] = c.toggle0;
    expected["TenSlots"] = c.tenSlots;
    expected["SSPanel8"] = c.panel8;
    expected["SSCommand2(1)"] = c.toggle1;
    expected["Label14"] = expected["Label16"] = "hidden";
    for (const char* control : {"kind0", "kind1", "kind2", "kind3", "toggle0", "toggle1"})
        expected[control] = "11";

    a.click({SSCommand7});
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_TRUE(a.view().timerActive());
    EXPECT_EQ(a.button({SSCommand2, 0})->text(), QString::fromUtf8(c.toggle0));

    // Each press reads the flags afresh and toggles once: the same state again.
    a.click({SSCommand7});
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_TRUE(a.boxes.shown.empty());
}

constexpr const char* GijuBoth = "技術単価A/B";
constexpr const char* TenBoth = "店販単価A/B";

INSTANTIATE_TEST_SUITE_P(
    Flags, ForcedExecutionTest,
    ::testing::Values(ForceCase{"TechA_RetailB", 1, 2, "0>1", "技術単価Ａ", "技術単価Ｂ", "1>0",
                                "店販単価Ｂ", "店販単価Ａ"},
                      ForceCase{"TechB_RetailA", 2, 1, "1>0", "技術単価Ｂ", "技術単価Ａ", "0>1",
                                "店販単価Ａ", "店販単価Ｂ"},
                      // A flag other than 1 or 2 leaves that menu undetermined.
                      ForceCase{"TechZero", 0, 2, "0>-1", GijuBoth, GijuBoth, "1>0", "店販単価Ｂ",
                                "店販単価Ａ"},
                      ForceCase{"TechThree_RetailNull", 3, std::nullopt, "0>-1", GijuBoth, GijuBoth,
                                "0>-1", TenBoth, TenBoth}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ForcedExecution, CancelBringsBackTheRefusal) {
    AppOnSample a(bothSlotsPriced(1, 2));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    State expected = stateOf(a);
    a.click({SSCommand7});
    a.click({SSCommand1, 0});
    a.click({SSCommand3, 1});
    a.click({SSCommand6, 1});
    ASSERT_TRUE(a.model().SSCommand4.enabled);
    a.model().Label4.caption = QString::fromUtf8(WarningText);

    a.click({SSCommand8});
    // As at start-up, except that cancel shows both in-use labels and a
    // refused menu keeps the source slot it had (forcing made retail's B).
    expected["Label14"] = "(使用中単価:Ａ)";
    expected["Label16"] = "(使用中単価:Ｂ)";
    expected["TenSlots"] = "1>-1";
    EXPECT_EQ(stateOf(a), expected);
    EXPECT_FALSE(a.button({SSCommand1, 0})->isEnabled());
    EXPECT_TRUE(a.view().timerActive());
    EXPECT_EQ(a.g().HasuMode, 1); // rounding stays chosen
}

TEST(ForcedExecution, RunOverwritesTheSlotThatHeldPricesAndBacksItUp) {
    AppOnSample a(bothSlotsPriced(1, 2));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const auto gijuBefore = readPriceRows(a.site.mstori(), PriceTable::Giju);
    const auto tenBefore = readPriceRows(a.site.mstori(), PriceTable::Ten);

    a.click({SSCommand3, 2}); // round half up, chosen before forcing
    a.click({SSCommand6, 1}); // ten yen
    a.click({SSCommand7});    // technical A -> B, retail B -> A
    EXPECT_FALSE(a.model().SSCommand4.enabled);
    a.click({SSCommand1, 0}); // technical to 10 % inclusive
    a.click({SSCommand1, 3}); // retail to tax-exclusive
    a.click({SSCommand4});
    ASSERT_TRUE(a.boxes.texts().contains(QStringLiteral("終了しました")))
        << a.boxes.texts().join(u'|').toStdString();

    EXPECT_GT(expectConverted(gijuBefore, readPriceRows(a.site.mstori(), PriceTable::Giju),
                              {1, 2, 1, 0, 1, {1}}),
              0);
    EXPECT_GT(expectConverted(tenBefore, readPriceRows(a.site.mstori(), PriceTable::Ten),
                              {2, 2, 1, 1, 0, {1}}),
              0);
    // The backups hold the tables as they were before the run.
    EXPECT_EQ(readBackupRows(a.site.workFile("MTGIJU10%.CSV"), PriceTable::Giju), gijuBefore);
    EXPECT_EQ(readBackupRows(a.site.workFile("MTTENP10%.CSV"), PriceTable::Ten), tenBefore);
}

TEST(ForcedExecution, UndeterminedPartIsConvertedInPlace) {
    AppOnSample a(bothSlotsPriced(0, 1));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const auto gijuBefore = readPriceRows(a.site.mstori(), PriceTable::Giju);
    const auto tenBefore = readPriceRows(a.site.mstori(), PriceTable::Ten);

    a.click({SSCommand7});
    ASSERT_EQ(a.g().GijuDstSlot, -1);
    a.click({SSCommand1, 0});
    a.click({SSCommand3, 0});
    a.click({SSCommand6, 0});
    a.click({SSCommand4});
    ASSERT_TRUE(a.boxes.texts().contains(QStringLiteral("終了しました")));

    EXPECT_GT(expectConverted(gijuBefore, readPriceRows(a.site.mstori(), PriceTable::Giju),
                              {1, 0, 0, 0, -1, {1}}),
              0);
    EXPECT_EQ(readPriceRows(a.site.mstori(), PriceTable::Ten), tenBefore);
}

} // namespace
} // namespace tanka::test
