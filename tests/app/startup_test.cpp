// Start-up and unload of the program on sample installations: the normal
// start, the ways it ends early, and the connection's life.

#include <QGuiApplication>
#include <QScreen>

#include "support/gui_app.h"

namespace tanka::test {
namespace {

TEST(Startup, NormalStartPreparesTheWindow) {
    AppOnSample a;
    a.g().MiseList[20][0] = QStringLiteral("row 20");
    a.g().MiseList[3] = {QStringLiteral("12"), QStringLiteral("銀座店"), QString()};
    ASSERT_EQ(a.app->Form_Load(), LoadResult::Loaded);
    EXPECT_TRUE(a.boxes.shown.empty());
    EXPECT_FALSE(a.view().isVisible()) << "the caller shows the window";

    // Rows 0..19 of the store list are emptied; row 20 is never used.
    for (std::size_t row = 0; row < 20; ++row) {
        EXPECT_EQ(a.g().MiseList[row][0], QStringLiteral("0")) << row;
        EXPECT_TRUE(a.g().MiseList[row][1].isEmpty()) << row;
    }
    EXPECT_EQ(a.g().MiseList[20][0], QStringLiteral("row 20"));
    EXPECT_EQ(a.g().HonbuFlg, False);
    EXPECT_EQ(a.g().MiseSyoriDate, QStringLiteral("2019/09/30"));
    // The sample's menus use slot A: the refresh ran.
    EXPECT_EQ(a.g().GijuDstSlot, 1);
    EXPECT_EQ(a.g().TenDstSlot, 1);
    ASSERT_NE(a.app->connection(), nullptr);
    EXPECT_TRUE(a.app->connection()->isOpen());

    // The window is centred on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(a.model().left, (screen.width() - a.view().frameGeometry().width()) / 2, 1);
    EXPECT_EQ(a.view().pos(), QPoint(a.model().left, a.model().top));
}

// The connection closes once, however the window closes, and a second close
// finds nothing left to close.
TEST(Startup, ClosingTheWindowClosesTheConnection) {
    for (const bool viaExit : {false, true}) {
        SCOPED_TRACE(viaExit ? "Exit button" : "close box");
        AppOnSample a;
        ASSERT_EQ(a.load(), LoadResult::Loaded);
        if (viaExit)
            a.click({ControlId::exitButton});
        else
            a.view().close();
        EXPECT_TRUE(a.view().unloaded());
        EXPECT_FALSE(a.view().isVisible());
        EXPECT_EQ(a.app->connection(), nullptr);
        a.view().close();
        a.app->Form_Unload();
        EXPECT_TRUE(a.boxes.shown.empty());
    }
}

TEST(Startup, NoInstallationEndsWithTheTwoLineMessage) {
    AppOnSample a;
    ASSERT_TRUE(QDir(a.site.install.installDir).removeRecursively());
    EXPECT_EQ(a.app->Form_Load(), LoadResult::NoInstallation);
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_EQ(a.boxes.shown[0].text, QStringLiteral("ルミナが見つかりません\r\n終了します"));
    EXPECT_EQ(a.boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(a.boxes.shown[0].title.isEmpty());
    EXPECT_EQ(a.app->connection(), nullptr);
}

TEST(Startup, MissingServerNamesThenTheRefusedLoginIsShown) {
    sample::Options o;
    o.omitIniKeys = {QStringLiteral("MsUria"), QStringLiteral("MsHonb")};
    AppOnSample a(o);
    EXPECT_EQ(a.app->Form_Load(), LoadResult::Failed);
    ASSERT_EQ(a.boxes.shown.size(), 2u);
    EXPECT_EQ(a.boxes.shown[0].title, QStringLiteral("Common"));
    EXPECT_EQ(a.boxes.shown[0].text, QStringLiteral("ZEMA.ini Msuriaの設定が違います \r\n"
                                                    "ZEMA.ini Mshonbの設定が違います \r\n"));
    const ShownBox& error = a.boxes.shown[1];
    EXPECT_EQ(error.icon, MsgIcon::Critical);
    EXPECT_TRUE(
        error.text.startsWith(QStringLiteral("エラーが発生しました。終了します。\r\nエラー番号: ")))
        << error.text.toStdString();
    EXPECT_TRUE(error.text.contains(QStringLiteral("Login failed for user ''")))
        << error.text.toStdString();
    EXPECT_FALSE(a.view().isVisible());
}

TEST(Startup, ASecondCopyEndsSilently) {
    AppOnSample first;
    ASSERT_EQ(first.app->Form_Load(), LoadResult::Loaded);
    ScriptedBoxes boxes;
    LockFileInstance sameLock(QDir(first.site.path()).filePath(QStringLiteral("tanka.lock")));
    TankaApp second({first.env, first.site.drive, first.clock, boxes, sameLock});
    EXPECT_EQ(second.Form_Load(), LoadResult::AnotherCopy);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(second.connection(), nullptr);
}

TEST(SingleInstanceLock, HeldUntilItsOwnerGoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.lock"));
    auto first = std::make_unique<LockFileInstance>(path);
    LockFileInstance second(path);
    EXPECT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire()) << "asking again keeps the claim";
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

} // namespace
} // namespace tanka::test
