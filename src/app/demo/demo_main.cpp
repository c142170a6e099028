// tanka-demo OUTDIR: runs the real main window on the sample installation
// that TANKA_DRIVE_C and TANKA_SQLITE_DIR point at, converts the technical
// menu and the retail products to 10 % prices (round half up, 1 yen) by
// clicking the window's buttons, and prints prices before and after. Writes
// OUTDIR/startup.png (the window at start-up), OUTDIR/screenshot.png (the
// choices made, just before Execute), OUTDIR/preview-list.png and
// OUTDIR/preview-rounding.png (the two pages of 確認, opened before Execute)
// and OUTDIR/running.png (the run half way through a menu or further).
// tanka-demo OUTDIR --pictures-only stops after the second picture: for
// screens where a dialog cannot be closed (Wine's window program on a bare X
// server never delivers a dialog's close).

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTimer>

#include "app/demo/demo_driver.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/qt_message_boxes.h"
#include "ui/preview/preview_dialog.h"

namespace {

QString findFile(const QString& root, const QString& pattern) {
    QDirIterator it(root, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

// Pads text to a width in terminal columns (full-width characters take two).
QString cell(const QVariant& value, int columns, bool right = true) {
    const QString text = value.isNull() ? QStringLiteral("Null") : value.toString();
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    const QString pad(std::max(0, columns - width), QLatin1Char(' '));
    return right ? pad + text : text + pad;
}

// A few live rows of both price masters, slot A and slot B side by side.
QString priceTable(const QString& mstori) {
    QString out;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo-prices"));
        db.setDatabaseName(mstori);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return QStringLiteral("(%1 を開けません: %2)\n").arg(mstori, db.lastError().text());
        const auto table = [&](const QString& title, const QStringList& heads, const QString& sql) {
            out += QStringLiteral("  ") + cell(title, 22, false);
            for (const QString& h : heads)
                out += cell(h, 8);
            out += QLatin1Char('\n');
            QSqlQuery q(sql, db);
            while (q.next()) {
                out += QStringLiteral("  ") + cell(q.value(0), 22, false);
                for (int i = 1; i <= heads.size(); ++i)
                    out += cell(q.value(i), 8);
                out += QLatin1Char('\n');
            }
        };
        table(QStringLiteral("技術メニュー"),
              {QStringLiteral("税区分"), QStringLiteral("単価A1"), QStringLiteral("単価B1"),
               QStringLiteral("単価A2"), QStringLiteral("単価B2")},
              QStringLiteral("select GijutuName, TaxFlg, TankaA1, TankaB1, TankaA2, TankaB2 "
                             "from MTGIJU where SaisyuKosinFlg <> 9 "
                             "order by MiseID, GijutuID, ShumokuID limit 6"));
        table(QStringLiteral("店販商品"),
              {QStringLiteral("税区分"), QStringLiteral("単価A"), QStringLiteral("単価B")},
              QStringLiteral("select TenpanName, TaxFlg, UriTankaA, UriTankaB from MTTENP "
                             "where SaisyuKosinFlg <> 9 order by MiseID, TenpanFlg, TenpanID "
                             "limit 6"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("demo-prices"));
    return out;
}

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    tanka::setupJapaneseUi(qapp);
    const QStringList args = QCoreApplication::arguments();
    const bool picturesOnly = args.size() == 3 && args[2] == u"--pictures-only";
    if (args.size() != 2 && !picturesOnly) {
        std::fprintf(stderr, "usage: tanka-demo OUTDIR [--pictures-only]\n");
        return 2;
    }
    const QDir out(args[1]);
    const QString driveC = qEnvironmentVariable("TANKA_DRIVE_C");
    const QString mstori =
        findFile(qEnvironmentVariable("TANKA_SQLITE_DIR"), QStringLiteral("MSTORI.sqlite"));
    if (driveC.isEmpty() || mstori.isEmpty()) {
        std::fprintf(stderr, "tanka-demo: TANKA_DRIVE_C and TANKA_SQLITE_DIR must name a "
                             "sample installation\n");
        return 2;
    }

    const QString before = priceTable(mstori);
    print(QStringLiteral("変更前の単価:\n") + before);

    const tanka::ProcessEnv env;
    const tanka::DriveMap drive = tanka::DriveMap::fromEnvironment();
    const tanka::SystemClock clock;
    tanka::QtMessageBoxes boxes;
    tanka::LockFileInstance instance(out.filePath(QStringLiteral("tanka-demo.lock")));
    tanka::TankaApp app({env, drive, clock, boxes, instance});

    if (app.load() != tanka::LoadResult::Loaded) {
        std::fprintf(stderr, "tanka-demo: start-up ended\n");
        return 1;
    }
    tanka::MainWindowView& view = app.view();
    view.show();
    QCoreApplication::processEvents();
    const QString startup = out.filePath(QStringLiteral("startup.png"));
    view.grab().save(startup);
    print(QStringLiteral("起動時の画面: %1\n").arg(startup));

    using enum tanka::ControlId;
    tanka::DemoDriver driver(view);
    driver.addClick({conversionKindButtons, 0}); // 技術を変更: 8 % → 10 %
    driver.addClick({conversionKindButtons, 2}); // 店販を変更: 8 % → 10 %
    driver.addClick({roundingMethodButtons, 2}); // 四捨五入
    driver.addClick({roundingUnitButtons, 0});   // １円未満
    const QString shot = out.filePath(QStringLiteral("screenshot.png"));
    driver.addStep([&] {
        view.grab().save(shot);
        print(QStringLiteral("選択後の画面: %1\n").arg(shot));
        if (picturesOnly)
            QCoreApplication::exit(0);
    });
    // 確認: both pages of its dialog pictured, then the dialog closed.
    const QString listShot = out.filePath(QStringLiteral("preview-list.png"));
    const QString roundingShot = out.filePath(QStringLiteral("preview-rounding.png"));
    QTimer previewWatch;
    previewWatch.setInterval(100);
    QObject::connect(&previewWatch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<tanka::PreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        previewWatch.stop();
        dialog->grab().save(listShot);
        dialog->pages()->setCurrentIndex(1);
        QCoreApplication::processEvents();
        dialog->grab().save(roundingShot);
        print(QStringLiteral("確認の画面: %1 %2\n").arg(listShot, roundingShot));
        dialog->accept();
    });
    driver.addStep([&] { previewWatch.start(); });
    driver.addClick({previewButton}); // 確認
    // One picture of the window while the run converts: the banner with the
    // menu and its progress bar.
    const QString running = out.filePath(QStringLiteral("running.png"));
    bool runningShot = false;
    app.form().processEvents = [&, inner = app.form().processEvents] {
        inner();
        const tanka::BusyProgress& p = app.model().busyProgress;
        if (!runningShot && p.total > 0 && p.done * 2 >= p.total) {
            runningShot = view.grab().save(running);
            print(QStringLiteral("実行中の画面: %1\n").arg(running));
        }
    };
    driver.addClick({executeButton}); // 実行
    driver.start();
    QApplication::exec();
    if (picturesOnly)
        return 0;

    const QString after = priceTable(mstori);
    print(QStringLiteral("変更後の単価:\n") + after);
    QDirIterator backups(driveC, {QStringLiteral("*10%.CSV")}, QDir::Files,
                         QDirIterator::Subdirectories);
    int backupCount = 0;
    while (backups.hasNext()) {
        const QFileInfo f(backups.next());
        print(QStringLiteral("バックアップ: %1 (%2 バイト)\n").arg(f.filePath()).arg(f.size()));
        ++backupCount;
    }

    const bool converted = before != after && backupCount == 2 && driver.boxesAnswered() >= 2;
    print(converted ? QStringLiteral("デモ完了: 単価を変更しました。\n")
                    : QStringLiteral("デモ失敗: 単価が変更されていません。\n"));
    return converted ? 0 : 1;
}
