// The start-up checks of a headquarters installation (100 stores x 2,000 rows
// per menu, no store chosen) against the same queries with LIMIT 1 in the
// sqlite3 shell, in the same run.
//
//   StartupChecks/<state>   the hasPricedRows sequence of a start-up refresh for
//                           both menus, both switch flags and the processing
//                           date, on an open connection
//   Sqlite3Shell/<state>    the same queries, three-part names as the layer
//                           rewrites them, " LIMIT 1" appended, in one sqlite3
//                           process with the files attached the same way;
//                           time = (run with R blocks - run with none) / R, so
//                           process start and ATTACH are not counted;
//                           shell_cpu_ms is the child's CPU time the same way
//
// States: "A" (slot A priced everywhere: the both/B checks scan every row),
// "none" (no prices: every check scans every row), "far" (slot A, plus one row
// priced in both slots at the very end of the last store), "mixed" (every
// check stops early).

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/globals.h"
#include "db/connection.h"
#include "pricing/checks.h"
#include "tools/sample/sample_install.h"

namespace {

using namespace tanka;

constexpr int kStores = 100;
constexpr int kRows = 2000;
constexpr int kShellBlocks = 5;

// The slot checks of one start-up refresh: both, A, B, A, B, B, A.
constexpr PricedIn kStartupChecks[] = {PricedIn::BothSlots, PricedIn::SlotA, PricedIn::SlotB,
                                       PricedIn::SlotA,     PricedIn::SlotB, PricedIn::SlotB,
                                       PricedIn::SlotA};

enum class State { A, None, Far, Mixed };

struct Sample {
    QTemporaryDir dir;
    sample::SampleInstall install;
};

// One sample per state, written on first use and kept for the run.
const sample::SampleInstall& sampleFor(State state) {
    static std::map<State, std::unique_ptr<Sample>> samples;
    auto& slot = samples[state];
    if (!slot) {
        slot = std::make_unique<Sample>();
        sample::Options o;
        o.headquarters = true;
        o.stores = kStores;
        o.technicalRows = kRows;
        o.retailRows = kRows;
        const sample::Slots priced = state == State::None    ? sample::Slots::None
                                     : state == State::Mixed ? sample::Slots::Mixed
                                                             : sample::Slots::A;
        o.technicalSlots = priced;
        o.retailSlots = priced;
        slot->install = sample::writeSampleInstall(slot->dir.path(), o);
        if (state == State::Far) {
            const QString last = QString::number(kRows - 1); // a live row (not a deleted one)
            sample::execSql(slot->install.databaseFile(QStringLiteral("MSTORI")),
                            {QStringLiteral("UPDATE MTGIJU SET TankaA1 = 4320, TankaB1 = 4400 "
                                            "WHERE MiseID = %1 AND GijutuID = %2")
                                 .arg(kStores)
                                 .arg(last),
                             QStringLiteral("UPDATE MTTENP SET UriTankaA = 3240, UriTankaB = 3300 "
                                            "WHERE MiseID = %1 AND TenpanID = %2")
                                 .arg(kStores)
                                 .arg(last)});
        }
    }
    return slot->install;
}

Globals headquarters() {
    Globals g;
    g.isHeadquarters = true;
    g.ownStoreId = 1;
    for (auto& row : g.chosenStores)
        row[0] = QStringLiteral("0");
    return g;
}

std::unique_ptr<Connection> openConnection(const sample::SampleInstall& s) {
    s.applyEnvironment();
    auto cn = std::make_unique<Connection>();
    cn->setConnectionParams({s.server, QStringLiteral("ORBE-TLX-MEMBER"), QStringLiteral("QDR615"),
                             QStringLiteral("MSKYAK")});
    cn->setCommandTimeout(9999);
    cn->open();
    return cn;
}

void StartupChecks(benchmark::State& st, State state) {
    const auto& s = sampleFor(state);
    auto cn = openConnection(s);
    Globals g = headquarters();
    int found = 0;
    for (auto _ : st) {
        found = 0;
        for (const Menu menu : {Menu::Technical, Menu::Retail})
            for (const PricedIn pricedIn : kStartupChecks)
                found += hasPricedRows(menu, pricedIn, *cn, g) ? 1 : 0;
        std::int16_t technicalFlag = 0;
        std::int16_t retailFlag = 0;
        readSwitchFlags(technicalFlag, retailFlag, *cn, g);
        readStoreProcessingDate(*cn, g);
        benchmark::DoNotOptimize(found + technicalFlag + retailFlag);
    }
    st.counters["checks_with_rows"] = found;
}

// The queries as the sqlite3 shell gets them.
QString shellBlock() {
    const Globals g = headquarters();
    QString block;
    for (const Menu menu : {Menu::Technical, Menu::Retail}) {
        for (const PricedIn pricedIn : kStartupChecks) {
            QString sql = pricedRowsQuery(menu, pricedIn, g);
            block += sql.replace(QStringLiteral("MSTORI.dbo."), QStringLiteral("MSTORI.")) +
                     QStringLiteral(" LIMIT 1;\n");
        }
    }
    // Switch flags, then the processing date: the same row twice.
    block += QStringLiteral(" SELECT *  from MSHONB.MHSCTB   LIMIT 1;\n").repeated(2);
    return block;
}

// The main file is MSKYAK, the others attached under their own names, as
// the layer opens them.
QString shellScript(const sample::SampleInstall& s, int blocks) {
    QString script = QStringLiteral(".output /dev/null\n");
    const QDir dir(s.serverDir);
    for (const QString& file : dir.entryList({QStringLiteral("*.sqlite")}, QDir::Files)) {
        const QString name = file.section('.', 0, 0).toUpper();
        if (name != QLatin1String("MSKYAK"))
            script += QStringLiteral("ATTACH '%1' AS %2;\n").arg(dir.filePath(file), name);
    }
    return script + shellBlock().repeated(blocks);
}

// CPU seconds of the waited-for child processes so far.
double childCpu() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

struct ShellRun {
    double wall;
    double cpu;
};

ShellRun runShell(const sample::SampleInstall& s, int blocks) {
    QProcess p;
    const double cpuBefore = childCpu();
    const auto start = std::chrono::steady_clock::now();
    p.start(QStringLiteral("sqlite3"), {s.databaseFile(QStringLiteral("MSKYAK"))});
    if (!p.waitForStarted())
        throw std::runtime_error("sqlite3 did not start");
    p.write(shellScript(s, blocks).toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const auto end = std::chrono::steady_clock::now();
    if (p.exitCode() != 0 || !p.readAllStandardError().isEmpty())
        throw std::runtime_error("sqlite3 failed");
    return {std::chrono::duration<double>(end - start).count(), childCpu() - cpuBefore};
}

void Sqlite3Shell(benchmark::State& st, State state) {
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty()) {
        st.SkipWithError("sqlite3 not found");
        return;
    }
    const auto& s = sampleFor(state);
    double cpu = 0;
    for (auto _ : st) {
        const ShellRun base = runShell(s, 0);
        const ShellRun full = runShell(s, kShellBlocks);
        st.SetIterationTime(std::max(0.0, full.wall - base.wall) / kShellBlocks);
        cpu += std::max(0.0, full.cpu - base.cpu) / kShellBlocks;
    }
    // The shell's own CPU time per block, to set beside StartupChecks' CPU
    // column when other work shares the machine.
    st.counters["shell_cpu_ms"] = 1000 * cpu / static_cast<double>(st.iterations());
}

} // namespace

BENCHMARK_CAPTURE(StartupChecks, A, State::A)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sqlite3Shell, A, State::A)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartupChecks, none, State::None)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sqlite3Shell, none, State::None)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartupChecks, far, State::Far)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sqlite3Shell, far, State::Far)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartupChecks, mixed, State::Mixed)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sqlite3Shell, mixed, State::Mixed)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
