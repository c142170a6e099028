#pragma once
// What the engine tests share: a sample installation (the shared SampleSite)
// with a connection like the program's, the program-wide values of a store or
// headquarters run, a fixed day, and rows written and read straight from the
// SQLite files.

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/clock.h"
#include "core/globals.h"
#include "db/connection.h"
#include "support/sample_site.h"
#include "support/scripted_boxes.h"

namespace tanka::test {

using Price = std::optional<int>;
using Slot5 = std::array<Price, 5>;

// One MTGIJU / MTTENP row as an INSERT statement; Null where a value is absent.
struct TechnicalRow {
    int storeId = 1, gijutuId = 1;
    std::optional<int> taxFlg = 1;
    Slot5 a{}, b{};
    std::optional<int> lastUpdateFlag = 0;
    std::optional<QString> lastUpdateDate = QStringLiteral("2018-04-01 00:00:00");
    QString name = QStringLiteral("カット");
    QString insertSql() const;
};

struct RetailRow {
    int storeId = 1, tenpanId = 1;
    std::optional<int> taxFlg = 1;
    Price a{}, b{};
    std::optional<int> lastUpdateFlag = 0;
    std::optional<QString> lastUpdateDate = QStringLiteral("2018-04-01 00:00:00");
    QString name = QStringLiteral("シャンプー");
    QString insertSql() const;
};

// The connection string of the program's connection to the sample server.
ConnectionParams connectionParams();

// The program-wide values of a run converting slot A into slot B, 10 %
// included, truncated to 1 yen, with no store chosen; a store run on the
// processing date 2019/09/30, a headquarters run without one.
Globals runGlobals(bool headquarters, std::int16_t ownStoreId);

class EngineFixture {
public:
    explicit EngineFixture(const sample::Options& options);

    const SampleSite& site() const { return m_site; }
    const sample::SampleInstall& install() const { return m_site.install; }
    const DriveMap& drive() const { return m_site.drive; }
    Connection& cn();
    Globals& g() { return m_g; }
    FixedClock& clock() { return m_clock; }

    QString mstori() const { return m_site.mstori(); }
    // Runs statements on MSTORI (outside the program's connection).
    void exec(const QStringList& statements) const { m_site.sql("MSTORI", statements); }
    // Replaces the rows of MTGIJU / MTTENP.
    void setTechnicalRows(const std::vector<TechnicalRow>& rows) const;
    void setRetailRows(const std::vector<RetailRow>& rows) const;

    // Every row of MTGIJU, then of MTTENP, in key order, columns TAB-separated,
    // Null as "<null>".
    QStringList dumpBoth() const;
    // Every table of every database of the sample's server (dumpDatabases).
    QStringList dumpAll() const;
    // Row 3 of store 1 gets TankaA1 1000 and TankaB1 0, so that a run
    // changes its TankaB1.
    void priceRowThree() const;
    // A trigger below the program, as a misreporting driver or a trigger on
    // SQL Server would act: after an update of TankaB1 of row 3 of store 1 it
    // puts the old TankaB1 back, while the server still counts the row as
    // written as asked.
    void addFaultyTrigger() const;

    QString backupPath(const QString& name) const { return m_site.workFile(name); }
    static QByteArray readFile(const QString& hostPath);

private:
    SampleSite m_site;
    std::unique_ptr<Connection> m_cn;
    Globals m_g;
    FixedClock m_clock{QDate(2019, 10, 1)};
};

// The files (hidden ones too) of a host folder.
QStringList filesIn(const QString& hostDir);

} // namespace tanka::test
