#include <vector>

#include <gtest/gtest.h>

#include "core/run_error.h"
#include "install/install.h"
#include "install_fixture.h"

using namespace tanka;
using tanka::testing::DriveC;
using tanka::testing::ScriptedEnv;

namespace {

struct Candidate {
    QString directory; // on disk, host-relative
    QString iniFile;   // on disk, host-relative
    QString iniFolder; // expected IniFolder
    QString iniName;   // expected IniName
    bool readsMiseID;
};

// The six installations in probing order.
const std::vector<Candidate> kCandidates = {
    {"ZEMAH", "ZEWIN/ZEMA.ini", "\\ZEWIN\\", "ZEMA.ini", true},
    {"KOTAH", "KOWIN/KOTA.ini", "\\KOWin\\", "KOTA.ini", true},
    {"MIROH", "KOWIN/MIRO.ini", "\\KOWIN\\", "MIRO.ini", false},
    {"ZEMA", "ZEWIN/ZEMA.ini", "\\ZEWIN\\", "ZEMA.ini", true},
    {"KOTA", "KOWIN/KOTA.ini", "\\KOWin\\", "KOTA.ini", true},
    {"MIRO", "KOWIN/MIRO.ini", "\\KOWIN\\", "MIRO.ini", false},
};

void install(const DriveC& drive, const Candidate& c, const QString& settings) {
    drive.mkdir(c.directory);
    drive.writeText(c.iniFile, settings);
}

Globals discover(const DriveC& drive, const SystemEnv& env) {
    Globals g;
    Check_Install(g, InstallContext{drive.map(), env});
    return g;
}

TEST(CheckInstall, EachCandidateAloneIsFound) {
    ScriptedEnv env;
    for (const Candidate& c : kCandidates) {
        SCOPED_TRACE(c.directory.toStdString());
        DriveC drive;
        install(drive, c, "[LUMINA]\r\nMsTori=SV1\r\nMiseID=7\r\n");
        const Globals g = discover(drive, env);
        EXPECT_EQ(g.IniDrive, "C:");
        EXPECT_EQ(g.IniFolder, c.iniFolder);
        EXPECT_EQ(g.IniName, c.iniName);
        EXPECT_EQ(g.MyMiseID, c.readsMiseID ? 7 : 0);
    }
}

// For every pair of usable installations the earlier candidate wins; pairs
// that would give the same outcome are skipped.
TEST(CheckInstall, EarlierCandidateWins) {
    ScriptedEnv env;
    for (size_t first = 0; first < kCandidates.size(); ++first) {
        for (size_t later = first + 1; later < kCandidates.size(); ++later) {
            const Candidate& a = kCandidates[first];
            const Candidate& b = kCandidates[later];
            if (a.iniName == b.iniName)
                continue;
            SCOPED_TRACE((a.directory + " before " + b.directory).toStdString());
            DriveC drive;
            install(drive, b, "[LUMINA]\r\nMsTori=SV1\r\nMiseID=2\r\n");
            install(drive, a, "[LUMINA]\r\nMsTori=SV1\r\nMiseID=1\r\n");
            const Globals g = discover(drive, env);
            EXPECT_EQ(g.IniFolder, a.iniFolder);
            EXPECT_EQ(g.IniName, a.iniName);
            EXPECT_EQ(g.MyMiseID, a.readsMiseID ? 1 : 0);
        }
    }
}

TEST(CheckInstall, Scenarios) {
    const struct {
        const char* name;
        std::vector<std::pair<QString, QString>> files; // host-relative path, CP932 text
        std::vector<QString> dirs;
        QString iniDrive, iniFolder, iniName;
        int miseID;
    } cases[] = {
        {"nothing installed", {}, {}, "", "", "", 0},
        {"headquarters lacks MsTori, store of another line taken",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsKyak=SV1\r\n"},
          {"KOWIN/KOTA.ini", "[LUMINA]\r\nMsTori=SV2\r\nMiseID=3\r\n"}},
         {"ZEMAH", "KOTA"},
         "C:",
         "\\KOWin\\",
         "KOTA.ini",
         3},
        {"blank MsTori counts as missing",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=   \r\n"},
          {"KOWIN/MIRO.ini", "[LUMINA]\r\nMsTori=SV2\r\n"}},
         {"ZEMAH", "MIRO"},
         "C:",
         "\\KOWIN\\",
         "MIRO.ini",
         0},
        {"none usable: the last tried candidate's names stay",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\n"}},
         {"ZEMAH", "KOTAH", "MIROH", "ZEMA", "KOTA", "MIRO"},
         "",
         "\\KOWIN\\",
         "MIRO.ini",
         0},
        {"settings without a candidate directory are ignored",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\n"}},
         {},
         "",
         "",
         "",
         0},
        {"a file in place of the directory counts",
         {{"ZEMA", "x"}, {"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=4\r\n"}},
         {},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         4},
        {"folders and files in other letter case",
         {{"kowin/kota.INI", "[lumina]\r\nmstori=SV1\r\nmiseid=5\r\n"}},
         {"kotah"},
         "C:",
         "\\KOWin\\",
         "KOTA.ini",
         5},
        {"MIRO ignores its MiseID",
         {{"KOWIN/MIRO.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=99\r\n"}},
         {"MIROH"},
         "C:",
         "\\KOWIN\\",
         "MIRO.ini",
         0},
        {"MiseID with blanks",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID= 12 \r\n"}},
         {"ZEMA"},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         12},
        {"MiseID in quotes",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=\" 12 \"\r\n"}},
         {"ZEMA"},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         12},
        {"MiseID of letters",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=abc\r\n"}},
         {"ZEMA"},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         0},
        {"MiseID missing",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\n"}},
         {"ZEMA"},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         0},
        {"MiseID with a half rounds to even",
         {{"ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=12.5\r\n"}},
         {"ZEMA"},
         "C:",
         "\\ZEWIN\\",
         "ZEMA.ini",
         12},
        {"settings only in the Windows directory",
         {{"WINDOWS/KOTA.ini", "[LUMINA]\r\nMsTori=SV1\r\nMiseID=6\r\n"}},
         {"KOTA"},
         "C:",
         "\\KOWin\\",
         "KOTA.ini",
         6},
    };
    ScriptedEnv env;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DriveC drive;
        for (const QString& dir : c.dirs)
            drive.mkdir(dir);
        for (const auto& [path, text] : c.files)
            drive.writeText(path, text);
        const Globals g = discover(drive, env);
        EXPECT_EQ(g.IniDrive, c.iniDrive);
        EXPECT_EQ(g.IniFolder, c.iniFolder);
        EXPECT_EQ(g.IniName, c.iniName);
        EXPECT_EQ(g.MyMiseID, c.miseID);
    }
}

TEST(CheckInstall, MiseIDBeyondSixteenBitsIsAnOverflow) {
    ScriptedEnv env;
    DriveC drive;
    install(drive, kCandidates[3], "[LUMINA]\r\nMsTori=SV1\r\nMiseID=40000\r\n");
    Globals g;
    try {
        Check_Install(g, InstallContext{drive.map(), env});
        ADD_FAILURE() << "no overflow raised";
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
}

// Where the settings file is read from: the user's own copy (remote login
// only), the machine-wide program folder, the Windows directory.
TEST(SettingsLocation, SessionAndCopiesDecideTheFile) {
    enum Copy { Home = 1, Prog = 2, Win = 4 };
    const struct {
        const char* name;
        QString session; // null: absent
        QString homePath;
        int copies;
        QString systemDir;
        QString expectedTori;
        QString expectedProgPath;
    } cases[] = {
        {"console, all copies", "Console", "\\Users\\taro", Home | Prog | Win,
         "C:\\WINDOWS\\system32", "PROG", "C:\\ZEWIN\\"},
        {"console never uses the home copy", "Console", "\\Users\\taro", Home | Win,
         "C:\\WINDOWS\\system32", "WIN", "C:\\ZEWIN\\"},
        {"console, none", "Console", "\\Users\\taro", Home, "C:\\WINDOWS\\system32", "",
         "C:\\ZEWIN\\"},
        {"remote, home copy", "RDP-Tcp#0", "\\Users\\taro", Home | Prog | Win,
         "C:\\WINDOWS\\system32", "HOME", "C:\\Users\\taro\\ZEWIN\\"},
        {"no session name counts as remote", QString(), "\\Users\\taro", Home | Prog,
         "C:\\WINDOWS\\system32", "HOME", "C:\\Users\\taro\\ZEWIN\\"},
        {"session name case matters", "console", "\\Users\\taro", Home | Prog,
         "C:\\WINDOWS\\system32", "HOME", "C:\\Users\\taro\\ZEWIN\\"},
        {"remote without home copy", "RDP-Tcp#0", "\\Users\\taro", Prog | Win,
         "C:\\WINDOWS\\system32", "PROG", "C:\\ZEWIN\\"},
        {"remote, Windows directory only", "RDP-Tcp#0", "\\Users\\taro", Win,
         "C:\\WINDOWS\\system32", "WIN", "C:\\ZEWIN\\"},
        {"remote without HOMEPATH", "RDP-Tcp#0", QString(), Home | Prog, "C:\\WINDOWS\\system32",
         "PROG", "C:\\ZEWIN\\"},
        {"HOMEPATH climbing out stays on the drive", "RDP-Tcp#0", "\\..\\..\\..", Prog,
         "C:\\WINDOWS\\system32", "PROG", "C:\\..\\..\\..\\ZEWIN\\"},
        {"system directory unknown", "Console", QString(), Win, "", "", "C:\\ZEWIN\\"},
        {"system directory elsewhere", "Console", QString(), Win, "C:\\WinNT\\System32", "",
         "C:\\ZEWIN\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DriveC drive;
        if (c.copies & Home)
            drive.writeText("Users/taro/ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=HOME\r\n");
        if (c.copies & Prog)
            drive.writeText("ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=PROG\r\n");
        if (c.copies & Win)
            drive.writeText("Windows/ZEMA.ini", "[LUMINA]\r\nMsTori=WIN\r\n");
        ScriptedEnv env;
        if (!c.session.isNull())
            env.variables["SESSIONNAME"] = c.session;
        if (!c.homePath.isNull())
            env.variables["HOMEPATH"] = c.homePath;
        env.systemDir = c.systemDir;
        Globals g;
        g.IniDrive = "C:";
        g.IniFolder = "\\ZEWIN\\";
        g.IniName = "ZEMA.ini";
        const InstallContext ctx{drive.map(), env};
        EXPECT_EQ(Get_IniData(g, ctx, "MsTori"), c.expectedTori);
        EXPECT_EQ(Get_ProgPath(g, ctx), c.expectedProgPath);
        EXPECT_EQ(Check_IniFile(g, ctx), bool(c.copies & Prog) || c.expectedTori == "HOME");
    }
}

TEST(SettingsValues, TrimmedCutAndDecodedFromCp932) {
    const QString long300 = QString::fromUtf8("渋") + QString(299, u'a');
    const struct {
        const char* name;
        QString line; // written as CP932
        QString expected;
    } cases[] = {
        {"blanks around", "MsTori=   SV1   ", "SV1"},
        {"blanks inside quotes are lost too", "MsTori=\"  SV1  \"", "SV1"},
        {"300 characters cut to 250", "MsTori=" + long300, long300.left(250)},
        {"250 characters kept", "MsTori=" + long300.left(250), long300.left(250)},
        {"shift-jis", QString::fromUtf8("MsTori=サーバー①"), QString::fromUtf8("サーバー①")},
        {"missing key", "MsKyak=SV1", ""},
    };
    ScriptedEnv env;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DriveC drive;
        drive.writeText("ZEWIN/ZEMA.ini", "[LUMINA]\r\n" + c.line + "\r\n");
        Globals g;
        g.IniDrive = "C:";
        g.IniFolder = "\\ZEWIN\\";
        g.IniName = "ZEMA.ini";
        EXPECT_EQ(Get_IniData(g, InstallContext{drive.map(), env}, "MsTori"), c.expected);
    }
}

} // namespace
