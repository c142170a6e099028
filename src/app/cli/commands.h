#pragma once
// The two commands, each from a parsed request to an exit status.

#include <functional>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/command_line.h"
#include "app/cli/terminal.h"
#include "core/globals.h"
#include "db/connection.h"

namespace tanka::cli {

// The program-wide values and connection of one command, started up as the
// window's; the connection is closed when it goes.
class Session {
public:
    Session(const CliPlatform& platform, TerminalBoxes& boxes);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up; Done when the command may go on, else the exit status (its
    // message is shown).
    int start();

    Globals g;
    Connection& cn() { return *m_cn; }

private:
    const CliPlatform& p;
    TerminalBoxes& m_boxes;
    std::unique_ptr<Connection> m_cn;
};

// An error outside a run: its number and text, and that nothing changed.
QString errorText(std::int32_t number, const QString& description);
// Runs body; an error it raises is shown with errorText and gives Failed.
int reportingErrors(const std::function<int()>& body);

int runConvert(const ConvertRequest& request, const CliPlatform& platform);
int runUndo(const UndoRequest& request, const CliPlatform& platform);

} // namespace tanka::cli
