#include "pricing/conversion.h"

#include <array>

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

// The columns of one menu: names made once per conversion, positions in the
// result found once when it is open (-1: not in the result; using it by name
// then raises the layer's error).
struct Columns {
    int positions = 0;
    std::array<std::array<QString, MaxPositions>, 2> prices;
    QString taxFlg = QStringLiteral("TaxFlg");
    QString kosinFlg = QStringLiteral("SaisyuKosinFlg");
    QString kosinDate = QStringLiteral("SaisyuKosinDate");
    std::array<std::array<int, MaxPositions>, 2> priceAt{};
    int taxFlgAt = -1;
    int kosinFlgAt = -1;
    int kosinDateAt = -1;

    explicit Columns(Menu menu) : positions(pricePositions(menu)) {
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i)
                prices[slot][i] = priceColumn(menu, slot, i);
    }

    void locate(const Recordset& rs) {
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i)
                priceAt[slot][i] = columnIndex(rs, prices[slot][i]);
        taxFlgAt = columnIndex(rs, taxFlg);
        kosinFlgAt = columnIndex(rs, kosinFlg);
        kosinDateAt = columnIndex(rs, kosinDate);
    }

    // The first column named name without regard to case, as the layer finds
    // names; -1 when there is none.
    static int columnIndex(const Recordset& rs, const QString& name) {
        for (int i = 0; i < rs.fieldCount(); ++i)
            if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};

QVariant valueAt(const Recordset& rs, int index, const QString& name) {
    return index >= 0 ? rs.value(index) : rs.value(name);
}

void setValueAt(Recordset& rs, int index, const QString& name, const QVariant& value) {
    if (index >= 0)
        rs.setValue(index, value);
    else
        rs.setValue(name, value);
}

RowInput readRow(const Recordset& rs, const Columns& c, const SlotsRead& read) {
    RowInput row;
    for (int slot = 0; slot < 2; ++slot) {
        if (!(slot == 0 ? read.a : read.b))
            continue;
        for (int i = 0; i < c.positions; ++i)
            row.prices[slot][i] = Get_LngVal(valueAt(rs, c.priceAt[slot][i], c.prices[slot][i]));
    }
    row.taxFlg = Get_LngVal(valueAt(rs, c.taxFlgAt, c.taxFlg));
    row.kosinDate = rowDateText(valueAt(rs, c.kosinDateAt, c.kosinDate));
    return row;
}

void assignRow(Recordset& rs, const Columns& c, const RowPrices& out, const QVariant& markText) {
    for (int slot = 0; slot < 2; ++slot) {
        if (!out.written[slot])
            continue;
        for (int i = 0; i < c.positions; ++i)
            setValueAt(rs, c.priceAt[slot][i], c.prices[slot][i],
                       QVariant(qlonglong(out.prices[slot][i])));
    }
    if (out.mark) {
        setValueAt(rs, c.kosinFlgAt, c.kosinFlg, QVariant(2));
        setValueAt(rs, c.kosinDateAt, c.kosinDate, markText);
    }
}

} // namespace

long convertMenu(Menu menu, Connection& cn, const ConversionOptions& options, const QString& filter,
                 const Progress& progress) {
    Columns columns(menu);
    const SlotsRead read = slotsToRead(options);
    const QVariant markText(options.markText);
    Recordset rs;
    rs.setCursorLocation(CursorLocation::Client);
    rs.open(conversionQuery(menu, filter), cn, CursorType::Static, LockType::Optimistic);
    columns.locate(rs);
    long saved = 0;
    while (!rs.isEOF()) {
        const RowPrices out =
            computeRowPrices(readRow(rs, columns, read), columns.positions, options);
        assignRow(rs, columns, out, markText);
        rs.update();
        ++saved;
        rs.moveNext();
        if (progress)
            progress(saved, -1);
    }
    rs.close();
    return saved;
}

long GijuJob(Connection& cn, const Globals& g, const Clock& clock,
             const Progress& progress) {
    return convertMenu(Menu::Giju, cn, conversionOptions(Menu::Giju, g, clock), storeFilter(g),
                       progress);
}

long TenJob(Connection& cn, const Globals& g, const Clock& clock,
            const Progress& progress) {
    return convertMenu(Menu::Ten, cn, conversionOptions(Menu::Ten, g, clock), storeFilter(g),
                       progress);
}

} // namespace tanka
