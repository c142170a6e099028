#include "db/sqlite_rows.h"

namespace tanka {

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
    row.reset(static_cast<std::size_t>(m_count));
    for (int i = 0; i < m_count; ++i)
        m_statement.read(i, row, static_cast<std::size_t>(i));
    return true;
}

} // namespace tanka
