#include "pricing/conversion.h"

#include <QVariant>

#include "core/field_readers.h"
#include "db/recordset.h"
#include "pricing/checks.h"

namespace tanka {

QString conversionQuery(Menu menu, const QString& filter) {
    QString sql = QStringLiteral(" select * ");
    sql += menu == Menu::Giju ? QStringLiteral(" from MSTORI.dbo.MTGIJU G ")
                              : QStringLiteral(" from MSTORI.dbo.MTTENP G ");
    sql += QStringLiteral(" Where ");
    sql += QStringLiteral(" G.SaisyuKosinFlg <> 9 ");
    sql += filter;
    return sql;
}

namespace {

RowInput readRow(Recordset& rs, Menu menu, int positions, const ConversionOptions& options) {
    RowInput row;
    const SlotsRead read = slotsToRead(options);
    for (int slot = 0; slot < 2; ++slot) {
        if (!(slot == 0 ? read.a : read.b))
            continue;
        for (int i = 0; i < positions; ++i)
            row.prices[slot][i] = Get_LngVal(rs.value(priceColumn(menu, slot, i)));
    }
    row.taxFlg = Get_LngVal(rs.value(QStringLiteral("TaxFlg")));
    row.kosinDate =
        Get_DateStr(rs.value(QStringLiteral("SaisyuKosinDate")), QStringLiteral("yyyy/mm/dd"));
    return row;
}

void assignRow(Recordset& rs, Menu menu, int positions, const RowPrices& out,
               const ConversionOptions& options) {
    for (int slot = 0; slot < 2; ++slot) {
        if (!out.written[slot])
            continue;
        for (int i = 0; i < positions; ++i)
            rs.setValue(priceColumn(menu, slot, i), QVariant(qlonglong(out.prices[slot][i])));
    }
    if (out.mark) {
        rs.setValue(QStringLiteral("SaisyuKosinFlg"), QVariant(2));
        rs.setValue(QStringLiteral("SaisyuKosinDate"), QVariant(options.markText));
    }
}

} // namespace

long convertMenu(Menu menu, Connection& cn, const ConversionOptions& options, const QString& filter,
                 const ProcessEvents& processEvents) {
    const int positions = pricePositions(menu);
    Recordset rs;
    rs.setCursorLocation(CursorLocation::Client);
    rs.open(conversionQuery(menu, filter), cn, CursorType::Static, LockType::Optimistic);
    long saved = 0;
    while (!rs.isEOF()) {
        const RowPrices out =
            computeRowPrices(readRow(rs, menu, positions, options), positions, options);
        assignRow(rs, menu, positions, out, options);
        rs.update();
        ++saved;
        rs.moveNext();
        if (processEvents)
            processEvents();
    }
    rs.close();
    return saved;
}

long GijuJob(Connection& cn, const Globals& g, const Clock& clock,
             const ProcessEvents& processEvents) {
    return convertMenu(Menu::Giju, cn, conversionOptions(Menu::Giju, g, clock), storeFilter(g),
                       processEvents);
}

long TenJob(Connection& cn, const Globals& g, const Clock& clock,
            const ProcessEvents& processEvents) {
    return convertMenu(Menu::Ten, cn, conversionOptions(Menu::Ten, g, clock), storeFilter(g),
                       processEvents);
}

} // namespace tanka
