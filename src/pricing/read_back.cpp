#include "pricing/read_back.h"

#include <cassert>
#include <limits>
#include <stdexcept>

#include <QDateTime>

#include "core/date_text.h"
#include "core/run_error.h"
#include "db/db_errors.h"
#include "db/keyed_pages.h"
#include "db/value_text.h"
#include "pricing/journal.h"

namespace tanka {

namespace {

// The date and time a value stands for: a date object, or a text the
// program reads as a date (the form written, "2019/9/30", and the form a
// server stores, "2019-09-30 00:00:00", alike).
bool dateOf(const QVariant& value, DateTimeParts& p) {
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return false;
        p = {dt.date().year(),   dt.date().month(),  dt.date().day(),  dt.time().hour(),
             dt.time().minute(), dt.time().second(), dt.time().msec(), true};
        return true;
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        p = {d.year(), d.month(), d.day(), 0, 0, 0, 0, true};
        return d.isValid();
    }
    case QMetaType::QString:
        return !value.isNull() && readDateText(value.toString(), p) && p.dated && p.validDate() &&
               p.validTime();
    default:
        return false;
    }
}

bool sameParts(const DateTimeParts& x, const DateTimeParts& y) {
    return x.year == y.year && x.month == y.month && x.day == y.day && x.hour == y.hour &&
           x.minute == y.minute && x.second == y.second && x.msec == y.msec;
}

} // namespace

bool sameWrittenValue(const QVariant& a, const QVariant& b) {
    if (isIntegerValue(a) && isIntegerValue(b))
        return a.toLongLong() == b.toLongLong();
    if (DateTimeParts x, y; dateOf(a, x) && dateOf(b, y))
        return sameParts(x, y);
    return journalText(a) == journalText(b);
}

QString rowName(Menu menu, const std::vector<QVariant>& key) {
    const QStringList names = keyColumns(menu);
    QStringList parts;
    for (qsizetype k = 0; k < names.size() && std::size_t(k) < key.size(); ++k)
        parts << names[k] + u'=' + journalText(key[std::size_t(k)]);
    return tableName(menu) + QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + u')';
}

void raiseReadBackDifference(Menu menu, const std::vector<QVariant>& key, const QString& column,
                             const QVariant& written, const QVariant& found) {
    dberr::raise(dberr::RowNotFound,
                 QStringLiteral("書き込んだ行を読み直すと、書き込んだ値と違っていました: %1 の "
                                "%2 に %3 を書き込みましたが、読み直すと %4 でした。")
                     .arg(rowName(menu, key), column, journalText(written), journalText(found)));
}

void raiseReadBackMissing(Menu menu, const std::vector<QVariant>& key) {
    dberr::raise(dberr::RowNotFound,
                 QStringLiteral("書き込んだ行を読み直すと、行がありませんでした: %1")
                     .arg(rowName(menu, key)));
}

WrittenValues::WrittenValues(QStringList columns, std::size_t rows)
    : m_columns(std::move(columns)), m_written(rows, 0), m_other(rows, 0),
      m_values(rows * std::size_t(m_columns.size()), 0) {
    assert(m_columns.size() <= 32);
}

void WrittenValues::record(std::size_t keyIndex, const std::vector<ColumnChange>& changes) {
    assert(keyIndex < m_written.size() && m_written[keyIndex] == 0);
    const std::size_t width = std::size_t(m_columns.size());
    std::uint32_t written = 0;
    std::uint32_t other = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const ColumnChange& change = changes[i];
        // Rows mostly write the same columns in the same order.
        if (i >= m_lastOrder.size())
            m_lastOrder.resize(i + 1, 0);
        qsizetype column = m_lastOrder[i];
        if (m_columns[column] != change.column) {
            column = m_columns.indexOf(change.column);
            if (column < 0)
                throw std::invalid_argument("a column not to be written: " +
                                            change.column.toStdString());
            m_lastOrder[i] = column;
        }
        assert((written >> column & 1u) == 0);
        const std::uint32_t bit = 1u << column;
        written |= bit;
        std::int32_t& slot = m_values[keyIndex * width + std::size_t(column)];
        const QVariant& value = change.after;
        if (isIntegerValue(value) &&
            value.toLongLong() >= std::numeric_limits<std::int32_t>::min() &&
            value.toLongLong() <= std::numeric_limits<std::int32_t>::max()) {
            slot = std::int32_t(value.toLongLong());
            continue;
        }
        // Most rows write the same date: it is kept once.
        other |= bit;
        if (m_others.empty() || m_others.back().typeId() != value.typeId() ||
            m_others.back() != value) {
            m_others.push_back(value);
            DateTimeParts parts;
            m_otherDates.push_back(dateOf(value, parts) ? std::optional(parts) : std::nullopt);
        }
        slot = std::int32_t(m_others.size() - 1);
    }
    if (written == 0)
        return;
    m_written[keyIndex] = written;
    m_other[keyIndex] = other;
    m_used |= written;
    ++m_recorded;
}

QVariant WrittenValues::value(std::size_t keyIndex, qsizetype column) const {
    const std::int32_t slot =
        m_values[keyIndex * std::size_t(m_columns.size()) + std::size_t(column)];
    if (m_other[keyIndex] >> column & 1u)
        return m_others[std::size_t(slot)];
    return qlonglong(slot);
}

bool WrittenValues::matches(std::size_t keyIndex, qsizetype column, const QVariant& found) const {
    const std::int32_t slot =
        m_values[keyIndex * std::size_t(m_columns.size()) + std::size_t(column)];
    if ((m_other[keyIndex] >> column & 1u) == 0)
        return isIntegerValue(found) ? found.toLongLong() == slot
                                     : sameWrittenValue(qlonglong(slot), found);
    if (const auto& date = m_otherDates[std::size_t(slot)]) {
        DateTimeParts parts;
        return dateOf(found, parts) && sameParts(*date, parts);
    }
    return sameWrittenValue(m_others[std::size_t(slot)], found);
}

void readBack(Menu menu, KeyedPages& pages, const WrittenValues& written) {
    if (written.rowsRecorded() == 0)
        return;
    // Only the columns some row was written in, each at its place in a row
    // read back.
    QStringList columns;
    std::vector<qsizetype> readAt(std::size_t(written.columns().size()), -1);
    const std::size_t width = std::size_t(keyColumns(menu).size());
    for (qsizetype c = 0; c < written.columns().size(); ++c)
        if (written.columnsUsed() >> c & 1u) {
            readAt[std::size_t(c)] = qsizetype(width) + columns.size();
            columns << written.columns()[c];
        }
    pages.readAgain(columns);
    std::vector<std::vector<QVariant>> rows;
    std::vector<std::size_t> indexes;
    std::vector<bool> found(std::size_t(pages.rowCount()), false);
    qint64 seen = 0;
    while (pages.nextPage(rows, &indexes)) {
        assert(indexes.size() == rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::size_t index = indexes[r];
            if (!written.isRecorded(index))
                continue;
            found[index] = true;
            ++seen;
            const std::vector<QVariant>& row = rows[r];
            const std::uint32_t mask = written.columnsWritten(index);
            for (std::size_t c = 0; c < readAt.size(); ++c) {
                if ((mask >> c & 1u) == 0)
                    continue;
                const QVariant& now = row[std::size_t(readAt[c])];
                if (!written.matches(index, qsizetype(c), now))
                    raiseReadBackDifference(menu, {row.begin(), row.begin() + qsizetype(width)},
                                            written.columns()[qsizetype(c)],
                                            written.value(index, qsizetype(c)), now);
            }
        }
    }
    if (seen == written.rowsRecorded())
        return;
    for (std::size_t index = 0; index < found.size(); ++index)
        if (written.isRecorded(index) && !found[index])
            raiseReadBackMissing(menu, pages.keyAt(index));
}

} // namespace tanka
