#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

#include "install/install.h"
#include "support/drive_c.h"

using namespace tanka;
using tanka::test::DriveC;
using tanka::test::ScriptedEnv;

namespace {

struct Candidate {
    QString directory; // on disk, host-relative
    QString iniFile;   // on disk, host-relative
    QString iniFolder;
    QString iniName;
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

Globals discover(const DriveC& drive) {
    const ScriptedEnv env;
    Globals g;
    Check_Install(g, InstallContext{drive.map(), env});
    return g;
}

// Each candidate is found alone, and wins over every later one present.
TEST(CheckInstall, CandidatesInProbingOrder) {
    for (size_t first = 0; first < kCandidates.size(); ++first) {
        for (const bool withLater : {false, true}) {
            const Candidate& c = kCandidates[first];
            SCOPED_TRACE(c.directory.toStdString() + (withLater ? " with later ones" : " alone"));
            DriveC drive;
            // Written last to first, so a shared settings file holds the first one's MiseID.
            const size_t end = withLater ? kCandidates.size() : first + 1;
            for (size_t i = end; i-- > first;) {
                drive.mkdir(kCandidates[i].directory);
                drive.writeText(kCandidates[i].iniFile,
                                QString("[LUMINA]\r\nMsTori=SV1\r\nMiseID=%1\r\n").arg(i + 1));
            }
            const Globals g = discover(drive);
            EXPECT_EQ(g.IniDrive, "C:");
            EXPECT_EQ(g.IniFolder, c.iniFolder);
            EXPECT_EQ(g.IniName, c.iniName);
            EXPECT_EQ(g.MyMiseID, c.readsMiseID ? int(first + 1) : 0);
        }
    }
}

// Writes a drive from entries "path" (a folder) or "path|line|line..." (a
// settings file; "[LUMINA]" comes first unless the first line is a section).
void layOut(const DriveC& drive, const std::vector<QString>& entries) {
    for (const QString& entry : entries) {
        QStringList lines = entry.split(u'|');
        const QString path = lines.takeFirst();
        if (entry == path)
            drive.mkdir(path);
        else if (lines.front().startsWith(u'['))
            drive.writeText(path, lines.join("\r\n") + "\r\n");
        else
            drive.writeText(path, "[LUMINA]\r\n" + lines.join("\r\n") + "\r\n");
    }
}

// (A MiseID beyond 16 bits is among the start-up tests.)
TEST(CheckInstall, Scenarios) {
    struct Outcome {
        bool found;
        QString iniFolder, iniName;
        int miseID;
    };
    const struct {
        const char* name;
        Outcome expected;
        std::vector<QString> entries;
    } cases[] = {
        {"headquarters without MsTori, a store of another line taken",
         {true, "\\KOWin\\", "KOTA.ini", 3},
         {"ZEMAH", "KOTA", "ZEWIN/ZEMA.ini|MsKyak=SV1", "KOWIN/KOTA.ini|MsTori=SV2|MiseID=3"}},
        {"none usable (a blank MsTori is none): the last tried names stay",
         {false, "\\KOWIN\\", "MIRO.ini", 0},
         {"ZEMAH", "KOTAH", "MIROH", "ZEMA", "KOTA", "MIRO", "ZEWIN/ZEMA.ini|MsTori=  "}},
        {"a file in place of the directory counts; MiseID with blanks",
         {true, "\\ZEWIN\\", "ZEMA.ini", 12},
         {"ZEMA|x", "ZEWIN/ZEMA.ini|MsTori=SV1|MiseID= 12 "}},
        {"folders, files, section and keys in other letter case",
         {true, "\\KOWin\\", "KOTA.ini", 5},
         {"kotah", "kowin/kota.INI|[lumina]|mstori=SV1|miseid=5"}},
        {"MiseID missing",
         {true, "\\KOWin\\", "KOTA.ini", 0},
         {"KOTA", "KOWIN/KOTA.ini|MsTori=SV1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DriveC drive;
        layOut(drive, c.entries);
        const Globals g = discover(drive);
        const Outcome& x = c.expected;
        EXPECT_EQ(g.IniDrive, x.found ? "C:" : "");
        EXPECT_EQ(g.IniFolder, x.iniFolder);
        EXPECT_EQ(g.IniName, x.iniName);
        EXPECT_EQ(g.MyMiseID, x.miseID);
    }
}

Globals zemaStore() {
    Globals g;
    g.IniDrive = "C:";
    g.IniFolder = "\\ZEWIN\\";
    g.IniName = "ZEMA.ini";
    return g;
}

// Where the settings file is read from: the user's own copy (remote login
// only), the machine-wide program folder, the Windows directory.
TEST(SettingsLocation, SessionAndCopiesDecideTheFile) {
    enum Copy { Home = 1, Prog = 2, Win = 4 };
    const QString taro = "\\Users\\taro", sys = "C:\\WINDOWS\\system32";
    const struct {
        const char* name;
        QString session, homePath; // null: absent
        int copies;
        QString systemDir, expectedTori;
        bool homeFolder; // Get_ProgPath under HOMEPATH
    } cases[] = {
        {"console, all copies", "Console", taro, Home | Prog | Win, sys, "PROG", false},
        {"console never uses the home copy", "Console", taro, Home | Win, sys, "WIN", false},
        {"no session name counts as remote", QString(), taro, Home, sys, "HOME", true},
        {"session name case matters", "console", taro, Home | Prog, sys, "HOME", true},
        {"remote without home copy", "RDP-Tcp#0", taro, Prog | Win, sys, "PROG", false},
        {"remote, Windows directory only", "RDP-Tcp#0", taro, Win, sys, "WIN", false},
        {"HOMEPATH climbing out stays on the drive", "RDP-Tcp#0", "\\..\\..\\..", Prog, sys, "PROG",
         true},
        {"system directory unknown", "Console", taro, Win, "", "", false},
        {"system directory as the API fills it, NUL-padded", "Console", taro, Win,
         sys + QChar(u'\0') + QChar(u'\0'), "WIN", false},
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
        env.variables["HOMEPATH"] = c.homePath;
        env.systemDir = c.systemDir;
        const Globals g = zemaStore();
        const InstallContext ctx{drive.map(), env};
        EXPECT_EQ(Get_IniData(g, ctx, "MsTori"), c.expectedTori);
        EXPECT_EQ(Get_ProgPath(g, ctx), "C:" + (c.homeFolder ? c.homePath : "") + "\\ZEWIN\\");
        EXPECT_EQ(Check_IniFile(g, ctx), (c.copies & Prog) || c.homeFolder);
    }
}

TEST(SettingsValues, TrimmedAfterUnquotingAndCutTo250Characters) {
    const QString long300 = QString::fromUtf8("渋") + QString(299, u'a');
    DriveC drive;
    layOut(drive, {"ZEWIN/ZEMA.ini|MsTori=\"  SV1  \"|MsKyak=" + long300});
    const ScriptedEnv env;
    const InstallContext ctx{drive.map(), env};
    EXPECT_EQ(Get_IniData(zemaStore(), ctx, "MsTori"), "SV1");
    EXPECT_EQ(Get_IniData(zemaStore(), ctx, "MsKyak"), long300.left(250));
}

} // namespace
