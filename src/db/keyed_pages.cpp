#include "db/keyed_pages.h"

#include <algorithm>
#include <cassert>

#include <string>
#include <unordered_map>

#include "db/connection.h"
#include "db/recordset.h"
#include "db/sql_text.h"
#include "db/value_text.h"

namespace tanka {

namespace {

// The key values as one byte string, for finding a page's rows among its
// keys; integers match whatever integer type the driver gave them.
void keyText(const QVariant* key, std::size_t width, std::string& text) {
    text.clear();
    for (std::size_t k = 0; k < width; ++k) {
        const QVariant& value = key[k];
        if (isIntegerValue(value)) {
            const qint64 n = value.toLongLong();
            text += 'i';
            text.append(reinterpret_cast<const char*>(&n), sizeof n);
        } else {
            text += (QByteArray::number(value.typeId()) + ':' + value.toString().toUtf8() + '\x1f')
                        .toStdString();
        }
    }
}

// Builds the condition "lo <= key <= hi" in key order without row values,
// which SQL Server lacks: equalities on the common leading columns, a BETWEEN
// on the first column that differs (so either server seeks the key's index),
// and the bounds on the columns after it.
class RangeText {
public:
    RangeText(const QStringList& columns, QVariantList& params)
        : m_columns(columns), m_params(params) {}

    QString between(const QVariant* lo, const QVariant* hi, qsizetype i = 0) {
        if (i == m_columns.size())
            return {};
        const QString& c = m_columns[i];
        const auto at = static_cast<std::size_t>(i);
        if (lo[at] == hi[at] && lo[at].typeId() == hi[at].typeId())
            return joined(c + QStringLiteral(" = ") + value(lo[at]), between(lo, hi, i + 1));
        const QString low = value(lo[at]);
        const QString high = value(hi[at]);
        const QStringList either{
            QStringLiteral("(%1 > %2 and %1 < %3)").arg(c, low, high),
            u'(' + joined(c + QStringLiteral(" = ") + low, bound(lo, i + 1, u'>')) + u')',
            u'(' + joined(c + QStringLiteral(" = ") + high, bound(hi, i + 1, u'<')) + u')'};
        return QStringLiteral("%1 between %2 and %3 and (%4)")
            .arg(c, low, high, either.join(QStringLiteral(" or ")));
    }

private:
    // key[i..] >= v (op '>') or <= v (op '<') in key order; empty: always.
    QString bound(const QVariant* v, qsizetype i, QChar op) {
        if (i == m_columns.size())
            return {};
        const QString& c = m_columns[i];
        const QString rest = bound(v, i + 1, op);
        const QString mark = value(v[static_cast<std::size_t>(i)]);
        if (rest.isEmpty())
            return c + u' ' + op + QStringLiteral("= ") + mark;
        return QStringLiteral("(%1 %2 %3 or (%1 = %3 and %4))").arg(c, op, mark, rest);
    }
    static QString joined(const QString& a, const QString& b) {
        return b.isEmpty() ? a : a + QStringLiteral(" and ") + b;
    }
    // An integer as itself; any other value as a marker that placeholders()
    // turns into '?' with the value bound in the order the text needs.
    QString value(const QVariant& v) {
        if (isIntegerValue(v))
            return QString::number(v.toLongLong());
        m_values << v;
        return u'\x01' + QString::number(m_values.size() - 1) + u'\x01';
    }

public:
    // text with its markers as '?', params the values in their order.
    QString placeholders(const QString& text) {
        QString out;
        qsizetype i = 0;
        while (i < text.size()) {
            const qsizetype open = text.indexOf(u'\x01', i);
            if (open < 0) {
                out += QStringView(text).mid(i);
                break;
            }
            const qsizetype close = text.indexOf(u'\x01', open + 1);
            assert(close > open);
            out += QStringView(text).mid(i, open - i);
            out += u'?';
            m_params << m_values.at(text.mid(open + 1, close - open - 1).toInt());
            i = close + 1;
        }
        return out;
    }

private:
    QVariantList m_values;

    const QStringList& m_columns;
    QVariantList& m_params;
};

} // namespace

KeyedPages::KeyedPages(Connection& cn, const QString& from, const QString& where,
                       const QString& qualifier, QStringList keyColumns, QStringList columns,
                       int pageSize)
    : m_cn(cn), m_from(from), m_where(where), m_pageSize(pageSize) {
    assert(!keyColumns.isEmpty() && pageSize > 0);
    setColumns(qualifier, keyColumns, columns);

    Recordset rs;
    const QString keyList = m_keyColumns.join(QStringLiteral(", "));
    rs.open(QStringLiteral(" select ") + keyList + m_from + m_where + QStringLiteral(" order by ") +
                keyList,
            m_cn);
    std::vector<QVariant> key(static_cast<std::size_t>(m_keyColumns.size()));
    while (!rs.isEOF()) {
        for (std::size_t k = 0; k < key.size(); ++k)
            key[k] = rs.value(static_cast<int>(k));
        addKey(key.data());
        rs.moveNext();
    }
    rs.close();
}

KeyedPages::KeyedPages(Connection& cn, const QString& from, const QString& where,
                       const QString& qualifier, QStringList keyColumns, QStringList columns,
                       std::vector<std::vector<QVariant>> keys, int pageSize)
    : m_cn(cn), m_from(from), m_where(where), m_pageSize(pageSize) {
    assert(!keyColumns.isEmpty() && pageSize > 0);
    setColumns(qualifier, keyColumns, columns);
    // Key order as the server sorts: integers by value, anything else as text.
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (isIntegerValue(a[k]) && isIntegerValue(b[k])) {
                if (a[k].toLongLong() != b[k].toLongLong())
                    return a[k].toLongLong() < b[k].toLongLong();
            } else if (a[k].toString() != b[k].toString()) {
                return a[k].toString() < b[k].toString();
            }
        }
        return false;
    });
    for (const std::vector<QVariant>& key : keys) {
        assert(key.size() == std::size_t(keyColumns.size()));
        addKey(key.data());
    }
}

void KeyedPages::setColumns(const QString& qualifier, const QStringList& keyColumns,
                            const QStringList& columns) {
    m_prefix = qualifier.isEmpty() ? QString() : qualifier + u'.';
    for (const QString& key : keyColumns)
        m_keyColumns << m_prefix + sqltext::quoteIdentifier(key);
    selectColumns(columns);
}

void KeyedPages::selectColumns(const QStringList& columns) {
    QStringList list = m_keyColumns;
    for (const QString& column : columns)
        list << m_prefix + sqltext::quoteIdentifier(column);
    m_selectList = list.join(QStringLiteral(", "));
}

void KeyedPages::readAgain(const QStringList& columns) {
    selectColumns(columns);
    m_next = 0;
}

std::vector<QVariant> KeyedPages::keyAt(std::size_t index) const {
    assert(index < m_count);
    const QVariant* values = key(index);
    return std::vector<QVariant>(values, values + m_keyColumns.size());
}

void KeyedPages::addKey(const QVariant* key) {
    const auto width = static_cast<std::size_t>(m_keyColumns.size());
    if (m_count % KeysPerChunk == 0)
        m_keys.emplace_back().reserve(KeysPerChunk * width);
    m_keys.back().insert(m_keys.back().end(), key, key + width);
    ++m_count;
}

const QVariant* KeyedPages::key(std::size_t index) const {
    const auto width = static_cast<std::size_t>(m_keyColumns.size());
    return &m_keys[index / KeysPerChunk][(index % KeysPerChunk) * width];
}

bool KeyedPages::nextPage(std::vector<std::vector<QVariant>>& rows,
                          std::vector<std::size_t>* keyIndexes) {
    const std::size_t width = static_cast<std::size_t>(m_keyColumns.size());
    if (keyIndexes)
        keyIndexes->clear();
    if (m_next >= m_count) {
        rows.clear();
        return false;
    }
    const std::size_t end = std::min(m_count, m_next + static_cast<std::size_t>(m_pageSize));

    // The page is a run of consecutive keys: its rows are those of the key
    // range that are among its keys (a row added since lies in the range too).
    std::unordered_map<std::string, std::size_t> keys(end - m_next);
    std::string text;
    for (std::size_t r = m_next; r < end; ++r) {
        keyText(key(r), width, text);
        keys.emplace(text, r);
    }
    QVariantList params;
    RangeText range(m_keyColumns, params);
    const QString groups = range.placeholders(range.between(key(m_next), key(end - 1)));
    const QString where =
        m_where.trimmed().isEmpty() ? QStringLiteral(" where ") : m_where + QStringLiteral(" and ");
    Recordset rs;
    rs.open(QStringLiteral(" select ") + m_selectList + m_from + where + u'(' + groups + u')', m_cn,
            params);
    const int columns = rs.fieldCount();
    // The rows of the last page are refilled in place: no allocation per row.
    std::size_t count = 0;
    while (!rs.isEOF()) {
        if (count == rows.size())
            rows.emplace_back();
        std::vector<QVariant>& row = rows[count];
        row.resize(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i)
            row[static_cast<std::size_t>(i)] = rs.value(i);
        keyText(row.data(), width, text);
        if (const auto found = keys.find(text); found != keys.end()) {
            if (keyIndexes)
                keyIndexes->push_back(found->second);
            ++count;
        }
        rs.moveNext();
    }
    // Each key of the page names one row at most: no row is visited twice.
    assert(count <= end - m_next);
    rows.resize(count);
    rs.close();
    m_next = end;
    return true;
}

} // namespace tanka
