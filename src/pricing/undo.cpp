#include "pricing/undo.h"

#include <cassert>
#include <map>

#include <QSysInfo>

#include "core/run_error.h"
#include "db/batch_update.h"
#include "db/keyed_pages.h"
#include "pricing/conversion.h"
#include "pricing/journalled_transaction.h"
#include "pricing/read_back.h"

namespace tanka {

namespace {

constexpr qsizetype ListedRows = 20;

// Which values the rows of a journal are compared with: those the run left
// (before an undo writes) or those the run found (what an undo writes).
enum class Expected { AfterRun, BeforeRun };

const QVariant& expectedValue(const ColumnChange& change, Expected expected) {
    return expected == Expected::AfterRun ? change.after : change.before;
}

// Reads the rows of one table in the journal by key and compares each
// written column with the value expected. With a report, every row that
// differs is counted and the first ListedRows listed; without one (reading
// back what an undo wrote) the first difference raises.
void compareRows(Connection& cn, Menu menu, const std::vector<const JournalRow*>& rows,
                 Expected expected, UndoReport* report) {
    QStringList columns;
    for (const JournalRow* row : rows)
        for (const ColumnChange& change : row->changes)
            if (!columns.contains(change.column))
                columns << change.column;
    if (columns.isEmpty())
        return;
    std::vector<std::vector<QVariant>> keys;
    std::map<QString, const JournalRow*> byKey;
    for (const JournalRow* row : rows) {
        if (row->changes.empty())
            continue;
        keys.push_back(row->key);
        byKey[rowName(menu, row->key)] = row;
    }
    const auto width = std::size_t(keyColumns(menu).size());
    KeyedPages pages(cn, QStringLiteral(" from ") + qualifiedName(menu) + u' ', QString(),
                     QString(), keyColumns(menu), columns, std::move(keys));
    std::vector<std::vector<QVariant>> page;
    const auto differs = [&](const QString& name) {
        if (report && report->changedSince.size() < ListedRows)
            report->changedSince << name;
        if (report)
            ++report->changedCount;
    };
    while (pages.nextPage(page)) {
        for (const std::vector<QVariant>& current : page) {
            const std::vector<QVariant> key(current.begin(), current.begin() + qsizetype(width));
            const auto it = byKey.find(rowName(menu, key));
            if (it == byKey.end())
                continue;
            QStringList differences;
            for (const ColumnChange& change : it->second->changes) {
                const QVariant& now = current[width + std::size_t(columns.indexOf(change.column))];
                const QVariant& value = expectedValue(change, expected);
                if (sameWrittenValue(now, value))
                    continue;
                if (!report)
                    raiseReadBackDifference(menu, key, change.column, value, now);
                differences << QStringLiteral("%1 %2 (履歴では %3)")
                                   .arg(change.column, journalText(now), journalText(value));
            }
            if (!differences.isEmpty())
                differs(it->first + QStringLiteral(": ") + differences.join(QStringLiteral(", ")));
            byKey.erase(it);
        }
    }
    // Rows no longer there.
    for (const auto& [name, row] : byKey) {
        if (!report)
            raiseReadBackMissing(menu, row->key);
        differs(name + QStringLiteral(": 行がありません"));
    }
}

} // namespace

UndoReport undoJournal(Connection& cn, const QString& journalPath, const QString& workDir,
                       const QDateTime& at, bool dryRun, const Progress& progress) {
    const JournalFile journal = readJournal(journalPath);
    UndoReport report;
    report.rows = qint64(journal.rows.size());

    std::map<Menu, std::vector<const JournalRow*>> byMenu;
    for (const JournalRow& row : journal.rows)
        byMenu[row.menu].push_back(&row);

    // The rows are compared inside the transaction that writes them back; a
    // refusal, a dry run or a failure rolls it back (JournalledTransaction).
    JournalledTransaction undo(cn);
    undo.begin();
    for (const auto& [menu, rows] : byMenu)
        compareRows(cn, menu, rows, Expected::AfterRun, &report);
    if (report.changedCount > 0 || dryRun)
        return report;

    RunDetails details;
    details.at = at;
    details.lines = {{QStringLiteral("処理"), QStringLiteral("取消")},
                     {QStringLiteral("コンピュータ"), computerName()},
                     {QStringLiteral("ユーザー"), userName()},
                     {QStringLiteral("取り消した履歴"), journalPath}};
    undo.startJournal(workDir, details);

    qint64 done = 0;
    if (progress)
        progress(0, report.rows);
    for (const auto& [menu, rows] : byMenu) {
        BatchUpdate batch(cn, qualifiedName(menu), keyColumns(menu));
        std::vector<ColumnChange> back;
        qint64 queued = 0;
        for (const JournalRow* row : rows) {
            back.clear();
            for (const ColumnChange& change : row->changes)
                back.push_back({change.column, change.after, change.before});
            undo.journal().add(RowWrite{menu, row->key, back});
            batch.add(row->key, back);
            queued += back.empty() ? 0 : 1;
            if (progress)
                progress(++done, report.rows);
        }
        batch.flush();
        // Every row queued was written, each in a batch whose count matched.
        assert(batch.written() == queued);
        static_cast<void>(queued);
        // Counts are the server's word; the rows themselves are checked.
        compareRows(cn, menu, rows, Expected::BeforeRun, nullptr);
    }
    report.journalPath = undo.commit();
    return report;
}

} // namespace tanka
