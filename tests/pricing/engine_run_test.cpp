// The whole run of the Execute command on real sample installations: the
// confirmation and the refusals, the order of backups and conversions, and
// that a run which fails anywhere (overflow, write conflict, backup that
// cannot be written, killed process) leaves both tables exactly as before.

#include <csignal>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "core/run_error.h"
#include "engine_fixture.h"
#include "pricing/backup.h"
#include "pricing/execute.h"

namespace tanka::test {
namespace {

const QString Confirm = QStringLiteral("単価変更開始しますか？");
const QString Done = QStringLiteral("終了しました");
const QStringList BothBackups{"MTGIJU10%.CSV", "MTTENP10%.CSV"};

struct Counted {
    int started = 0, rows = 0, finished = 0;
    QString journal;
    qint64 lastDone = 0;
    std::function<void()> onRow;
    RunHooks hooks() {
        RunHooks h;
        h.started = [this] { ++started; };
        h.progress = [this](Menu, RunPhase phase, qint64 done, qint64) {
            // A row is done when the count grows; the end of a menu may
            // repeat its last count.
            if (phase != RunPhase::Convert || done == lastDone || done == 0) {
                lastDone = done;
                return;
            }
            lastDone = done;
            ++rows;
            if (onRow)
                onRow();
        };
        h.finished = [this] { ++finished; };
        h.journaled = [this](const QString& path) { journal = path; };
        return h;
    }
};

RunResult run(EngineFixture& fx, ScriptedBoxes& boxes, Counted& counted) {
    return executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), counted.hooks());
}

int liveRows(const QStringList& dump, int flagColumn, int miseId) {
    int n = 0;
    for (const QString& row : dump) {
        const QStringList cols = row.split(u'\t');
        n += cols[1].toInt() == miseId && cols[flagColumn] != "9" ? 1 : 0;
    }
    return n;
}

TEST(Run, BacksUpThenConvertsEachMenuAndCommits) {
    const sample::Options options = storeOptions(2, 2);
    EngineFixture fx(options);
    const QStringList gijuBefore = fx.dump("MTGIJU");
    const QStringList tenBefore = fx.dump("MTTENP");
    const int gijuRows = liveRows(gijuBefore, 16, 2);

    // Which backups exist while each row is converted.
    std::vector<std::pair<bool, bool>> seen;
    Counted counted;
    counted.onRow = [&] {
        seen.emplace_back(QFile::exists(fx.backupPath("MTGIJU10%.CSV")),
                          QFile::exists(fx.backupPath("MTTENP10%.CSV")));
    };
    ScriptedBoxes boxes;
    ASSERT_EQ(run(fx, boxes, counted), RunResult::Finished);
    EXPECT_EQ(boxes.texts(), (QStringList{Confirm, Done}));
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::None);
    EXPECT_EQ(counted.started + counted.finished, 2);
    EXPECT_EQ(fx.g().TmpDir, QStringLiteral("C:\\ZEMA\\TMP"));

    ASSERT_EQ(counted.rows, gijuRows + liveRows(tenBefore, 8, 2));
    for (int i = 0; i < counted.rows; ++i)
        EXPECT_EQ(seen[i], std::pair(true, i >= gijuRows)) << i;

    // Committed, and the backups hold the tables as they were: the same bytes
    // as backups of an identical fresh installation.
    EXPECT_FALSE(fx.cn().inTransaction());
    EXPECT_NE(fx.dump("MTGIJU"), gijuBefore);
    EXPECT_NE(fx.dump("MTTENP"), tenBefore);
    EngineFixture fresh(options);
    ScriptedBoxes none;
    ASSERT_TRUE(Backup_MTGIJU(fresh.cn(), "C:\\ZEMA\\TMP", fresh.drive(), none));
    ASSERT_TRUE(Backup_MTTENP(fresh.cn(), "C:\\ZEMA\\TMP", fresh.drive(), none));
    for (const QString& name : BothBackups)
        EXPECT_EQ(fx.readFile(fx.backupPath(name)), fresh.readFile(fresh.backupPath(name)));
}

TEST(Run, OnlyRetailLeavesTheTechnicalMenuAlone) {
    EngineFixture fx(storeOptions());
    fx.g().GijuMode = -1;
    const QStringList gijuBefore = fx.dump("MTGIJU");
    const QStringList tenBefore = fx.dump("MTTENP");
    ScriptedBoxes boxes;
    Counted counted;
    ASSERT_EQ(run(fx, boxes, counted), RunResult::Finished);
    EXPECT_EQ(fx.dump("MTGIJU"), gijuBefore);
    EXPECT_NE(fx.dump("MTTENP"), tenBefore);
    EXPECT_EQ(filesIn(fx.install().workDir),
              (QStringList{"MTTENP10%.CSV", "単価変更_20191001_120000.TSV"}));
}

// An existing backup, even an empty one, is never replaced, and the run goes on.
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
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(fx.readFile(fx.backupPath(BothBackups[i])), earlier[i]);
    EXPECT_EQ(filesIn(fx.install().workDir),
              BothBackups + QStringList{"単価変更_20191001_120000.TSV"});
}

TEST(Run, HeadquartersNeedsNoProcessingDate) {
    EngineFixture fx(headquartersOptions(2));
    fx.g().MiseSyoriDate.clear();
    fx.clock().set(QDate(2000, 2, 29));
    ScriptedBoxes boxes;
    Counted counted;
    ASSERT_EQ(run(fx, boxes, counted), RunResult::Finished);
    EXPECT_EQ(fx.g().TmpDir, QStringLiteral("C:\\ZEMAH\\TMP"));
    EXPECT_TRUE(fx.value("MTGIJU", "SaisyuKosinDate", "MiseID = 2 AND SaisyuKosinFlg = 2 LIMIT 1")
                    .startsWith("1900-02-28"));
}

// Runs that stop: declined, refused by a check, or failed before or after
// they started. Each shows its message after the confirmation, rolls back and
// leaves both tables exactly as they were.
struct StopCase {
    const char* name;
    std::function<void(EngineFixture&, Counted&)> arrange;
    RunResult result;
    QString message; // the whole text of a refusal; how a failure's text starts
    MsgIcon icon = MsgIcon::Critical;
    QStringList backupsLeft = {};
};

// The third live row of store 1 of a table.
const char* const ThirdGiju = "MiseID = 1 AND GijutuID = (SELECT GijutuID FROM MTGIJU WHERE "
                              "MiseID = 1 AND SaisyuKosinFlg <> 9 ORDER BY GijutuID LIMIT 1 "
                              "OFFSET 2)";
const char* const ThirdTen = "MiseID = 1 AND TenpanID = (SELECT TenpanID FROM MTTENP WHERE "
                             "MiseID = 1 AND SaisyuKosinFlg <> 9 ORDER BY TenpanID LIMIT 1 "
                             "OFFSET 2)";

void noWorkDir(EngineFixture& fx, Counted&) {
    QDir(fx.install().workDir).removeRecursively();
}

const QString NoWorkDir = QStringLiteral("作業フォルダが見つかりません");
const QString NoRounding = QStringLiteral("端数選択されていません");
const QString NoDate = QStringLiteral("店舗の処理日付が取得できません");

const StopCase stopCases[] = {
    {"AnswerNo", [](EngineFixture&, Counted&) {}, RunResult::Declined, {}},
    // Refusals, in the order of the checks.
    {"NoWorkDir", noWorkDir, RunResult::Refused, NoWorkDir},
    {"WorkDirCheckedBeforeChoices",
     [](EngineFixture& fx, Counted& c) {
         noWorkDir(fx, c);
         fx.g().GijuMode = fx.g().TenMode = -1;
     },
     RunResult::Refused, NoWorkDir},
    {"NoKind", [](EngineFixture& fx, Counted&) { fx.g().GijuMode = fx.g().TenMode = -1; },
     RunResult::Refused, "単価変更できません", MsgIcon::None},
    {"NoRoundingMethod", [](EngineFixture& fx, Counted&) { fx.g().HasuMode = -1; },
     RunResult::Refused, NoRounding, MsgIcon::None},
    {"ProcessingDateNotADate", [](EngineFixture& fx, Counted&) { fx.g().MiseSyoriDate = "未設定"; },
     RunResult::Refused, NoDate},
    // The work-directory lookup is the first query.
    {"DatabaseErrorBeforeTheStart", [](EngineFixture& fx, Counted&) { fx.cn().close(); },
     RunResult::Failed, "エラーが発生しました。\r\nエラー番号: 3704\r\n"},
    {"OverflowInMiddleOfRetail",
     [](EngineFixture& fx, Counted&) {
         fx.exec(
             {QString("UPDATE MTTENP SET UriTankaA = 2147483647, TaxFlg = 1 WHERE ") + ThirdTen});
     },
     RunResult::Failed, runErrorMessage(err::Overflow, "Overflow", true), MsgIcon::Critical,
     BothBackups},
    {"PriceBeyondLongInTechnicalMenu",
     [](EngineFixture& fx, Counted&) {
         fx.exec({QString("UPDATE MTGIJU SET TankaA3 = 99999999999 WHERE ") + ThirdGiju});
     },
     RunResult::Failed,
     runErrorMessage(err::Overflow, "Overflow", true),
     MsgIcon::Critical,
     {"MTGIJU10%.CSV"}},
    // A destination price changed under the run after it read the row.
    {"WriteConflict",
     [](EngineFixture& fx, Counted& counted) {
         counted.onRow = [&fx, &counted] {
             if (counted.rows == 3)
                 fx.cn().execute("UPDATE MSTORI.dbo.MTGIJU SET TankaB1 = 4242");
         };
     },
     RunResult::Failed,
     runErrorMessage(-2147217864, "", true),
     MsgIcon::Critical,
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
     MsgIcon::Critical,
     {"MTGIJU10%.CSV"}},
};

class RunStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(RunStop, ShowsWhyAndLeavesBothTablesAsBefore) {
    const StopCase& c = GetParam();
    EngineFixture fx(storeOptions());
    Counted counted;
    c.arrange(fx, counted);
    const QStringList before = fx.dumpBoth();

    ScriptedBoxes boxes;
    if (c.result == RunResult::Declined)
        boxes.answers = {MsgAnswer::No};
    EXPECT_EQ(run(fx, boxes, counted), c.result);
    ASSERT_EQ(boxes.shown.size(), c.result == RunResult::Declined ? 1u : 2u);
    EXPECT_EQ(boxes.shown[0].text, Confirm);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Question);
    if (c.result != RunResult::Declined) {
        const ShownBox& why = boxes.shown[1];
        EXPECT_TRUE(c.result == RunResult::Refused ? why.text == c.message
                                                   : why.text.startsWith(c.message))
            << why.text.toStdString();
        EXPECT_EQ(why.buttons, MsgButtons::Ok);
        EXPECT_EQ(why.icon, c.icon);
    }
    EXPECT_EQ(counted.started, counted.finished);
    EXPECT_TRUE(c.result == RunResult::Failed || counted.started == 0);
    EXPECT_FALSE(fx.cn().inTransaction());
    EXPECT_EQ(fx.dumpBoth(), before);
    EXPECT_EQ(filesIn(fx.install().workDir), c.backupsLeft);
}

INSTANTIATE_TEST_SUITE_P(Stops, RunStop, ::testing::ValuesIn(stopCases),
                         [](const auto& info) { return std::string(info.param.name); });

QString helperPath() {
    QString dir = qEnvironmentVariable("TANKA_TEST_BIN_DIR");
    if (dir.isEmpty())
        dir = QFileInfo(QFileInfo("/proc/self/exe").canonicalFilePath()).path();
    return dir + QStringLiteral("/engine_crash_helper");
}

// A process killed in the middle of a run leaves both tables as they were
// once the database is next opened; the complete backups stay.
class Crash : public ::testing::TestWithParam<int> {};

TEST_P(Crash, KilledRunLeavesTablesAsBefore) {
    sample::Options o = storeOptions();
    o.gijuRows = o.tenRows = 40;
    EngineFixture fx(o);
    const QStringList before = fx.dumpBoth();
    const int stopAfter = GetParam();

    QProcess child;
    child.start(helperPath(), {QString::number(stopAfter)});
    ASSERT_TRUE(child.waitForStarted(10000)) << helperPath().toStdString();
    QByteArray out;
    while (!out.contains("mid") && child.state() == QProcess::Running) {
        child.waitForReadyRead(30000);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("mid")) << out.toStdString() << child.readAllStandardError().data();
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(fx.dumpBoth(), before);
    const bool inRetail = stopAfter > liveRows(fx.dump("MTGIJU"), 16, 1);
    // A killed run leaves its journal under its temporary name only.
    QStringList files = filesIn(fx.install().workDir);
    EXPECT_EQ(files.filter(".TSV").size(), 0);
    files.removeIf([](const QString& f) { return f.endsWith(".tmp"); });
    EXPECT_EQ(files, inRetail ? BothBackups : BothBackups.mid(0, 1));

    // The next run works on the restored tables.
    ScriptedBoxes boxes;
    Counted counted;
    EXPECT_EQ(run(fx, boxes, counted), RunResult::Finished);
}

INSTANTIATE_TEST_SUITE_P(Points, Crash, ::testing::Values(5, 50));

} // namespace
} // namespace tanka::test
