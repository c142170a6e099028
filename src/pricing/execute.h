#pragma once
// The run of the Execute command, without its window.
//
// executeRun asks "単価変更開始しますか？" (Yes/No, question icon) and then:
//  - finds the work directory (g.workFolder) and checks the choices; a missing
//    work directory, no conversion kind, no rounding, or (at a store) no
//    processing date refuses the run with a message: nothing has changed;
//  - calls hooks.started, begins a transaction on cn, and for each chosen menu
//    (technical menu first, then retail) writes its backup unless it exists
//    and converts its rows, reporting hooks.progress as it goes;
//  - records every row it changes in a journal in the work directory (a
//    journal that cannot be written stops the run), gives the journal its
//    final name, commits, calls hooks.finished and hooks.journaled, and shows
//    "終了しました".
// Any failure after the start (a backup that cannot be written, a database
// error, a write conflict, an overflow) rolls the transaction back, so neither
// table keeps any change of the run, and is shown to the user: the backup's
// own message, or the error's number and description. Backup files already
// complete stay.
//
// Every message goes through boxes; nothing here shows a window. After
// Finished or Failed the caller ends the program, as the window cannot be
// used again; after Declined or Refused it stays idle.

#include <cstdint>
#include <functional>

#include <QString>

#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "pricing/conversion.h"
#include "pricing/row_prices.h"

namespace tanka {

enum class RunResult {
    Declined, // the user answered No; nothing happened
    Refused,  // a check failed and its message was shown; nothing changed
    Failed,   // the run stopped, was rolled back and its error was shown
    Finished, // committed and "終了しました" shown
};

// The two steps of a run that take time in proportion to a table.
enum class RunPhase { Backup, Convert };

struct RunHooks {
    // The window disables Execute and itself and shows the "処理中です" banner.
    std::function<void()> started;
    // How far the phase of one menu is: once with done 0 when it starts, then
    // as rows are done (at most once per row), and once with done == total at
    // its end. Cheap to call; whoever shows it decides how often to repaint.
    std::function<void(Menu menu, RunPhase phase, qint64 done, qint64 total)> progress;
    // Before the final message, after success or failure: hide the banner.
    std::function<void()> finished;
    // Each row the run writes, before it is written.
    RowWritten rowWritten;
    // After the commit, before "終了しました": the host path of the run's
    // journal (journal.h).
    std::function<void(const QString& path)> journaled;
};

// The checks executeRun makes before anything changes, on g with g.workFolder
// set, in order: the work folder, a conversion kind, the rounding, and at a
// store the processing date. The message of the first that fails, with its
// icon; an empty text when the run may start.
struct RunRefusal {
    QString text;
    MsgIcon icon = MsgIcon::None;
};
RunRefusal runRefusal(const Globals& g, const DriveMap& drive);

RunResult executeRun(Connection& cn, Globals& g, MessageBoxes& boxes, const DriveMap& drive,
                     const Clock& clock, const RunHooks& hooks);

// The message of a failed run: "エラーが発生しました。", then when the
// transaction was rolled back "変更は取り消されました。", CR LF,
// "エラー番号: N", CR LF, the description.
QString runErrorMessage(std::int32_t number, const QString& description, bool rolledBack);

// The run's details as the journal gives them (journal.h), at the moment at.
struct RunDetails;
RunDetails runDetails(const Globals& g, const QDateTime& at);

} // namespace tanka
