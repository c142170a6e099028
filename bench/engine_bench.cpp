// The whole Execute run on a headquarters installation (both kinds chosen, no
// store chosen: every store) against the same work done set-based by hand in
// the sqlite3 shell, in the same run, on fresh copies of the same files.
//
//   EngineRun/<rows>      executeRun: both backups, both conversions row by
//                         row, one commit
//   Sqlite3Shell/<rows>   one sqlite3 process: each table exported with
//                         ".mode tabs" (headers on), then one UPDATE per table
//                         computing the new prices, in one transaction
//   EngineRunPeakRss      one run of 200k rows in a child process of this
//                         program; counter maxrss_MB = its peak resident size
//   EngineRunOdbc/<rows>  EngineRun with the files reached through ODBC
//                         (TANKA_SQLITE_VIA_ODBC: QODBC, unixODBC, the SQLite
//                         ODBC driver), the transport SQL Server uses
//
// Rows: 12,500 (50 stores x 125 per table), 50,000 (100 x 250) and 200,000
// (100 x 1,000): 1x, 4x, 16x. Times are wall-clock (the shell is a child
// process); the copy of the sample before each iteration is not timed. Both
// sides pay for opening their databases: the engine's run opens its connection
// (the server's other databases attached) and closes it; the shell's time
// includes starting its process. Neither pays for the other's start-up: the
// engine runs inside this already started program.
//
//   engine_bench --run-once <driveC> <sqliteDir>   (used by EngineRunPeakRss)

#include <benchmark/benchmark.h>

#include "peak_memory.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "pricing/execute.h"
#include "tools/sample/sample_install.h"

namespace {

using namespace tanka;

class YesBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
};

struct Template {
    QTemporaryDir dir;
    sample::SampleInstall install;
};

// The sample of a given total row count, written on first use.
const Template& templateFor(int totalRows) {
    static std::map<int, std::unique_ptr<Template>> samples;
    auto& slot = samples[totalRows];
    if (!slot) {
        slot = std::make_unique<Template>();
        sample::Options o;
        o.headquarters = true;
        o.stores = totalRows >= 50000 ? 100 : 50;
        o.gijuRows = totalRows / o.stores / 2;
        o.tenRows = o.gijuRows;
        o.deletedEvery = 0;
        slot->install = sample::writeSampleInstall(slot->dir.path(), o);
    }
    return *slot;
}

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir src(from);
    for (const QString& name : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyTree(from + u'/' + name, to + u'/' + name);
    for (const QString& name : src.entryList(QDir::Files)) {
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            throw std::runtime_error("copy failed");
    }
}

// A fresh copy of the template's drive C; returns the copy's folder.
QString freshCopy(const Template& t, QTemporaryDir& into) {
    copyTree(t.install.driveC, into.path() + QStringLiteral("/C"));
    return into.path() + QStringLiteral("/C");
}

QString sqliteDirIn(const Template& t, const QString& driveC) {
    return driveC + t.install.sqliteDir.mid(t.install.driveC.size());
}

RunResult runOnce(const QString& driveC, const QString& sqliteDir,
                  std::uint64_t* statements = nullptr) {
    qputenv("TANKA_DRIVE_C", driveC.toLocal8Bit());
    qputenv("TANKA_SQLITE_DIR", sqliteDir.toLocal8Bit());
    Connection cn;
    cn.setConnectionParams({QStringLiteral("SV01"), QStringLiteral("ORBE-TLX-MEMBER"),
                            QStringLiteral("QDR615"), QStringLiteral("MSKYAK")});
    cn.setCommandTimeout(9999);
    cn.open();
    Globals g;
    g.HonbuFlg = True;
    for (auto& row : g.MiseList)
        row[0] = QStringLiteral("0");
    g.GijuMode = 1;
    g.TenMode = 2;
    g.HasuMode = 2;
    g.HasuTani = 1;
    g.GijuSrcSlot = g.TenSrcSlot = 0;
    g.GijuDstSlot = g.TenDstSlot = 1;
    YesBoxes boxes;
    const FixedClock clock(QDate(2019, 10, 1));
    const RunResult result = executeRun(cn, g, boxes, DriveMap(driveC), clock, RunHooks{});
    if (statements)
        *statements = cn.statementCount();
    return result;
}

// Statements sent per run and per 1,000 rows of the run, and the run's time
// on a LAN modelled as the time measured + 0.5 ms per statement.
void reportStatements(benchmark::State& state, double statements, double ms) {
    const double runs = double(state.iterations());
    state.counters["statements"] = statements / runs;
    state.counters["per_1000_rows"] = statements / runs / double(state.range(0)) * 1000.0;
    state.counters["lan_model_ms"] = (ms + statements * 0.5) / runs;
}

void EngineRun(benchmark::State& state) {
    const Template& t = templateFor(int(state.range(0)));
    double statements = 0;
    double ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        const QString driveC = freshCopy(t, copy);
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        std::uint64_t sent = 0;
        if (runOnce(driveC, sqliteDirIn(t, driveC), &sent) != RunResult::Finished)
            state.SkipWithError("run did not finish");
        ms += double(timer.nsecsElapsed()) / 1e6;
        statements += double(sent);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    reportStatements(state, statements, ms);
}

// Kind 1 for the technical menu, kind 2 for retail, round half up to 10 yen,
// the headquarters marking date, as EngineRun does; plain floating point
// stands in for the currency steps.
const char* ShellScript = R"(.mode tabs
.headers on
.output MTGIJU10.tsv
SELECT * FROM MTGIJU ORDER BY GlobalID, MiseID, GijutuID, ShumokuID;
.output MTTENP10.tsv
SELECT * FROM MTTENP ORDER BY GlobalID, MiseID, TenpanFlg, TenpanID;
.output stdout
BEGIN;
UPDATE MTGIJU SET
  TankaB1 = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(TankaA1,0) / 10.0) * 100 / 108.0 * 1.1 + 0.5) AS INTEGER) * 10 ELSE ifnull(TankaA1,0) END,
  TankaB2 = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(TankaA2,0) / 10.0) * 100 / 108.0 * 1.1 + 0.5) AS INTEGER) * 10 ELSE ifnull(TankaA2,0) END,
  TankaB3 = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(TankaA3,0) / 10.0) * 100 / 108.0 * 1.1 + 0.5) AS INTEGER) * 10 ELSE ifnull(TankaA3,0) END,
  TankaB4 = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(TankaA4,0) / 10.0) * 100 / 108.0 * 1.1 + 0.5) AS INTEGER) * 10 ELSE ifnull(TankaA4,0) END,
  TankaB5 = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(TankaA5,0) / 10.0) * 100 / 108.0 * 1.1 + 0.5) AS INTEGER) * 10 ELSE ifnull(TankaA5,0) END,
  SaisyuKosinFlg = CASE WHEN date(SaisyuKosinDate) IS NOT '1919-10-01' THEN 2 ELSE SaisyuKosinFlg END,
  SaisyuKosinDate = CASE WHEN date(SaisyuKosinDate) IS NOT '1919-10-01' THEN '1919-10-01 00:00:00' ELSE SaisyuKosinDate END
  WHERE SaisyuKosinFlg <> 9;
UPDATE MTTENP SET
  UriTankaB = CASE WHEN TaxFlg = 1 THEN CAST(((ifnull(UriTankaA,0) / 10.0) * 100 / 108.0 + 0.5) AS INTEGER) * 10 ELSE ifnull(UriTankaA,0) END,
  SaisyuKosinFlg = CASE WHEN date(SaisyuKosinDate) IS NOT '1919-10-01' THEN 2 ELSE SaisyuKosinFlg END,
  SaisyuKosinDate = CASE WHEN date(SaisyuKosinDate) IS NOT '1919-10-01' THEN '1919-10-01 00:00:00' ELSE SaisyuKosinDate END
  WHERE SaisyuKosinFlg <> 9;
COMMIT;
)";

void Sqlite3Shell(benchmark::State& state) {
    const Template& t = templateFor(int(state.range(0)));
    double ms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        const QString driveC = freshCopy(t, copy);
        const QString serverDir = sqliteDirIn(t, driveC) + u'/' + t.install.server;
        QProcess shell;
        shell.setWorkingDirectory(serverDir);
        shell.setProgram(QStringLiteral("sqlite3"));
        shell.setArguments(
            {QStringLiteral("-batch"), serverDir + QStringLiteral("/MSTORI.sqlite")});
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        shell.start();
        shell.write(ShellScript);
        shell.closeWriteChannel();
        if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
            state.SkipWithError(shell.readAllStandardError().constData());
        ms += double(timer.nsecsElapsed()) / 1e6;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    // Two exports, BEGIN, two UPDATEs, COMMIT.
    reportStatements(state, 6.0 * double(state.iterations()), ms);
}

// Peak resident size of one 200k-row run, measured in a child process so the
// figure is that of the run alone (plus the program's own baseline).
void EngineRunPeakRss(benchmark::State& state) {
    const Template& t = templateFor(200000);
    double maxRssMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        const QString driveC = freshCopy(t, copy);
        state.ResumeTiming();
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--run-once"), driveC, sqliteDirIn(t, driveC)});
        child.start();
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            state.SkipWithError("child run failed");
            break;
        }
        maxRssMb = child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
    }
    state.counters["maxrss_MB"] = maxRssMb;
    state.counters["rows"] = 200000;
}

void EngineRunOdbc(benchmark::State& state) {
    qputenv("TANKA_SQLITE_VIA_ODBC", "1");
    EngineRun(state);
    qunsetenv("TANKA_SQLITE_VIA_ODBC");
}

BENCHMARK(EngineRun)
    ->Arg(12500)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(Sqlite3Shell)
    ->Arg(12500)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(EngineRunOdbc)
    ->Arg(12500)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(EngineRunPeakRss)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--run-once") == 0) {
        const RunResult r =
            runOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        std::printf("%ld\n", peakResidentKb()); // kilobytes
        return r == RunResult::Finished ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
