// The selectors and the destination toggle, clicked on the window after the
// start-up refresh of a sample whose menus use slot A; the choices read back
// from the window's check boxes.

#include <QStringList>

#include "support/gui_app.h"

namespace tanka::test {
namespace {

using enum ControlId;

// The check boxes of a group as the window shows them, as "0100".
QString checks(AppOnSample& a, ControlId group, int count) {
    QString s;
    for (int i = 0; i < count; ++i)
        s += a.button({group, i})->isChecked() ? u'1' : u'0';
    return s;
}

struct SelectorCase {
    const char* name;
    std::vector<ControlRef> clicks;
    std::int16_t technicalKind, retailKind, roundingMethod, roundingUnit; // -1: none
    bool execute;
    const char *kinds, *methods, *units; // checks() of each group
};

// A click on a check box is forwarded to its button; on a checked box it
// keeps a rounding chosen and deselects a kind.
// clang-format off
const SelectorCase SelectorCases[] = {
    {"SecondKindOfAMenuReplacesTheFirst", {{conversionKindButtons, 2}, {conversionKindButtons, 3}},
     -1, 2, -1, -1, false, "0001", "000", "000"},
    {"RoundingMovesAndStaysWhenChosenAgain", {{roundingMethodButtons, 0}, {roundingMethodButtons, 1},
                                              {roundingMethodButtons, 1}, {roundingMethodChecks, 1}},
     -1, -1, 1, -1, false, "0000", "010", "000"},
    {"CheckBoxesForwardToTheirButtons", {{roundingUnitChecks, 2}, {conversionKindChecks, 3},
                                         {roundingMethodChecks, 0}},
     -1, 2, 0, 2, true, "0001", "100", "001"},
    {"AChosenKindClickedAgainIsDeselected", {{conversionKindButtons, 0}, {roundingMethodButtons, 1},
                                             {roundingUnitButtons, 2}, {conversionKindChecks, 0}},
     -1, -1, 1, 2, false, "0000", "010", "001"},
};
// clang-format on

class SelectorTest : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(SelectorTest, ChoosesAndEnablesExecuteWhenComplete) {
    const SelectorCase& c = GetParam();
    AppOnSample a;
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    for (const ControlRef ref : c.clicks)
        a.click(ref);
    EXPECT_EQ(int(a.g().technicalKind), c.technicalKind);
    EXPECT_EQ(int(a.g().retailKind), c.retailKind);
    EXPECT_EQ(int(a.g().roundingMethod), c.roundingMethod);
    EXPECT_EQ(int(a.g().roundingUnit), c.roundingUnit);
    EXPECT_EQ(a.widget({executeButton})->isEnabled(), c.execute);
    EXPECT_EQ(checks(a, conversionKindChecks, 4), QString::fromUtf8(c.kinds));
    EXPECT_EQ(checks(a, roundingMethodChecks, 3), QString::fromUtf8(c.methods));
    EXPECT_EQ(checks(a, roundingUnitChecks, 3), QString::fromUtf8(c.units));
}

INSTANTIATE_TEST_SUITE_P(Sequences, SelectorTest, ::testing::ValuesIn(SelectorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Both menus start with slot A in use, so B as the destination.
TEST(DestinationToggle, FlipsTheSlotAndCaption) {
    AppOnSample a;
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const struct {
        int button;
        Slot technical, retail;
        const char *caption0, *caption1;
    } steps[] = {{1, Slot::B, Slot::A, "技術単価Ｂ", "店販単価Ａ"},
                 {0, Slot::A, Slot::A, "技術単価Ａ", "店販単価Ａ"},
                 {0, Slot::B, Slot::A, "技術単価Ｂ", "店販単価Ａ"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.caption0);
        a.click({destinationButtons, step.button});
        EXPECT_EQ(a.g().technicalDestination, step.technical);
        EXPECT_EQ(a.g().retailDestination, step.retail);
        EXPECT_EQ(a.button({destinationButtons, 0})->text(), QString::fromUtf8(step.caption0));
        EXPECT_EQ(a.button({destinationButtons, 1})->text(), QString::fromUtf8(step.caption1));
    }
    a.g().retailDestination = Slot::None; // undetermined: the first press points at B
    a.click({destinationButtons, 1});
    EXPECT_EQ(a.g().retailDestination, Slot::B);
}

} // namespace
} // namespace tanka::test
