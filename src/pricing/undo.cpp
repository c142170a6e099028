#include "pricing/undo.h"

#include <map>
#include <memory>

#include <QSysInfo>

#include "core/run_error.h"
#include "db/batch_update.h"
#include "db/keyed_pages.h"
#include "pricing/conversion.h"
#include "pricing/journal.h"

namespace tanka {

namespace {

constexpr qsizetype ListedRows = 20;

QString keyText(Menu menu, const std::vector<QVariant>& key) {
    const QStringList names = keyColumns(menu);
    QStringList parts;
    for (qsizetype k = 0; k < names.size(); ++k)
        parts << names[k] + u'=' + journalText(key[std::size_t(k)]);
    return tableName(menu) + u' ' + parts.join(QStringLiteral(", "));
}

void rollbackQuietly(Connection& cn) {
    try {
        if (cn.inTransaction())
            cn.rollbackTrans();
    } catch (const std::exception&) {
    }
}

// The rows of one table in the journal that no longer hold what the run left,
// each as a line of text.
void findChanged(Connection& cn, Menu menu, const std::vector<const JournalRow*>& rows,
                 UndoReport& report) {
    QStringList columns;
    for (const JournalRow* row : rows)
        for (const ColumnChange& change : row->changes)
            if (!columns.contains(change.column))
                columns << change.column;
    std::vector<std::vector<QVariant>> keys;
    std::map<QString, const JournalRow*> byKey;
    for (const JournalRow* row : rows) {
        keys.push_back(row->key);
        byKey[keyText(menu, row->key)] = row;
    }
    const auto width = std::size_t(keyColumns(menu).size());
    KeyedPages pages(cn, QStringLiteral(" from MSTORI.dbo.") + tableName(menu) + u' ', QString(),
                     QString(), keyColumns(menu), columns, std::move(keys));
    std::vector<std::vector<QVariant>> page;
    while (pages.nextPage(page)) {
        for (const std::vector<QVariant>& current : page) {
            const QString key =
                keyText(menu, {current.begin(), current.begin() + qsizetype(width)});
            const auto it = byKey.find(key);
            if (it == byKey.end())
                continue;
            QStringList differences;
            for (const ColumnChange& change : it->second->changes) {
                const QVariant& now = current[width + std::size_t(columns.indexOf(change.column))];
                if (journalText(now) != journalText(change.after))
                    differences << QStringLiteral("%1 %2 (履歴では %3)")
                                       .arg(change.column, journalText(now),
                                            journalText(change.after));
            }
            if (!differences.isEmpty()) {
                if (report.changedSince.size() < ListedRows)
                    report.changedSince
                        << key + QStringLiteral(": ") + differences.join(QStringLiteral(", "));
                ++report.changedCount;
            }
            byKey.erase(it);
        }
    }
    // Rows no longer there.
    for (const auto& [key, row] : byKey) {
        if (report.changedSince.size() < ListedRows)
            report.changedSince << key + QStringLiteral(": 行がありません");
        ++report.changedCount;
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

    std::unique_ptr<Journal> own;
    try {
        cn.beginTrans();
        for (const auto& [menu, rows] : byMenu)
            findChanged(cn, menu, rows, report);
        if (report.changedCount > 0 || dryRun) {
            rollbackQuietly(cn);
            return report;
        }

        RunDetails details;
        details.at = at;
        details.lines = {{QStringLiteral("処理"), QStringLiteral("取消")},
                         {QStringLiteral("コンピュータ"), computerName()},
                         {QStringLiteral("ユーザー"), userName()},
                         {QStringLiteral("取り消した履歴"), journalPath}};
        own = std::make_unique<Journal>(workDir, details);

        qint64 done = 0;
        if (progress)
            progress(0, report.rows);
        for (const auto& [menu, rows] : byMenu) {
            BatchUpdate batch(cn, QStringLiteral("MSTORI.dbo.") + tableName(menu),
                              keyColumns(menu));
            std::vector<ColumnChange> back;
            for (const JournalRow* row : rows) {
                back.clear();
                for (const ColumnChange& change : row->changes)
                    back.push_back({change.column, change.after, change.before});
                own->add(RowWrite{menu, row->key, back});
                batch.add(row->key, back);
                if (progress)
                    progress(++done, report.rows);
            }
            batch.flush();
        }
        report.journalPath = own->finish();
        try {
            cn.commitTrans();
        } catch (...) {
            own->discard();
            report.journalPath.clear();
            throw;
        }
        return report;
    } catch (...) {
        rollbackQuietly(cn);
        if (own)
            own->discard();
        throw;
    }
}

} // namespace tanka
