// The selectors, the destination toggle, Check_Job, the blink and Exit on the
// window model alone (no database is needed for them).

#include <QStringList>

#include "ui/window_fixture.h"

namespace tanka::test {
namespace {

// The window logic after a start-up refresh reset every choice.
struct BareForm {
    BareForm() : form(model, g, CN, FormServices{boxes, drive, clock}) {
        g.GijuMode = g.TenMode = g.HasuMode = g.HasuTani = -1;
        g.GijuDstSlot = g.TenDstSlot = -1;
        form.processEvents = [this] { ++eventRounds; };
        form.unload = [this] { ++unloads; };
    }

    // "b1:0" SSCommand1_Click(0), "b3:2" SSCommand3, "b6:1" SSCommand6,
    // "b2:0" the destination toggle; "c1:3", "c3:1", "c2:0" a user's click on
    // Check1(3), Check3(1), Check2(0).
    void run(const QString& action) {
        const QStringList parts = action.split(QLatin1Char(':'));
        const auto i = static_cast<std::int16_t>(parts[1].toInt());
        const QString what = parts[0];
        if (what == QLatin1String("b1"))
            form.SSCommand1_Click(i);
        else if (what == QLatin1String("b3"))
            form.SSCommand3_Click(i);
        else if (what == QLatin1String("b6"))
            form.SSCommand6_Click(i);
        else if (what == QLatin1String("b2"))
            form.SSCommand2_Click(i);
        else if (what == QLatin1String("c1"))
            form.userClickCheck(ControlId::Check1, i);
        else if (what == QLatin1String("c3"))
            form.userClickCheck(ControlId::Check3, i);
        else if (what == QLatin1String("c2"))
            form.userClickCheck(ControlId::Check2, i);
        else
            FAIL() << "unknown action " << action.toStdString();
        EXPECT_EQ(form.ClickFlg, 0) << "after " << action.toStdString();
    }

    ScriptedBoxes boxes;
    DriveMap drive;
    FixedClock clock{QDate(2019, 9, 30)};
    Globals g;
    std::unique_ptr<Connection> CN;
    WindowModel model;
    MainForm form;
    int eventRounds = 0;
    int unloads = 0;
};

// Selected (S), unselected after a click (U) or design colour (D) of each
// button of a group, and its check box value, written as e.g. "SU" / "10".
QString colourCode(const Control& c) {
    if (c.backColor == colors::SelectedButton)
        return QStringLiteral("S");
    if (c.backColor == colors::UnselectedButton)
        return QStringLiteral("U");
    return c.backColor == rgb(192, 255, 192) ? QStringLiteral("D") : QStringLiteral("?");
}

template <std::size_t N> QString colours(const std::array<Control, N>& buttons) {
    QString s;
    for (const Control& c : buttons)
        s += colourCode(c);
    return s;
}

template <std::size_t N> QString checks(const std::array<Control, N>& boxes) {
    QString s;
    for (const Control& c : boxes)
        s += QString::number(c.value);
    return s;
}

struct SelectorCase {
    const char* name;
    const char* actions; // blank-separated
    std::int16_t gijuMode, tenMode, hasuMode, hasuTani;
    bool execute;
    const char* kindColours; // SSCommand1(0..3)
    const char* kindChecks;  // Check1(0..3)
    const char* methodColours;
    const char* methodChecks;
    int checkJobs; // Check_Job runs: one per selector click, however many boxes changed
};

const SelectorCase SelectorCases[] = {
    {"KindClickedTwiceIsDeselected", "b1:0 b1:0", -1, -1, -1, -1, false, "UUDD", "0000", "DDD",
     "000", 2},
    {"SecondKindOfAMenuReplacesTheFirst", "b1:2 b1:3", -1, 2, -1, -1, false, "DDUS", "0001", "DDD",
     "000", 2},
    {"MenusAreIndependent", "b1:1 b1:2", 2, 1, -1, -1, false, "USSU", "0110", "DDD", "000", 2},
    {"RoundingAloneLeavesExecuteOff", "b3:0 b6:0", -1, -1, 0, 0, false, "DDDD", "0000", "SUU",
     "100", 2},
    {"AnyKindWithRoundingEnablesExecute", "b3:0 b6:0 b1:1", 2, -1, 0, 0, true, "USDD", "0100",
     "SUU", "100", 3},
    {"DeselectingTheKindDisablesExecuteAgain", "b3:0 b6:0 b1:1 b1:1", -1, -1, 0, 0, false, "UUDD",
     "0000", "SUU", "100", 4},
    {"KindAndMethodWithoutUnit", "b1:0 b3:2", 1, -1, 2, -1, false, "SUDD", "1000", "UUS", "001", 2},
    {"UnitCompletesTheChoice", "b1:0 b3:2 b6:2", 1, -1, 2, 2, true, "SUDD", "1000", "UUS", "001",
     3},
    {"RoundingMethodMovesWithoutFeedback", "b3:0 b3:1", -1, -1, 1, -1, false, "DDDD", "0000", "USU",
     "010", 2},
    {"SelectedRoundingChosenAgainStays", "b3:1 b3:1", -1, -1, 1, -1, false, "DDDD", "0000", "USU",
     "010", 2},
    {"CheckBoxForwardsToItsButton", "c3:1", -1, -1, 1, -1, false, "DDDD", "0000", "USU", "010", 1},
    {"CheckedRoundingBoxClickedAgainStaysChecked", "c3:1 c3:1", -1, -1, 1, -1, false, "DDDD",
     "0000", "USU", "010", 2},
    {"CheckedKindBoxClickedAgainDeselects", "c1:0 c1:0", -1, -1, -1, -1, false, "UUDD", "0000",
     "DDD", "000", 2},
    {"UnitCheckBoxForwards", "c2:2 c1:3 c3:0", -1, 2, 0, 2, true, "DDUS", "0001", "SUU", "100", 3},
    {"KindIndexOutsideTheGroupOnlyChecks", "b1:4 b1:-1", -1, -1, -1, -1, false, "DDDD", "0000",
     "DDD", "000", 2},
};

void PrintTo(const SelectorCase& c, std::ostream* os) {
    *os << c.name;
}

class SelectorTest : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(SelectorTest, ChoosesAndEnablesExecute) {
    const SelectorCase& c = GetParam();
    BareForm f;
    for (const QString& a : QString::fromUtf8(c.actions).split(QLatin1Char(' ')))
        f.run(a);
    EXPECT_EQ(f.g.GijuMode, c.gijuMode);
    EXPECT_EQ(f.g.TenMode, c.tenMode);
    EXPECT_EQ(f.g.HasuMode, c.hasuMode);
    EXPECT_EQ(f.g.HasuTani, c.hasuTani);
    EXPECT_EQ(f.model.SSCommand4.enabled, c.execute);
    EXPECT_EQ(colours(f.model.SSCommand1), QString::fromUtf8(c.kindColours));
    EXPECT_EQ(checks(f.model.Check1), QString::fromUtf8(c.kindChecks));
    EXPECT_EQ(colours(f.model.SSCommand3), QString::fromUtf8(c.methodColours));
    EXPECT_EQ(checks(f.model.Check3), QString::fromUtf8(c.methodChecks));
    if (c.hasuTani >= 0) {
        EXPECT_EQ(f.model.Check2[static_cast<std::size_t>(c.hasuTani)].value, 1);
        EXPECT_EQ(f.model.SSCommand6[static_cast<std::size_t>(c.hasuTani)].backColor,
                  colors::SelectedButton);
    }
    EXPECT_EQ(f.eventRounds, c.checkJobs);
}

INSTANTIATE_TEST_SUITE_P(Sequences, SelectorTest, ::testing::ValuesIn(SelectorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A box set from code raises its click event; while a selector handler runs
// that event must not reach the handlers again.
TEST(ClickFlg, BoxEventsRaisedByAHandlerAreIgnored) {
    BareForm f;
    f.run(QStringLiteral("b3:0"));
    f.form.ClickFlg = 9;
    f.form.Check3_Click(2);
    EXPECT_EQ(f.g.HasuMode, 0);
    f.form.ClickFlg = 0;
    f.form.Check3_Click(2);
    EXPECT_EQ(f.g.HasuMode, 2);
}

struct ToggleCase {
    std::int16_t index;
    std::int16_t before;
    std::int16_t after;
    const char* caption;
};

TEST(DestinationToggle, FlipsTheSlotAndCaptionOnly) {
    const ToggleCase cases[] = {
        {0, -1, 1, "技術単価Ｂ"}, {0, 0, 1, "技術単価Ｂ"}, {0, 1, 0, "技術単価Ａ"},
        {1, -1, 1, "店販単価Ｂ"}, {1, 0, 1, "店販単価Ｂ"}, {1, 1, 0, "店販単価Ａ"},
    };
    for (const ToggleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index << " from " << c.before);
        BareForm f;
        std::int16_t& dst = c.index == 0 ? f.g.GijuDstSlot : f.g.TenDstSlot;
        dst = c.before;
        const Rgb colour = f.model.SSCommand2[static_cast<std::size_t>(c.index)].backColor;
        f.run(QStringLiteral("b2:%1").arg(c.index));
        EXPECT_EQ(dst, c.after);
        EXPECT_EQ(f.model.SSCommand2[static_cast<std::size_t>(c.index)].caption,
                  QString::fromUtf8(c.caption));
        EXPECT_EQ(f.model.SSCommand2[static_cast<std::size_t>(c.index)].backColor, colour);
        EXPECT_EQ(f.eventRounds, 0) << "the toggle does not run Check_Job";
    }
    BareForm f;
    f.run(QStringLiteral("b2:2"));
    EXPECT_EQ(f.g.GijuDstSlot, -1);
    EXPECT_EQ(f.g.TenDstSlot, -1);
}

TEST(CheckJob, EnablesExecuteExactlyWhenTheChoicesAreComplete) {
    struct Row {
        std::int16_t giju, ten, hasuMode, hasuTani;
        bool enabled;
    };
    const Row rows[] = {
        {-1, -1, 0, 0, false}, {1, -1, 0, 0, true}, {-1, 2, 2, 2, true},     {1, 1, -1, 0, false},
        {2, 2, 0, -1, false},  {1, 2, 1, 1, true},  {-1, -1, -1, -1, false},
    };
    for (const Row& r : rows) {
        BareForm f;
        f.model.SSCommand4.enabled = !r.enabled;
        f.g.GijuMode = r.giju;
        f.g.TenMode = r.ten;
        f.g.HasuMode = r.hasuMode;
        f.g.HasuTani = r.hasuTani;
        f.form.Check_Job();
        EXPECT_EQ(f.model.SSCommand4.enabled, r.enabled)
            << r.giju << " " << r.ten << " " << r.hasuMode << " " << r.hasuTani;
        EXPECT_EQ(f.eventRounds, 1);
    }
}

TEST(WarningBlink, AlternatesTheWarningLine) {
    BareForm f;
    f.model.Label4.caption.clear();
    const QString warning = QString::fromUtf8(WarningText);
    const QString expected[] = {warning, QString(), warning, QString()};
    for (const QString& e : expected) {
        f.form.Timer1_Timer();
        EXPECT_EQ(f.model.Label4.caption, e);
    }
    EXPECT_TRUE(warning.startsWith(QChar(0x3000)));
    EXPECT_EQ(f.eventRounds, 4);
}

TEST(Exit, UnloadsTheWindow) {
    BareForm f;
    f.form.SSCommand5_Click();
    EXPECT_EQ(f.unloads, 1);
}

TEST(OutsideHandlers, ClicksReachTheHandlersSetFromOutside) {
    BareForm f;
    int calls[3] = {0, 0, 0};
    f.form.onCommand2Click = [&] { ++calls[0]; };
    f.form.onSSCommand7Click = [&] { ++calls[1]; };
    f.form.onSSCommand8Click = [&] { ++calls[2]; };
    f.form.Command2_Click();
    f.form.SSCommand7_Click();
    f.form.SSCommand7_Click();
    f.form.SSCommand8_Click();
    EXPECT_EQ(calls[0], 1);
    EXPECT_EQ(calls[1], 2);
    EXPECT_EQ(calls[2], 1);
}

} // namespace
} // namespace tanka::test
