// The whole Execute through the real main window (offscreen): start-up on a
// headquarters installation, the choices clicked (technical to 10 %, retail
// to tax-exclusive, round half up, ten yen; no store chosen: every store),
// then 実行 clicked and answered; the run's backups, conversions and commit,
// the window's banner and progress bar, up to the closing message and the
// unload. Beside it, in the same run, the same work set-based in the sqlite3
// shell, on fresh copies of the same files.
//
//   WindowRun/<rows>      the click on 実行 until the window has unloaded
//                         (start-up and the choices are not timed)
//   Sqlite3Shell/<rows>   one sqlite3 process: each table exported with
//                         ".mode tabs" (headers on), then one UPDATE per table
//                         computing the new prices, in one transaction
//   WindowRunPeakRss      one window run of 200k rows in a child process of
//                         this program; counter maxrss_MB = its peak resident
//                         size (the program with its window, start-up included)
//   PreviewOpen/<rows>    the click on 確認 until its dialog is up with the
//                         rows of the run in its table, painted
//   PreviewPeakRss        the same for 200k rows in a child process; maxrss_MB
//   WindowRunOdbc/<rows>  WindowRun with the files reached through ODBC
//                         (TANKA_SQLITE_VIA_ODBC), the transport SQL Server
//                         uses
//
// Rows: 12,500 (50 stores x 125 per table), 50,000 (100 x 250) and 200,000
// (100 x 1,000). Times are wall-clock; the copy of the sample before each
// iteration is not timed.
//
//   window_run_bench --run-once <driveC> <sqliteDir>       (used by WindowRunPeakRss)
//   window_run_bench --preview-once <driveC> <sqliteDir>   (used by PreviewPeakRss)

#include <benchmark/benchmark.h>

#include "peak_memory.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "app/startup.h"
#include "tools/sample/sample_install.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/preview/preview_dialog.h"
#include "ui/preview/preview_model.h"

namespace {

using namespace tanka;

class YesBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon, const QString&) override {
        shown << text;
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    QStringList shown;
};

// A console login; the program's single-instance test always passes.
class ConsoleEnv final : public SystemEnv {
public:
    QString variable(const QString& name) const override {
        return name == QLatin1String("SESSIONNAME") ? QStringLiteral("Console") : QString();
    }
    QString systemDirectory() const override { return QStringLiteral("C:\\WINDOWS\\system32"); }
};
class OnlyCopy final : public SingleInstance {
public:
    InstanceClaim acquire() override { return InstanceClaim::Only; }
};

struct Template {
    QTemporaryDir dir;
    sample::SampleInstall install;
};

// The headquarters sample of a given total row count, written on first use.
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

QString freshCopy(const Template& t, QTemporaryDir& into) {
    copyTree(t.install.driveC, into.path() + QStringLiteral("/C"));
    return into.path() + QStringLiteral("/C");
}

QString sqliteDirIn(const Template& t, const QString& driveC) {
    return driveC + t.install.sqliteDir.mid(t.install.driveC.size());
}

// The program on one sample, started and the choices clicked; execute()
// clicks 実行 and returns once the window has unloaded.
class WindowOnSample {
public:
    WindowOnSample(const QString& driveC, const QString& sqliteDir)
        : m_drive(pointedAt(driveC, sqliteDir)),
          m_app(Platform{m_env, m_drive, m_clock, m_boxes, m_instance}) {
        if (m_app.Form_Load() != LoadResult::Loaded)
            throw std::runtime_error("start-up failed");
        m_app.view().show();
        using enum ControlId;
        for (const ControlRef ref :
             {ControlRef{conversionKindButtons, 0}, ControlRef{conversionKindButtons, 3},
              ControlRef{roundingMethodButtons, 2}, ControlRef{roundingUnitButtons, 1}})
            click(ref);
        QApplication::processEvents();
    }
    bool execute() {
        click({ControlId::executeButton});
        return m_app.view().unloaded() && m_boxes.shown.contains(QStringLiteral("終了しました"));
    }

    // Clicks 確認; returns the rows its dialog showed once it was up and
    // painted (the dialog is then closed).
    int preview() {
        int rows = -1;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<PreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            watch.stop();
            dialog->table()->viewport()->repaint();
            rows = dialog->model()->rowCount();
            dialog->reject();
        });
        watch.start();
        click({ControlId::previewButton});
        return rows;
    }

private:
    // Points the program's drive C and embedded server at the sample.
    static DriveMap pointedAt(const QString& driveC, const QString& sqliteDir) {
        qputenv("TANKA_DRIVE_C", driveC.toLocal8Bit());
        qputenv("TANKA_SQLITE_DIR", sqliteDir.toLocal8Bit());
        return DriveMap(driveC);
    }
    void click(ControlRef ref) {
        auto* button = qobject_cast<QAbstractButton*>(m_app.view().widget(ref));
        if (!button || !button->isEnabled())
            throw std::runtime_error(controlName(ref));
        button->click();
    }

    ConsoleEnv m_env;
    DriveMap m_drive;
    FixedClock m_clock{QDate(2019, 10, 1)};
    YesBoxes m_boxes;
    OnlyCopy m_instance;
    TankaApp m_app;
};

void WindowRun(benchmark::State& state) {
    const Template& t = templateFor(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        const QString driveC = freshCopy(t, copy);
        auto window = std::make_unique<WindowOnSample>(driveC, sqliteDirIn(t, driveC));
        state.ResumeTiming();
        if (!window->execute())
            state.SkipWithError("run did not finish");
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void PreviewOpen(benchmark::State& state) {
    const Template& t = templateFor(int(state.range(0)));
    QTemporaryDir copy;
    const QString driveC = freshCopy(t, copy);
    WindowOnSample window(driveC, sqliteDirIn(t, driveC));
    for (auto _ : state) {
        if (window.preview() != state.range(0))
            state.SkipWithError("the preview did not list every row");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void WindowRunOdbc(benchmark::State& state) {
    qputenv("TANKA_SQLITE_VIA_ODBC", "1");
    WindowRun(state);
    qunsetenv("TANKA_SQLITE_VIA_ODBC");
}

// Kind 1 for the technical menu, kind 2 for retail, round half up to 10 yen,
// the headquarters marking date, as the window run chooses; plain floating
// point stands in for the currency steps.
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
        shell.start();
        shell.write(ShellScript);
        shell.closeWriteChannel();
        if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
            state.SkipWithError(shell.readAllStandardError().constData());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Peak resident size of a child process that runs once with one of the
// --*-once arguments on a fresh copy of the 200k sample.
double childPeakMb(benchmark::State& state, const char* mode) {
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

void WindowRunPeakRss(benchmark::State& state) {
    state.counters["maxrss_MB"] = childPeakMb(state, "--run-once");
    state.counters["rows"] = 200000;
}

void PreviewPeakRss(benchmark::State& state) {
    state.counters["maxrss_MB"] = childPeakMb(state, "--preview-once");
    state.counters["rows"] = 200000;
}

BENCHMARK(WindowRun)
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
BENCHMARK(WindowRunOdbc)
    ->Arg(12500)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(WindowRunPeakRss)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(PreviewOpen)
    ->Arg(12500)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(PreviewPeakRss)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupJapaneseUi(app);
    const bool runOnce = argc == 4 && std::strcmp(argv[1], "--run-once") == 0;
    const bool previewOnce = argc == 4 && std::strcmp(argv[1], "--preview-once") == 0;
    if (runOnce || previewOnce) {
        bool finished = false;
        {
            WindowOnSample window(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
            finished = runOnce ? window.execute() : window.preview() > 0;
        }
        std::printf("%ld\n", peakResidentKb()); // kilobytes
        return finished ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
