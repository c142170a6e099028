#pragma once
// The start-up that the window and the command line share: the single-instance
// claim, installation discovery, the settings check, the program-wide
// connection programConnection, the headquarters test, the store's processing date and the
// emptied store list. It shows nothing itself: every message goes through the
// MessageBoxes it is given (the window's boxes, or the terminal's).

#include <functional>
#include <memory>

#include "app/single_instance.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "install/system_env.h"

namespace tanka {

// How long each statement of start-up waits for a database that another
// program has locked, seconds. A lock met at start-up costs a few such waits
// (opening the connection, attaching the databases, the first read), about
// half a minute in all, before start-up says so and ends.
inline constexpr int StartupLockWait = 10;

enum class LoadResult {
    Loaded,         // start-up finished: the window or the command may go on
    AnotherCopy,    // another copy runs; nothing was shown
    NoInstallation, // "ルミナが見つかりません" was shown
    Failed,         // an error was shown with its number and text
};

// What start-up asks of the platform; everything outlives the call.
struct StartupServices {
    const SystemEnv& env;
    const DriveMap& drive;
    MessageBoxes& boxes;
    SingleInstance& instance;
};

// Runs start-up on g and programConnection. After the shared steps, `then` runs the caller's
// own (the window's refresh); an error it raises is shown as start-up's own.
// The claim of the single instance lasts as long as services.instance.
// lockWait bounds the wait for a locked database during start-up; on success
// programConnection gets the run's command timeout back.
LoadResult startUp(Globals& g, std::unique_ptr<Connection>& programConnection,
                   const StartupServices& services, int lockWait = StartupLockWait,
                   const std::function<void()>& then = {});

} // namespace tanka
