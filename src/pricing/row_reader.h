#pragma once
// One row of a price master read from an open record set exactly as the
// conversion reads it: the prices of the slots it needs (readInteger, Null as
// 0; a price that is neither Null nor a number raises the conversion's error
// 13 naming the row), readInteger of TaxFlg and the last-update date as
// "yyyy/mm/dd". Columns are found once per record set (names without regard
// to case); a column missing from the result is asked for by name, so the
// layer raises its error. For a record set of "select *" rows, where the
// conversion reads pages of named columns.

#include <array>
#include <vector>

#include <QString>
#include <QVariant>

#include "pricing/row_prices.h"

namespace tanka {

class Recordset;

class RowReader {
public:
    explicit RowReader(Menu menu);
    // Finds the columns in rs (open); call once before reading rows.
    void locate(const Recordset& rs);

    int positions() const { return m_positions; }
    // The row step's input from the current row.
    RowInput read(const Recordset& rs, const SlotsRead& wanted) const;
    // A price as stored (Null stays Null).
    QVariant price(const Recordset& rs, int slot, int position) const;
    // The row's key, in keyColumns order.
    std::vector<QVariant> key(const Recordset& rs) const;

private:
    struct Column {
        QString name;
        int at = -1;
    };
    QVariant valueOf(const Recordset& rs, const Column& c) const;

    Menu m_menu;
    int m_positions = 0;
    std::vector<Column> m_keys;
    std::array<std::array<Column, MaxPositions>, 2> m_prices;
    Column m_taxFlg{QStringLiteral("TaxFlg")};
    Column m_lastUpdateDate{QStringLiteral("SaisyuKosinDate")};
};

} // namespace tanka
