#include "db/keyed_pages.h"

#include <cassert>

#include "db/connection.h"
#include "db/recordset.h"
#include "db/sql_text.h"

namespace tanka {

namespace {

bool isInteger(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return !value.isNull();
    default:
        return false;
    }
}

} // namespace

KeyedPages::KeyedPages(Connection& cn, const QString& from, const QString& where,
                       const QString& qualifier, QStringList keyColumns, QStringList columns,
                       int pageSize)
    : m_cn(cn), m_from(from), m_where(where), m_pageSize(pageSize) {
    assert(!keyColumns.isEmpty() && pageSize > 0);
    const QString prefix = qualifier.isEmpty() ? QString() : qualifier + u'.';
    for (const QString& key : keyColumns)
        m_keyColumns << prefix + sqltext::quoteIdentifier(key);
    QStringList list = m_keyColumns;
    for (const QString& column : columns)
        list << prefix + sqltext::quoteIdentifier(column);
    m_selectList = list.join(QStringLiteral(", "));

    Recordset rs;
    rs.open(QStringLiteral(" select ") + m_keyColumns.join(QStringLiteral(", ")) + m_from +
                m_where,
            m_cn);
    const int width = static_cast<int>(m_keyColumns.size());
    while (!rs.isEOF()) {
        std::vector<QVariant> key(static_cast<std::size_t>(width));
        for (int k = 0; k < width; ++k)
            key[static_cast<std::size_t>(k)] = rs.value(k);
        m_keys.push_back(std::move(key));
        rs.moveNext();
    }
    rs.close();
}

bool KeyedPages::nextPage(std::vector<std::vector<QVariant>>& rows) {
    rows.clear();
    if (m_next >= m_keys.size())
        return false;
    const std::size_t end = std::min(m_keys.size(), m_next + static_cast<std::size_t>(m_pageSize));

    QVariantList params;
    QString groups;
    for (std::size_t r = m_next; r < end; ++r) {
        groups += r == m_next ? QStringLiteral("(") : QStringLiteral(" or (");
        for (qsizetype k = 0; k < m_keyColumns.size(); ++k) {
            const QVariant& value = m_keys[r][static_cast<std::size_t>(k)];
            if (k > 0)
                groups += QStringLiteral(" and ");
            groups += m_keyColumns[k];
            if (isInteger(value)) {
                groups += QStringLiteral(" = ") + QString::number(value.toLongLong());
            } else {
                groups += QStringLiteral(" = ?");
                params << value;
            }
        }
        groups += u')';
    }
    const QString where = m_where.trimmed().isEmpty() ? QStringLiteral(" where ")
                                                      : m_where + QStringLiteral(" and ");
    Recordset rs;
    rs.open(QStringLiteral(" select ") + m_selectList + m_from + where + u'(' + groups + u')', m_cn,
            CursorType::ForwardOnly, LockType::ReadOnly, params);
    const int width = rs.fieldCount();
    while (!rs.isEOF()) {
        std::vector<QVariant> row(static_cast<std::size_t>(width));
        for (int i = 0; i < width; ++i)
            row[static_cast<std::size_t>(i)] = rs.value(i);
        rows.push_back(std::move(row));
        rs.moveNext();
    }
    rs.close();
    m_next = end;
    return true;
}

} // namespace tanka
