// The forced-execution panel on a store whose menus carry prices in both
// slots: "強制実行" takes the slots from the switch flags, "取消" brings the
// refusal back, and a run after forced execution goes through. (What a run
// writes over slots that already hold prices, or in place, is compared on
// whole tables by the preview tests.)

#include <optional>

#include "support/gui_app.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

using enum ControlId;

// The slots of both menus, as "src>dst src>dst".
QString slotText(const Globals& g) {
    return QStringLiteral("%1>%2 %3>%4")
        .arg(int(g.technicalSource))
        .arg(int(g.technicalDestination))
        .arg(int(g.retailSource))
        .arg(int(g.retailDestination));
}

struct ForceCase {
    const char* name;
    std::optional<std::int16_t> t, r; // switch flags; nullopt is Null
    const char* forced;               // after forcing
    const char* cancelled;            // after 取消: the sources kept, refused
    const char *technical, *retail;   // destination captions after forcing
};

class ForcedExecutionTest : public ::testing::TestWithParam<ForceCase> {};

// Forcing, then a run on the forced slots.
TEST_P(ForcedExecutionTest, SwitchFlagsDecideTheSlotsOfTheRun) {
    const ForceCase& c = GetParam();
    // Two stores, both menus priced in both slots.
    sample::Options o = withSlots(storeOptions(2), sample::Slots::Both, sample::Slots::Both);
    o.technicalSwitchFlag = c.t;
    o.retailSwitchFlag = c.r;
    AppOnSample a(o);
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    ASSERT_TRUE(a.model().forcePanel.visible);
    const auto technicalBefore = readPriceRows(a.site.mstori(), PriceTable::Technical);
    a.click({roundingMethodButtons, 2}); // round half up, chosen before forcing
    a.click({roundingUnitButtons, 1});   // retail yen

    // Each press reads the flags afresh and toggles once: the same state again.
    for (int press = 0; press < 2; ++press) {
        a.click({forceButton});
        EXPECT_EQ(slotText(a.g()), QString::fromLatin1(c.forced));
        EXPECT_EQ(a.button({destinationButtons, 0})->text(), QString::fromUtf8(c.technical));
        EXPECT_EQ(a.button({destinationButtons, 1})->text(), QString::fromUtf8(c.retail));
        EXPECT_FALSE(a.model().technicalInUseLabel.visible);
        EXPECT_TRUE(a.view().timerActive());
    }
    EXPECT_TRUE(a.boxes.shown.empty());

    // 取消 brings the refusal back, both in-use labels shown, the rounding
    // still chosen; forcing again allows the run.
    a.click({cancelForceButton});
    EXPECT_EQ(slotText(a.g()), QString::fromLatin1(c.cancelled));
    EXPECT_EQ(a.button({destinationButtons, 0})->text(), QStringLiteral("技術単価A/B"));
    EXPECT_FALSE(a.button({conversionKindButtons, 0})->isEnabled());
    EXPECT_TRUE(a.model().forcePanel.visible);
    EXPECT_TRUE(a.model().technicalInUseLabel.visible && a.model().retailInUseLabel.visible);
    EXPECT_EQ(a.g().roundingMethod, RoundingMethod::HalfUp);
    a.click({forceButton});
    a.click({conversionKindButtons, 0}); // technical to 10 % inclusive
    a.click({conversionKindButtons, 3}); // retail to tax-exclusive
    a.click({executeButton});
    ASSERT_TRUE(a.boxes.texts().contains(QStringLiteral("終了しました")))
        << a.boxes.texts().join(u'|').toStdString();
    EXPECT_NE(readPriceRows(a.site.mstori(), PriceTable::Technical), technicalBefore);
}

// An undetermined menu shows "A/B" on its destination.
INSTANTIATE_TEST_SUITE_P(
    Flags, ForcedExecutionTest,
    ::testing::Values(ForceCase{"TechA_RetailB", 1, 2, "0>1 1>0", "0>-1 1>-1", "技術単価Ｂ",
                                "店販単価Ａ"},
                      // A flag other than 1 or 2, or Null: that menu undetermined.
                      ForceCase{"TechThree_RetailNull", 3, std::nullopt, "0>-1 0>-1", "0>-1 0>-1",
                                "技術単価A/B", "店販単価A/B"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
