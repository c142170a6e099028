// Execute: the window's side of a conversion run.

#include "ui/main_window/main_form.h"

#include "pricing/execute.h"

namespace tanka {

void MainForm::SSCommand4_Click() {
    Connection& connection = cn();
    RunHooks hooks;
    hooks.started = [this] {
        m_running = true;
        m.SSCommand4.enabled = false;
        m.enabled = false;
        m.Command1.visible = true;
        doEvents(); // paint the banner before the first row
    };
    hooks.progress = [this](tanka::Menu, RunPhase, qint64, qint64) { doEvents(); };
    hooks.finished = [this] {
        m.Command1.visible = false;
        doEvents();
    };

    RunResult result = RunResult::Failed;
    try {
        result =
            executeRun(connection, g, m_services.boxes, m_services.drive, m_services.clock, hooks);
    } catch (...) {
        m_running = false;
        throw;
    }
    m_running = false;
    // Another run needs a new start of the program, also after a failed one.
    if (result == RunResult::Finished || result == RunResult::Failed)
        SSCommand5_Click();
}

} // namespace tanka
