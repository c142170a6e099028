#pragma once
// The key values of the rows of an updatable walk, kept compactly: integers in
// eight bytes each, anything else (texts, Nulls) as a variant. A 200,000-row
// walk keeps its keys in a few megabytes.

#include <cstdint>
#include <vector>

#include <QVariant>

#include "db/row_data.h"

namespace tanka {

inline bool isIntegerVariant(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

class KeyStore {
public:
    void push(const QVariant& value) {
        if (!value.isNull() && isIntegerVariant(value))
            pushInteger(value.toLongLong());
        else
            pushOther(value);
    }
    void push(const RowData& row, std::size_t column) {
        if (row.kind(column) == RowData::Kind::Integer)
            pushInteger(row.integer(column));
        else
            push(row.value(column));
    }
    void pushInteger(std::int64_t value) { m_cells.push_back({value, -1}); }
    void pushOther(const QVariant& value) {
        m_cells.push_back({0, static_cast<std::int64_t>(m_others.size())});
        m_others.push_back(value);
    }
    // Whether value equals value i (an integer of any integer type matching).
    bool matches(std::size_t i, const QVariant& value) const {
        const Cell& cell = m_cells[i];
        if (cell.other < 0)
            return !value.isNull() && isIntegerVariant(value) && value.toLongLong() == cell.integer;
        const QVariant& other = m_others[static_cast<std::size_t>(cell.other)];
        return other.isNull() ? value.isNull() : !value.isNull() && other == value;
    }
    bool matches(std::size_t i, const RowData& row, std::size_t column) const {
        if (m_cells[i].other < 0 && row.kind(column) == RowData::Kind::Integer)
            return row.integer(column) == m_cells[i].integer;
        return matches(i, row.value(column));
    }
    QVariant at(std::size_t i) const {
        const Cell& cell = m_cells[i];
        if (cell.other < 0)
            return QVariant(static_cast<qlonglong>(cell.integer));
        return m_others[static_cast<std::size_t>(cell.other)];
    }

private:
    struct Cell {
        std::int64_t integer;
        std::int64_t other; // index into m_others, -1 for an integer
    };
    std::vector<Cell> m_cells;
    std::vector<QVariant> m_others;
};

} // namespace tanka
