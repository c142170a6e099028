#pragma once
// One row of a result as a record set holds it: integers and floating-point
// numbers in place, texts as UTF-8 in one buffer per row, anything else as a
// variant. Filling a row costs no allocation once the buffers have grown to
// the widest row, and a value becomes a QVariant only when a caller asks for
// it; a backup or a conversion reads most values of a row never, or only to
// write them out again.

#include <bit>
#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

namespace tanka {

class RowData {
public:
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Variant };

    // Room for columns values; each is then set once by whoever fills the row.
    void reset(std::size_t columns) {
        m_cells.resize(columns);
        m_text.resize(0);
        m_variants.clear();
    }
    std::size_t size() const { return m_cells.size(); }

    void setNull(std::size_t i) { m_cells[i] = Cell{0, 0, 0, Kind::Null}; }
    void setInteger(std::size_t i, std::int64_t value) {
        m_cells[i] = Cell{value, 0, 0, Kind::Integer};
    }
    void setReal(std::size_t i, double value) {
        m_cells[i] = Cell{std::bit_cast<std::int64_t>(value), 0, 0, Kind::Real};
    }
    void setText(std::size_t i, const char* utf8, qsizetype size) {
        const auto offset = static_cast<std::int32_t>(m_text.size());
        m_text.append(utf8, size);
        m_cells[i] = Cell{0, offset, static_cast<std::int32_t>(size), Kind::Text};
    }
    // Kept exactly as given (the values of engines other than SQLite, and
    // values written back), but integers compactly.
    void setVariant(std::size_t i, QVariant value) {
        if (value.typeId() == QMetaType::LongLong && !value.isNull()) {
            setInteger(i, *static_cast<const qlonglong*>(value.constData()));
            return;
        }
        m_cells[i] = Cell{static_cast<std::int64_t>(m_variants.size()), 0, 0, Kind::Variant};
        m_variants.push_back(std::move(value));
    }

    Kind kind(std::size_t i) const { return m_cells[i].kind; }
    std::int64_t integer(std::size_t i) const { return m_cells[i].value; }
    double real(std::size_t i) const { return std::bit_cast<double>(m_cells[i].value); }
    QByteArrayView text(std::size_t i) const {
        return QByteArrayView(m_text.constData() + m_cells[i].offset, m_cells[i].size);
    }
    const QVariant& variant(std::size_t i) const {
        return m_variants[static_cast<std::size_t>(m_cells[i].value)];
    }

    // As Qt's SQLite driver gives values: integers as qlonglong, floating
    // point as double, texts as QString, Null as a null QString variant.
    QVariant value(std::size_t i) const {
        switch (m_cells[i].kind) {
        case Kind::Null:
            return QVariant(QMetaType::fromType<QString>());
        case Kind::Integer:
            return QVariant(static_cast<qlonglong>(integer(i)));
        case Kind::Real:
            return QVariant(real(i));
        case Kind::Text:
            return QVariant(QString::fromUtf8(text(i)));
        case Kind::Variant:
            break;
        }
        return variant(i);
    }

private:
    struct Cell {
        std::int64_t value;  // an integer, a double's bits, or the index of a variant
        std::int32_t offset; // of a text in m_text
        std::int32_t size;
        Kind kind;
    };
    std::vector<Cell> m_cells;
    QByteArray m_text;
    std::vector<QVariant> m_variants;
};

} // namespace tanka
