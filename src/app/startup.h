#pragma once
// Start-up and unload of the main window: the whole program apart from main().
//
// TankaApp owns the program-wide state (Globals, the connection programConnection, the window
// model, its logic and its widgets). load runs the start-up sequence;
// when it reports Loaded the window is ready to be shown. Closing the window,
// however it happens, runs unload, which closes programConnection.

#include <memory>

#include "app/session.h"
#include "app/single_instance.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "install/system_env.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_window_view.h"

namespace tanka {

// The platform services the program runs on; all outlive the TankaApp.
struct Platform {
    const SystemEnv& env;
    const DriveMap& drive;
    const Clock& clock;
    MessageBoxes& boxes;
    SingleInstance& instance;
};

class TankaApp {
public:
    explicit TankaApp(const Platform& platform);
    ~TankaApp();
    TankaApp(const TankaApp&) = delete;
    TankaApp& operator=(const TankaApp&) = delete;

    // The shared start-up (session.h), then the window's own steps; Loaded
    // when the window is ready to be shown.
    LoadResult load();
    // Shortens the start-up's wait for a locked database (tests).
    void setStartupLockWait(int seconds) { m_startupLockWait = seconds; }
    // Closes programConnection (it may never have opened). Runs once, from the window's close.
    void unload();

    Globals& globals() { return g; }
    WindowModel& model() { return m_model; }
    MainForm& form() { return m_form; }
    MainWindowView& view() { return *m_view; }
    // The program-wide connection; null before start-up and after unload.
    Connection* connection() { return programConnection.get(); }

private:
    void centre();

    Platform p;
    int m_startupLockWait = StartupLockWait;
    Globals g;
    std::unique_ptr<Connection> programConnection;
    WindowModel m_model;
    MainForm m_form;
    std::unique_ptr<MainWindowView> m_view;
};

// Runs the program on a QApplication: load, then the window until it
// closes. Returns the process exit code (0 also for a silent second copy).
int runProgram(TankaApp& app);

} // namespace tanka
