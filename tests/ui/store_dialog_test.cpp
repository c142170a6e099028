// The store selection dialog on a headquarters sample: its entry, the full
// list, its widgets (Enter, Clear) and the refresh of the main window after
// it closes. (The list across openings is in the headquarters run.)

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "pricing/checks.h"
#include "support/gui_app.h"
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

class StoreDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        a.site.sql(
            QStringLiteral("MSTORI"),
            {QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '本店' WHERE MiseID = 3"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '  銀座店 ' WHERE MiseID = 12"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '渋谷店', SaisyuKosinFlg = 9 "
                            "WHERE MiseID = 40"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '横浜店' WHERE MiseID = 1234"),
             QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '   ' WHERE MiseID = 5")});
        ASSERT_EQ(a.load(), LoadResult::Loaded);
        ASSERT_TRUE(a.model().storeButton.visible);
    }

    StoreForm makeForm() {
        StoreForm form(a.g(), flag, *a.app->connection(), a.boxes);
        form.load();
        return form;
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

void type(StoreDialogView& dialog, const QString& text) {
    QTest::keyClicks(dialog.storeCodeEdit(), text);
    QTest::keyClick(dialog.storeCodeEdit(), Qt::Key_Return);
}

struct EntryCase {
    const char* text;
    const char* code;    // chosenStores(0, 0) afterwards
    const char* caption; // storeRows(0)
    bool flag;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class StoreEntryTest : public StoreDialogTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(StoreEntryTest, EnterTakesAStoreOrNothing) {
    const EntryCase& c = GetParam();
    StoreForm form = makeForm();
    enter(form, QString::fromUtf8(c.text));
    EXPECT_EQ(code(0), QString::fromUtf8(c.code));
    EXPECT_EQ(form.model().storeRows[0], QString::fromUtf8(c.caption));
    EXPECT_EQ(flag, c.flag);
    EXPECT_TRUE(a.boxes.shown.empty());
    for (int row = 1; row < StoreListSize; ++row)
        EXPECT_EQ(code(row), QStringLiteral("0")) << row;
}

INSTANTIATE_TEST_SUITE_P(Entries, StoreEntryTest,
                         ::testing::Values(EntryCase{"0012", "12", "  12 銀座店", true},
                                           // nothing typed, no store code, or pasted text
                                           EntryCase{"", "0", "", false},
                                           EntryCase{"1x", "0", "", false},
                                           // no such live store, or a store without a name: nothing
                                           // added, but the window refreshes afterwards
                                           EntryCase{"77", "0", "", true},
                                           EntryCase{"40", "0", "", true},
                                           EntryCase{"5", "0", "", true}));

TEST_F(StoreDialogTest, SameCodeTwiceFillsTwoRowsAndAFullListTakesNoMore) {
    StoreForm form = makeForm();
    enter(form, QStringLiteral("12"));
    enter(form, QStringLiteral("0012"));
    EXPECT_EQ(form.model().storeRows[1], QStringLiteral("  12 銀座店"));
    for (int i = 2; i < StoreListSize; ++i)
        enter(form, QStringLiteral("3"));
    const ChosenStoreTable full = a.g().chosenStores;
    flag = false;
    enter(form, QStringLiteral("1234"));
    EXPECT_EQ(a.g().chosenStores, full);
    EXPECT_TRUE(flag);
}

// Enter (either key) through the real widgets takes the entry and leaves the
// dialog open; Clear empties the list.
TEST_F(StoreDialogTest, EnterKeysAndClearThroughTheWidgets) {
    StoreForm form(a.g(), flag, *a.app->connection(), a.boxes);
    StoreDialogView dialog(form, &a.view());
    dialog.show();
    type(dialog, QStringLiteral("0012"));
    EXPECT_EQ(dialog.storeCodeEdit()->text(), QString());
    EXPECT_EQ(dialog.listLabel(0)->text(), QStringLiteral("  12 銀座店"));
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(dialog.storeCodeEdit(), QStringLiteral("3"));
    QTest::keyClick(dialog.storeCodeEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.listLabel(1)->text(), QStringLiteral("   3 本店"));

    flag = false;
    dialog.clearButton()->click();
    for (int row = 0; row < StoreListSize; ++row) {
        EXPECT_EQ(code(row), QStringLiteral("0"));
        EXPECT_EQ(dialog.listLabel(row)->text(), QString());
    }
    EXPECT_TRUE(flag);
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
            type(dialog, QStringLiteral("77"));
            close(dialog);
        });
        EXPECT_EQ(a.g().technicalKind, ConversionKind::None);
    }
}

} // namespace
} // namespace tanka::test
