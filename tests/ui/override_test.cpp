// The forced-execution panel on a store whose menus carry prices in both
// slots: "強制実行" takes the slots from the switch flags, "取消" brings the
// refusal back, and a run after forced execution overwrites the slot that
// already held prices, with the old prices kept in the backup.

#include <optional>

#include <QFile>
#include <QStringDecoder>

#include "store_override_fixture.h"
#include "ui/main_window/main_window_view.h"

namespace tanka::test {
namespace {

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

// What the panel's buttons touch, for comparing one state with another.
struct PanelState {
    std::int16_t GijuSrcSlot, GijuDstSlot, TenSrcSlot, TenDstSlot, GijuMode, TenMode;
    QString SSPanel6, SSPanel8, SSCommand2_0, SSCommand2_1, Label4, Label14, Label16;
    std::array<bool, 4> kindEnabled, checkEnabled;
    std::array<bool, 2> toggleEnabled;
    std::array<Rgb, 2> toggleColor;
    bool panel, label14, label16, timer, execute;

    friend bool operator==(const PanelState&, const PanelState&) = default;
};

PanelState stateOf(AppOnSample& site) {
    const Globals& g = site.g();
    const WindowModel& m = site.model();
    PanelState s{g.GijuSrcSlot,
                 g.GijuDstSlot,
                 g.TenSrcSlot,
                 g.TenDstSlot,
                 g.GijuMode,
                 g.TenMode,
                 m.SSPanel6.caption,
                 m.SSPanel8.caption,
                 m.SSCommand2[0].caption,
                 m.SSCommand2[1].caption,
                 m.Label4.caption,
                 m.Label14.caption,
                 m.Label16.caption,
                 {},
                 {},
                 {},
                 {},
                 m.SSPanel1.visible,
                 m.Label14.visible,
                 m.Label16.visible,
                 m.Timer1.enabled,
                 m.SSCommand4.enabled};
    for (std::size_t i = 0; i < 4; ++i) {
        s.kindEnabled[i] = m.SSCommand1[i].enabled;
        s.checkEnabled[i] = m.Check1[i].enabled;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        s.toggleEnabled[i] = m.SSCommand2[i].enabled;
        s.toggleColor[i] = m.SSCommand2[i].backColor;
    }
    return s;
}

void click(AppOnSample& site, ControlId id, int index = 0) {
    QAbstractButton* b = site.button({id, index});
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->isEnabled());
    b->click();
}

struct ForceCase {
    const char* name;
    std::optional<std::int16_t> t, r; // switch flags; nullopt is Null
    std::int16_t gijuSrc, gijuDst;
    const char* panel6;
    const char* toggle0;
    std::int16_t tenSrc, tenDst;
    const char* panel8;
    const char* toggle1;
};

void PrintTo(const ForceCase& c, std::ostream* os) {
    *os << c.name;
}

class ForcedExecutionTest : public ::testing::TestWithParam<ForceCase> {};

TEST_P(ForcedExecutionTest, SwitchFlagsDecideTheSlots) {
    const ForceCase& c = GetParam();
    AppOnSample site(bothSlotsPriced(c.t, c.r));
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    ASSERT_TRUE(site.model().SSPanel1.visible);
    const PanelState refused = stateOf(site);

    click(site, ControlId::SSCommand7);
    const PanelState forced = stateOf(site);
    EXPECT_EQ(forced.GijuSrcSlot, c.gijuSrc);
    EXPECT_EQ(forced.GijuDstSlot, c.gijuDst);
    EXPECT_EQ(forced.SSPanel6, QString::fromUtf8(c.panel6));
    EXPECT_EQ(forced.SSCommand2_0, QString::fromUtf8(c.toggle0));
    EXPECT_EQ(forced.TenSrcSlot, c.tenSrc);
    EXPECT_EQ(forced.TenDstSlot, c.tenDst);
    EXPECT_EQ(forced.SSPanel8, QString::fromUtf8(c.panel8));
    EXPECT_EQ(forced.SSCommand2_1, QString::fromUtf8(c.toggle1));

    // Every selector unlocked, the in-use labels hidden ...
    EXPECT_EQ(forced.kindEnabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(forced.checkEnabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(forced.toggleEnabled, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(forced.toggleColor, (std::array<Rgb, 2>{rgb(156, 207, 255), rgb(156, 207, 255)}));
    EXPECT_FALSE(forced.label14);
    EXPECT_FALSE(forced.label16);
    // ... and nothing else: panel, timer, Execute and the choices as they were.
    EXPECT_EQ(forced.panel, refused.panel);
    EXPECT_EQ(forced.timer, refused.timer);
    EXPECT_EQ(forced.execute, refused.execute);
    EXPECT_EQ(forced.GijuMode, refused.GijuMode);
    EXPECT_EQ(forced.TenMode, refused.TenMode);
    EXPECT_EQ(forced.Label4, refused.Label4);
    EXPECT_TRUE(site.program().view().timerActive());

    // The view shows the model.
    EXPECT_TRUE(site.button({ControlId::SSCommand1, 0})->isEnabled());
    EXPECT_EQ(site.button({ControlId::SSCommand2, 0})->text(), QString::fromUtf8(c.toggle0));

    // Each press reads the flags afresh and toggles once: the same state again.
    click(site, ControlId::SSCommand7);
    EXPECT_EQ(stateOf(site), forced);
    EXPECT_TRUE(site.boxes.shown.empty());
}

constexpr const char* GijuBoth = "技術単価A/B";
constexpr const char* TenBoth = "店販単価A/B";

INSTANTIATE_TEST_SUITE_P(
    Flags, ForcedExecutionTest,
    ::testing::Values(
        ForceCase{"TechA_RetailB", 1, 2, 0, 1, "技術単価Ａ", "技術単価Ｂ", 1, 0, "店販単価Ｂ",
                  "店販単価Ａ"},
        ForceCase{"TechB_RetailA", 2, 1, 1, 0, "技術単価Ｂ", "技術単価Ａ", 0, 1, "店販単価Ａ",
                  "店販単価Ｂ"},
        ForceCase{"BothA", 1, 1, 0, 1, "技術単価Ａ", "技術単価Ｂ", 0, 1, "店販単価Ａ",
                  "店販単価Ｂ"},
        // A flag other than 1 or 2 leaves that menu undetermined.
        ForceCase{"TechZero", 0, 2, 0, -1, GijuBoth, GijuBoth, 1, 0, "店販単価Ｂ", "店販単価Ａ"},
        ForceCase{"TechThree_RetailZero", 3, 0, 0, -1, GijuBoth, GijuBoth, 0, -1, TenBoth, TenBoth},
        ForceCase{"NullFlags", std::nullopt, std::nullopt, 0, -1, GijuBoth, GijuBoth, 0, -1,
                  TenBoth, TenBoth}),
    [](const ::testing::TestParamInfo<ForceCase>& info) { return std::string(info.param.name); });

TEST(ForcedExecution, ChoosingAKindAfterwardsEnablesExecute) {
    AppOnSample site(bothSlotsPriced(1, 1));
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    click(site, ControlId::SSCommand3, 0);
    click(site, ControlId::SSCommand6, 0);
    click(site, ControlId::SSCommand7);
    EXPECT_FALSE(site.model().SSCommand4.enabled);
    EXPECT_EQ(site.g().HasuMode, 0);
    EXPECT_EQ(site.g().HasuTani, 0);

    click(site, ControlId::SSCommand1, 2);
    EXPECT_TRUE(site.model().SSCommand4.enabled);
    EXPECT_TRUE(site.program().view().timerActive()); // still blinking until a refresh
}

TEST(ForcedExecution, CancelBringsBackTheRefusal) {
    AppOnSample site(bothSlotsPriced(1, 2));
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    PanelState refused = stateOf(site);

    click(site, ControlId::SSCommand7);
    click(site, ControlId::SSCommand1, 0);
    click(site, ControlId::SSCommand3, 1);
    click(site, ControlId::SSCommand6, 1);
    ASSERT_TRUE(site.model().SSCommand4.enabled);
    site.model().Label4.caption = QString::fromUtf8(WarningText);

    click(site, ControlId::SSCommand8);
    // As at start-up, except that cancel shows both in-use labels.
    refused.label14 = true;
    refused.label16 = true;
    // A refused menu keeps the source slot it had; forcing made retail's B.
    refused.TenSrcSlot = 1;
    EXPECT_EQ(stateOf(site), refused);
    EXPECT_EQ(site.model().Label14.caption, QStringLiteral("(使用中単価:Ａ)"));
    EXPECT_EQ(site.model().Label16.caption, QStringLiteral("(使用中単価:Ｂ)"));
    EXPECT_FALSE(site.button({ControlId::SSCommand1, 0})->isEnabled());
    EXPECT_TRUE(site.program().view().timerActive());
    EXPECT_EQ(site.g().HasuMode, 1); // rounding stays chosen
}

// Backup lines by row key (MiseID/GijutuID/ShumokuID or MiseID/TenpanFlg/TenpanID),
// each as column name -> text.
std::map<QString, std::map<QString, QString>> backupRows(const QString& file, bool giju) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    QStringDecoder decoder("CP932");
    const QString text = decoder.decode(f.readAll());
    QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    std::map<QString, std::map<QString, QString>> rows;
    if (lines.isEmpty())
        return rows;
    const QStringList header = lines.takeFirst().split(u'\t');
    const QStringList keyColumns = giju ? QStringList{"MiseID", "GijutuID", "ShumokuID"}
                                        : QStringList{"MiseID", "TenpanFlg", "TenpanID"};
    for (const QString& line : lines) {
        const QStringList values = line.split(u'\t');
        std::map<QString, QString> row;
        for (qsizetype i = 0; i < header.size() && i < values.size(); ++i)
            row[header[i].toLower()] = values[i];
        QStringList key;
        for (const QString& k : keyColumns)
            key << row[k.toLower()];
        rows[key.join(u'/')] = row;
    }
    return rows;
}

// A backup value against a value read back from the table.
bool sameValue(const QString& backup, const QString& table) {
    if (backup == QLatin1String("#NULL#") || table == QLatin1String("<null>"))
        return backup == QLatin1String("#NULL#") && table == QLatin1String("<null>");
    return backup.toDouble() == table.toDouble();
}

TEST(ForcedExecution, RunOverwritesTheSlotThatHeldPricesAndBacksItUp) {
    AppOnSample site(bothSlotsPriced(1, 2));
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    const std::vector<PriceRow> gijuBefore = priceRows(site, true);
    const std::vector<PriceRow> tenBefore = priceRows(site, false);

    click(site, ControlId::SSCommand7);    // technical A -> B, retail B -> A
    click(site, ControlId::SSCommand1, 0); // technical to 10 % inclusive
    click(site, ControlId::SSCommand1, 3); // retail to tax-exclusive
    click(site, ControlId::SSCommand3, 2); // round half up
    click(site, ControlId::SSCommand6, 1); // ten yen
    click(site, ControlId::SSCommand4);
    ASSERT_TRUE(site.boxes.texts().contains(QStringLiteral("終了しました")))
        << site.boxes.texts().join(u'|').toStdString();

    const std::vector<PriceRow> gijuAfter = priceRows(site, true);
    const std::vector<PriceRow> tenAfter = priceRows(site, false);
    ASSERT_EQ(gijuAfter.size(), gijuBefore.size());
    ASSERT_EQ(tenAfter.size(), tenBefore.size());
    const auto gijuBackup = backupRows(site.install.workDir + "/MTGIJU10%.CSV", true);
    const auto tenBackup = backupRows(site.install.workDir + "/MTTENP10%.CSV", false);
    ASSERT_EQ(gijuBackup.size(), gijuBefore.size());
    ASSERT_EQ(tenBackup.size(), tenBefore.size());

    int overwritten = 0;
    for (std::size_t i = 0; i < gijuBefore.size(); ++i) {
        const PriceRow& before = gijuBefore[i];
        const PriceRow& after = gijuAfter[i];
        const auto& saved = gijuBackup.at(before.key);
        for (int p = 0; p < 5; ++p) {
            const QString column = QStringLiteral("tankab%1").arg(p + 1);
            EXPECT_TRUE(sameValue(saved.at(column), before.b[p])) << before.key.toStdString();
        }
        EXPECT_EQ(after.a, before.a);
        const bool live = before.mise == 1 && before.kosinFlg != QLatin1String("9");
        if (!live) {
            EXPECT_EQ(after.b, before.b) << before.key.toStdString();
            continue;
        }
        for (int p = 0; p < 5; ++p) {
            EXPECT_EQ(priceOf(after.b[p]), converted(before.a[p], before.taxFlg, 1, 2, 1))
                << before.key.toStdString() << " B" << p + 1;
            overwritten += priceOf(before.b[p]) != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(overwritten, 0); // slot B held prices before the run

    for (std::size_t i = 0; i < tenBefore.size(); ++i) {
        const PriceRow& before = tenBefore[i];
        const PriceRow& after = tenAfter[i];
        EXPECT_TRUE(
            sameValue(tenBackup.at(before.key).at(QStringLiteral("uritankaa")), before.a[0]))
            << before.key.toStdString();
        EXPECT_EQ(after.b, before.b);
        const bool live = before.mise == 1 && before.kosinFlg != QLatin1String("9");
        if (live)
            EXPECT_EQ(priceOf(after.a[0]), converted(before.b[0], before.taxFlg, 2, 2, 1))
                << before.key.toStdString();
        else
            EXPECT_EQ(after.a, before.a) << before.key.toStdString();
    }
}

TEST(ForcedExecution, UndeterminedPartIsConvertedInPlace) {
    AppOnSample site(bothSlotsPriced(0, 1));
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    const std::vector<PriceRow> gijuBefore = priceRows(site, true);
    const std::vector<PriceRow> tenBefore = priceRows(site, false);

    click(site, ControlId::SSCommand7);
    ASSERT_EQ(site.g().GijuDstSlot, -1);
    click(site, ControlId::SSCommand1, 0);
    click(site, ControlId::SSCommand3, 0);
    click(site, ControlId::SSCommand6, 0);
    click(site, ControlId::SSCommand4);
    ASSERT_TRUE(site.boxes.texts().contains(QStringLiteral("終了しました")));

    const std::vector<PriceRow> gijuAfter = priceRows(site, true);
    for (std::size_t i = 0; i < gijuBefore.size(); ++i) {
        const PriceRow& before = gijuBefore[i];
        const PriceRow& after = gijuAfter[i];
        if (before.mise != 1 || before.kosinFlg == QLatin1String("9")) {
            EXPECT_EQ(after.a, before.a);
            EXPECT_EQ(after.b, before.b);
            continue;
        }
        for (int p = 0; p < 5; ++p) {
            EXPECT_EQ(priceOf(after.a[p]), converted(before.a[p], before.taxFlg, 1, 0, 0));
            EXPECT_EQ(priceOf(after.b[p]), converted(before.b[p], before.taxFlg, 1, 0, 0));
        }
    }
    const std::vector<PriceRow> tenAfter = priceRows(site, false);
    for (std::size_t i = 0; i < tenBefore.size(); ++i) {
        EXPECT_EQ(tenAfter[i].a, tenBefore[i].a);
        EXPECT_EQ(tenAfter[i].b, tenBefore[i].b);
    }
}

} // namespace
} // namespace tanka::test
