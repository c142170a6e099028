#include "pricing/checks.h"

#include <exception>

#include "core/field_readers.h"
#include "db/recordset.h"
#include "pricing/price_tables.h"
#include "pricing/store_list.h"

namespace tanka {

namespace {

// The row of the switch flags and the processing date: the headquarters
// control table, or the own store's row of MTMISE.
QString storeRowQuery(const Globals& g) {
    QString sql = QStringLiteral(" SELECT * ");
    if (g.isHeadquarters)
        sql += QStringLiteral(" from MSHONB.dbo.MHSCTB  ");
    else
        sql += QStringLiteral(" from ") + storeMasterTable(QStringLiteral("MTMISE")) +
               QStringLiteral("   where miseid = ") + QString::number(g.ownStoreId) +
               QStringLiteral(" ");
    return sql;
}

bool isEmpty(const Recordset& rs) {
    return rs.isBOF() && rs.isEOF();
}

} // namespace

QString storeFilter(const Globals& g) {
    switch (storeScope(g)) {
    case StoreScope::OwnStore:
        return QStringLiteral(" and miseid = ") + QString::number(g.ownStoreId) +
               QStringLiteral(" ");
    case StoreScope::AllStores:
        return {};
    case StoreScope::ChosenStores:
        break;
    }
    return QStringLiteral(" and miseid in(") + chosenStoreList(g) + QStringLiteral(")");
}

QString pricedRowsQuery(Menu menu, PricedIn pricedIn, const Globals& g) {
    QString conditions;
    if (pricedIn != PricedIn::SlotB)
        conditions += anyPriceSet(menu, 0);
    if (pricedIn != PricedIn::SlotA)
        conditions += anyPriceSet(menu, 1);
    return liveRowsQuery(menu, conditions) + storeFilter(g);
}

bool hasPricedRows(Menu menu, PricedIn pricedIn, Connection& cn, const Globals& g) {
    // Only the existence of a row matters; the layer stops at the first row.
    Recordset rs;
    rs.open(pricedRowsQuery(menu, pricedIn, g), cn);
    const bool found = !isEmpty(rs);
    rs.close();
    return found;
}

void readSwitchFlags(std::int16_t& technicalSwitchFlag, std::int16_t& retailSwitchFlag,
                     Connection& cn, const Globals& g) {
    technicalSwitchFlag = 1;
    retailSwitchFlag = 1;
    Recordset rs;
    rs.open(storeRowQuery(g), cn);
    if (!isEmpty(rs)) {
        technicalSwitchFlag = readShortInteger(rs.value(QStringLiteral("GijutuTankaSwFlg")));
        retailSwitchFlag = readShortInteger(rs.value(QStringLiteral("TenpanTankaSwFlg")));
    }
    rs.close();
}

bool headquartersDatabaseReachable(Connection* cn) {
    if (cn == nullptr)
        return false;
    try {
        cn->execute(QStringLiteral(" select * from MSHONB.dbo.MHSCTB "));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void readStoreProcessingDate(Connection& cn, Globals& g) {
    Recordset rs;
    rs.open(storeRowQuery(g), cn);
    if (!isEmpty(rs))
        g.storeProcessingDate =
            formatFieldDate(rs.value(QStringLiteral("SyoriDate")), QStringLiteral("yyyy/mm/dd"));
    rs.close();
}

} // namespace tanka
