// The journal of a run: undo takes the run back exactly, and no run
// replaces another's journal. (A run whose journal cannot be started is among
// the run failures.)
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "pricing/execute.h"
#include "pricing/journal.h"
#include "pricing/undo.h"

namespace tanka::test {
namespace {

RunResult runWithJournal(EngineFixture& fx, QString& journal) {
    ScriptedBoxes boxes;
    RunHooks hooks;
    hooks.journaled = [&](const QString& path) { journal = path; };
    return executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), hooks);
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

// Undo restores the tables exactly, so the journal holds every row the run
// changed with its values before; an undo is itself undone, so it holds
// their values after; an undo over a row changed since refuses, names the
// row and changes nothing.
TEST(Undo, TakesARunBackOnlyWhileItsRowsAreAsItLeftThem) {
    EngineFixture fx(headquartersOptions(3));
    fx.g().TenMode = 2;
    fx.g().HasuMode = 2;
    const QStringList before = fx.dumpBoth();
    QString run;
    ASSERT_EQ(runWithJournal(fx, run), RunResult::Finished);
    const QStringList afterRun = fx.dumpBoth();
    const JournalFile journal = readJournal(run);
    EXPECT_EQ(journal.details.value(0).second, "2019/10/01 12:00:00");
    EXPECT_EQ(journal.details.value(5).second, "本部");
    const QString work = fx.install().workDir;
    const QDateTime at(QDate(2019, 10, 2), QTime(9, 0));

    const UndoReport dry = undoJournal(fx.cn(), run, work, at, true);
    EXPECT_EQ(dry.changedCount, 0);
    EXPECT_TRUE(dry.journalPath.isEmpty());
    EXPECT_EQ(fx.dumpBoth(), afterRun);

    const UndoReport undo = undoJournal(fx.cn(), run, work, at, false);
    EXPECT_EQ(undo.rows, qint64(journal.rows.size()));
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
