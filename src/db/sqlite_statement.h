#pragma once
// A statement run directly on the sqlite3 connection under Qt's SQLite
// driver (the same connection, so the same transaction and lock wait).
//
// Record sets on the embedded server read their rows, and batches bind their
// values, this way because Qt's driver costs more per value than SQLite itself: every value of a
// row goes into its row cache as a QVariant and is copied out again, every
// bindValue() builds a placeholder name, and every statement run goes through
// the placeholder bookkeeping. A backup or a conversion handles a few million
// values in one run. Here a value read is exactly one QVariant (integers
// without any allocation) and a value bound goes straight to SQLite.
//
// Values follow Qt's driver: integers as qlonglong, floating point as double,
// texts as QString, blobs as QByteArray, Null as a null QString variant; a
// variant holding a null QString, QByteArray or an invalid date binds Null.

#include <cstdint>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tanka {

class Engine;
class RowData;

class SqliteStatement {
public:
    SqliteStatement() = default;

    // One statement of sql, to be run once or (reused) many times. Raises the
    // engine's error for text SQLite refuses, or for a second statement.
    static SqliteStatement prepare(sqlite3* db, const Engine& engine, const QString& sql,
                                   bool reused);

    bool isEmpty() const { return !m_stmt; }

    void bind(int position, const QVariant& value); // positions count from 1
    // True for a row, false when done. A failed step resets the statement and
    // raises the engine's error.
    bool step();
    // Ready to run again; bound values stay.
    void reset();

    int columnCount() const;
    QString columnName(int column) const; // as Qt's driver gives it: '"' removed
    // Column column of the current row into value i of row.
    void read(int column, RowData& row, std::size_t i) const;
    // Rows changed by the last INSERT, UPDATE or DELETE on the connection.
    int changes() const;

private:
    SqliteStatement(sqlite3* db, const Engine& engine) : m_db(db), m_engine(&engine) {}
    [[noreturn]] void raise(int code) const;
    int bindText(int position, const QString& text);
    static int prepareInto(SqliteStatement& s, const QString& sql, bool reused);

    sqlite3* m_db = nullptr;
    const Engine* m_engine = nullptr;
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalize> m_stmt;
    QByteArray m_scratch; // UTF-8 of a text being bound
};

} // namespace tanka
