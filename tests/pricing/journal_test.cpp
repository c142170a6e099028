// The journal of a run: what it records is exactly what the run changed, and
// no run replaces another's. (A run whose journal cannot be started is among
// the run failures.)
#include <gtest/gtest.h>

#include <map>


#include "engine_fixture.h"
#include "pricing/execute.h"
#include "pricing/journal.h"
#include "pricing/undo.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

// The written columns of every row of a table, by key text "1/2/3/4".
std::map<QString, std::map<QString, QString>> rowsByKey(const EngineFixture& fx, Menu menu) {
    QStringList columns = keyColumns(menu);
    for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < pricePositions(menu); ++i)
            columns << priceColumn(menu, slot, i);
    columns << "SaisyuKosinFlg" << "SaisyuKosinDate";
    std::map<QString, std::map<QString, QString>> rows;
    for (const QString& line :
         dumpRows(fx.mstori(), "SELECT " + columns.join(',') + " FROM " + tableName(menu))) {
        const QStringList cells = line.split('\t');
        std::map<QString, QString> row;
        for (qsizetype c = 4; c < columns.size(); ++c)
            row[columns[c]] = cells[c];
        rows[QStringList(cells.mid(0, 4)).join('/')] = row;
    }
    return rows;
}

// A journal value as the dump shows it.
QString dumpForm(const QVariant& value) {
    if (value.isNull())
        return "<null>";
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString("yyyy-MM-dd hh:mm:ss");
    return value.toString();
}

RunResult runWithJournal(EngineFixture& fx, QString& journal) {
    ScriptedBoxes boxes;
    RunHooks hooks;
    hooks.journaled = [&](const QString& path) { journal = path; };
    return executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), hooks);
}

TEST(Journal, RecordsExactlyWhatTheRunChanged) {
    EngineFixture fx(headquartersOptions(3));
    fx.g().TenMode = 2;
    fx.g().HasuMode = 2;
    fx.g().HasuTani = 1;
    const auto gijuBefore = rowsByKey(fx, Menu::Giju);
    const auto tenBefore = rowsByKey(fx, Menu::Ten);
    QString path;
    ASSERT_EQ(runWithJournal(fx, path), RunResult::Finished);
    EXPECT_TRUE(path.endsWith("単価変更_20191001_120000.TSV")) << path.toStdString();
    const JournalFile journal = readJournal(path);
    EXPECT_EQ(journal.details.value(0).second, "2019/10/01 12:00:00");
    EXPECT_EQ(journal.details.value(5).second, "本部");

    for (const Menu menu : {Menu::Giju, Menu::Ten}) {
        const auto before = menu == Menu::Giju ? gijuBefore : tenBefore;
        const auto after = rowsByKey(fx, menu);
        std::map<QString, int> recorded;
        for (const JournalRow& row : journal.rows) {
            if (row.menu != menu)
                continue;
            QStringList key;
            for (const QVariant& v : row.key)
                key << v.toString();
            const QString k = key.join('/');
            ++recorded[k];
            ASSERT_TRUE(before.count(k)) << k.toStdString();
            for (const ColumnChange& change : row.changes) {
                EXPECT_EQ(dumpForm(change.before), before.at(k).at(change.column)) << k.toStdString();
                EXPECT_EQ(dumpForm(change.after), after.at(k).at(change.column)) << k.toStdString();
            }
        }
        for (const auto& [k, row] : after) {
            if (row != before.at(k)) {
                EXPECT_EQ(recorded[k], 1) << "changed but not recorded: " << k.toStdString();
            }
            EXPECT_LE(recorded[k], 1) << k.toStdString();
        }
    }
}

TEST(Journal, TwoRunsInTheSameSecondKeepTwoJournals) {
    EngineFixture fx(storeOptions());
    QString first, second;
    ASSERT_EQ(runWithJournal(fx, first), RunResult::Finished);
    ASSERT_EQ(runWithJournal(fx, second), RunResult::Finished);
    EXPECT_TRUE(first.endsWith("単価変更_20191001_120000.TSV"));
    EXPECT_TRUE(second.endsWith("単価変更_20191001_120000_2.TSV"));
    EXPECT_FALSE(readJournal(first).rows.empty());
}

// Undo restores the tables exactly; an undo is itself undone; an undo over a
// row changed since refuses, names the row and changes nothing.
TEST(Undo, TakesARunBackOnlyWhileItsRowsAreAsItLeftThem) {
    EngineFixture fx(headquartersOptions(2));
    const QStringList before = fx.dumpBoth();
    QString run;
    ASSERT_EQ(runWithJournal(fx, run), RunResult::Finished);
    const QStringList afterRun = fx.dumpBoth();
    const QString work = fx.install().workDir;
    const QDateTime at(QDate(2019, 10, 2), QTime(9, 0));

    const UndoReport dry = undoJournal(fx.cn(), run, work, at, true);
    EXPECT_EQ(dry.changedCount, 0);
    EXPECT_TRUE(dry.journalPath.isEmpty());
    EXPECT_EQ(fx.dumpBoth(), afterRun);

    const UndoReport undo = undoJournal(fx.cn(), run, work, at, false);
    EXPECT_EQ(undo.rows, qint64(readJournal(run).rows.size()));
    EXPECT_EQ(fx.dumpBoth(), before);
    ASSERT_FALSE(undo.journalPath.isEmpty());
    EXPECT_EQ(readJournal(undo.journalPath).details.value(1).second, "取消");

    const UndoReport redo = undoJournal(fx.cn(), undo.journalPath, work, at, false);
    EXPECT_EQ(redo.changedCount, 0);
    EXPECT_EQ(fx.dumpBoth(), afterRun);

    // Now the run's own journal no longer matches two of its rows.
    fx.exec({"UPDATE MTGIJU SET TankaB1 = 4242 WHERE GijutuID = 1",
             "DELETE FROM MTTENP WHERE TenpanID = 1 AND MiseID = 1"});
    const QStringList edited = fx.dumpBoth();
    const UndoReport refused = undoJournal(fx.cn(), run, work, at, false);
    EXPECT_GE(refused.changedCount, 2);
    EXPECT_LT(refused.changedCount, refused.rows);
    EXPECT_TRUE(refused.journalPath.isEmpty());
    EXPECT_TRUE(refused.changedSince.join('\n').contains("TankaB1"));
    EXPECT_TRUE(refused.changedSince.join('\n').contains("行がありません"));
    EXPECT_EQ(fx.dumpBoth(), edited);
    EXPECT_FALSE(fx.cn().inTransaction());
}

} // namespace
} // namespace tanka::test
