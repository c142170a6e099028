#include "db/batch_update.h"

#include <algorithm>
#include <cassert>

#include <QHash>

#include "db/connection.h"
#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/sql_text.h"
#include "db/sqlite_statement.h"

namespace tanka {

namespace {

bool isDateObject(const QVariant& value) {
    const int type = value.typeId();
    return type == QMetaType::QDateTime || type == QMetaType::QDate || type == QMetaType::QTime;
}

} // namespace

struct BatchUpdate::Types {
    std::vector<ColumnInfo> columns;
    QHash<QString, const ColumnInfo*> byName; // names as callers spell them
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
                Types{c.engine->tableInfo(c.db, shape->tableParts).columns, {}});
    }
}

QVariant BatchUpdate::stored(const QString& column, const QVariant& value) const {
    if (!m_types)
        return value;
    auto it = m_types->byName.constFind(column);
    if (it == m_types->byName.constEnd()) {
        const auto found = std::find_if(
            m_types->columns.begin(), m_types->columns.end(), [&](const ColumnInfo& info) {
                return info.name.compare(column, Qt::CaseInsensitive) == 0;
            });
        it = m_types->byName.insert(column, found == m_types->columns.end() ? nullptr : &*found);
    }
    return *it ? m_cn.d()->engine->storedValue(**it, value) : value;
}

void BatchUpdate::add(const std::vector<QVariant>& key, const std::vector<ColumnChange>& changes) {
    assert(key.size() == static_cast<std::size_t>(m_keys.size()));
    if (changes.empty())
        return;
    Columns columns;
    Row row;
    row.values.reserve(key.size() + 2 * changes.size());
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
    Batch& batch = m_batches[columns];
    batch.rows.push_back(std::move(row));
    if (batch.rows.size() == rowsPerBatch(columns.size()))
        write(columns, batch);
}

std::size_t BatchUpdate::rowsPerBatch(qsizetype columns) const {
    const auto perRow = static_cast<std::size_t>(m_keys.size() + 2 * columns);
    return std::min<std::size_t>(MaxRows, MaxParameters / perRow);
}

void BatchUpdate::flush() {
    for (auto& [columns, batch] : m_batches)
        if (!batch.rows.empty())
            write(columns, batch);
}

void BatchUpdate::write(const Columns& columns, Batch& batch) {
    ConnectionPrivate& c = *m_cn.d();
    c.requireOpen();
    const std::size_t rows = batch.rows.size();
    assert(rows > 0 && rows <= rowsPerBatch(columns.size()));
    // One prepared statement per shape (columns and row count): every full
    // batch of a conversion reuses it, so neither server parses it again.
    std::vector<bool> dates(std::size_t(columns.size()), false);
    const auto keys = std::size_t(m_keys.size());
    for (const Row& row : batch.rows)
        for (std::size_t i = 0; i < dates.size(); ++i)
            dates[i] = dates[i] || isDateObject(row.values[keys + 2 * i]) ||
                       isDateObject(row.values[keys + 2 * i + 1]);
    Statement& statement = m_statements[{columns, dates, rows}];
    sqlite3* handle = c.engine->sqliteHandle(c.db);
    if (!statement.query && statement.direct.isEmpty()) {
        const QString text = c.engine->translate(updateText(columns, dates, rows));
        if (handle) {
            statement.direct = SqliteStatement::prepare(handle, *c.engine, text, true);
        } else {
            statement.query = std::make_unique<QSqlQuery>(c.newQuery());
            if (!statement.query->prepare(text))
                c.raise(statement.query->lastError());
        }
    }
    ++c.statements;
    int affected = 0;
    int position = 0;
    if (!statement.direct.isEmpty()) {
        // The embedded server binds straight to SQLite: Qt's binding costs
        // more than the statement (it names every placeholder).
        for (const Row& row : batch.rows)
            for (const QVariant& value : row.values)
                statement.direct.bind(++position, value);
        statement.direct.step();
        affected = statement.direct.changes();
        statement.direct.reset();
    } else {
        QSqlQuery& query = *statement.query;
        for (const Row& row : batch.rows)
            for (const QVariant& value : row.values)
                query.bindValue(position++, value);
        if (!query.exec())
            c.raise(query.lastError());
        affected = query.numRowsAffected();
        query.finish();
    }
    assert(position <= MaxParameters);
    if (affected != static_cast<int>(rows))
        dberr::raise(dberr::RowNotFound,
                     QStringLiteral("Row cannot be located for updating. Some values may have "
                                    "been changed since it was last read."));
    m_written += affected;
    batch.rows.clear();
}

QString BatchUpdate::updateText(const Columns& columns, const std::vector<bool>& dates,
                                std::size_t rows) const {
    const auto keys = m_keys.size();
    const QString date = m_cn.d()->engine->dateParameter();
    const auto parameter = [&](qsizetype i) {
        return dates[std::size_t(i)] ? date : QStringLiteral("?");
    };
    QStringList sets;
    QStringList conditions;
    for (qsizetype k = 0; k < keys; ++k)
        conditions << QStringLiteral("%1.%2 = v.k%3")
                          .arg(m_exposed, sqltext::quoteIdentifier(m_keys[k]))
                          .arg(k);
    QStringList names; // of the first row's values, which name v's columns
    for (qsizetype k = 0; k < keys; ++k)
        names << QStringLiteral("? AS k%1").arg(k);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString column = m_exposed + u'.' + sqltext::quoteIdentifier(columns[i]);
        sets << QStringLiteral("%1 = v.n%2").arg(sqltext::quoteIdentifier(columns[i])).arg(i);
        conditions << QStringLiteral("(%1 = v.o%2 OR (%1 IS NULL AND v.o%2 IS NULL))")
                          .arg(column)
                          .arg(i);
        names << QStringLiteral("%1 AS o%2").arg(parameter(i)).arg(i)
              << QStringLiteral("%1 AS n%2").arg(parameter(i)).arg(i);
    }
    QStringList marks;
    for (qsizetype k = 0; k < keys; ++k)
        marks << QStringLiteral("?");
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << parameter(i) << parameter(i);
    const QString other = QStringLiteral(" UNION ALL SELECT ") + marks.join(QStringLiteral(", "));
    QString derived = QStringLiteral("SELECT ") + names.join(QStringLiteral(", "));
    derived.reserve(derived.size() + other.size() * qsizetype(rows));
    for (std::size_t r = 1; r < rows; ++r)
        derived += other;
    return QStringLiteral("UPDATE %1 SET %2 FROM (%3) AS v WHERE %4")
        .arg(m_table, sets.join(QStringLiteral(", ")), derived,
             conditions.join(QStringLiteral(" AND ")));
}

} // namespace tanka
