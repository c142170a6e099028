#include "pricing/execute.h"

#include <exception>

#include <QVariant>

#include "core/field_readers.h"
#include "core/run_error.h"
#include "pricing/backup.h"
#include "pricing/conversion.h"

namespace tanka {

QString runErrorMessage(std::int32_t number, const QString& description, bool rolledBack) {
    QString text = QStringLiteral("エラーが発生しました。");
    if (rolledBack)
        text += QStringLiteral("変更は取り消されました。");
    return text + QStringLiteral("\r\nエラー番号: ") + QString::number(number) +
           QStringLiteral("\r\n") + description;
}

namespace {

void call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

// A rollback that fails (the connection is gone) leaves the transaction to
// the server, which discards it with the connection.
void rollbackQuietly(Connection& cn) {
    try {
        if (cn.inTransaction())
            cn.rollbackTrans();
    } catch (const std::exception&) {
    }
}

struct Refusal {
    QString text; // empty: the run may start
    MsgIcon icon = MsgIcon::None;
};

// The checks before anything changes, in order; the first that fails.
Refusal refusal(const Globals& g, const DriveMap& drive) {
    if (g.TmpDir.isEmpty() || !drive.dirExists(g.TmpDir))
        return {QStringLiteral("作業フォルダが見つかりません"), MsgIcon::Critical};
    if (g.GijuMode == -1 && g.TenMode == -1)
        return {QStringLiteral("単価変更できません")};
    if (g.HasuTani == -1 || g.HasuMode == -1)
        return {QStringLiteral("端数選択されていません")};
    // A store run writes the processing date into every changed row; without
    // one it would write a meaningless date.
    if (g.HonbuFlg != True &&
        Get_DateStr(QVariant(g.MiseSyoriDate), QStringLiteral("yyyy/mm/dd")).isEmpty())
        return {QStringLiteral("店舗の処理日付が取得できません"), MsgIcon::Critical};
    return {};
}

// The progress of one menu's conversion, passed on to the hooks. Its end
// (done == total) is reported exactly once, also where the conversion itself
// reported rows without a total.
class MenuProgress {
public:
    MenuProgress(const RunHooks& hooks, Menu menu) : m_hooks(hooks), m_menu(menu) {}
    Progress forward() {
        if (!m_hooks.progress)
            return {};
        return [this](qint64 done, qint64 total) {
            m_ended = done == total;
            m_hooks.progress(m_menu, RunPhase::Convert, done, total);
        };
    }
    void end(qint64 rows) {
        if (m_hooks.progress && !m_ended)
            m_hooks.progress(m_menu, RunPhase::Convert, rows, rows);
    }

private:
    const RunHooks& m_hooks;
    Menu m_menu;
    bool m_ended = false;
};

// A backup's progress: its start, the total not known.
void backupStarts(const RunHooks& hooks, Menu menu) {
    if (hooks.progress)
        hooks.progress(menu, RunPhase::Backup, 0, -1);
}

// Backups and conversions of the chosen menus inside the open transaction.
// False when a backup failed (its message is shown).
bool convertChosen(Connection& cn, const Globals& g, MessageBoxes& boxes, const DriveMap& drive,
                   const Clock& clock, const RunHooks& hooks) {
    if (g.GijuMode != -1) {
        backupStarts(hooks, Menu::Giju);
        if (!Backup_MTGIJU(cn, g.TmpDir, drive, boxes))
            return false;
        MenuProgress progress(hooks, Menu::Giju);
        progress.end(GijuJob(cn, g, clock, progress.forward()));
    }
    if (g.TenMode != -1) {
        backupStarts(hooks, Menu::Ten);
        if (!Backup_MTTENP(cn, g.TmpDir, drive, boxes))
            return false;
        MenuProgress progress(hooks, Menu::Ten);
        progress.end(TenJob(cn, g, clock, progress.forward()));
    }
    return true;
}

} // namespace

RunResult executeRun(Connection& cn, Globals& g, MessageBoxes& boxes, const DriveMap& drive,
                     const Clock& clock, const RunHooks& hooks) {
    if (boxes.show(QStringLiteral("単価変更開始しますか？"), MsgButtons::YesNo,
                   MsgIcon::Question) != MsgAnswer::Yes)
        return RunResult::Declined;

    try {
        g.TmpDir = Get_TmpDir(cn, drive);
    } catch (const RunError& e) {
        boxes.show(runErrorMessage(e.number(), QString::fromStdString(e.description()), false),
                   MsgButtons::Ok, MsgIcon::Critical);
        return RunResult::Failed;
    }
    if (const Refusal r = refusal(g, drive); !r.text.isEmpty()) {
        boxes.show(r.text, MsgButtons::Ok, r.icon);
        return RunResult::Refused;
    }

    call(hooks.started);
    std::int32_t number = 0;
    QString description;
    try {
        cn.beginTrans();
        if (!convertChosen(cn, g, boxes, drive, clock, hooks)) {
            rollbackQuietly(cn);
            call(hooks.finished);
            return RunResult::Failed;
        }
        cn.commitTrans();
        call(hooks.finished);
        boxes.show(QStringLiteral("終了しました"));
        return RunResult::Finished;
    } catch (const RunError& e) {
        number = e.number();
        description = QString::fromStdString(e.description());
    } catch (const std::exception& e) {
        description = QString::fromUtf8(e.what());
    }
    rollbackQuietly(cn);
    call(hooks.finished);
    boxes.show(runErrorMessage(number, description, true), MsgButtons::Ok, MsgIcon::Critical);
    return RunResult::Failed;
}

} // namespace tanka
