// Start-up of the program on sample installations: the ways it ends early,
// and the store number it settles on.
// (The normal start is the first step of every window test; a missing
// installation is among the command line's tests, which take the same
// start-up steps.)

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "support/gui_app.h"
#include <QProcess>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tanka::test {
namespace {

// A store number beyond 16 bits in the settings file is an overflow while the
// installation is read: shown with its number and text, then the end.
TEST(Startup, StoreNumberOutOfRangeIsShownAndEnds) {
    sample::Options o;
    o.settingsStoreId = QStringLiteral("99999");
    AppOnSample a(o);
    EXPECT_EQ(a.app->load(), LoadResult::Failed);
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
    a.site.editIni("MsKyak=SV01", "MsKyak=SV01;uid=\"");
    EXPECT_EQ(a.app->load(), LoadResult::Failed);
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
        { // the other program, until its end releases the lock
            QSqlDatabase other =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
            other.setDatabaseName(a.site.file(QString::fromLatin1(c.database)));
            ASSERT_TRUE(other.open());
            QSqlQuery lock(other);
            ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")))
                << lock.lastError().text().toStdString();
            QElapsedTimer timer;
            timer.start();
            EXPECT_EQ(a.app->load(), c.result);
            EXPECT_LT(timer.elapsed(), 8000) << "a few waits of a second, not one per database";
            EXPECT_EQ(a.boxes.texts(), c.texts);
            EXPECT_EQ(a.g().ownStoreId, a.site.install.storeId);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    }
}

// A copy that died without releasing its lock does not keep the next start
// out.
TEST(SingleInstanceLock, ADeadCopysLockIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.lock"));
    // The helper takes the lock and ends without unlocking.
    QProcess child;
    child.start(binPath(QStringLiteral("engine_crash_helper")), {QStringLiteral("lock"), path});
    ASSERT_TRUE(child.waitForFinished(30000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(path));
    LockFileInstance next(path);
    EXPECT_EQ(next.acquire(), InstanceClaim::Only);
}

// The default lock sits in a folder of the user's own. (Windows keeps it in
// the user's profile, guarded by access lists rather than owner and mode.)
#ifndef _WIN32
TEST(SingleInstanceLock, DefaultLockIsInTheUsersOwnFolder) {
    const QFileInfo folder(QFileInfo(LockFileInstance::defaultPath()).path());
    ASSERT_TRUE(folder.isDir());
    EXPECT_EQ(folder.ownerId(), ::getuid());
    EXPECT_EQ(folder.permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
}
#endif

// A lock that cannot be made is said so, and start-up ends.
TEST(Startup, UncheckableLockIsShownAndEnds) {
    AppOnSample first;
    QFile notAFolder(QDir(first.site.path()).filePath(QStringLiteral("file")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    ScriptedBoxes boxes;
    LockFileInstance lock(notAFolder.fileName() + QStringLiteral("/tanka.lock"));
    TankaApp app({first.env, first.site.drive, first.clock, boxes, lock});
    EXPECT_EQ(app.load(), LoadResult::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(
        QStringLiteral("他に起動中でないか確認できませんでした。終了します。\r\n")));
    EXPECT_EQ(app.connection(), nullptr);
}

// The settings check: the store number from MSLOCL's MlMsno where the
// settings file gives 0, and the local database passed over when it cannot be
// reached. (A database error of start-up is shown as the other start-up
// errors are.)
TEST(CheckSetting, StoreNumberFromMlMsnoOnlyReplacesZero) {
    const struct {
        const char* name;
        const char* settingsStoreId;
        QStringList mslocl; // run on the sample's MSLOCL (MlMsno: one row, store 1)
        const char* msloclServer;
        std::int16_t expected;
    } cases[] = {
        {"zero takes MlMsno", "0", {}, "SV01", 1},
        {"settings number stays", "1", {"UPDATE MlMsno SET MiseID = 7"}, "SV01", 1},
        {"no rows keeps zero", "0", {"DELETE FROM MlMsno"}, "SV01", 0},
        {"null reads as zero", "0", {"UPDATE MlMsno SET MiseID = NULL"}, "SV01", 0},
        {"unreachable local database is passed over", "0", {}, "DOWN", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sample::Options o;
        o.settingsStoreId = QString::fromLatin1(c.settingsStoreId);
        AppOnSample a(o);
        a.site.sql(QStringLiteral("MSLOCL"), c.mslocl);
        a.site.editIni("MsLocl=SV01", QByteArray("MsLocl=") + c.msloclServer);
        EXPECT_EQ(a.app->load(), LoadResult::Loaded);
        EXPECT_TRUE(a.boxes.shown.empty()) << a.boxes.texts().join(u'|').toStdString();
        EXPECT_EQ(a.g().ownStoreId, c.expected);
    }
}

} // namespace
} // namespace tanka::test
