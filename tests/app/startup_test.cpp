// Start-up and unload of the program on sample installations: the normal
// start, the ways it ends early, and the connection's life.

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "app/app_fixture.h"
#include "tools/sample/sample_install.h"

namespace tanka::test {
namespace {

TEST(Startup, NormalStartPreparesTheWindow) {
    AppOnSample a;
    a.app->globals().MiseList[20][0] = QStringLiteral("row 20");
    a.app->globals().MiseList[3][0] = QStringLiteral("12");
    ASSERT_EQ(a.app->Form_Load(), LoadResult::Loaded);
    EXPECT_TRUE(a.boxes.shown.empty());

    const WindowModel& m = a.app->model();
    EXPECT_EQ(m.Label1.caption, QStringLiteral("※技術及び店販メニューの現行単価を変更します。\r\n"
                                               "　下記１・２のいずれかを選択して下さい。"));
    EXPECT_EQ(m.Label2.caption,
              QStringLiteral("１．内税の８％単価を１０％単価に変更。\r\n"
                             "　　計算式：（（現行単価－（現行単価×８÷１０８））×１．１０）"));
    EXPECT_EQ(m.Label3.caption, QStringLiteral("２．内税の８％単価を外税（税抜き）単価に変更。\r\n"
                                               "　　計算式：（現行単価－（現行単価×８÷１０８））"));
    EXPECT_TRUE(m.Label4.caption.isEmpty());
    EXPECT_EQ(m.Label5.backColor, rgb(0, 134, 189));

    const Globals& g = a.app->globals();
    for (std::size_t row = 0; row < 20; ++row) {
        EXPECT_EQ(g.MiseList[row][0], QStringLiteral("0")) << row;
        EXPECT_TRUE(g.MiseList[row][1].isEmpty()) << row;
    }
    EXPECT_EQ(g.MiseList[20][0], QStringLiteral("row 20"));
    EXPECT_EQ(g.HonbuFlg, False);
    EXPECT_EQ(g.MiseSyoriDate, QStringLiteral("2019/09/30"));
    EXPECT_EQ(g.LoginID, QStringLiteral("ORBE-TLX-MEMBER"));
    // The sample's menus use slot A: the refresh ran.
    EXPECT_EQ(g.GijuDstSlot, 1);
    EXPECT_EQ(g.TenDstSlot, 1);
    EXPECT_EQ(g.HasuMode, -1);
    EXPECT_FALSE(m.SSCommand4.enabled);
    EXPECT_FALSE(a.app->view().isVisible()) << "the caller shows the window";
    ASSERT_NE(a.app->connection(), nullptr);
    EXPECT_TRUE(a.app->connection()->isOpen());

    // The window is centred on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(m.left, (screen.width() - a.app->view().frameGeometry().width()) / 2, 1);
    EXPECT_EQ(a.app->view().pos(), QPoint(m.left, m.top));
}

TEST(Startup, ClosingTheWindowClosesTheConnection) {
    for (const bool viaExit : {false, true}) {
        SCOPED_TRACE(viaExit ? "Exit button" : "close box");
        AppOnSample a;
        ASSERT_EQ(a.app->Form_Load(), LoadResult::Loaded);
        a.app->view().show();
        if (viaExit)
            qobject_cast<QAbstractButton*>(a.app->view().widget({ControlId::SSCommand5}))->click();
        else
            a.app->view().close();
        EXPECT_TRUE(a.app->view().unloaded());
        EXPECT_EQ(a.app->connection(), nullptr);
    }
}

TEST(Startup, NoInstallationEndsWithTheTwoLineMessage) {
    QTemporaryDir emptyDriveC;
    const DriveMap drive(emptyDriveC.path());
    ConsoleEnv env;
    FixedClock clock{QDate(2019, 9, 30)};
    ScriptedBoxes boxes;
    LockFileInstance instance(QDir(emptyDriveC.path()).filePath(QStringLiteral("tanka.lock")));
    TankaApp app({env, drive, clock, boxes, instance});

    EXPECT_EQ(app.Form_Load(), LoadResult::NoInstallation);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("ルミナが見つかりません\r\n終了します"));
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(boxes.shown[0].title.isEmpty());
    EXPECT_EQ(app.connection(), nullptr);
    EXPECT_FALSE(app.view().isVisible());
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
    EXPECT_FALSE(a.app->view().isVisible());
}

TEST(Startup, AnUnreachableDatabaseShowsTheOpensOwnError) {
    AppOnSample a;
    QFile::remove(a.sample.install.databaseFile(QStringLiteral("MSKYAK")));
    EXPECT_EQ(a.app->Form_Load(), LoadResult::Failed);
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_TRUE(a.boxes.shown[0].text.contains(QStringLiteral("MSKYAK"), Qt::CaseInsensitive))
        << a.boxes.shown[0].text.toStdString();
}

TEST(Startup, ASecondCopyEndsSilently) {
    AppOnSample first;
    ASSERT_EQ(first.app->Form_Load(), LoadResult::Loaded);

    ScriptedBoxes boxes;
    LockFileInstance sameLock(QDir(first.sample.dir.path()).filePath(QStringLiteral("tanka.lock")));
    TankaApp second({first.env, first.sample.drive, first.clock, boxes, sameLock});
    EXPECT_EQ(second.Form_Load(), LoadResult::AnotherCopy);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(second.connection(), nullptr);
    EXPECT_FALSE(second.view().isVisible());
}

TEST(SingleInstanceLock, HeldUntilItsOwnerGoes) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("x.lock"));
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
