#pragma once
// The rows of a read-only result on the embedded server, stepped straight on
// the sqlite3 connection: a backup reads every row of a table, and Qt SQL's
// value-per-QVariant path costs several times the work for it.

#include "db/recordset_p.h"
#include "db/sqlite_statement.h"

namespace tanka {

// Steps one forward-only statement; only the current row is held.
class SqliteStreamSource final : public RowSource {
public:
    explicit SqliteStreamSource(SqliteStatement statement);
    bool fetch(RowData& row) override;

private:
    SqliteStatement m_statement;
    int m_count;
    bool m_done = false;
};

} // namespace tanka
