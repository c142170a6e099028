#include "pricing/row_reader.h"

#include "db/recordset.h"
#include "pricing/conversion.h"

namespace tanka {

RowReader::RowReader(Menu menu) : m_menu(menu), m_positions(pricePositions(menu)) {
    for (const QString& name : keyColumns(menu))
        m_keys.push_back({name});
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
    for (Column& c : m_keys)
        find(c);
    find(m_taxFlg);
    find(m_lastUpdateDate);
}

QVariant RowReader::valueOf(const Recordset& rs, const Column& c) const {
    return c.at >= 0 ? rs.value(c.at) : rs.value(c.name);
}

std::vector<QVariant> RowReader::key(const Recordset& rs) const {
    std::vector<QVariant> values;
    for (const Column& c : m_keys)
        values.push_back(valueOf(rs, c));
    return values;
}

QVariant RowReader::price(const Recordset& rs, int slot, int position) const {
    return valueOf(rs, m_prices[slot][position]);
}

RowInput RowReader::read(const Recordset& rs, const SlotsRead& wanted) const {
    return rowInput(
        m_menu, wanted, [&](int slot, int i) { return price(rs, slot, i); }, valueOf(rs, m_taxFlg),
        valueOf(rs, m_lastUpdateDate), [&] { return key(rs); });
}

} // namespace tanka
