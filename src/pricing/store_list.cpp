#include "pricing/store_list.h"

#include "core/field_readers.h"
#include "core/field_text.h"
#include "core/run_error.h"
#include "db/recordset.h"
#include "pricing/price_tables.h"

namespace tanka {

QString storeNameQuery(std::int16_t storeId) {
    return QStringLiteral(" SELECT * ") + QStringLiteral(" from ") +
           storeMasterTable(QStringLiteral("MTMISE")) + QStringLiteral("   where miseid = ") +
           QString::number(storeId) + QStringLiteral(" ") +
           QStringLiteral(" and SaisyuKosinFlg <> 9 ");
}

QString storeShortName(Connection& cn, std::int16_t storeId) {
    Recordset rs;
    rs.open(storeNameQuery(storeId), cn);
    QString result;
    if (!(rs.isBOF() && rs.isEOF())) {
        const QVariant value = rs.value(QStringLiteral("MiseRyakusho"));
        // A Null name is no name: the row is not taken as a store.
        if (!value.isNull())
            result = trimBlanks(fieldText(value));
    }
    rs.close();
    return result;
}

// The list only ever holds codes written here or "0", so a reading never
// overflows; should it, the row is not a store.
bool storeRowFilled(const Globals& g, int row) {
    try {
        return readShortInteger(g.chosenStores[static_cast<std::size_t>(row)][0]) != 0;
    } catch (const RunError&) {
        return false;
    }
}

std::vector<std::int16_t> chosenStoreCodes(const Globals& g) {
    std::vector<std::int16_t> codes;
    for (int row = 0; row < StoreListSize; ++row)
        if (storeRowFilled(g, row))
            codes.push_back(readShortInteger(g.chosenStores[static_cast<std::size_t>(row)][0]));
    return codes;
}

QString chosenStoreList(const Globals& g) {
    QStringList codes;
    for (const std::int16_t code : chosenStoreCodes(g))
        codes << QString::number(code);
    return codes.join(u',');
}

StoreScope storeScope(const Globals& g) {
    if (!g.isHeadquarters)
        return StoreScope::OwnStore;
    return chosenStoreCodes(g).empty() ? StoreScope::AllStores : StoreScope::ChosenStores;
}

StoreAddition addStore(Globals& g, Connection& cn, std::int16_t code,
                       const std::function<void()>& eachRowPassed) {
    int row = -1;
    for (int i = 0; i < StoreListSize; ++i) {
        if (!storeRowFilled(g, i)) {
            row = i;
            break;
        }
        if (eachRowPassed)
            eachRowPassed();
    }
    if (row < 0)
        return {StoreAdded::ListFull, -1};
    const QString found = storeShortName(cn, code);
    auto& entry = g.chosenStores[static_cast<std::size_t>(row)];
    entry[1] = found;
    if (found.isEmpty())
        return {StoreAdded::NotFound, row};
    entry[0] = QString::number(code);
    return {StoreAdded::Added, row};
}

} // namespace tanka
