// A headquarters run from start to end on a sample with four stores: stores
// chosen through the real dialog widgets, the window refreshed under the new
// list, and Execute converting the rows of exactly those stores (or of every
// store when none is chosen).

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "store_override_fixture.h"
#include "ui/main_window/main_window_view.h"
#include "ui/store_dialog/store_dialog_view.h"

namespace tanka::test {
namespace {

struct HeadquartersCase {
    const char* name;
    std::vector<int> bothSet;   // stores whose technical rows also carry B prices
    QStringList typed;          // codes typed into the dialog, each with Enter
    std::vector<int> converted; // stores whose technical rows the run converts
};

void PrintTo(const HeadquartersCase& c, std::ostream* os) {
    *os << c.name;
}

sample::Options fourStores() {
    sample::Options o;
    o.headquarters = true;
    o.stores = 4;
    o.miseId = 1;
    o.gijuRows = 6;
    o.tenRows = 4;
    o.deletedEvery = 4;
    o.gijuSlots = sample::Slots::A;
    o.tenSlots = sample::Slots::None; // the switch flag decides retail after a store change
    o.gijuSwFlg = 1;
    o.tenSwFlg = 2;
    return o;
}

class HeadquartersRunTest : public ::testing::TestWithParam<HeadquartersCase> {
protected:
    QString text(ControlId id, int index = 0) {
        QWidget* w = site.program().view().widget({id, index});
        if (auto* label = qobject_cast<QLabel*>(w))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            return button->text();
        return {};
    }

    AppOnSample site{fourStores()};
};

TEST_P(HeadquartersRunTest, ExecuteConvertsTheChosenStoresOnly) {
    const HeadquartersCase& c = GetParam();
    for (int store : c.bothSet)
        site.sql(QStringLiteral("MSTORI"),
                 {QStringLiteral("UPDATE MTGIJU SET TankaB1 = 990 WHERE MiseID = %1 AND "
                                 "SaisyuKosinFlg <> 9")
                      .arg(store)});
    ASSERT_EQ(site.load(), LoadResult::Loaded);
    EXPECT_EQ(text(ControlId::SSPanel6),
              c.bothSet.empty() ? QStringLiteral("技術単価Ａ") : QStringLiteral("技術単価A/B"));
    ASSERT_TRUE(site.button({ControlId::Command2})->isVisible());
    const std::vector<PriceRow> gijuBefore = priceRows(site, true);
    const std::vector<PriceRow> tenBefore = priceRows(site, false);

    const QStringList typed = c.typed;
    whenModal([typed](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->clearButton()->click();
        for (const QString& code : typed) {
            QTest::keyClicks(dialog->text1(), code);
            QTest::keyClick(dialog->text1(), Qt::Key_Return);
        }
        dialog->decideButton()->click();
    });
    site.button({ControlId::Command2})->click();

    // Refreshed under the new list: technical A in use, retail empty and
    // taken from its switch flag (2: B in use).
    EXPECT_EQ(text(ControlId::SSPanel6), QStringLiteral("技術単価Ａ"));
    EXPECT_EQ(text(ControlId::SSCommand2, 0), QStringLiteral("技術単価Ｂ"));
    EXPECT_EQ(text(ControlId::SSPanel8), QStringLiteral("店販単価Ｂ"));
    EXPECT_EQ(text(ControlId::SSCommand2, 1), QStringLiteral("店販単価Ａ"));
    EXPECT_TRUE(site.button({ControlId::SSCommand1, 0})->isEnabled());
    EXPECT_FALSE(site.program().view().widget({ControlId::SSPanel1})->isVisible());
    EXPECT_FALSE(site.program().view().timerActive());
    EXPECT_EQ(site.g().GijuDstSlot, 1);
    EXPECT_EQ(site.g().TenDstSlot, 0);

    site.button({ControlId::SSCommand1, 0})->click(); // technical to 10 % inclusive
    site.button({ControlId::SSCommand3, 0})->click(); // truncate
    site.button({ControlId::SSCommand6, 0})->click(); // one yen
    ASSERT_TRUE(site.button({ControlId::SSCommand4})->isEnabled());
    site.button({ControlId::SSCommand4})->click();

    ASSERT_TRUE(site.boxes.texts().contains(QStringLiteral("終了しました")))
        << site.boxes.texts().join(u'|').toStdString();
    EXPECT_TRUE(site.program().view().unloaded());

    const std::vector<PriceRow> gijuAfter = priceRows(site, true);
    ASSERT_EQ(gijuAfter.size(), gijuBefore.size());
    int changedRows = 0;
    for (std::size_t i = 0; i < gijuAfter.size(); ++i) {
        const PriceRow& before = gijuBefore[i];
        const PriceRow& after = gijuAfter[i];
        ASSERT_EQ(after.key, before.key);
        const bool chosen = std::ranges::find(c.converted, before.mise) != c.converted.end();
        if (!chosen || before.kosinFlg == QLatin1String("9")) {
            EXPECT_EQ(after.a, before.a) << before.key.toStdString();
            EXPECT_EQ(after.b, before.b) << before.key.toStdString();
            EXPECT_EQ(after.kosinFlg, before.kosinFlg) << before.key.toStdString();
            continue;
        }
        ++changedRows;
        EXPECT_EQ(after.a, before.a) << before.key.toStdString();
        for (int p = 0; p < 5; ++p)
            EXPECT_EQ(priceOf(after.b[p]), converted(before.a[p], before.taxFlg, 1, 0, 0))
                << before.key.toStdString() << " B" << p + 1;
    }
    EXPECT_GT(changedRows, 0);
    const std::vector<PriceRow> tenAfter = priceRows(site, false); // retail was not chosen
    ASSERT_EQ(tenAfter.size(), tenBefore.size());
    for (std::size_t i = 0; i < tenAfter.size(); ++i) {
        EXPECT_EQ(tenAfter[i].a, tenBefore[i].a);
        EXPECT_EQ(tenAfter[i].b, tenBefore[i].b);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stores, HeadquartersRunTest,
    ::testing::Values(HeadquartersCase{"TwoOfFour", {1, 3}, {"2", "4"}, {2, 4}},
                      HeadquartersCase{"NoneChosenMeansEvery", {}, {}, {1, 2, 3, 4}},
                      HeadquartersCase{"SameStoreTwice", {1, 2, 3}, {"4", "0004"}, {4}}),
    [](const ::testing::TestParamInfo<HeadquartersCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
} // namespace tanka::test
