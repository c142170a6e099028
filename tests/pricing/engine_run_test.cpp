// The whole run of the Execute command on real sample installations: the
// confirmation and the refusals, backups that exist already, and that a run
// which fails anywhere (overflow, write conflict, backup that
// cannot be written, killed process) leaves both tables exactly as before.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "core/run_error.h"
#include "engine_fixture.h"
#include "pricing/execute.h"

namespace tanka::test {
namespace {

const QString Confirm = QStringLiteral("単価変更開始しますか？");
const QString Done = QStringLiteral("終了しました");
const QStringList BothBackups{"MTGIJU10%.CSV", "MTTENP10%.CSV"};

struct Counted {
    int started = 0, finished = 0;
    std::function<void()> onRow; // called as rows are converted
    RunHooks hooks() {
        RunHooks h;
        h.started = [this] { ++started; };
        h.progress = [this](Menu, RunPhase phase, qint64 done, qint64) {
            if (phase == RunPhase::Convert && done > 0 && onRow)
                onRow();
        };
        h.finished = [this] { ++finished; };
        return h;
    }
};

RunResult run(EngineFixture& fx, ScriptedBoxes& boxes, Counted& counted) {
    return executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), counted.hooks());
}

// An existing backup, even an empty one, is never replaced, and the run goes
// on; a second run in the same second keeps the first one's journal.
TEST(Run, ExistingBackupsStayAndTheRunGoesOn) {
    EngineFixture fx(storeOptions());
    const QByteArray earlier[] = {"", "earlier run\r\n"};
    for (int i = 0; i < 2; ++i) {
        QFile f(fx.backupPath(BothBackups[i]));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier[i]);
    }
    const QStringList before = fx.dumpBoth();
    ScriptedBoxes boxes;
    Counted counted;
    ASSERT_EQ(run(fx, boxes, counted), RunResult::Finished);
    EXPECT_EQ(boxes.texts(), (QStringList{Confirm, Done}));
    EXPECT_NE(fx.dumpBoth(), before);
    ASSERT_EQ(run(fx, boxes, counted), RunResult::Finished);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(fx.readFile(fx.backupPath(BothBackups[i])), earlier[i]);
    EXPECT_EQ(filesIn(fx.install().workDir),
              BothBackups +
                  QStringList({"単価変更_20191001_120000.TSV", "単価変更_20191001_120000_2.TSV"}));
}

// Runs that stop: declined, refused by a check, or failed before or after
// they started. Each shows its message after the confirmation, rolls back and
// leaves both tables exactly as they were.
struct StopCase {
    const char* name;
    std::function<void(EngineFixture&, Counted&)> arrange;
    RunResult result;
    QString message; // the whole text of a refusal; how a failure's text starts
    QStringList backupsLeft = {};
};

const QString ReadBack = runErrorMessage(
    -2147217864,
    "書き込んだ行を読み直すと、書き込んだ値と違っていました: MTGIJU (GlobalID=1, MiseID=1, "
    "GijutuID=3",
    true);

// Row 3 of store 1 is live in every sample (every fourth row is deleted).
const StopCase stopCases[] = {
    {"AnswerNo", [](EngineFixture&, Counted&) {}, RunResult::Declined, {}},
    // Refusals. (Without a kind or a rounding choice neither the window's
    // Execute nor the command line starts a run.)
    {"NoWorkDir",
     [](EngineFixture& fx, Counted&) { QDir(fx.install().workDir).removeRecursively(); },
     RunResult::Refused, "作業フォルダが見つかりません"},
    {"ProcessingDateNotADate",
     [](EngineFixture& fx, Counted&) { fx.g().storeProcessingDate = "未設定"; }, RunResult::Refused,
     "店舗の処理日付が取得できません"},
    // The work-directory lookup is the first query.
    {"DatabaseErrorBeforeTheStart", [](EngineFixture& fx, Counted&) { fx.cn().close(); },
     RunResult::Failed, "エラーが発生しました。\r\nエラー番号: 3704\r\n"},
    {"OverflowInMiddleOfRetail",
     [](EngineFixture& fx, Counted&) {
         fx.exec({"UPDATE MTTENP SET UriTankaA = 2147483647, TaxFlg = 1 WHERE TenpanID = 3"});
     },
     RunResult::Failed, runErrorMessage(err::Overflow, "Overflow", true), BothBackups},
    {"PriceBeyondLongInTechnicalMenu",
     [](EngineFixture& fx, Counted&) {
         fx.exec({"UPDATE MTGIJU SET TankaA3 = 99999999999 WHERE MiseID = 1 AND GijutuID = 3"});
     },
     RunResult::Failed,
     runErrorMessage(err::Overflow, "Overflow", true),
     {"MTGIJU10%.CSV"}},
    // A destination price changed under the run after it read the row.
    {"WriteConflict",
     [](EngineFixture& fx, Counted& counted) {
         counted.onRow = [&fx, rows = 0]() mutable {
             if (++rows == 3)
                 fx.cn().execute("UPDATE MSTORI.dbo.MTGIJU SET TankaB1 = 4242");
         };
     },
     RunResult::Failed,
     runErrorMessage(-2147217864, "", true),
     {"MTGIJU10%.CSV"}},
    // Below the count check: the server reports every row of a batch as
    // written, but a trigger puts one back; the read-back before the commit
    // names the row.
    {"WriteReportedButNotDone",
     [](EngineFixture& fx, Counted&) {
         fx.priceRowThree();
         fx.addFaultyTrigger();
     },
     RunResult::Failed,
     ReadBack,
     {"MTGIJU10%.CSV"}},
    // The journal is the first file the run writes; a folder takes its temporary name.
    {"JournalCannotBeStarted",
     [](EngineFixture& fx, Counted&) {
         QDir(fx.install().workDir)
             .mkdir(QString("単価変更_20191001_120000_%1.tmp")
                        .arg(QCoreApplication::applicationPid()));
     },
     RunResult::Failed, "エラーが発生しました。\r\nエラー番号: 75\r\n履歴ファイルを作成できません"},
    {"RetailBackupAfterTechnicalMenuFails",
     [](EngineFixture& fx, Counted&) { QDir(fx.install().workDir).mkdir("MTTENP10%.CSV"); },
     RunResult::Failed,
     "MTTENP10%.CSVの作成に失敗しました",
     {"MTGIJU10%.CSV"}},
};

class RunStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(RunStop, ShowsWhyAndLeavesBothTablesAsBefore) {
    const StopCase& c = GetParam();
    EngineFixture fx(storeOptions());
    Counted counted;
    c.arrange(fx, counted);
    const QStringList before = fx.dumpAll();

    ScriptedBoxes boxes;
    if (c.result == RunResult::Declined)
        boxes.answers = {MsgAnswer::No};
    EXPECT_EQ(run(fx, boxes, counted), c.result);
    ASSERT_EQ(boxes.shown.size(), c.result == RunResult::Declined ? 1u : 2u);
    EXPECT_EQ(boxes.shown[0].text, Confirm);
    if (c.result != RunResult::Declined) {
        const ShownBox& why = boxes.shown[1];
        EXPECT_TRUE(c.result == RunResult::Refused ? why.text == c.message
                                                   : why.text.startsWith(c.message))
            << why.text.toStdString();
    }
    EXPECT_EQ(counted.started, counted.finished);
    EXPECT_TRUE(c.result == RunResult::Failed || counted.started == 0);
    EXPECT_FALSE(fx.cn().inTransaction());
    EXPECT_EQ(fx.dumpAll(), before);
    EXPECT_EQ(filesIn(fx.install().workDir), c.backupsLeft);
}

INSTANTIATE_TEST_SUITE_P(Stops, RunStop, ::testing::ValuesIn(stopCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A process killed in the middle of a run leaves both tables as they were
// once the database is next opened; the complete backups stay.
class Crash : public ::testing::TestWithParam<int> {};

TEST_P(Crash, KilledRunLeavesTablesAsBefore) {
    sample::Options o = storeOptions();
    o.technicalRows = o.retailRows = 40;
    EngineFixture fx(o);
    const QStringList before = fx.dumpBoth();
    const int stopAfter = GetParam();

    QProcess child;
    child.start(binPath("engine_crash_helper"), {QString::number(stopAfter)});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("mid") && child.state() == QProcess::Running) {
        child.waitForReadyRead(30000);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("mid")) << out.toStdString() << child.readAllStandardError().data();
    child.kill(); // SIGKILL, or TerminateProcess on Windows: no clean-up runs
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(fx.dumpBoth(), before);
    // A killed run leaves its journal under its temporary name only.
    QStringList files = filesIn(fx.install().workDir);
    EXPECT_EQ(files.filter(".TSV").size(), 0);
    files.removeIf([](const QString& f) { return f.endsWith(".tmp"); });
    // Past every technical row, the retail products' backup is complete too.
    EXPECT_EQ(files, stopAfter > o.technicalRows ? BothBackups : BothBackups.mid(0, 1));

    // The next run works on the restored tables.
    ScriptedBoxes boxes;
    Counted counted;
    EXPECT_EQ(run(fx, boxes, counted), RunResult::Finished);
}

INSTANTIATE_TEST_SUITE_P(Points, Crash, ::testing::Values(5, 50));

} // namespace
} // namespace tanka::test
