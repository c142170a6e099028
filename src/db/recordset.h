#pragma once
// A read-only record set in the manner of the platform's ADO record set:
// opened with SQL text on a connection, walked with moveNext, fields read by
// name or position, or a row at a time (row()). Rows are written back in
// batches (batch_update.h), not through the record set.

#include <memory>

#include <QString>
#include <QVariant>

namespace tanka {

class Connection;
class RecordsetPrivate;
class RowData;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs sql; params are bound to its '?' placeholders in order. Every
    // result reads only, forward.
    void open(const QString& sql, Connection& cn, const QVariantList& params = {});
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

    // The current row's values as read, for writing them out without making
    // a QVariant of each; and whether a column is declared a date (its texts
    // are dates in the server's eyes).
    const RowData& row() const;
    bool isDateColumn(int index) const;

private:
    std::unique_ptr<RecordsetPrivate> m_d;
};

} // namespace tanka
