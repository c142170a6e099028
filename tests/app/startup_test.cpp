// Start-up and unload of the program on sample installations: the normal
// start, the ways it ends early, and the connection's life.

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "support/gui_app.h"

#include <sys/wait.h>
#include <unistd.h>

namespace tanka::test {
namespace {

TEST(Startup, NormalStartPreparesTheWindow) {
    AppOnSample a;
    ASSERT_EQ(a.app->Form_Load(), LoadResult::Loaded);
    EXPECT_TRUE(a.boxes.shown.empty());
    EXPECT_FALSE(a.view().isVisible()) << "the caller shows the window";
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

// The lines come in the databases' order and name ZEMA.ini whatever the
// product line.
TEST(Startup, MissingServerNamesThenTheRefusedLoginIsShown) {
    sample::Options o;
    o.product = sample::Product::KOTA;
    o.omitIniKeys = {QStringLiteral("MsHonb"), QStringLiteral("MsUria")};
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

// A store number beyond 16 bits in the settings file is an overflow while the
// installation is read: shown with its number and text, then the end.
TEST(Startup, StoreNumberOutOfRangeIsShownAndEnds) {
    sample::Options o;
    o.iniMiseId = QStringLiteral("99999");
    AppOnSample a(o);
    EXPECT_EQ(a.app->Form_Load(), LoadResult::Failed);
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_EQ(a.boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(a.boxes.shown[0].text,
              QStringLiteral("エラーが発生しました。終了します。\r\nエラー番号: 6\r\nOverflow"));
    EXPECT_EQ(a.app->connection(), nullptr);
    EXPECT_FALSE(a.view().isVisible());
}

// A server name holding the connection syntax is named as a wrong setting and
// never reaches a driver; no message shows the password or the login pieces.
TEST(Startup, ServerNameWithConnectionSyntaxIsRefused) {
    AppOnSample a;
    QFile ini(a.site.install.iniFile);
    ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
    const QByteArray text = ini.readAll().replace("MsKyak=SV01", "MsKyak=SV01;uid=\"");
    ini.resize(0);
    ini.seek(0);
    ini.write(text);
    ini.close();
    EXPECT_EQ(a.app->Form_Load(), LoadResult::Failed);
    ASSERT_EQ(a.boxes.shown.size(), 2u);
    EXPECT_EQ(a.boxes.shown[0].text,
              QStringLiteral("ZEMA.ini Mskyakの設定が違います SV01;uid=\"\r\n"));
    for (const ShownBox& box : a.boxes.shown) {
        EXPECT_FALSE(box.text.contains(QStringLiteral("QDR615"))) << box.text.toStdString();
        EXPECT_FALSE(box.text.contains(QStringLiteral("pwd="), Qt::CaseInsensitive));
    }
}

// Another program holding a write lock on a database: start-up waits one
// bounded while. On MSTORI it then says the database is in use and ends; on
// MSLOCL, which only may supply the store number, it goes on with the
// settings file's number, as for an MSLOCL it cannot open.
TEST(Startup, LockedDatabaseWaitsABoundedWhile) {
    const struct {
        const char* database;
        LoadResult result;
        QStringList texts;
    } cases[] = {
        {"MSTORI",
         LoadResult::Failed,
         {QStringLiteral("データベースが他のプログラムで使用中のため、起動できません。\r\n"
                         "終了します。")}},
        {"MSLOCL", LoadResult::Loaded, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.database);
        AppOnSample a;
        a.app->setStartupLockWait(1);
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
        other.setDatabaseName(a.site.file(QString::fromLatin1(c.database)));
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            << lock.lastError().text().toStdString();
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(a.app->Form_Load(), c.result);
        EXPECT_LT(timer.elapsed(), 8000) << "a few waits of a second, not one per database";
        EXPECT_EQ(a.boxes.texts(), c.texts);
        EXPECT_EQ(a.g().MyMiseID, a.site.install.miseId);
        lock.exec(QStringLiteral("ROLLBACK"));
        lock = QSqlQuery();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    }
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

// A copy that died without releasing its lock does not keep the next start
// out.
TEST(SingleInstanceLock, ADeadCopysLockIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.lock"));
    const pid_t child = ::fork();
    if (child == 0) {
        QLockFile lock(path);
        ::_exit(lock.tryLock(0) ? 0 : 1); // ends without unlocking
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFileInfo::exists(path));
    LockFileInstance next(path);
    EXPECT_EQ(next.acquire(), InstanceClaim::Only);
}

// The default lock sits in a folder of the user's own.
TEST(SingleInstanceLock, DefaultLockIsInTheUsersOwnFolder) {
    const QFileInfo folder(QFileInfo(LockFileInstance::defaultPath()).path());
    ASSERT_TRUE(folder.isDir());
    EXPECT_EQ(folder.ownerId(), ::getuid());
    EXPECT_EQ(folder.permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
}

// A lock that cannot be made is said so, and start-up ends.
TEST(Startup, UncheckableLockIsShownAndEnds) {
    AppOnSample first;
    QFile notAFolder(QDir(first.site.path()).filePath(QStringLiteral("file")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    ScriptedBoxes boxes;
    LockFileInstance lock(notAFolder.fileName() + QStringLiteral("/tanka.lock"));
    TankaApp app({first.env, first.site.drive, first.clock, boxes, lock});
    EXPECT_EQ(app.Form_Load(), LoadResult::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(
        QStringLiteral("他に起動中でないか確認できませんでした。終了します。\r\n")));
    EXPECT_EQ(app.connection(), nullptr);
}

} // namespace
} // namespace tanka::test
