#include "pricing/price_tables.h"

namespace tanka {

QString storeMasterTable(const QString& table) {
    return QStringLiteral("MSTORI.dbo.") + table;
}

QString tableName(Menu menu) {
    return menu == Menu::Technical ? QStringLiteral("MTGIJU") : QStringLiteral("MTTENP");
}

QString qualifiedName(Menu menu) {
    return storeMasterTable(tableName(menu));
}

QString tableAlias(Menu menu) {
    return menu == Menu::Technical ? QStringLiteral("G") : QStringLiteral("T");
}

QStringList keyColumns(Menu menu) {
    if (menu == Menu::Technical)
        return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("GijutuID"),
                QStringLiteral("ShumokuID")};
    return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("TenpanFlg"),
            QStringLiteral("TenpanID")};
}

int pricePositions(Menu menu) {
    return menu == Menu::Technical ? MaxPositions : 1;
}

QString priceColumn(Menu menu, int slot, int position) {
    const QChar letter = slot == 0 ? u'A' : u'B';
    if (menu == Menu::Retail)
        return QStringLiteral("UriTanka") + letter;
    return QStringLiteral("Tanka") + letter + QString::number(position + 1);
}

QStringList writableColumns(Menu menu) {
    QStringList columns;
    for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < pricePositions(menu); ++i)
            columns << priceColumn(menu, slot, i);
    return columns << QStringLiteral("SaisyuKosinFlg") << QStringLiteral("SaisyuKosinDate");
}

QString liveRowsFrom(Menu menu) {
    return QStringLiteral(" from ") + qualifiedName(menu) + u' ' + tableAlias(menu) + u' ';
}

QString liveRowsWhere(Menu menu, const QString& conditions) {
    return QStringLiteral(" Where  ") + tableAlias(menu) + QStringLiteral(".SaisyuKosinFlg <> 9 ") +
           conditions;
}

QString liveRowsQuery(Menu menu, const QString& conditions) {
    return QStringLiteral(" select * ") + liveRowsFrom(menu) + liveRowsWhere(menu, conditions);
}

QString anyPriceSet(Menu menu, int slot) {
    QStringList set;
    for (int i = 0; i < pricePositions(menu); ++i)
        set << tableAlias(menu) + u'.' + priceColumn(menu, slot, i) + QStringLiteral(" <> 0");
    return QStringLiteral(" and (") + set.join(QStringLiteral(" or ")) + QStringLiteral(") ");
}

} // namespace tanka
