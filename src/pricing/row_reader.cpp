#include "pricing/row_reader.h"

#include "core/field_readers.h"
#include "db/recordset.h"

namespace tanka {

RowReader::RowReader(Menu menu) : m_positions(pricePositions(menu)) {
    for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < m_positions; ++i)
            m_prices[slot][i].name = priceColumn(menu, slot, i);
}

void RowReader::locate(const Recordset& rs) {
    const auto find = [&rs](Column& c) {
        c.at = -1;
        for (int i = 0; i < rs.fieldCount() && c.at < 0; ++i)
            if (rs.fieldName(i).compare(c.name, Qt::CaseInsensitive) == 0)
                c.at = i;
    };
    for (auto& slot : m_prices)
        for (int i = 0; i < m_positions; ++i)
            find(slot[i]);
    find(m_taxFlg);
    find(m_kosinDate);
}

QVariant RowReader::valueOf(const Recordset& rs, const Column& c) const {
    return c.at >= 0 ? rs.value(c.at) : rs.value(c.name);
}

QVariant RowReader::price(const Recordset& rs, int slot, int position) const {
    return valueOf(rs, m_prices[slot][position]);
}

RowInput RowReader::read(const Recordset& rs, const SlotsRead& wanted) const {
    RowInput row;
    for (int slot = 0; slot < 2; ++slot) {
        if (!(slot == 0 ? wanted.a : wanted.b))
            continue;
        for (int i = 0; i < m_positions; ++i)
            row.prices[slot][i] = Get_LngVal(price(rs, slot, i));
    }
    row.taxFlg = Get_LngVal(valueOf(rs, m_taxFlg));
    row.kosinDate = rowDateText(valueOf(rs, m_kosinDate));
    return row;
}

} // namespace tanka
