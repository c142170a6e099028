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
//                         prices of the run in its list, painted
//   PreviewComparison/200000
//                         in that dialog, the click on the "端数の比較" page
//                         until its nine roundings per menu are worked out and
//                         the page (table and chart) is painted
//   PreviewNarrow/<kind>  in the dialog on 200k rows, one narrowing until the
//                         list is painted again: 0 one store of 100, 1 a part
//                         of the name ("パーマ"), 2 changed prices only
//   PreviewPeakRss        the dialog on 200k rows in a child process, its
//                         comparison page shown and the list narrowed by
//                         store and name; maxrss_MB
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

#include "bench_sample.h"
#include "peak_memory.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "app/startup.h"
#include "tools/sample/sample_install.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/preview/preview_dialog.h"
#include "ui/preview/preview_model.h"
#include "ui/preview/rounding_page.h"

namespace {

using namespace tanka;
using namespace tanka::bench;

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

// The program on one sample, started and the choices clicked; execute()
// clicks 実行 and returns once the window has unloaded.
class WindowOnSample {
public:
    WindowOnSample(const QString& driveC, const QString& sqliteDir)
        : m_drive(pointedAt(driveC, sqliteDir)),
          m_app(Platform{m_env, m_drive, m_clock, m_boxes, m_instance}) {
        if (m_app.load() != LoadResult::Loaded)
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

    // Clicks 確認 and, once its dialog is up and its list painted, runs step
    // on it; the dialog is then closed.
    void withPreview(const std::function<void(PreviewDialog&)>& step) {
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<PreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            watch.stop();
            dialog->table()->viewport()->repaint();
            step(*dialog);
            dialog->reject();
        });
        watch.start();
        click({ControlId::previewButton});
    }
    // The lines the dialog listed.
    qint64 preview() {
        qint64 lines = -1;
        withPreview([&](PreviewDialog& d) { lines = qint64(d.model()->allLines().size()); });
        return lines;
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
        if (window.preview() < state.range(0))
            state.SkipWithError("the preview did not list every row");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Shows the comparison page and paints it.
bool showComparison(PreviewDialog& d) {
    d.pages()->setCurrentIndex(1);
    d.roundingPage()->repaint();
    return d.roundingPage()->hasFigures();
}

void PreviewComparison(benchmark::State& state) {
    const Template& t = templateFor(int(state.range(0)));
    QTemporaryDir copy;
    const QString driveC = freshCopy(t, copy);
    WindowOnSample window(driveC, sqliteDirIn(t, driveC));
    for (auto _ : state) {
        state.PauseTiming();
        window.withPreview([&](PreviewDialog& d) {
            state.ResumeTiming();
            const bool shown = showComparison(d);
            state.PauseTiming();
            if (!shown)
                state.SkipWithError("no comparison");
        });
        state.ResumeTiming();
    }
}

// One narrowing of the list (store, name or changed prices), painted.
void narrow(PreviewDialog& d, std::int64_t kind) {
    if (kind == 0)
        d.storeFilter()->setCurrentIndex(d.storeFilter()->count() / 2);
    else if (kind == 1)
        d.nameFilter()->setText(QStringLiteral("パーマ"));
    else
        d.changedOnly()->setChecked(true);
    d.table()->viewport()->repaint();
}

void PreviewNarrow(benchmark::State& state) {
    const Template& t = templateFor(200000);
    QTemporaryDir copy;
    const QString driveC = freshCopy(t, copy);
    WindowOnSample window(driveC, sqliteDirIn(t, driveC));
    window.withPreview([&](PreviewDialog& d) {
        for (auto _ : state) {
            narrow(d, state.range(0));
            state.PauseTiming();
            state.counters["lines_shown"] = d.model()->rowCount();
            d.storeFilter()->setCurrentIndex(0);
            d.nameFilter()->clear();
            d.changedOnly()->setChecked(false);
            state.ResumeTiming();
        }
        state.counters["lines"] = double(d.model()->allLines().size());
    });
}

void WindowRunOdbc(benchmark::State& state) {
    qputenv("TANKA_SQLITE_VIA_ODBC", "1");
    WindowRun(state);
    qunsetenv("TANKA_SQLITE_VIA_ODBC");
}

void WindowRunPeakRss(benchmark::State& state) {
    state.counters["maxrss_MB"] = childPeakMb(state, "--run-once");
    state.counters["rows"] = 200000;
}

void PreviewPeakRss(benchmark::State& state) {
    state.counters["maxrss_MB"] = childPeakMb(state, "--preview-once");
    state.counters["rows"] = 200000;
}

BENCHMARK(WindowRun)->Apply(wholeRunSizes);
BENCHMARK(Sqlite3Shell)->Apply(wholeRunSizes);
BENCHMARK(WindowRunOdbc)->Apply(wholeRunSizes);
BENCHMARK(WindowRunPeakRss)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(PreviewOpen)->Apply(wholeRunSizes);
BENCHMARK(PreviewComparison)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(PreviewNarrow)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
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
            if (runOnce) {
                finished = window.execute();
            } else {
                window.withPreview([&](PreviewDialog& d) {
                    finished = showComparison(d);
                    narrow(d, 0);
                    narrow(d, 1);
                });
            }
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
