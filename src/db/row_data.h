#pragma once
// One row of a result as a record set holds it: integers and floating-point
// numbers in place, texts as UTF-8 in one buffer per row, anything else as a
// variant. Filling a row costs no allocation once the buffers have grown to
// the widest row, and a value becomes a QVariant only when a caller asks for
// it; a backup or a conversion reads most values of a row never, or only to
// write them out again.

#include <cstdint>
#include <cstring>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

namespace tanka {

class RowData {
public:
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Variant };

    // columns values, all Null.
    void reset(std::size_t columns) {
        m_cells.assign(columns, Cell{});
        m_text.resize(0);
        m_variants.clear();
    }
    std::size_t size() const { return m_cells.size(); }

    void setNull(std::size_t i) { m_cells[i] = Cell{}; }
    void setInteger(std::size_t i, std::int64_t value) {
        m_cells[i] = Cell{Kind::Integer, value, 0.0, 0, 0};
    }
    void setReal(std::size_t i, double value) { m_cells[i] = Cell{Kind::Real, 0, value, 0, 0}; }
    void setText(std::size_t i, const char* utf8, qsizetype size) {
        const qsizetype offset = m_text.size();
        m_text.append(utf8, size);
        m_cells[i] = Cell{Kind::Text, 0, 0.0, offset, size};
    }
    // Kept exactly as given (the values of engines other than SQLite, and
    // values written back).
    void setVariant(std::size_t i, QVariant value) {
        m_cells[i] = Cell{Kind::Variant, static_cast<std::int64_t>(m_variants.size()), 0.0, 0, 0};
        m_variants.push_back(std::move(value));
    }

    Kind kind(std::size_t i) const { return m_cells[i].kind; }
    std::int64_t integer(std::size_t i) const { return m_cells[i].integer; }
    double real(std::size_t i) const { return m_cells[i].real; }
    QByteArrayView text(std::size_t i) const {
        return QByteArrayView(m_text.constData() + m_cells[i].offset, m_cells[i].size);
    }
    const QVariant& variant(std::size_t i) const {
        return m_variants[static_cast<std::size_t>(m_cells[i].integer)];
    }

    // As Qt's SQLite driver gives values: integers as qlonglong, floating
    // point as double, texts as QString, Null as a null QString variant.
    QVariant value(std::size_t i) const {
        switch (m_cells[i].kind) {
        case Kind::Null:
            return QVariant(QMetaType::fromType<QString>());
        case Kind::Integer:
            return QVariant(static_cast<qlonglong>(m_cells[i].integer));
        case Kind::Real:
            return QVariant(m_cells[i].real);
        case Kind::Text:
            return QVariant(QString::fromUtf8(text(i)));
        case Kind::Variant:
            break;
        }
        return variant(i);
    }

private:
    struct Cell {
        Kind kind = Kind::Null;
        std::int64_t integer = 0; // the value, or the index of a variant
        double real = 0.0;
        qsizetype offset = 0; // of a text in m_text
        qsizetype size = 0;
    };
    std::vector<Cell> m_cells;
    QByteArray m_text;
    std::vector<QVariant> m_variants;
};

} // namespace tanka
