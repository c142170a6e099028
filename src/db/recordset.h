#pragma once
// A record set in the manner of the platform's ADO record set: opened with SQL
// text on a connection, walked with moveNext, fields read by name or position,
// fields of the current row assigned and written back with update().
//
// update() is optimistic: it writes the changed columns of the current row
// with bound values where the table's key columns match and every changed
// column still holds the value that was read (null-safe). When no row matches,
// it raises "Row cannot be located for updating. Some values may have been
// changed since it was last read."

#include <memory>

#include <QString>
#include <QVariant>

namespace tanka {

class Connection;
class RecordsetPrivate;

enum class CursorLocation { Server = 2, Client = 3 };
enum class CursorType { ForwardOnly = 0, Static = 3 };
enum class LockType { ReadOnly = 1, Optimistic = 3 };

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void setCursorLocation(CursorLocation location);
    void open(const QString& sql, Connection& cn, CursorType type = CursorType::ForwardOnly,
              LockType lock = LockType::ReadOnly);
    bool isOpen() const;
    void close();

    // Right after open, a result is empty exactly when both are true.
    bool isBOF() const;
    bool isEOF() const;
    void moveNext();

    int fieldCount() const;
    QString fieldName(int index) const;
    QVariant value(int index) const;
    QVariant value(const QString& name) const; // names match without regard to case
    void setValue(const QString& name, const QVariant& value);
    void setValue(int index, const QVariant& value); // by position, as value(int)
    void update();

    // The current row in clip-string form: each value in its plain text form
    // (nullText for Null), columnSep between values, rowSep at the end; then
    // moves to the next row. Empty at EOF.
    QString getString(const QString& columnSep, const QString& rowSep, const QString& nullText);

private:
    std::unique_ptr<RecordsetPrivate> m_d;
};

} // namespace tanka
