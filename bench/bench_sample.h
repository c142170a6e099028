#pragma once
// What the whole-run benchmarks share: headquarters samples of a given total
// row count (written once, copied fresh for every iteration), and the same
// work done set-based by hand in the sqlite3 shell, with the counters both
// sides report.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tools/sample/sample_install.h"

namespace tanka::bench {

struct Template {
    QTemporaryDir dir;
    sample::SampleInstall install;
};

// The sample of a given total row count, written on first use.
inline const Template& templateFor(int totalRows) {
    static std::map<int, std::unique_ptr<Template>> samples;
    auto& slot = samples[totalRows];
    if (!slot) {
        slot = std::make_unique<Template>();
        sample::Options o;
        o.headquarters = true;
        o.stores = totalRows >= 50000 ? 100 : 50;
        o.technicalRows = totalRows / o.stores / 2;
        o.retailRows = o.technicalRows;
        o.deletedEvery = 0;
        slot->install = sample::writeSampleInstall(slot->dir.path(), o);
    }
    return *slot;
}

inline void copyTree(const QString& from, const QString& to) {
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
inline QString freshCopy(const Template& t, QTemporaryDir& into) {
    copyTree(t.install.driveC, into.path() + QStringLiteral("/C"));
    return into.path() + QStringLiteral("/C");
}

inline QString sqliteDirIn(const Template& t, const QString& driveC) {
    return driveC + t.install.sqliteDir.mid(t.install.driveC.size());
}

// Statements sent per run and per 1,000 rows of the run, and the run's time
// on a LAN modelled as the time measured + 0.5 ms per statement.
inline void reportStatements(benchmark::State& state, double statements, double ms) {
    const double runs = double(state.iterations());
    state.counters["statements"] = statements / runs;
    state.counters["per_1000_rows"] = statements / runs / double(state.range(0)) * 1000.0;
    state.counters["lan_model_ms"] = (ms + statements * 0.5) / runs;
}

// Kind 1 for the technical menu, kind 2 for retail, round half up to 10 yen,
// the headquarters marking date, as EngineRun does; plain floating point
// stands in for the currency steps.
inline const char* ShellScript = R"(.mode tabs
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

inline void Sqlite3Shell(benchmark::State& state) {
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

// Peak resident size of a child process that runs once with one of the
// --*-once arguments on a fresh copy of the 200k sample.
inline double childPeakMb(benchmark::State& state, const char* mode) {
    const Template& t = templateFor(200000);
    double maxRssMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        const QString driveC = freshCopy(t, copy);
        state.ResumeTiming();
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QString::fromLatin1(mode), driveC, sqliteDirIn(t, driveC)});
        child.start();
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            state.SkipWithError("child run failed");
            break;
        }
        maxRssMb = child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
    }
    return maxRssMb;
}

// The sizes every whole-run benchmark runs: 12,500, 50,000 and 200,000 rows,
// two iterations each, wall-clock in milliseconds.
inline void wholeRunSizes(benchmark::internal::Benchmark* b) {
    b->Arg(12500)->Arg(50000)->Arg(200000);
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
}

} // namespace tanka::bench
