#include "db/batch_update.h"

#include <algorithm>
#include <cassert>

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
            m_types = c.engine->tableInfo(c.db, shape->tableParts).columns;
    }
}

const ColumnInfo* BatchUpdate::typeOf(const QString& column) const {
    const auto found = std::find_if(m_types.begin(), m_types.end(), [&](const ColumnInfo& info) {
        return info.name.compare(column, Qt::CaseInsensitive) == 0;
    });
    return found == m_types.end() ? nullptr : &*found;
}

QVariant BatchUpdate::stored(const ColumnInfo* type, const QVariant& value) const {
    return type ? m_cn.d()->engine->storedValue(*type, value) : value;
}

// The batch of rows that write changes' columns: most rows of a conversion
// write the same columns as the row before.
BatchUpdate::Batch& BatchUpdate::batchFor(const std::vector<ColumnChange>& changes) {
    const auto same = [&](const Columns& columns) {
        if (columns.size() != qsizetype(changes.size()))
            return false;
        for (std::size_t i = 0; i < changes.size(); ++i)
            if (columns[qsizetype(i)] != changes[i].column)
                return false;
        return true;
    };
    if (m_last && same(m_last->first))
        return m_last->second;
    Columns columns;
    for (const ColumnChange& change : changes)
        columns << change.column;
    auto [it, added] = m_batches.try_emplace(columns);
    if (added)
        for (const QString& column : columns)
            it->second.types.push_back(typeOf(column));
    m_last = &*it;
    return it->second;
}

void BatchUpdate::add(const std::vector<QVariant>& key, const std::vector<ColumnChange>& changes) {
    assert(key.size() == static_cast<std::size_t>(m_keys.size()));
    if (changes.empty())
        return;
    Batch& batch = batchFor(changes);
    const std::size_t start = batch.values.size();
    try {
        batch.values.insert(batch.values.end(), key.begin(), key.end());
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const ColumnChange& change = changes[i];
            // A value read from the server goes back as read, except a date
            // that the transport turned into a date object: that one in the
            // form the server stores. A new value always in the stored form.
            batch.values.push_back(isDateObject(change.before)
                                       ? stored(batch.types[i], change.before)
                                       : change.before);
            batch.values.push_back(stored(batch.types[i], change.after));
        }
    } catch (...) {
        batch.values.resize(start); // a value the server refuses: the row is not queued
        throw;
    }
    if (++batch.rows == rowsPerBatch(qsizetype(changes.size())))
        write(m_last->first, batch);
}

std::size_t BatchUpdate::rowsPerBatch(qsizetype columns) const {
    const auto perRow = static_cast<std::size_t>(m_keys.size() + 2 * columns);
    return std::min<std::size_t>(MaxRows, MaxParameters / perRow);
}

void BatchUpdate::flush() {
    for (auto& [columns, batch] : m_batches)
        if (batch.rows != 0)
            write(columns, batch);
}

void BatchUpdate::write(const Columns& columns, Batch& batch) {
    ConnectionPrivate& c = *m_cn.d();
    c.requireOpen();
    const std::size_t rows = batch.rows;
    const std::size_t perRow = std::size_t(m_keys.size() + 2 * columns.size());
    assert(rows > 0 && rows <= rowsPerBatch(columns.size()) &&
           batch.values.size() == rows * perRow);
    // One prepared statement per shape (columns and row count): every full
    // batch of a conversion reuses it, so neither server parses it again.
    std::vector<bool> dates(std::size_t(columns.size()), false);
    const auto keys = std::size_t(m_keys.size());
    for (std::size_t row = 0; row < rows; ++row)
        for (std::size_t i = 0; i < dates.size(); ++i)
            dates[i] = dates[i] || isDateObject(batch.values[row * perRow + keys + 2 * i]) ||
                       isDateObject(batch.values[row * perRow + keys + 2 * i + 1]);
    const auto shape = std::make_tuple(columns, dates, rows);
    Statement& statement = m_statements[shape];
    sqlite3* handle = c.engine->sqliteHandle(c.db);
    if (!statement.query && statement.direct.isEmpty()) {
        const QString text = c.engine->translate(updateText(columns, dates, rows));
        if (handle) {
            statement.direct = SqliteStatement::prepare(handle, *c.engine, text, true);
        } else {
            statement.query = std::make_unique<QSqlQuery>(c.newQuery());
            if (!statement.query->prepare(text)) {
                const QSqlError error = statement.query->lastError();
                m_statements.erase(shape);
                c.raise(error);
            }
        }
    }
    ++c.statements;
    int affected = 0;
    try {
        affected = execute(statement, batch.values);
    } catch (...) {
        // A statement whose execution failed is never run again: a driver
        // may keep state of the failed run (its count, its cursor) in it.
        m_statements.erase(shape);
        throw;
    }
    if (affected != static_cast<int>(rows)) {
        m_statements.erase(shape);
        if (affected < 0)
            dberr::raise(dberr::Fail, QStringLiteral("The driver reported no row count for an "
                                                     "update of %1 rows.")
                                          .arg(rows));
        dberr::raise(dberr::RowNotFound,
                     QStringLiteral("Row cannot be located for updating. Some values may have "
                                    "been changed since it was last read."));
    }
    m_written += affected;
    batch.values.clear();
    batch.rows = 0;
}

int BatchUpdate::execute(Statement& statement, const std::vector<QVariant>& values) {
    ConnectionPrivate& c = *m_cn.d();
    int position = 0;
    int affected = 0;
    if (!statement.direct.isEmpty()) {
        // The embedded server binds straight to SQLite: Qt's binding costs
        // more than the statement (it names every placeholder).
        for (const QVariant& value : values)
            statement.direct.bind(++position, value);
        statement.direct.step(); // raises (the statement reset) when it fails
        affected = statement.direct.changes();
        statement.direct.reset();
    } else {
        QSqlQuery& query = *statement.query;
        for (const QVariant& value : values)
            query.bindValue(position++, value);
        if (!query.exec())
            c.raise(query.lastError());
        affected = query.numRowsAffected(); // -1: the driver gave no count
        query.finish();
    }
    assert(position <= MaxParameters);
    return affected;
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
        conditions
            << QStringLiteral("(%1 = v.o%2 OR (%1 IS NULL AND v.o%2 IS NULL))").arg(column).arg(i);
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
