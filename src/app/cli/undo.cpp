// tanka undo JOURNAL: a run taken back from its journal.

#include <QDir>
#include <QFileInfo>

#include "app/cli/commands.h"
#include "core/run_error.h"
#include "pricing/backup.h"
#include "pricing/undo.h"

namespace tanka::cli {
namespace {

// The rows that changed since the journal, listed; refuses.
int changedSince(const UndoReport& report) {
    QString text = QStringLiteral("履歴ファイルの後に変更された行が %1 行あるため、取り消しません。"
                                  "何も変更していません。")
                       .arg(report.changedCount);
    for (const QString& row : report.changedSince)
        text += QStringLiteral("\n  ") + row;
    if (report.changedCount > report.changedSince.size())
        text +=
            QStringLiteral("\n  ほか %1 行").arg(report.changedCount - report.changedSince.size());
    printErr(text);
    return Refused;
}

} // namespace

int runUndo(const UndoRequest& r, const CliPlatform& p) {
    const QFileInfo journal(r.journal);
    if (!journal.isFile()) {
        printErr(
            QStringLiteral("履歴ファイルがありません: %1\n使い方は tanka --help で表示されます。")
                .arg(r.journal));
        return Usage;
    }
    const QString journalPath = journal.absoluteFilePath();

    TerminalBoxes boxes(r.yes);
    Session s(p, boxes);
    if (const int status = s.start(); status != Done)
        return status;
    return reportingErrors([&]() -> int {
        s.g.workFolder = findWorkFolder(s.cn(), p.drive);
        if (s.g.workFolder.isEmpty() || !p.drive.dirExists(s.g.workFolder)) {
            printErr(QStringLiteral("作業フォルダが見つかりません"));
            return Refused;
        }
        const QString workDir = p.drive.hostPath(s.g.workFolder);

        // Checked before the question, so that nobody is asked about an undo
        // that would refuse; the undo checks again in its own transaction.
        if (!r.dryRun && !r.yes) {
            const UndoReport check = undoJournal(s.cn(), journalPath, workDir, p.clock.now(), true);
            if (check.changedCount > 0)
                return changedSince(check);
            if (static_cast<MessageBoxes&>(boxes).show(
                    QStringLiteral("単価変更を取り消しますか？（%1 行）").arg(check.rows),
                    MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
                printErr(QStringLiteral("中止しました。何も変更していません。"));
                return Refused;
            }
        }

        ProgressLine line;
        const UndoReport report = undoJournal(
            s.cn(), journalPath, workDir, p.clock.now(), r.dryRun,
            [&line](qint64 done, qint64 total) { line.show(QStringLiteral("取消"), done, total); });
        if (report.changedCount > 0)
            return changedSince(report);
        if (r.dryRun) {
            printOut(QStringLiteral("確認のみです。何も変更していません。\n"
                                    "取り消せます: %1 行")
                         .arg(report.rows));
            return Done;
        }
        printOut(QStringLiteral("履歴ファイル: ") + QDir::toNativeSeparators(report.journalPath));
        printErr(QStringLiteral("終了しました"));
        return Done;
    });
}

} // namespace tanka::cli
