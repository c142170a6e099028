#pragma once
// The command line: `tanka convert ...`, `tanka undo JOURNAL ...` and the
// help, headless. Each command starts up as the window does (session.h) and
// then works on the same engine: the slot decision, the preview, the run
// and the undo of the pricing layer. Results go to standard output
// ("履歴ファイル: <path>", the dry run's report), messages to standard error.

#include <QStringList>

#include "app/single_instance.h"
#include "core/clock.h"
#include "install/drive_map.h"
#include "install/system_env.h"

namespace tanka::cli {

// The platform services a command runs on; all outlive the call.
struct CliPlatform {
    const SystemEnv& env;
    const DriveMap& drive;
    const Clock& clock;
    SingleInstance& instance;
};

// Runs the command of args (the arguments after the program's name) and
// returns the exit status (command_line.h).
int runCommandLine(const QStringList& args, const CliPlatform& platform);

} // namespace tanka::cli
