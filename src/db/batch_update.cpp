#include "db/batch_update.h"

#include <cassert>
#include <cmath>

#include "db/connection.h"
#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/sql_text.h"

namespace tanka {

namespace {

// The text of value when the program may write it into a statement itself: a
// Null, an integer or a finite double. Empty otherwise (the value is bound).
QString literal(const QVariant& value) {
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (std::isfinite(d))
            return QString::number(d, 'g', 17);
        break;
    }
    default:
        break;
    }
    return {};
}

bool isDateObject(const QVariant& value) {
    const int type = value.typeId();
    return type == QMetaType::QDateTime || type == QMetaType::QDate || type == QMetaType::QTime;
}

} // namespace

struct BatchUpdate::Types {
    std::vector<ColumnInfo> columns;
};

BatchUpdate::~BatchUpdate() = default;

BatchUpdate::BatchUpdate(Connection& cn, QString table, QStringList keyColumns)
    : m_cn(cn), m_table(std::move(table)), m_keys(std::move(keyColumns)) {
    assert(!m_keys.isEmpty());
    ConnectionPrivate& c = *m_cn.d();
    c.requireOpen();
    const QStringList parts = m_table.split(u'.');
    m_exposed = sqltext::quoteIdentifier(sqltext::unquoteIdentifier(parts.back()));
    if (c.engine->typesFromCatalogue()) {
        const QString probe = c.engine->translate(QStringLiteral("SELECT * FROM ") + m_table);
        if (const auto shape = sqltext::singleTableSelect(probe))
            m_types = std::make_unique<Types>(
                Types{c.engine->tableInfo(c.db, shape->tableParts).columns});
    }
}

QVariant BatchUpdate::stored(const QString& column, const QVariant& value) const {
    if (!m_types)
        return value;
    for (const ColumnInfo& info : m_types->columns)
        if (info.name.compare(column, Qt::CaseInsensitive) == 0)
            return m_cn.d()->engine->storedValue(info, value);
    return value;
}

void BatchUpdate::add(const std::vector<QVariant>& key, const std::vector<ColumnChange>& changes) {
    assert(key.size() == static_cast<std::size_t>(m_keys.size()));
    if (changes.empty())
        return;
    Columns columns;
    Row row;
    row.values = key;
    for (const ColumnChange& change : changes) {
        columns << change.column;
        // A value read from the server goes back as read, except a date that
        // the transport turned into a date object: that one in the form the
        // server stores. A new value always in the stored form.
        row.values.push_back(isDateObject(change.before) ? stored(change.column, change.before)
                                                         : change.before);
        row.values.push_back(stored(change.column, change.after));
    }
    int parameters = 0;
    for (const QVariant& value : row.values)
        parameters += literal(value).isEmpty() ? 1 : 0;

    Batch& batch = m_batches[columns];
    if (!batch.rows.empty() && (batch.rows.size() >= static_cast<std::size_t>(MaxRows) ||
                                batch.parameters + parameters > MaxParameters))
        write(columns, batch);
    batch.rows.push_back(std::move(row));
    batch.parameters += parameters;
}

void BatchUpdate::flush() {
    for (auto& [columns, batch] : m_batches)
        if (!batch.rows.empty())
            write(columns, batch);
}

void BatchUpdate::write(const Columns& columns, Batch& batch) {
    ConnectionPrivate& c = *m_cn.d();
    c.requireOpen();
    const auto keys = static_cast<std::size_t>(m_keys.size());

    QStringList sets;
    QStringList conditions;
    for (std::size_t k = 0; k < keys; ++k)
        conditions << QStringLiteral("%1.%2 = v.k%3")
                          .arg(m_exposed, sqltext::quoteIdentifier(m_keys[qsizetype(k)]))
                          .arg(k);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString column = m_exposed + u'.' + sqltext::quoteIdentifier(columns[i]);
        sets << QStringLiteral("%1 = v.n%2").arg(sqltext::quoteIdentifier(columns[i])).arg(i);
        conditions << QStringLiteral("(%1 = v.o%2 OR (%1 IS NULL AND v.o%2 IS NULL))")
                          .arg(column)
                          .arg(i);
    }

    QVariantList params;
    QString rows;
    for (std::size_t r = 0; r < batch.rows.size(); ++r) {
        const std::vector<QVariant>& values = batch.rows[r].values;
        rows += r == 0 ? QStringLiteral("SELECT ") : QStringLiteral(" UNION ALL SELECT ");
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0)
                rows += QStringLiteral(", ");
            QString text = literal(values[i]);
            if (text.isEmpty()) {
                text = QStringLiteral("?");
                params << values[i];
            }
            rows += text;
            if (r == 0) { // the first row names the columns
                if (i < keys)
                    rows += QStringLiteral(" AS k") + QString::number(i);
                else
                    rows += ((i - keys) % 2 == 0 ? QStringLiteral(" AS o") : QStringLiteral(" AS n")) +
                            QString::number((i - keys) / 2);
            }
        }
    }
    assert(params.size() <= MaxParameters);

    const QString sql = QStringLiteral("UPDATE %1 SET %2 FROM (%3) AS v WHERE %4")
                            .arg(m_table, sets.join(QStringLiteral(", ")), rows,
                                 conditions.join(QStringLiteral(" AND ")));
    ++c.statements;
    QSqlQuery query = c.newQuery();
    if (!query.prepare(c.engine->translate(sql)))
        c.raise(query.lastError());
    for (const QVariant& value : params)
        query.addBindValue(value);
    if (!query.exec())
        c.raise(query.lastError());
    const int affected = query.numRowsAffected();
    query.finish();
    if (affected != static_cast<int>(batch.rows.size()))
        dberr::raise(dberr::RowNotFound,
                     QStringLiteral("Row cannot be located for updating. Some values may have "
                                    "been changed since it was last read."));
    m_written += affected;
    batch.rows.clear();
    batch.parameters = 0;
}

} // namespace tanka
