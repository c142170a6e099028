// A headquarters run from start to end on a sample with four stores: stores
// chosen through the real dialog and shown there again, the window refreshed
// under the new list, and Execute converting the rows of exactly those stores (or of every store
// when none is chosen).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/gui_app.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

struct HeadquartersCase {
    const char* name;
    std::vector<int> bothSet; // stores whose technical rows also carry B prices
    QStringList typed;        // codes typed into the dialog, each with Enter
    std::vector<int> chosen;  // stores whose technical rows the run converts
};

// Retail is empty, so that its switch flag decides it after a store change.
sample::Options fourStores() {
    sample::Options o = withSlots(headquartersOptions(4), sample::Slots::A, sample::Slots::None);
    o.retailSwitchFlag = 2;
    return o;
}

class HeadquartersRunTest : public ::testing::TestWithParam<HeadquartersCase> {
protected:
    AppOnSample a{fourStores()};
};

TEST_P(HeadquartersRunTest, ExecuteConvertsTheChosenStoresOnly) {
    const HeadquartersCase& c = GetParam();
    for (int store : c.bothSet)
        a.site.sql(QStringLiteral("MSTORI"), {QStringLiteral("UPDATE MTGIJU SET TankaB1 = 990 "
                                                             "WHERE MiseID = %1 AND "
                                                             "SaisyuKosinFlg <> 9")
                                                  .arg(store)});
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const auto technicalBefore = readPriceRows(a.site.mstori(), PriceTable::Technical);
    const auto retailBefore = readPriceRows(a.site.mstori(), PriceTable::Retail);

    withStoreDialog(a, [&c](StoreDialogView& dialog) {
        dialog.clearButton()->click();
        for (const QString& code : c.typed) {
            QTest::keyClicks(dialog.storeCodeEdit(), code);
            QTest::keyClick(dialog.storeCodeEdit(), Qt::Key_Return);
        }
        dialog.decideButton()->click();
    });

    // Reopened, the dialog shows the chosen stores in their rows.
    QStringList shown;
    withStoreDialog(a, [&shown](StoreDialogView& dialog) {
        for (int i = 0; i < 3; ++i)
            shown << dialog.listLabel(i)->text().split(u' ', Qt::SkipEmptyParts).value(0);
        dialog.decideButton()->click();
    });
    EXPECT_EQ(shown, c.typed + QStringList(3 - c.typed.size(), QString()));

    // Refreshed under the new list (the refresh tests check its controls): the
    // technical menu is no longer refused, so Execute converts its A prices.

    a.click({ControlId::conversionKindButtons, 0}); // technical to 10 % inclusive
    a.click({ControlId::roundingMethodButtons, 0}); // truncate
    a.click({ControlId::roundingUnitButtons, 0});   // one yen
    a.click({ControlId::executeButton});
    ASSERT_TRUE(a.boxes.texts().contains(QStringLiteral("終了しました")))
        << a.boxes.texts().join(u'|').toStdString();
    EXPECT_TRUE(a.view().unloaded());

    EXPECT_GT(expectConverted(technicalBefore,
                              readPriceRows(a.site.mstori(), PriceTable::Technical),
                              {1, 0, 0, 0, 1, c.chosen}),
              0);
    EXPECT_EQ(readPriceRows(a.site.mstori(), PriceTable::Retail), retailBefore); // not chosen
}

INSTANTIATE_TEST_SUITE_P(
    Stores, HeadquartersRunTest,
    ::testing::Values(HeadquartersCase{"TwoOfFour", {1, 3}, {"2", "4"}, {2, 4}},
                      HeadquartersCase{"NoneChosenMeansEvery", {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
