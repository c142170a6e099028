#include "db/sqlite_rows.h"

#include <algorithm>

#include <sqlite3.h>

#include "db/sql_text.h"

namespace tanka {

namespace {

void readRow(const SqliteStatement& statement, int offset, int count, RowData& row) {
    row.reset(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        statement.read(offset + i, row, static_cast<std::size_t>(i));
}

} // namespace

QString freeRowIdName(const std::vector<ColumnInfo>& tableColumns) {
    for (const QString& name :
         {QStringLiteral("_rowid_"), QStringLiteral("rowid"), QStringLiteral("oid")}) {
        const bool taken =
            std::any_of(tableColumns.begin(), tableColumns.end(), [&](const ColumnInfo& column) {
                return column.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        if (!taken)
            return name;
    }
    return {};
}

SqliteStreamSource::SqliteStreamSource(SqliteStatement statement)
    : m_statement(std::move(statement)), m_count(m_statement.columnCount()) {}

bool SqliteStreamSource::fetch(RowData& row) {
    if (m_done)
        return false;
    if (!m_statement.step()) {
        m_done = true;
        m_statement = SqliteStatement();
        return false;
    }
    readRow(m_statement, 0, m_count, row);
    return true;
}

SqliteKeyedSource::SqliteKeyedSource(sqlite3* db, const Engine& engine, SqliteWalk walk,
                                     int columns, std::vector<int> keyColumns, SqliteLookup lookup,
                                     const std::uint64_t& activity, bool batches)
    : m_db(db), m_engine(engine), m_walk(std::move(walk)), m_count(columns),
      m_keyColumns(std::move(keyColumns)), m_lookupText(std::move(lookup)), m_activity(activity),
      m_batches(batches && m_walk.rowIdColumn >= 0 && !m_lookupText.byRowIdRange.isEmpty()) {
    if (m_walk.wholeRows) {
        m_streamKeyColumns = m_keyColumns;
    } else {
        for (std::size_t k = 0; k < m_keyColumns.size(); ++k)
            m_streamKeyColumns.push_back(static_cast<int>(k));
    }
    m_byRowIdRefused = m_walk.rowIdColumn < 0 || m_lookupText.byRowId.isEmpty();
}

bool SqliteKeyedSource::fetch(RowData& row) {
    m_rowId.reset();
    if (m_streaming && m_rows == 0) {
        if (!nextStreamRow(m_walk.wholeRows ? &row : nullptr))
            return false;
        m_next = 1;
        if (m_walk.wholeRows) {
            if (m_walk.rowIdColumn >= 0)
                m_rowId = m_rowIds.front();
            return true;
        }
        if (lookUp(0, row))
            return true;
    }
    settle();
    while (m_next < m_rows) {
        const std::size_t index = m_next++;
        if (fromBatch(index, row) || lookUp(index, row))
            return true;
    }
    return false;
}

bool SqliteKeyedSource::keyMatches(std::size_t index, const RowData& row) const {
    const std::size_t first = index * m_keyColumns.size();
    for (std::size_t k = 0; k < m_keyColumns.size(); ++k)
        if (!m_keys.matches(first + k, row, static_cast<std::size_t>(m_keyColumns[k])))
            return false;
    return true;
}

bool SqliteKeyedSource::fromBatch(std::size_t index, RowData& row) {
    if (!m_batches)
        return false;
    // Still valid when only this fetch ran since the batch was read or last used.
    if (m_batchLoaded && m_activity != m_batchValidAt + 1)
        dropBatch();
    if (!m_batchLoaded || index >= m_batchEnd)
        loadBatch(index);
    if (!m_batchLoaded)
        return false;
    m_batchValidAt = m_activity;
    while (m_batchNext < m_batch.size() && m_batch[m_batchNext].index < index)
        ++m_batchNext;
    if (m_batchNext == m_batch.size() || m_batch[m_batchNext].index != index)
        return false; // not in the batch: gone, or elsewhere now
    BatchRow& found = m_batch[m_batchNext++];
    if (!keyMatches(index, found.row))
        return false; // the rowid holds another row now
    std::swap(row, found.row);
    m_rowId = found.rowId;
    return true;
}

void SqliteKeyedSource::loadBatch(std::size_t index) {
    // Spare the row buffers of the batch that ends.
    for (BatchRow& old : m_batch)
        m_spareRows.push_back(std::move(old.row));
    m_batch.clear();
    m_batchNext = 0;
    m_batchLoaded = false;
    if (sqlite3_get_autocommit(m_db) != 0)
        return; // outside a transaction another connection may change rows at any time
    // The run of ascending rowids from index, up to a batch, whose range holds
    // mostly rows of the walk (the range is read whole).
    constexpr std::size_t BatchRows = 256;
    constexpr std::size_t Worthwhile = 8;
    constexpr std::int64_t MostlyOurs = 4; // range rows per walk row at most
    std::size_t end = index + 1;
    while (end < m_rows && end - index < BatchRows && m_rowIds[end] > m_rowIds[end - 1] &&
           m_rowIds[end] - m_rowIds[index] <
               MostlyOurs * static_cast<std::int64_t>(end - index + 1))
        ++end;
    if (end - index < Worthwhile)
        return;
    if (m_byRange.isEmpty()) {
        m_byRange = SqliteStatement::tryPrepare(m_db, m_engine, m_lookupText.byRowIdRange, true);
        if (m_byRange.isEmpty()) {
            m_batches = false;
            return;
        }
    }
    m_byRange.bindInt64(1, m_rowIds[index]);
    m_byRange.bindInt64(2, m_rowIds[end - 1]);
    std::size_t wanted = index;
    while (m_byRange.step()) {
        const std::int64_t rowId = m_byRange.int64(m_count);
        while (wanted < end && m_rowIds[wanted] < rowId)
            ++wanted;
        if (wanted == end)
            break;
        if (m_rowIds[wanted] != rowId)
            continue; // a row of the table the walk does not visit
        BatchRow entry{wanted, rowId, {}};
        if (!m_spareRows.empty()) {
            entry.row = std::move(m_spareRows.back());
            m_spareRows.pop_back();
        }
        readRow(m_byRange, 0, m_count, entry.row);
        m_batch.push_back(std::move(entry));
    }
    m_byRange.reset();
    m_batchEnd = end;
    m_batchLoaded = true;
}

void SqliteKeyedSource::settle() {
    while (m_streaming && nextStreamRow(nullptr)) {
    }
}

bool SqliteKeyedSource::nextStreamRow(RowData* row) {
    if (!m_streaming)
        return false;
    SqliteStatement& stream = m_walk.statement;
    if (!stream.step()) {
        m_streaming = false;
        stream = SqliteStatement();
        return false;
    }
    if (row) {
        readRow(stream, 0, m_count, *row);
        for (const int k : m_keyColumns)
            m_keys.push(*row, static_cast<std::size_t>(k));
    } else {
        for (const int k : m_streamKeyColumns) {
            if (const auto integer = stream.integer(k))
                m_keys.pushInteger(*integer);
            else
                m_keys.pushOther(stream.value(k));
        }
    }
    if (m_walk.rowIdColumn >= 0)
        m_rowIds.push_back(stream.int64(m_walk.rowIdColumn));
    ++m_rows;
    return true;
}

bool SqliteKeyedSource::lookUp(std::size_t index, RowData& row) {
    return lookUpByRowId(index, row) || lookUpByKey(index, row);
}

bool SqliteKeyedSource::lookUpByRowId(std::size_t index, RowData& row) {
    if (m_byRowIdRefused)
        return false;
    if (m_byRowId.isEmpty()) {
        m_byRowId = SqliteStatement::tryPrepare(m_db, m_engine, m_lookupText.byRowId, true);
        if (m_byRowId.isEmpty()) {
            m_byRowIdRefused = true;
            return false;
        }
    }
    const std::int64_t rowId = m_rowIds[index];
    m_byRowId.bindInt64(1, rowId);
    bool found = m_byRowId.step();
    if (found) {
        readRow(m_byRowId, 0, m_count, row);
        const std::size_t first = index * m_keyColumns.size();
        for (std::size_t k = 0; found && k < m_keyColumns.size(); ++k)
            found = m_keys.matches(first + k, row, static_cast<std::size_t>(m_keyColumns[k]));
    }
    m_byRowId.reset(); // no read left open on the table while the row is written
    if (found)
        m_rowId = rowId;
    return found;
}

bool SqliteKeyedSource::lookUpByKey(std::size_t index, RowData& row) {
    if (m_byKey.isEmpty()) {
        if (!m_lookupText.withRowId.isEmpty()) {
            // Fails on a table without rowid (or a view): then the plain lookup.
            m_byKey = SqliteStatement::tryPrepare(m_db, m_engine, m_lookupText.withRowId, true);
            m_byKeyHasRowId = !m_byKey.isEmpty();
        }
        if (m_byKey.isEmpty())
            m_byKey = SqliteStatement::prepare(m_db, m_engine, m_lookupText.plain, true);
    }
    const std::size_t width = m_keyColumns.size();
    for (std::size_t k = 0; k < width; ++k)
        m_byKey.bind(static_cast<int>(k) + 1, m_keys.at(index * width + k));
    const bool found = m_byKey.step();
    if (found) {
        readRow(m_byKey, 0, m_count, row);
        if (m_byKeyHasRowId && m_byKey.isInteger(m_count))
            m_rowId = m_byKey.int64(m_count);
    }
    m_byKey.reset();
    return found;
}

SqliteRowWriter::SqliteRowWriter(sqlite3* db, const Engine& engine, UpdateTarget target,
                                 QStringList names, QString rowIdName, SqliteKeyedSource& source)
    : m_db(db), m_engine(engine), m_target(std::move(target)), m_names(std::move(names)),
      m_rowIdName(std::move(rowIdName)), m_source(source) {}

QString SqliteRowWriter::updateText(const std::vector<int>& edited, Match match) const {
    QStringList sets;
    QStringList conditions;
    for (const int c : edited)
        sets << sqltext::quoteIdentifier(m_names[c]) + QStringLiteral(" = ?");
    if (match != Match::KeyAndValues)
        conditions << m_rowIdName + QStringLiteral(" = ?");
    if (match != Match::RowIdOnly) {
        for (const int k : m_target.keyColumns)
            conditions << m_engine.nullSafeEquals(sqltext::quoteIdentifier(m_names[k])).text;
        for (const int c : edited)
            conditions << m_engine.nullSafeEquals(sqltext::quoteIdentifier(m_names[c])).text;
    }
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
        .arg(m_target.table, sets.join(QStringLiteral(", ")),
             conditions.join(QStringLiteral(" AND ")));
}

SqliteStatement& SqliteRowWriter::statement(SqliteStatement& slot, const std::vector<int>& edited,
                                            Match match) const {
    if (slot.isEmpty())
        slot = SqliteStatement::prepare(m_db, m_engine, updateText(edited, match), true);
    return slot;
}

int SqliteRowWriter::run(SqliteStatement& statement, const std::vector<int>& edited,
                         const std::vector<QVariant>& stored, const RowData* original,
                         std::optional<std::int64_t> rowId) const {
    int position = 1;
    for (const QVariant& value : stored)
        statement.bind(position++, value);
    if (rowId)
        statement.bindInt64(position++, *rowId);
    if (original) {
        const int binds = m_engine.nullSafeEquals(QString()).binds;
        for (const int k : m_target.keyColumns)
            for (int b = 0; b < binds; ++b)
                statement.bind(position++, *original, static_cast<std::size_t>(k));
        for (const int c : edited)
            for (int b = 0; b < binds; ++b)
                statement.bind(position++, *original, static_cast<std::size_t>(c));
    }
    statement.step();
    const int changed = statement.changes();
    statement.reset();
    return changed;
}

int SqliteRowWriter::write(const std::vector<int>& edited, const std::vector<QVariant>& stored,
                           const RowData& original, bool untouched) {
    Statements& s = m_statements[edited];
    if (const auto rowId = m_source.rowId(); rowId && !m_rowIdName.isEmpty()) {
        int changed = 0;
        if (untouched && sqlite3_get_autocommit(m_db) == 0)
            changed = run(statement(s.rowIdOnly, edited, Match::RowIdOnly), edited, stored, nullptr,
                          rowId);
        if (changed == 0)
            changed = run(statement(s.byRowId, edited, Match::RowIdAndValues), edited, stored,
                          &original, rowId);
        if (changed != 0) {
            m_source.wroteCurrentRow(); // one row, by rowid
            return changed;
        }
    }
    m_source.dropBatch();
    return run(statement(s.byKey, edited, Match::KeyAndValues), edited, stored, &original,
               std::nullopt);
}

} // namespace tanka
