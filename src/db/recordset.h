#pragma once
// A read-only record set in the manner of the platform's ADO record set:
// opened with SQL text on a connection, walked with moveNext, fields read by
// name or position. Rows are written back in batches (batch_update.h), not
// through the record set.

#include <memory>

#include <QString>
#include <QVariant>

namespace tanka {

class Connection;
class RecordsetPrivate;

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

    // The current row in clip-string form: each value in its plain text form
    // (nullText for Null), columnSep between values, rowSep at the end; then
    // moves to the next row. Empty at EOF.
    QString getString(const QString& columnSep, const QString& rowSep, const QString& nullText);

private:
    std::unique_ptr<RecordsetPrivate> m_d;
};

} // namespace tanka
