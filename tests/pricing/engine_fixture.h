#pragma once
// What the engine tests share: a sample installation in a temporary folder
// with the environment pointing at it, a connection like the program's, the
// program-wide values of a store or headquarters run, scripted message boxes,
// and full table dumps read straight from the SQLite files.

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "support/sample_site.h"
#include "support/scripted_boxes.h"
#include "tools/sample/sample_install.h"

namespace tanka::test {

using Price = std::optional<int>;
using Slot5 = std::array<Price, 5>;

// One MTGIJU row as an INSERT statement; Null where a value is absent.
struct GijuRow {
    int miseId = 1;
    int gijutuId = 1;
    std::optional<int> taxFlg = 1;
    Slot5 a{};
    Slot5 b{};
    std::optional<int> kosinFlg = 0;
    std::optional<QString> kosinDate = QStringLiteral("2018-04-01 00:00:00");
    QString name = QStringLiteral("カット");
    QString insertSql() const;
};

struct TenRow {
    int miseId = 1;
    int tenpanId = 1;
    std::optional<int> taxFlg = 1;
    Price a;
    Price b;
    std::optional<int> kosinFlg = 0;
    std::optional<QString> kosinDate = QStringLiteral("2018-04-01 00:00:00");
    QString name = QStringLiteral("シャンプー");
    QString insertSql() const;
};

// The connection string of the program's connection to the sample server.
QString connectionString();

class EngineFixture {
public:
    // Writes the sample and points TANKA_DRIVE_C / TANKA_SQLITE_DIR at it until
    // the fixture goes away.
    explicit EngineFixture(const sample::Options& options);
    ~EngineFixture();
    EngineFixture(const EngineFixture&) = delete;
    EngineFixture& operator=(const EngineFixture&) = delete;

    const sample::SampleInstall& install() const { return m_install; }
    const DriveMap& drive() const { return m_drive; }
    Connection& cn();
    Globals& g() { return m_g; }
    FixedClock& clock() { return m_clock; }

    QString mstori() const { return m_install.databaseFile(QStringLiteral("MSTORI")); }
    // Runs statements on MSTORI (outside the program's connection).
    void exec(const QStringList& statements) const;
    // Replaces the rows of MTGIJU / MTTENP.
    void setGiju(const std::vector<GijuRow>& rows) const;
    void setTen(const std::vector<TenRow>& rows) const;

    // Every row of a table in key order, columns TAB-separated, Null as "<null>".
    QStringList dump(const QString& table) const;
    QStringList dumpBoth() const {
        return dump(QStringLiteral("MTGIJU")) + dump(QStringLiteral("MTTENP"));
    }
    // One row by key condition, column name -> text, for checking single values.
    QString value(const QString& table, const QString& column, const QString& where) const;

    // Host path of a backup file in the work directory.
    QString backupPath(const QString& name) const;
    QByteArray readFile(const QString& hostPath) const;

private:
    ScopedEnv m_env{"TANKA_DRIVE_C", "TANKA_SQLITE_DIR"};
    QTemporaryDir m_dir;
    sample::SampleInstall m_install;
    DriveMap m_drive;
    std::unique_ptr<Connection> m_cn;
    Globals m_g;
    FixedClock m_clock{QDate(2019, 10, 1)};
};

// Makes a folder unwritable for the lifetime of the object: read-only mode,
// and for root (whom modes do not stop) the immutable attribute. ok() is false
// when neither holds on this machine.
class UnwritableDir {
public:
    explicit UnwritableDir(QString hostPath);
    ~UnwritableDir();
    UnwritableDir(const UnwritableDir&) = delete;
    UnwritableDir& operator=(const UnwritableDir&) = delete;
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_ok = false;
};

// The files (hidden ones too) of a host folder.
QStringList filesIn(const QString& hostDir);

// Sample options of a small store or headquarters installation.
sample::Options storeOptions(int stores = 1, std::int16_t own = 1);
sample::Options headquartersOptions(int stores);

} // namespace tanka::test
