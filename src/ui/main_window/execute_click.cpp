// Execute: the window's side of a conversion run.

#include "ui/main_window/main_form.h"

#include <optional>
#include <utility>

#include <QElapsedTimer>
#include <QFileInfo>

#include "pricing/execute.h"

namespace tanka {
namespace {

// How often a run lets the window repaint and take its events: often enough
// for a live progress bar, rarely enough that a run of many rows does not
// spend its time on the window.
constexpr qint64 RepaintIntervalMs = 30;

QString progressText(Menu menu, RunPhase phase) {
    QString text = menu == Menu::Technical ? QStringLiteral("技術") : QStringLiteral("店販");
    if (phase == RunPhase::Backup)
        text += QStringLiteral(" バックアップ");
    return text;
}

} // namespace

void MainForm::onExecuteClicked() {
    Connection& connection = cn();
    QElapsedTimer sinceEvents; // monotonic
    std::optional<std::pair<tanka::Menu, RunPhase>> step;
    RunHooks hooks;
    hooks.started = [this, &sinceEvents] {
        m_running = true;
        m.executeButton.enabled = false;
        m.previewButton.enabled = false;
        m.enabled = false;
        m.busyProgress = {};
        m.busyBanner.visible = true;
        doEvents(); // paint the banner before the first row
        sinceEvents.start();
    };
    hooks.progress = [this, &sinceEvents, &step](tanka::Menu menu, RunPhase phase, qint64 done,
                                                 qint64 total) {
        if (step != std::pair{menu, phase}) {
            step = std::pair{menu, phase};
            m.busyProgress.text = progressText(menu, phase);
        }
        m.busyProgress.done = done;
        m.busyProgress.total = total;
        // The start and the end of a step are always shown; rows between them
        // only when the window has waited long enough.
        if (done == 0 || done == total || sinceEvents.elapsed() >= RepaintIntervalMs) {
            doEvents();
            sinceEvents.start();
        }
    };
    hooks.finished = [this] {
        m.busyBanner.visible = false;
        m.busyProgress = {};
        doEvents();
    };
    // Where the record of the run went, before the closing "終了しました",
    // in the form the user knows the work folder by.
    hooks.journaled = [this](const QString& path) {
        m_services.boxes.show(QStringLiteral("変更の履歴を保存しました。\r\n") + g.workFolder +
                                  u'\\' + QFileInfo(path).fileName(),
                              MsgButtons::Ok, MsgIcon::Information);
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
        onExitClicked();
}

} // namespace tanka
