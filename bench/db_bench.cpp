// The database layer alone on the embedded server, over a technical menu of
// 12,500, 50,000 and 200,000 rows:
//
//   WalkUpdate/<rows>      a static optimistic record set walked to its end,
//                          five prices, the flag and the date of every row
//                          assigned and updated, in one transaction (rolled
//                          back, so every iteration sees the same table)
//   WalkUpdatePeakRss      the 200,000-row walk once in a child process;
//                          counter maxrss_MB = its peak resident size
//   ExistenceCheck/<rows>  open static optimistic, test BOF/EOF, close
//   ReadAll/<rows>         the table written out as a backup (writeBackupFile)
//
//   db_bench --walk-once <sqliteDir>   (used by WalkUpdatePeakRss)

#include <benchmark/benchmark.h>

#include "peak_memory.h"

#include <sys/resource.h>

#include <cstring>
#include <map>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "db/batch_update.h"
#include "db/connection.h"
#include "db/keyed_pages.h"
#include "db/recordset.h"
#include "pricing/backup.h"

namespace {

using namespace tanka;

const QString kQuery =
    QStringLiteral(" select * from MSTORI.dbo.MTGIJU G  Where  G.SaisyuKosinFlg <> 9 ");

// A server folder SV01 with MSKYAK and an MSTORI of `rows` menu rows
// (100 stores).
class Server {
public:
    explicit Server(int rows) {
        QDir().mkpath(dir.path() + QStringLiteral("/SV01"));
        create(QStringLiteral("MSKYAK"), {QStringLiteral("CREATE TABLE K (a INTEGER)")}, 0);
        create(QStringLiteral("MSTORI"),
               {QStringLiteral(
                   "CREATE TABLE MTGIJU (GlobalID INTEGER NOT NULL, MiseID INTEGER NOT NULL, "
                   "GijutuID INTEGER NOT NULL, ShumokuID INTEGER NOT NULL, GijutuName "
                   "NVARCHAR(40), TaxFlg SMALLINT, TankaA1 MONEY, TankaA2 MONEY, TankaA3 MONEY, "
                   "TankaA4 MONEY, TankaA5 MONEY, TankaB1 MONEY, TankaB2 MONEY, TankaB3 MONEY, "
                   "TankaB4 MONEY, TankaB5 MONEY, SaisyuKosinFlg SMALLINT, SaisyuKosinDate "
                   "DATETIME, PRIMARY KEY (GlobalID, MiseID, GijutuID, ShumokuID))")},
               rows);
    }
    QString root() const { return dir.path(); }

private:
    void create(const QString& name, const QStringList& ddl, int rows) {
        const QString connection = QStringLiteral("bench-") + name;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(dir.path() + QStringLiteral("/SV01/") + name +
                               QStringLiteral(".sqlite"));
            db.open();
            QSqlQuery q(db);
            for (const QString& s : ddl)
                q.exec(s);
            db.transaction();
            q.prepare(QStringLiteral("INSERT INTO MTGIJU VALUES (1, ?, ?, 1, 'メニュー名', 1, ?, "
                                     "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '2019-09-01 00:00:00')"));
            for (int i = 0; i < rows; ++i) {
                q.bindValue(0, i % 100 + 1);
                q.bindValue(1, i / 100 + 1);
                q.bindValue(2, 1080 + i % 50);
                q.exec();
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
    QTemporaryDir dir;
};

const Server& serverFor(int rows) {
    static std::map<int, std::unique_ptr<Server>> servers;
    auto& server = servers[rows];
    if (!server)
        server = std::make_unique<Server>(rows);
    return *server;
}

std::unique_ptr<Connection> connect(const QString& root) {
    qputenv("TANKA_SQLITE_DIR", root.toLocal8Bit());
    auto cn = std::make_unique<Connection>();
    cn->setConnectionParams({QStringLiteral("SV01"), QStringLiteral("ORBE-TLX-MEMBER"),
                             QStringLiteral("QDR615"), QStringLiteral("MSKYAK")});
    cn->setCommandTimeout(9999);
    cn->open();
    return cn;
}

// The conversion's access pattern: pages by key, batched optimistic writes;
// returns the rows written.
long walkAndUpdate(Connection& cn) {
    const QStringList keys{"GlobalID", "MiseID", "GijutuID", "ShumokuID"};
    QStringList columns;
    for (int i = 1; i <= 5; ++i)
        columns << QStringLiteral("TankaA%1").arg(i) << QStringLiteral("TankaB%1").arg(i);
    columns << "SaisyuKosinFlg"
            << "SaisyuKosinDate";
    KeyedPages pages(cn, " from MSTORI.dbo.MTGIJU G ", " Where G.SaisyuKosinFlg <> 9 ", "G", keys,
                     columns);
    BatchUpdate batch(cn, "MSTORI.dbo.MTGIJU", keys);
    std::vector<std::vector<QVariant>> rows;
    std::vector<ColumnChange> changes;
    while (pages.nextPage(rows)) {
        for (const auto& row : rows) {
            changes.clear();
            for (int i = 0; i < 5; ++i) {
                const qlonglong price = row[4 + 2 * i].toLongLong();
                changes.push_back(
                    {columns[2 * i + 1], row[5 + 2 * i], QVariant(price * 100 / 108 * 110 / 100)});
            }
            changes.push_back({"SaisyuKosinFlg", row[14], 2});
            changes.push_back({"SaisyuKosinDate", row[15], QStringLiteral("2019/09/30")});
            batch.add({row.begin(), row.begin() + 4}, changes);
        }
    }
    batch.flush();
    return static_cast<long>(batch.written());
}

void WalkUpdate(benchmark::State& state) {
    const Server& server = serverFor(static_cast<int>(state.range(0)));
    auto cn = connect(server.root());
    long rows = 0;
    for (auto _ : state) {
        cn->beginTrans();
        rows += walkAndUpdate(*cn);
        state.PauseTiming();
        cn->rollbackTrans();
        state.ResumeTiming();
    }
    state.counters["rows_per_s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void WalkUpdatePeakRss(benchmark::State& state) {
    const Server& server = serverFor(200000);
    double maxrss = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--walk-once"), server.root()});
        child.waitForFinished(-1);
        maxrss = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toDouble();
        if (child.exitCode() != 0)
            state.SkipWithError("the walk failed");
    }
    state.counters["maxrss_MB"] = maxrss;
}

void ExistenceCheck(benchmark::State& state) {
    const Server& server = serverFor(static_cast<int>(state.range(0)));
    auto cn = connect(server.root());
    for (auto _ : state) {
        Recordset rs;
        rs.open(kQuery, *cn);
        benchmark::DoNotOptimize(rs.isBOF() && rs.isEOF());
        rs.close();
    }
}

void ReadAll(benchmark::State& state) {
    const Server& server = serverFor(static_cast<int>(state.range(0)));
    auto cn = connect(server.root());
    for (auto _ : state) {
        Recordset rs;
        rs.open(QStringLiteral("SELECT * From MSTORI.dbo.MTGIJU  ORDER BY GlobalID, MiseID, "
                               "GijutuID, ShumokuID"),
                *cn);
        QTemporaryDir dir;
        if (!writeBackupFile(dir.filePath(QStringLiteral("MTGIJU10%.CSV")), rs))
            state.SkipWithError("backup failed");
    }
}

BENCHMARK(WalkUpdate)->Arg(12500)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkUpdatePeakRss)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ExistenceCheck)->Arg(12500)->Arg(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadAll)->Arg(12500)->Arg(200000)->Unit(benchmark::kMillisecond);

// Child of WalkUpdatePeakRss: one walk, then the peak resident size in MB.
int walkOnce(const QString& root) {
    try {
        auto cn = connect(root);
        cn->beginTrans();
        walkAndUpdate(*cn);
        cn->rollbackTrans();
    } catch (const std::exception&) {
        return 1;
    }
    std::printf("%.1f\n", static_cast<double>(peakResidentKb()) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--walk-once") == 0)
        return walkOnce(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
