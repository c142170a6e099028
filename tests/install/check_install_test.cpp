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
    bool readsStoreId;
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
    findInstallation(g, InstallContext{drive.map(), env});
    return g;
}

// Each candidate wins over every later one present (the last is alone).
TEST(CheckInstall, CandidatesInProbingOrder) {
    for (size_t first = 0; first < kCandidates.size(); ++first) {
        const Candidate& c = kCandidates[first];
        SCOPED_TRACE(c.directory.toStdString());
        DriveC drive;
        // Written last to first, so a shared settings file holds the first one's MiseID.
        for (size_t i = kCandidates.size(); i-- > first;) {
            drive.mkdir(kCandidates[i].directory);
            drive.writeText(kCandidates[i].iniFile,
                            QString("[LUMINA]\r\nMsTori=SV1\r\nMiseID=%1\r\n").arg(i + 1));
        }
        const Globals g = discover(drive);
        EXPECT_EQ(g.installDrive, "C:");
        EXPECT_EQ(g.installFolder, c.iniFolder);
        EXPECT_EQ(g.settingsFileName, c.iniName);
        EXPECT_EQ(g.ownStoreId, c.readsStoreId ? int(first + 1) : 0);
    }
}

// A candidate whose settings file names no MsTori is passed over. (A MiseID
// beyond 16 bits is among the start-up tests.)
TEST(CheckInstall, CandidateWithoutMsToriIsPassedOver) {
    DriveC drive;
    drive.mkdir("ZEMAH");
    drive.mkdir("KOTA");
    drive.writeText("ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsKyak=SV1\r\n");
    drive.writeText("KOWIN/KOTA.ini", "[LUMINA]\r\nMsTori=SV2\r\nMiseID=3\r\n");
    const Globals g = discover(drive);
    EXPECT_EQ(g.installDrive, "C:");
    EXPECT_EQ(g.installFolder, "\\KOWin\\");
    EXPECT_EQ(g.settingsFileName, "KOTA.ini");
    EXPECT_EQ(g.ownStoreId, 3);
}

// Where the settings file is read from: the user's own copy (remote login
// only), the machine-wide program folder, the Windows directory. A value is
// trimmed after unquoting and cut to 250 characters.
TEST(SettingsLocation, SessionAndCopiesDecideTheFile) {
    enum Copy { Home = 1, Prog = 2, Win = 4 };
    const QString taro = "\\Users\\taro";
    const QString long300 = QString::fromUtf8("渋") + QString(299, u'a');
    const struct {
        const char* name;
        QString session, homePath; // null: absent
        int copies;
        QString expectedTori;
        bool homeFolder; // programFolder under HOMEPATH
    } cases[] = {
        {"console, all copies", "Console", taro, Home | Prog | Win, "PROG", false},
        {"console never uses the home copy", "Console", taro, Home | Win, "WIN", false},
        {"remote without home copy", "RDP-Tcp#0", taro, Prog | Win, "PROG", false},
        {"HOMEPATH climbing out stays on the drive", "RDP-Tcp#0", "\\..\\..\\..", Prog, "PROG",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DriveC drive;
        if (c.copies & Home)
            drive.writeText("Users/taro/ZEWIN/ZEMA.ini", "[LUMINA]\r\nMsTori=HOME\r\n");
        if (c.copies & Prog)
            drive.writeText("ZEWIN/ZEMA.ini",
                            "[LUMINA]\r\nMsTori=\"  PROG  \"\r\nMsKyak=" + long300);
        if (c.copies & Win)
            drive.writeText("Windows/ZEMA.ini", "[LUMINA]\r\nMsTori=WIN\r\n");
        ScriptedEnv env;
        if (!c.session.isNull())
            env.variables["SESSIONNAME"] = c.session;
        env.variables["HOMEPATH"] = c.homePath;
        Globals g; // a ZEMA store
        g.installDrive = "C:";
        g.installFolder = "\\ZEWIN\\";
        g.settingsFileName = "ZEMA.ini";
        const InstallContext ctx{drive.map(), env};
        EXPECT_EQ(readSetting(g, ctx, "MsTori"), c.expectedTori);
        EXPECT_EQ(readSetting(g, ctx, "MsKyak"), c.expectedTori == "PROG" ? long300.left(250) : "");
        EXPECT_EQ(programFolder(g, ctx), "C:" + (c.homeFolder ? c.homePath : "") + "\\ZEWIN\\");
        EXPECT_EQ(settingsFileExists(g, ctx), (c.copies & Prog) || c.homeFolder);
    }
}

} // namespace
