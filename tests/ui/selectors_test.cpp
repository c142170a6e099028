// The selectors and the destination toggle of the main window logic, after
// the start-up refresh of a sample whose menus use slot A.

#include <map>

#include <QStringList>

#include "support/gui_app.h"

namespace tanka::test {
namespace {

struct LoadedApp : AppOnSample {
    LoadedApp() { EXPECT_EQ(app->load(), LoadResult::Loaded); }

    // "b1:0" onConversionKindClicked(0), "b3:2" roundingMethodButtons, "b6:1" roundingUnitButtons,
    // "b2:0" the destination toggle; "c1:3", "c3:1", "c2:0" a user's click on
    // conversionKindChecks(3), roundingMethodChecks(1), roundingUnitChecks(0).
    void run(const QString& action) {
        using Click = void (MainForm::*)(std::int16_t);
        static const std::map<QString, Click> buttons{{"b1", &MainForm::onConversionKindClicked},
                                                      {"b3", &MainForm::onRoundingMethodClicked},
                                                      {"b6", &MainForm::onRoundingUnitClicked},
                                                      {"b2", &MainForm::onDestinationClicked}};
        static const std::map<QString, ControlId> boxes{{"c1", ControlId::conversionKindChecks},
                                                        {"c3", ControlId::roundingMethodChecks},
                                                        {"c2", ControlId::roundingUnitChecks}};
        const auto i = static_cast<std::int16_t>(action.mid(3).toInt());
        if (const auto b = buttons.find(action.left(2)); b != buttons.end())
            (form().*b->second)(i);
        else
            form().userClickCheck(boxes.at(action.left(2)), i);
        EXPECT_FALSE(form().selectorHandlerRunning) << "after " << action.toStdString();
    }
};

// The values of a group's check boxes, as "0100".
template <std::size_t N> QString checks(const std::array<Control, N>& boxes) {
    QString s;
    for (const Control& c : boxes)
        s += QString::number(c.value);
    return s;
}

struct SelectorCase {
    const char* name;
    const char* actions; // blank-separated
    std::int16_t technicalKind, retailKind, roundingMethod, roundingUnit;
    bool execute;
    const char *kinds, *methods, *units; // checks() of each group
};

// (A kind deselected, and Execute off again, are among the view tests.)
const SelectorCase SelectorCases[] = {
    {"SecondKindOfAMenuReplacesTheFirst", "b1:2 b1:3", -1, 2, -1, -1, false, "0001", "000", "000"},
    {"MenusAreIndependent", "b1:1 b1:2", 2, 1, -1, -1, false, "0110", "000", "000"},
    {"UnitCompletesTheChoice", "b1:0 b3:2 b6:2", 1, -1, 2, 2, true, "1000", "001", "001"},
    {"RoundingMovesAndStaysWhenChosenAgain", "b3:0 b3:1 b3:1", -1, -1, 1, -1, false, "0000", "010",
     "000"},
    {"CheckBoxesForwardToTheirButtons", "c2:2 c1:3 c3:0", -1, 2, 0, 2, true, "0001", "100", "001"},
};

class SelectorTest : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(SelectorTest, ChoosesAndEnablesExecuteWhenComplete) {
    const SelectorCase& c = GetParam();
    LoadedApp a;
    for (const QString& action : QString::fromUtf8(c.actions).split(u' '))
        a.run(action);
    const WindowModel& m = a.model();
    // The codes of the choices: the index of the button chosen, -1 for none.
    EXPECT_EQ(int(a.g().technicalKind), c.technicalKind);
    EXPECT_EQ(int(a.g().retailKind), c.retailKind);
    EXPECT_EQ(int(a.g().roundingMethod), c.roundingMethod);
    EXPECT_EQ(int(a.g().roundingUnit), c.roundingUnit);
    EXPECT_EQ(m.executeButton.enabled, c.execute);
    EXPECT_EQ(checks(m.conversionKindChecks), QString::fromUtf8(c.kinds));
    EXPECT_EQ(checks(m.roundingMethodChecks), QString::fromUtf8(c.methods));
    EXPECT_EQ(checks(m.roundingUnitChecks), QString::fromUtf8(c.units));
}

INSTANTIATE_TEST_SUITE_P(Sequences, SelectorTest, ::testing::ValuesIn(SelectorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Both menus start with slot A in use, so B as the destination.
TEST(DestinationToggle, FlipsTheSlotAndCaption) {
    LoadedApp a;
    const struct {
        const char* action;
        Slot technical, retail;
        const char *caption0, *caption1;
    } steps[] = {{"b2:1", Slot::B, Slot::A, "技術単価Ｂ", "店販単価Ａ"},
                 {"b2:0", Slot::A, Slot::A, "技術単価Ａ", "店販単価Ａ"},
                 {"b2:0", Slot::B, Slot::A, "技術単価Ｂ", "店販単価Ａ"}};
    for (const auto& step : steps) {
        a.run(QString::fromLatin1(step.action));
        EXPECT_EQ(a.g().technicalDestination, step.technical) << step.action;
        EXPECT_EQ(a.g().retailDestination, step.retail) << step.action;
        EXPECT_EQ(a.model().destinationButtons[0].caption, QString::fromUtf8(step.caption0));
        EXPECT_EQ(a.model().destinationButtons[1].caption, QString::fromUtf8(step.caption1));
    }
    a.g().retailDestination = Slot::None; // undetermined: the first press points at B
    a.run(QStringLiteral("b2:1"));
    EXPECT_EQ(a.g().retailDestination, Slot::B);
}

} // namespace
} // namespace tanka::test
