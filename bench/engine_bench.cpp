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

#include "bench_sample.h"
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
using namespace tanka::bench;

class YesBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
};

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
    g.isHeadquarters = true;
    for (auto& row : g.chosenStores)
        row[0] = QStringLiteral("0");
    g.technicalKind = ConversionKind::TenPercentIncluded;
    g.retailKind = ConversionKind::TaxExcluded;
    g.roundingMethod = RoundingMethod::HalfUp;
    g.roundingUnit = RoundingUnit::Yen10;
    g.technicalSource = g.retailSource = Slot::A;
    g.technicalDestination = g.retailDestination = Slot::B;
    YesBoxes boxes;
    const FixedClock clock(QDate(2019, 10, 1));
    const RunResult result = executeRun(cn, g, boxes, DriveMap(driveC), clock, RunHooks{});
    if (statements)
        *statements = cn.statementCount();
    return result;
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

// Peak resident size of one 200k-row run, measured in a child process so the
// figure is that of the run alone (plus the program's own baseline).
void EngineRunPeakRss(benchmark::State& state) {
    state.counters["maxrss_MB"] = childPeakMb(state, "--run-once");
    state.counters["rows"] = 200000;
}

void EngineRunOdbc(benchmark::State& state) {
    qputenv("TANKA_SQLITE_VIA_ODBC", "1");
    EngineRun(state);
    qunsetenv("TANKA_SQLITE_VIA_ODBC");
}

BENCHMARK(EngineRun)->Apply(wholeRunSizes);
BENCHMARK(Sqlite3Shell)->Apply(wholeRunSizes);
BENCHMARK(EngineRunOdbc)->Apply(wholeRunSizes);
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
