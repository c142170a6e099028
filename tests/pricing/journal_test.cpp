// The journal of a run: undo takes the run back exactly. (A run whose journal
// cannot be started is among the run failures; that no run replaces another's
// journal is among the whole-run tests.)
#include <gtest/gtest.h>

#include <QFile>

#include "core/run_error.h"
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

// Undo restores the tables exactly, so the journal holds every row the run
// changed with its values before; an undo is itself undone, so it holds
// their values after; an undo over a row changed since refuses, names the
// row and changes nothing.
TEST(Undo, TakesARunBackOnlyWhileItsRowsAreAsItLeftThem) {
    EngineFixture fx(headquartersOptions(3));
    fx.g().retailKind = ConversionKind::TaxExcluded;
    fx.g().roundingMethod = RoundingMethod::HalfUp;
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

// A journal is outside input: undo takes back only what a run writes. A line
// naming a column a run does not write (a key column, an unknown one, or a
// name meant to reach the statement's text) is refused with its line number,
// before anything is read or written. And an undo reads back what it
// restored, as a run does: a write the server counts but does not keep fails
// the undo and names the row. Either way the undo changes nothing.
TEST(Undo, RefusesALineARunWouldNotWriteAndFailsAWriteThatDoesNotReadBack) {
    const struct {
        const char* cells; // appended to the first MTGIJU line; none: the journal as written
        const char* why;
    } cases[] = {
        {"\tMiseID\t1\t99", "列「MiseID」は単価変更が書き込む列ではありません"},
        {"\tTankaB1] = 0; --\t0\t1", "列「TankaB1] = 0; --」は"},
        {"\tSaisyuKosinFlg\t0\t2", "列「SaisyuKosinFlg」が2度あります"},
        // The faulty trigger puts row 3's old price back.
        {"", "書き込んだ行を読み直すと、書き込んだ値と違っていました: MTGIJU (GlobalID=1, "
             "MiseID=1, GijutuID=3"},
    };
    EngineFixture fx(storeOptions());
    fx.priceRowThree();
    QString run;
    ASSERT_EQ(runWithJournal(fx, run), RunResult::Finished);
    fx.addFaultyTrigger();
    const QByteArray journal = fx.readFile(run);
    const qsizetype line = journal.indexOf("\r\nMTGIJU\t") + 2;
    const qsizetype lineEnd = journal.indexOf("\r\n", line);
    const int lineNumber = int(journal.left(line).count("\r\n")) + 1;
    const QStringList before = fx.dumpAll();
    const QString edited = fx.install().workDir + "/edited.TSV";
    for (const auto& c : cases) {
        const bool refused = *c.cells != 0;
        QByteArray bytes = journal;
        bytes.insert(lineEnd, c.cells);
        QFile file(edited);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const QStringList files = filesIn(fx.install().workDir);
        try {
            undoJournal(fx.cn(), edited, fx.install().workDir, QDateTime(), false);
            ADD_FAILURE() << c.cells << " was taken back";
        } catch (const RunError& e) {
            const QString text = QString::fromStdString(e.description());
            EXPECT_EQ(e.number(), refused ? err::FileFailed : -2147217864) << c.why;
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.why))) << e.description();
            EXPECT_EQ(text.contains(QString("%1 行目").arg(lineNumber)), refused)
                << e.description();
        }
        EXPECT_EQ(fx.dumpAll(), before) << c.why;
        EXPECT_EQ(filesIn(fx.install().workDir), files);
        EXPECT_FALSE(fx.cn().inTransaction());
    }
}

} // namespace
} // namespace tanka::test
