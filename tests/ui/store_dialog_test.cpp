// The store selection dialog on a headquarters sample: its entry, the full
// list and the refresh of the main window after it closes; then a whole
// headquarters run with the stores chosen in it.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/gui_app.h"
#include "support/table_dump.h"
#include "ui/store_dialog/store_dialog_view.h"

namespace tanka::test {
namespace {

// Retail is empty, so that a destination stays open and storeButton is shown.
sample::Options storesOptions() {
    sample::Options o;
    o.headquarters = true;
    o.storeIds = {3, 12, 40, 1234, 5, 7};
    o.storeId = 3;
    o.technicalRows = 4;
    o.retailRows = 3;
    o.retailSlots = sample::Slots::None;
    return o;
}

// Types a store code into the dialog and enters it with Return or, as
// keypad, Enter.
void enterStoreCode(StoreDialogView& dialog, const QString& code, bool keypad = false) {
    QTest::keyClicks(dialog.storeCodeEdit(), code);
    QTest::keyClick(dialog.storeCodeEdit(), keypad ? Qt::Key_Enter : Qt::Key_Return,
                    keypad ? Qt::KeypadModifier : Qt::NoModifier);
}

class StoreDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        a.site.sql(
            QStringLiteral("MSTORI"),
            {QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '  銀座店 ' WHERE MiseID = 12"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '渋谷店', SaisyuKosinFlg = 9 "
                            "WHERE MiseID = 40"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '   ' WHERE MiseID = 5")});
        ASSERT_EQ(a.load(), LoadResult::Loaded);
        ASSERT_TRUE(a.model().storeButton.visible);
    }

    void enter(StoreForm& form, const QString& text) {
        form.model().storeCode = text;
        std::int16_t key = 13;
        form.onStoreCodeKey(key);
        EXPECT_EQ(key, 0);
        EXPECT_TRUE(form.model().storeCode.isEmpty());
    }

    QString code(int row) { return a.g().chosenStores[static_cast<std::size_t>(row)][0]; }

    AppOnSample a{storesOptions()};
    bool flag = false;
};

// Entries that add nothing leave the list as it was (a code of a deleted or
// nameless store still has the window refreshed); the same code twice fills
// two rows; a full list takes no more.
TEST_F(StoreDialogTest, EnterTakesAStoreOrNothingUntilTheListIsFull) {
    StoreForm form(a.g(), flag, *a.app->connection(), a.boxes);
    form.load();
    const struct {
        const char* text;
        const char* caption; // storeRows(0) afterwards
        bool flag;
    } entries[] = {
        {"1x", "", false}, {"40", "", true}, {"5", "", true}, {"0012", "  12 銀座店", true}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.text);
        flag = false;
        enter(form, QString::fromUtf8(e.text));
        EXPECT_EQ(form.model().storeRows[0], QString::fromUtf8(e.caption));
        EXPECT_EQ(code(0), *e.caption ? QStringLiteral("12") : QStringLiteral("0"));
        EXPECT_EQ(flag, e.flag);
        for (int row = 1; row < StoreListSize; ++row)
            EXPECT_EQ(code(row), QStringLiteral("0")) << row;
    }
    enter(form, QStringLiteral("12"));
    EXPECT_EQ(form.model().storeRows[1], QStringLiteral("  12 銀座店"));
    for (int i = 2; i < StoreListSize; ++i)
        enter(form, QStringLiteral("3"));
    const ChosenStoreTable full = a.g().chosenStores;
    flag = false;
    enter(form, QStringLiteral("1234"));
    EXPECT_EQ(a.g().chosenStores, full);
    EXPECT_TRUE(flag);
    EXPECT_TRUE(a.boxes.shown.empty());
}

// However the dialog closes (決定, close box, Esc), the window is refreshed
// only when an entry was made. technicalKind stands for the window's state: a
// refresh resets it.
TEST_F(StoreDialogTest, RefreshesTheWindowOnlyAfterAnEntry) {
    const std::function<void(StoreDialogView&)> closes[] = {
        [](StoreDialogView& dialog) { dialog.decideButton()->click(); },
        [](StoreDialogView& dialog) { dialog.close(); },
        [](StoreDialogView& dialog) { QTest::keyClick(dialog.storeCodeEdit(), Qt::Key_Escape); },
    };
    for (const auto& close : closes) {
        a.g().technicalKind = ConversionKind::TenPercentIncluded;
        withStoreDialog(a, close);
        EXPECT_EQ(a.g().technicalKind, ConversionKind::TenPercentIncluded);
        withStoreDialog(a, [&close](StoreDialogView& dialog) {
            enterStoreCode(dialog, QStringLiteral("77"));
            close(dialog);
        });
        EXPECT_EQ(a.g().technicalKind, ConversionKind::None);
    }
}

// A headquarters run from start to end on a sample with four stores: stores
// chosen through the real dialog (its keys and Clear) and shown there again,
// the window refreshed under the new list, and Execute converting the rows of
// exactly those stores (or of every store when none is chosen).
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

    // A store entered, then cleared: the run must not count it. The codes
    // after it go in with the keypad's Enter, the dialog staying open.
    withStoreDialog(a, [&c](StoreDialogView& dialog) {
        enterStoreCode(dialog, QStringLiteral("3"));
        EXPECT_NE(dialog.listLabel(0)->text(), QString());
        dialog.clearButton()->click();
        EXPECT_EQ(dialog.listLabel(0)->text(), QString());
        for (const QString& code : c.typed)
            enterStoreCode(dialog, code, true);
        EXPECT_TRUE(dialog.isVisible());
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

    EXPECT_GT(expectConverted(technicalBefore, readPriceRows(a.site.mstori(), PriceTable::Technical),
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
