#include "engine_fixture.h"

#include "support/table_dump.h"

#include <QDir>
#include <QFile>

namespace tanka::test {

namespace {

QString sqlValue(const std::optional<int>& v) {
    return v ? QString::number(*v) : "NULL";
}
QString sqlText(const std::optional<QString>& v) {
    return v ? u'\'' + QString(*v).replace(u'\'', "''") + u'\'' : QStringLiteral("NULL");
}

} // namespace

QString TechnicalRow::insertSql() const {
    QStringList values{"1",           QString::number(storeId), QString::number(gijutuId), "1",
                       sqlText(name), sqlValue(taxFlg)};
    for (const Slot5* slot : {&a, &b})
        for (const Price& p : *slot)
            values << sqlValue(p);
    values << sqlValue(lastUpdateFlag) << sqlText(lastUpdateDate);
    return "INSERT INTO MTGIJU (GlobalID, MiseID, GijutuID, ShumokuID, GijutuName, TaxFlg, "
           "TankaA1, TankaA2, TankaA3, TankaA4, TankaA5, TankaB1, TankaB2, TankaB3, TankaB4, "
           "TankaB5, SaisyuKosinFlg, SaisyuKosinDate) VALUES (" +
           values.join(", ") + ")";
}

QString RetailRow::insertSql() const {
    QStringList values{"1", QString::number(storeId), "1", QString::number(tenpanId)};
    values << sqlText(name) << sqlValue(taxFlg) << sqlValue(a) << sqlValue(b)
           << sqlValue(lastUpdateFlag) << sqlText(lastUpdateDate);
    return "INSERT INTO MTTENP (GlobalID, MiseID, TenpanFlg, TenpanID, TenpanName, TaxFlg, "
           "UriTankaA, UriTankaB, SaisyuKosinFlg, SaisyuKosinDate) VALUES (" +
           values.join(", ") + ")";
}

ConnectionParams connectionParams() {
    return {QStringLiteral("SV01"), QStringLiteral("ORBE-TLX-MEMBER"), QStringLiteral("QDR615"),
            QStringLiteral("MSKYAK")};
}

Globals runGlobals(bool headquarters, std::int16_t ownStoreId) {
    Globals g;
    g.isHeadquarters = headquarters;
    g.ownStoreId = ownStoreId;
    if (!headquarters)
        g.storeProcessingDate = QStringLiteral("2019/09/30");
    for (auto& row : g.chosenStores)
        row[0] = QStringLiteral("0");
    g.technicalKind = g.retailKind = ConversionKind::TenPercentIncluded;
    g.roundingMethod = RoundingMethod::Down;
    g.roundingUnit = RoundingUnit::Yen1;
    g.technicalSource = g.retailSource = Slot::A;
    g.technicalDestination = g.retailDestination = Slot::B;
    return g;
}

EngineFixture::EngineFixture(const sample::Options& options)
    : m_site(options), m_g(runGlobals(options.headquarters, m_site.install.storeId)) {}

Connection& EngineFixture::cn() {
    if (!m_cn) {
        m_cn = std::make_unique<Connection>();
        m_cn->setConnectionParams(connectionParams());
        m_cn->open();
    }
    return *m_cn;
}

void EngineFixture::setTechnicalRows(const std::vector<TechnicalRow>& rows) const {
    QStringList sql{"DELETE FROM MTGIJU"};
    for (const TechnicalRow& r : rows)
        sql << r.insertSql();
    exec(sql);
}

void EngineFixture::setRetailRows(const std::vector<RetailRow>& rows) const {
    QStringList sql{"DELETE FROM MTTENP"};
    for (const RetailRow& r : rows)
        sql << r.insertSql();
    exec(sql);
}

void EngineFixture::priceRowThree() const {
    exec({"UPDATE MTGIJU SET TankaA1 = 1000, TankaB1 = 0, TaxFlg = 1 "
          "WHERE MiseID = 1 AND GijutuID = 3"});
}

void EngineFixture::addFaultyTrigger() const {
    exec({"CREATE TRIGGER faulty AFTER UPDATE OF TankaB1 ON MTGIJU "
          "WHEN NEW.MiseID = 1 AND NEW.GijutuID = 3 BEGIN "
          "UPDATE MTGIJU SET TankaB1 = OLD.TankaB1"
          " WHERE GlobalID = NEW.GlobalID AND MiseID = NEW.MiseID "
          "AND GijutuID = NEW.GijutuID AND ShumokuID = NEW.ShumokuID; END"});
}

QStringList EngineFixture::dumpBoth() const {
    return dumpRows(mstori(),
                    "SELECT * FROM MTGIJU ORDER BY GlobalID, MiseID, GijutuID, ShumokuID") +
           dumpRows(mstori(),
                    "SELECT * FROM MTTENP ORDER BY GlobalID, MiseID, TenpanFlg, TenpanID");
}

QStringList EngineFixture::dumpAll() const {
    return dumpDatabases(install().serverDir);
}

QByteArray EngineFixture::readFile(const QString& hostPath) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& hostDir) {
    return QDir(hostDir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace tanka::test
