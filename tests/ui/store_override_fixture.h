#pragma once
// The whole program on a sample installation, for the store dialog and the
// forced-execution tests: a sample written to a temporary folder, scripted
// platform services (console login, fixed day, message boxes that answer
// from a script), and the real TankaApp with its window, started with
// Form_Load. The tests then click the real widgets or call the handlers.

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/startup.h"
#include "pricing/keisan.h"
#include "tools/sample/sample_install.h"

namespace tanka::test {

struct ShownBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

// Records every box; answers from the queue, else Yes to Yes/No and Ok to OK.
class ScriptedBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon,
                   const QString& title) override {
        shown.push_back({text, buttons, icon, title});
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    QStringList texts() const {
        QStringList list;
        for (const ShownBox& b : shown)
            list << b.text;
        return list;
    }
    std::vector<ShownBox> shown;
    std::deque<MsgAnswer> answers;
};

class ConsoleEnv final : public SystemEnv {
public:
    QString variable(const QString& name) const override {
        return name == QLatin1String("SESSIONNAME") ? QStringLiteral("Console") : QString();
    }
    QString systemDirectory() const override { return QStringLiteral("C:\\WINDOWS\\system32"); }
};

class OnlyCopy final : public SingleInstance {
public:
    bool acquire() override { return true; }
};

// Rows of a query on one of the sample's SQLite files, columns TAB-separated,
// Null as "<null>".
inline QStringList queryRows(const QString& file, const QString& sql) {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("store_override_%1").arg(counter++);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
        while (q.next()) {
            QStringList cols;
            for (int i = 0; i < q.record().count(); ++i)
                cols << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << cols.join(u'\t');
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

class AppOnSample {
public:
    // Writes the sample; shape its data with sql() before load().
    explicit AppOnSample(const sample::Options& options)
        : install(sample::writeSampleInstall(dir.path(), options)), drive(install.driveC) {
        install.applyEnvironment();
    }
    ~AppOnSample() {
        // The window (and with it the connection) goes before the sample.
        app.reset();
    }

    void sql(const QString& database, const QStringList& statements) const {
        sample::execSql(install.databaseFile(database), statements);
    }
    QStringList rows(const QString& sqlText) const {
        return queryRows(install.databaseFile(QStringLiteral("MSTORI")), sqlText);
    }

    // Form_Load of the real program; the window is shown when it loaded.
    LoadResult load() {
        app = std::make_unique<TankaApp>(Platform{env, drive, clock, boxes, instance});
        const LoadResult result = app->Form_Load();
        if (result == LoadResult::Loaded)
            app->view().show();
        return result;
    }

    TankaApp& program() { return *app; }
    Globals& g() { return app->globals(); }
    WindowModel& model() { return app->model(); }
    MainForm& form() { return app->form(); }
    QAbstractButton* button(ControlRef ref) {
        return qobject_cast<QAbstractButton*>(app->view().widget(ref));
    }

    QTemporaryDir dir;
    sample::SampleInstall install;
    DriveMap drive;
    ConsoleEnv env;
    FixedClock clock{QDate(2019, 9, 30)};
    ScriptedBoxes boxes;
    OnlyCopy instance;
    std::unique_ptr<TankaApp> app;
};

// One MTGIJU or MTTENP row as read back: its key, TaxFlg, SaisyuKosinFlg and
// the prices of slot A and slot B (one each for MTTENP), Null as "<null>".
struct PriceRow {
    QString key;
    int mise = 0;
    QString taxFlg;
    QString kosinFlg;
    QStringList a, b;
};

inline std::vector<PriceRow> priceRows(const AppOnSample& site, bool giju) {
    const QString sql =
        giju
            ? QStringLiteral("SELECT MiseID, GijutuID, ShumokuID, TaxFlg, SaisyuKosinFlg, TankaA1, "
                             "TankaA2, TankaA3, TankaA4, TankaA5, TankaB1, TankaB2, TankaB3, "
                             "TankaB4, TankaB5 FROM MTGIJU ORDER BY GlobalID, MiseID, GijutuID, "
                             "ShumokuID")
            : QStringLiteral("SELECT MiseID, TenpanFlg, TenpanID, TaxFlg, SaisyuKosinFlg, "
                             "UriTankaA, UriTankaB FROM MTTENP ORDER BY GlobalID, MiseID, "
                             "TenpanFlg, TenpanID");
    const int perSlot = giju ? 5 : 1;
    std::vector<PriceRow> rows;
    for (const QString& line : site.rows(sql)) {
        const QStringList c = line.split(u'\t');
        PriceRow r;
        r.key = c.mid(0, 3).join(u'/');
        r.mise = c[0].toInt();
        r.taxFlg = c[3];
        r.kosinFlg = c[4];
        r.a = c.mid(5, perSlot);
        r.b = c.mid(5 + perSlot, perSlot);
        rows.push_back(r);
    }
    return rows;
}

// A stored price as the conversion reads it: Null reads as 0.
inline std::int32_t priceOf(const QString& text) {
    return text == QLatin1String("<null>") ? 0 : static_cast<std::int32_t>(text.toDouble());
}

// The price the conversion writes for a source price: converted when the row
// is tax-inclusive (TaxFlg 1), copied otherwise.
inline std::int32_t converted(const QString& source, const QString& taxFlg, std::int16_t kind,
                              std::int16_t HasuMode, std::int16_t HasuTani) {
    const std::int32_t p = priceOf(source);
    return taxFlg == QLatin1String("1") ? Keisan(p, kind, HasuMode, HasuTani) : p;
}

// Runs step on the modal widget once one is up (from inside its event loop);
// gives up after two seconds without one.
inline void whenModal(std::function<void(QWidget*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((!modal || !modal->isVisible()) && ++*ticks < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal && modal->isVisible())
            step(modal);
    });
    timer->start();
}

} // namespace tanka::test
