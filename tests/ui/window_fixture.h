#pragma once
// Test doubles and a sample-installation fixture shared by the window and
// start-up tests: scripted message boxes, a console-login environment, and a
// main window logic running on a fresh sample installation.

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/check_setting.h"
#include "db/connect.h"
#include "install/install.h"
#include "pricing/checks.h"
#include "tools/sample/sample_install.h"
#include "ui/main_window/main_form.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tanka::test {

struct ShownBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

// Records every box; answers from the queue, else Yes to Yes/No and Ok to OK.
class ScriptedBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon,
                   const QString& title) override {
        shown.push_back({text, buttons, icon, title});
        if (onShow)
            onShow(shown.back());
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    std::vector<ShownBox> shown;
    std::deque<MsgAnswer> answers;
    std::function<void(const ShownBox&)> onShow;
};

// A console login on a machine whose system folder is C:\WINDOWS\system32.
class ConsoleEnv final : public SystemEnv {
public:
    QString variable(const QString& name) const override {
        return name == QLatin1String("SESSIONNAME") ? QStringLiteral("Console") : QString();
    }
    QString systemDirectory() const override { return QStringLiteral("C:\\WINDOWS\\system32"); }
};

// A sample installation in a temporary folder, the environment pointed at it.
struct SampleFolder {
    explicit SampleFolder(const sample::Options& options = {})
        : install(sample::writeSampleInstall(dir.path(), options)), drive(install.driveC) {
        install.applyEnvironment();
    }
    QTemporaryDir dir;
    sample::SampleInstall install;
    DriveMap drive;
};

// The window logic on a sample installation, prepared as start-up prepares
// it (installation, settings, connection, headquarters test, store data,
// empty store list), without running a refresh.
struct FormOnSample {
    explicit FormOnSample(const sample::Options& options = {})
        : sample(options), form(model, g, CN, FormServices{boxes, sample.drive, clock}) {
        const InstallContext ctx{sample.drive, env};
        Check_Install(g, ctx);
        Check_Setting(g, ctx, boxes);
        L_Start_CN(CN, g);
        g.HonbuFlg = Check_Honbu(CN.get());
        Get_Mise(*CN, g);
        for (int row = 0; row < 20; ++row)
            g.MiseList[static_cast<std::size_t>(row)] = {QStringLiteral("0"), QString(), QString()};
        form.processEvents = [this] { ++eventRounds; };
        form.unload = [this] { ++unloads; };
    }
    ~FormOnSample() { L_End_CN(CN); }

    // Runs SQL on one of the sample's databases ("MSTORI", "MSHONB", ...).
    void sql(const QString& database, const QStringList& statements) {
        sample::execSql(sample.install.databaseFile(database), statements);
    }

    SampleFolder sample;
    ConsoleEnv env;
    FixedClock clock{QDate(2019, 9, 30)};
    ScriptedBoxes boxes;
    Globals g;
    std::unique_ptr<Connection> CN;
    WindowModel model;
    MainForm form;
    int eventRounds = 0;
    int unloads = 0;
};

} // namespace tanka::test
