#include <QDir>

#include <gtest/gtest.h>

#include "support/drive_c.h"

using namespace tanka;
using tanka::test::DriveC;

namespace {

TEST(DriveMap, MapsDriveCPathsInsideTheRootOnlyAndBack) {
    DriveC drive;
    drive.writeText("ZEWIN/ZEMA.ini", "[LUMINA]\r\n");
    drive.mkdir("Users/Taro");
    drive.mkdir("Data");
    drive.mkdir("DATA");
    enum Entry { None, File, Dir };
    const struct {
        QString windows;
        QString relative; // expected host path under the root; null: no host path
        Entry entry;
    } cases[] = {
        {"C:\\ZEWIN\\ZEMA.ini", "ZEWIN/ZEMA.ini", File},
        {"c:\\zewin\\zema.INI", "ZEWIN/ZEMA.ini", File},
        {"C:/ZEWIN\\\\.\\ZEMA.ini", "ZEWIN/ZEMA.ini", File},
        // A missing entry keeps its spelling; an existing one in the exact spelling wins.
        {"C:\\users\\TARO\\KOWin\\", "Users/Taro/KOWin", None},
        {"C:\\Data", "Data", Dir},
        {"C:", "", Dir},
        {"C:\\..\\..\\etc\\passwd", "etc/passwd", None}, // ".." never leaves the root
        {"D:\\ZEWIN\\ZEMA.ini", QString(), None},
        {"\\\\server\\share\\x", QString(), None},
        {"C:ZEWIN", QString(), None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows.toStdString());
        const QString expected = c.relative.isNull()    ? QString()
                                 : c.relative.isEmpty() ? QDir::cleanPath(drive.root())
                                                        : QDir::cleanPath(drive.host(c.relative));
#ifdef _WIN32
        // Windows' own file system finds any spelling, so the one asked for stands.
        EXPECT_EQ(drive.map().hostPath(c.windows).toLower(), expected.toLower());
#else
        EXPECT_EQ(drive.map().hostPath(c.windows), expected);
#endif
        EXPECT_EQ(drive.map().fileExists(c.windows), c.entry == File);
        EXPECT_EQ(drive.map().dirExists(c.windows), c.entry == Dir);
        EXPECT_EQ(drive.map().exists(c.windows), c.entry != None);
    }
    // Host paths back to drive C:.
    const QString root = QDir::cleanPath(drive.root());
    const struct {
        QString host;
        QString windows;
    } back[] = {
        {root + "/Users/../ZEWIN/ZEMA.ini", "C:\\ZEWIN\\ZEMA.ini"},
        {root + "/..", ""},
        {root + "x/ZEWIN", ""}, // a sibling sharing the root's name as a prefix
    };
    for (const auto& c : back)
        EXPECT_EQ(drive.map().windowsPath(c.host), c.windows) << c.host.toStdString();
}

#ifndef Q_OS_WIN
// Without a root a non-Windows host has no drive C: (and never touches files
// named "C:\..." in the current folder).
TEST(DriveMapRoot, EmptyRootMapsNothingOffWindows) {
    const DriveMap none;
    EXPECT_TRUE(none.hostPath("C:\\ZEWIN\\ZEMA.ini").isEmpty());
    EXPECT_FALSE(none.exists("C:\\"));
    EXPECT_TRUE(none.windowsPath("/tmp").isEmpty());
}
#endif

} // namespace
