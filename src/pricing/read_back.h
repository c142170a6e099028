#pragma once
// Reading back what a run wrote, before it commits. A server's count of the
// rows an UPDATE changed is not proof that it changed them as asked (a
// driver may misreport a failed execution, a trigger may change a row after
// the update or report its own count), so the run reads every row it wrote
// once more, by key in the pages it read them in and only the columns it
// wrote, and compares each value with the one it wrote. Any difference stops
// the run before the commit: the caller rolls back.

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/date_text.h"
#include "db/batch_update.h"
#include "pricing/row_prices.h"

namespace tanka {

class KeyedPages;

// Whether two values are the same as a journal writes them (journalText):
// an integer whatever its width, a date whether it came as a date or as the
// server's date text, Null as Null.
bool sameWrittenValue(const QVariant& a, const QVariant& b);

// "MTGIJU (GlobalID=1, MiseID=12, GijutuID=3, ShumokuID=1)".
QString rowName(Menu menu, const std::vector<QVariant>& key);

// Raises the read-back's error (dberr::RowNotFound): the table, the row's
// key, the column, the value written and the value found. A null found with
// rowMissing: the row could not be read back at all.
[[noreturn]] void raiseReadBackDifference(Menu menu, const std::vector<QVariant>& key,
                                          const QString& column, const QVariant& written,
                                          const QVariant& found);
[[noreturn]] void raiseReadBackMissing(Menu menu, const std::vector<QVariant>& key);

// The values a conversion wrote into one table, per key index of its pages
// (KeyedPages), kept compactly: a run of 200,000 rows holds a few bytes per
// value, not a QVariant. Only the given columns can be recorded.
class WrittenValues {
public:
    WrittenValues(QStringList columns, std::size_t rows);

    // The row at keyIndex was written with changes (each column once, among
    // columns()); a row is recorded at most once.
    void record(std::size_t keyIndex, const std::vector<ColumnChange>& changes);

    const QStringList& columns() const { return m_columns; }
    qint64 rowsRecorded() const { return m_recorded; }
    bool isRecorded(std::size_t keyIndex) const { return m_written[keyIndex] != 0; }
    // The columns the row at keyIndex was written in (bit i: columns()[i]).
    std::uint32_t columnsWritten(std::size_t keyIndex) const { return m_written[keyIndex]; }
    // The columns any row was written in (bit i: columns()[i]).
    std::uint32_t columnsUsed() const { return m_used; }
    // The value written into column i of the row at keyIndex.
    QVariant value(std::size_t keyIndex, qsizetype column) const;
    // Whether found is the value written into column i of the row at
    // keyIndex (sameWrittenValue, without making a variant of an integer
    // written or reading a date written once per row).
    bool matches(std::size_t keyIndex, qsizetype column, const QVariant& found) const;

private:
    QStringList m_columns;
    std::vector<std::uint32_t> m_written; // per row: columns written, 0 none
    std::vector<std::uint32_t> m_other;   // per row: columns held in m_others
    std::vector<std::int32_t> m_values;   // per row and column: a value or an index
    std::vector<QVariant> m_others;       // values that are not 32-bit integers
    std::vector<std::optional<DateTimeParts>> m_otherDates; // per m_others: its date
    std::vector<qsizetype> m_lastOrder;                     // the columns of the row last recorded
    std::uint32_t m_used = 0;                               // columns written in any row
    qint64 m_recorded = 0;
};

// Reads back every row recorded in written through pages (the pages the
// conversion read, read again with written's columns) and compares each
// value; raises at the first difference or missing row.
void readBack(Menu menu, KeyedPages& pages, const WrittenValues& written);

} // namespace tanka
