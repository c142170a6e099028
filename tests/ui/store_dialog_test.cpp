// The store selection dialog on a headquarters sample: its key filter and
// entry, Clear, the list across openings, the failing store query, and its
// widgets (layout, typing, paste, centring).

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "pricing/checks.h"
#include "store_override_fixture.h"
#include "ui/main_window/main_window_view.h"
#include "ui/store_dialog/store_dialog_view.h"
#include "ui/store_dialog/store_selection.h"

namespace tanka::test {
namespace {

sample::Options storesOptions() {
    sample::Options o;
    o.headquarters = true;
    o.storeIds = {3, 12, 40, 1234, 5, 7};
    o.miseId = 3;
    o.gijuRows = 4;
    o.tenRows = 3;
    o.tenSlots = sample::Slots::None; // a destination stays open: Command2 is shown
    return o;
}

class StoreDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        site.sql(QStringLiteral("MSTORI"),
                 {QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '本店' WHERE MiseID = 3"),
                  QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '  銀座店 ' WHERE MiseID = 12"),
                  QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '渋谷店', SaisyuKosinFlg = 9 "
                                 "WHERE MiseID = 40"),
                  QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '横浜店' WHERE MiseID = 1234"),
                  QStringLiteral("UPDATE MTMISE SET MiseRyakusho = NULL WHERE MiseID = 5"),
                  QStringLiteral("UPDATE MTMISE SET MiseRyakusho = '   ' WHERE MiseID = 7")});
        ASSERT_EQ(site.load(), LoadResult::Loaded);
        ASSERT_TRUE(site.model().Command2.visible);
    }

    Form1 makeForm() {
        Form1 form(site.g(), flag, *site.program().connection(), site.boxes);
        form.focusText1 = [this] { ++focusRequests; };
        form.Form_Load();
        return form;
    }

    void enter(Form1& form, const QString& text) {
        form.model().Text1 = text;
        std::int16_t key = 13;
        form.Text1_KeyPress(key);
        EXPECT_EQ(key, 0);
    }

    QString code(int row) { return site.g().MiseList[static_cast<std::size_t>(row)][0]; }
    QString name(int row) { return site.g().MiseList[static_cast<std::size_t>(row)][1]; }

    AppOnSample site{storesOptions()};
    std::int16_t flag = 0;
    int focusRequests = 0;
};

TEST_F(StoreDialogTest, KeyFilterPassesDigitsAndBackspaceOnly) {
    struct Case {
        std::int16_t typed;
        std::int16_t passed;
    };
    const Case cases[] = {{'0', '0'}, {'5', '5'}, {'9', '9'}, {8, 8},      {'/', 0},
                          {':', 0},   {'A', 0},   {'-', 0},   {' ', 0},    {'.', 0},
                          {22, 0},    {27, 0},    {9, 0},     {0x3042, 0}, {-1, 0}};
    Form1 form = makeForm();
    for (const Case& c : cases) {
        std::int16_t key = c.typed;
        form.Text1_KeyPress(key);
        EXPECT_EQ(key, c.passed) << "typed " << c.typed;
    }
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(code(0), QStringLiteral("0"));
}

struct EntryCase {
    const char* text;
    const char* code;    // MiseList(0, 0) afterwards
    const char* name;    // MiseList(0, 1)
    const char* caption; // lbl_Mise(0)
    std::int16_t flag;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class StoreEntryTest : public StoreDialogTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(StoreEntryTest, EnterTakesAStoreOrNothing) {
    const EntryCase& c = GetParam();
    Form1 form = makeForm();
    enter(form, QString::fromUtf8(c.text));

    EXPECT_EQ(code(0), QString::fromUtf8(c.code));
    EXPECT_EQ(name(0), QString::fromUtf8(c.name));
    EXPECT_EQ(form.model().lbl_Mise[0], QString::fromUtf8(c.caption));
    EXPECT_EQ(flag, c.flag);
    EXPECT_TRUE(form.model().Text1.isEmpty());
    EXPECT_TRUE(site.boxes.shown.empty());
    for (int row = 1; row < MiseListRows; ++row)
        EXPECT_EQ(code(row), QStringLiteral("0")) << row;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, StoreEntryTest,
    ::testing::Values(EntryCase{"0012", "12", "銀座店", "  12 銀座店", 9},
                      EntryCase{"12", "12", "銀座店", "  12 銀座店", 9},
                      EntryCase{"3", "3", "本店", "   3 本店", 9},
                      EntryCase{"1234", "1234", "横浜店", "1234 横浜店", 9},
                      // nothing typed, or no store code
                      EntryCase{"", "0", "", "", 0}, EntryCase{"0", "0", "", "", 0},
                      EntryCase{"0000", "0", "", "", 0},
                      // pasted text that is no store code
                      EntryCase{"1x", "0", "", "", 0}, EntryCase{"-12", "0", "", "", 0},
                      EntryCase{"9e99", "0", "", "", 0},
                      // no such live store, or a store without a name: nothing
                      // added, but the window refreshes afterwards
                      EntryCase{"77", "0", "", "", 9}, EntryCase{"40", "0", "", "", 9},
                      EntryCase{"5", "0", "", "", 9}, EntryCase{"7", "0", "", "", 9}));

TEST_F(StoreDialogTest, SameCodeTwiceFillsTwoRowsAndTheFilterCarriesItTwice) {
    Form1 form = makeForm();
    enter(form, QStringLiteral("12"));
    enter(form, QStringLiteral("0012"));
    EXPECT_EQ(code(0), QStringLiteral("12"));
    EXPECT_EQ(code(1), QStringLiteral("12"));
    EXPECT_EQ(form.model().lbl_Mise[1], QStringLiteral("  12 銀座店"));
    EXPECT_EQ(storeFilter(site.g()), QStringLiteral(" and miseid in(12,12)"));
}

TEST_F(StoreDialogTest, EnterFillsTheFirstEmptyRow) {
    auto& list = site.g().MiseList;
    list[0] = {QStringLiteral("3"), QStringLiteral("本店"), QString()};
    list[2] = {QStringLiteral("1234"), QStringLiteral("横浜店"), QString()};
    Form1 form = makeForm();
    enter(form, QStringLiteral("12"));
    EXPECT_EQ(code(1), QStringLiteral("12"));
    EXPECT_EQ(code(3), QStringLiteral("0"));
    EXPECT_EQ(storeFilter(site.g()), QStringLiteral(" and miseid in(3,12,1234)"));
}

TEST_F(StoreDialogTest, FullListTakesNoMoreButSetsTheFlag) {
    Form1 form = makeForm();
    for (int i = 0; i < MiseListRows; ++i)
        enter(form, QStringLiteral("3"));
    const MiseListTable before = site.g().MiseList;
    flag = 0;
    enter(form, QStringLiteral("12"));
    EXPECT_EQ(site.g().MiseList, before);
    EXPECT_EQ(flag, 9);
    EXPECT_TRUE(form.model().Text1.isEmpty());
    EXPECT_EQ(form.model().lbl_Mise[19], QStringLiteral("   3 本店"));
}

TEST_F(StoreDialogTest, ClearEmptiesEveryRowAndReturnsTheFocus) {
    Form1 form = makeForm();
    enter(form, QStringLiteral("12"));
    enter(form, QStringLiteral("3"));
    flag = 0;
    form.Command1_Click();
    for (int row = 0; row < MiseListRows; ++row) {
        EXPECT_EQ(code(row), QStringLiteral("0"));
        EXPECT_EQ(name(row), QString());
        EXPECT_EQ(form.model().lbl_Mise[static_cast<std::size_t>(row)], QString());
    }
    EXPECT_EQ(flag, 9);
    EXPECT_EQ(focusRequests, 1);
    EXPECT_EQ(storeFilter(site.g()), QString());
}

TEST_F(StoreDialogTest, LoadShowsFilledRowsOnly) {
    auto& list = site.g().MiseList;
    list[0] = {QStringLiteral("3"), QStringLiteral("本店"), QString()};
    list[1] = {QStringLiteral("0"), QStringLiteral("stale"), QString()};
    list[2] = {QStringLiteral("abc"), QStringLiteral("stale"), QString()};
    list[12] = {QStringLiteral(" 1234 "), QStringLiteral("横浜店"), QString()};
    Form1 form = makeForm();
    const auto& captions = form.model().lbl_Mise;
    EXPECT_EQ(captions[0], QStringLiteral("   3 本店"));
    EXPECT_EQ(captions[1], QString());
    EXPECT_EQ(captions[2], QString());
    EXPECT_EQ(captions[12], QStringLiteral("1234 横浜店"));
}

TEST_F(StoreDialogTest, FailingStoreQueryIsShownAndAddsNothing) {
    site.sql(QStringLiteral("MSTORI"), {QStringLiteral("DROP TABLE MTMISE")});
    Form1 form = makeForm();
    enter(form, QStringLiteral("12"));

    ASSERT_EQ(site.boxes.shown.size(), 1u);
    const ShownBox& box = site.boxes.shown.front();
    EXPECT_EQ(box.title, QStringLiteral("単価変更"));
    EXPECT_TRUE(box.text.contains(QStringLiteral("エラー番号: "))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("MTMISE"), Qt::CaseInsensitive))
        << box.text.toStdString();
    EXPECT_EQ(code(0), QStringLiteral("0"));
    EXPECT_EQ(name(0), QString());
    EXPECT_EQ(flag, 0);
    EXPECT_TRUE(form.model().Text1.isEmpty());
}

TEST(StoreNameQuery, IsTheFixedText) {
    EXPECT_EQ(storeNameQuery(12),
              QStringLiteral(" SELECT *  from MSTORI.dbo.MTMISE   where miseid = 12  and "
                             "SaisyuKosinFlg <> 9 "));
}

// The widgets.

TEST_F(StoreDialogTest, WidgetsStandWhereTheDesignPutsThem) {
    struct Place {
        const char* objectName;
        int left, top, width, height; // twips
        const char* text;
    };
    const Place places[] = {
        {"Label2", 210, 60, 6855, 435, "店舗選択"},  {"lbl_Mise_0", 210, 600, 3225, 405, ""},
        {"lbl_Mise_9", 210, 5190, 3225, 405, ""},    {"lbl_Mise_10", 3840, 600, 3225, 405, ""},
        {"lbl_Mise_19", 3840, 5190, 3225, 405, ""},  {"Label1", 7290, 1470, 1635, 435, "店コード"},
        {"Text1", 7290, 2040, 1605, 435, ""},        {"Command1", 7290, 3450, 1725, 945, "クリア"},
        {"Command2", 7290, 4650, 1725, 945, "決定"},
    };
    Form1 form(site.g(), flag, *site.program().connection(), site.boxes);
    StoreDialogView dialog(form, &site.program().view());
    dialog.show();

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("店舗選択"));
    EXPECT_EQ(dialog.size(), QSize(611, 391));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0, 128, 128));
    for (const Place& p : places) {
        auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(p.objectName));
        ASSERT_NE(w, nullptr) << p.objectName;
        EXPECT_EQ(w->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15))
            << p.objectName;
        EXPECT_EQ(w->font().pixelSize(), 24) << p.objectName; // 18 point at 96 dpi
        EXPECT_FALSE(w->font().bold()) << p.objectName;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w))
            text = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            text = button->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            text = edit->text();
        EXPECT_EQ(text, QString::fromUtf8(p.text)) << p.objectName;
    }
    EXPECT_EQ(dialog.text1()->maxLength(), 4);
    EXPECT_EQ(dialog.focusWidget(), dialog.text1());
    EXPECT_EQ(dialog.listLabel(3)->geometry().top(), (600 + 510 * 3) / 15);
}

TEST_F(StoreDialogTest, TypingGoesThroughTheKeyFilter) {
    Form1 form(site.g(), flag, *site.program().connection(), site.boxes);
    StoreDialogView dialog(form, &site.program().view());
    dialog.show();
    QLineEdit* text1 = dialog.text1();

    QTest::keyClicks(text1, QStringLiteral("A-5 x"));
    EXPECT_EQ(text1->text(), QStringLiteral("5"));
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), QString());

    QTest::keyClicks(text1, QStringLiteral("001234"));
    EXPECT_EQ(text1->text(), QStringLiteral("0012")); // at most four characters
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(text1->text(), QString());
    EXPECT_EQ(dialog.listLabel(0)->text(), QStringLiteral("  12 銀座店"));
    EXPECT_EQ(code(0), QStringLiteral("12"));
    EXPECT_TRUE(dialog.isVisible()); // Enter takes the entry, it does not close

    QTest::keyClicks(text1, QStringLiteral("3"));
    QTest::keyClick(text1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.listLabel(1)->text(), QStringLiteral("   3 本店"));

    dialog.clearButton()->click();
    EXPECT_EQ(dialog.listLabel(0)->text(), QString());
    EXPECT_EQ(dialog.listLabel(1)->text(), QString());
    EXPECT_EQ(dialog.focusWidget(), text1);
}

TEST_F(StoreDialogTest, PastedTextReadsAsNoStore) {
    Form1 form(site.g(), flag, *site.program().connection(), site.boxes);
    StoreDialogView dialog(form, &site.program().view());
    dialog.show();
    QLineEdit* text1 = dialog.text1();

    QGuiApplication::clipboard()->setText(QStringLiteral("ab"));
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier); // a typed control character
    EXPECT_EQ(text1->text(), QString());
    text1->paste(); // the context menu's paste
    EXPECT_EQ(text1->text(), QStringLiteral("ab"));
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(text1->text(), QString());
    EXPECT_EQ(code(0), QStringLiteral("0"));
    EXPECT_EQ(flag, 0);
}

TEST_F(StoreDialogTest, DialogIsCentredOverTheMainWindow) {
    MainWindowView& window = site.program().view();
    window.move(40, 30);
    Form1 form(site.g(), flag, *site.program().connection(), site.boxes);
    StoreDialogView dialog(form, &window);
    const QPoint windowCentre = window.frameGeometry().center();
    const QPoint dialogCentre = dialog.frameGeometry().center();
    EXPECT_LE(std::abs(windowCentre.x() - dialogCentre.x()), 1);
    EXPECT_LE(std::abs(windowCentre.y() - dialogCentre.y()), 1);
}

// Through the main window's store-selection button.

enum class CloseBy { Decide, CloseBox, Escape };

void PrintTo(CloseBy how, std::ostream* os) {
    *os << (how == CloseBy::Decide ? "決定" : how == CloseBy::CloseBox ? "close box" : "Esc");
}

class StoreButtonCloseTest : public StoreDialogTest,
                             public ::testing::WithParamInterface<CloseBy> {};

void closeDialog(QWidget* modal, CloseBy how) {
    auto* dialog = qobject_cast<StoreDialogView*>(modal);
    ASSERT_NE(dialog, nullptr);
    switch (how) {
    case CloseBy::Decide:
        dialog->decideButton()->click();
        break;
    case CloseBy::CloseBox:
        dialog->close();
        break;
    case CloseBy::Escape:
        QTest::keyClick(dialog->text1(), Qt::Key_Escape);
        break;
    }
}

TEST_P(StoreButtonCloseTest, ClosingWithoutAChangeLeavesTheWindowAlone) {
    site.g().GijuMode = 1; // a refresh would reset it
    whenModal([](QWidget* modal) { closeDialog(modal, GetParam()); });
    site.button({ControlId::Command2})->click();
    EXPECT_EQ(site.g().GijuMode, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_P(StoreButtonCloseTest, AnyCloseAfterAnEntryRefreshesTheWindow) {
    site.g().GijuMode = 1;
    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->text1(), QStringLiteral("77"));
        QTest::keyClick(dialog->text1(), Qt::Key_Return);
        closeDialog(modal, GetParam());
    });
    site.button({ControlId::Command2})->click();
    EXPECT_EQ(site.g().GijuMode, -1);
}

INSTANTIATE_TEST_SUITE_P(Closes, StoreButtonCloseTest,
                         ::testing::Values(CloseBy::Decide, CloseBy::CloseBox, CloseBy::Escape));

TEST_F(StoreDialogTest, ReopeningShowsTheStoresInTheirRows) {
    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        for (const char* code : {"12", "77", "1234"}) {
            QTest::keyClicks(dialog->text1(), QString::fromLatin1(code));
            QTest::keyClick(dialog->text1(), Qt::Key_Return);
        }
        dialog->decideButton()->click();
    });
    site.button({ControlId::Command2})->click();

    QStringList captions;
    whenModal([&captions](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < 3; ++i)
            captions << dialog->listLabel(i)->text();
        dialog->decideButton()->click();
    });
    site.g().GijuMode = 1;
    site.button({ControlId::Command2})->click();

    EXPECT_EQ(captions, QStringList({"  12 銀座店", "1234 横浜店", ""}));
    EXPECT_EQ(site.g().GijuMode, 1); // the second opening changed nothing
    EXPECT_EQ(storeFilter(site.g()), QStringLiteral(" and miseid in(12,1234)"));
}

TEST_F(StoreDialogTest, ClearThenDecideRefreshesOverEveryStore) {
    site.g().MiseList[0] = {QStringLiteral("12"), QStringLiteral("銀座店"), QString()};
    site.g().GijuMode = 1;
    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->clearButton()->click();
        dialog->decideButton()->click();
    });
    site.button({ControlId::Command2})->click();
    EXPECT_EQ(site.g().GijuMode, -1);
    EXPECT_EQ(storeFilter(site.g()), QString());
}

} // namespace
} // namespace tanka::test
