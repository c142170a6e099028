#include "db/value_text.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "core/date_text.h"
#include "db/db_errors.h"

namespace tanka {

namespace {

// Dates and times are read and written field by field, never through a
// QDateTime in local time: a local-time conversion consults the time zone
// database on every call, and a backup or conversion formats one date per row.

bool isIntegerType(const QString& type) {
    return type.contains(u"int", Qt::CaseInsensitive);
}

bool isDecimalType(const QString& type) {
    for (const QStringView word : {u"money", u"dec", u"numeric", u"real", u"floa", u"doub"})
        if (type.contains(word, Qt::CaseInsensitive))
            return true;
    return false;
}

constexpr int DateTimeChars = 19;

// Writes the parts as "yyyy<sep>MM<sep>dd hh:mm:ss" (year 0..9999).
void formatDateTime(char* buffer, const DateTimeParts& p, char sep) {
    const auto two = [&](int at, int value) {
        buffer[at] = static_cast<char>('0' + value / 10);
        buffer[at + 1] = static_cast<char>('0' + value % 10);
    };
    two(0, p.year / 100);
    two(2, p.year % 100);
    buffer[4] = buffer[7] = sep;
    two(5, p.month);
    two(8, p.day);
    buffer[10] = ' ';
    two(11, p.hour);
    buffer[13] = buffer[16] = ':';
    two(14, p.minute);
    two(17, p.second);
}

enum class DateRead { NoDate, OutOfRange, Valid };

// A date text as the server reads it when it is assigned to a date column or
// shown from one (readDateText's shapes): OutOfRange for a date naming no day
// or a year before 1753.
DateRead serverDateRead(QStringView text, DateTimeParts& p) {
    if (!readDateText(text, p) || !p.validTime())
        return DateRead::NoDate;
    if (p.dated && (!p.validDate() || p.year < 1753))
        return DateRead::OutOfRange;
    return DateRead::Valid;
}

DateTimeParts partsOf(QDate date, QTime time) {
    return {date.year(),   date.month(),  date.day(),  time.hour(),
            time.minute(), time.second(), time.msec(), true};
}

bool inFourDigits(QDate date) {
    return date.isValid() && date.year() >= 0 && date.year() <= 9999;
}

QString storedDateText(const DateTimeParts& p) {
    char buffer[DateTimeChars + 4];
    formatDateTime(buffer, p, '-');
    if (p.msec == 0)
        return QString::fromLatin1(buffer, DateTimeChars);
    buffer[DateTimeChars] = '.';
    buffer[DateTimeChars + 1] = static_cast<char>('0' + p.msec / 100);
    buffer[DateTimeChars + 2] = static_cast<char>('0' + p.msec / 10 % 10);
    buffer[DateTimeChars + 3] = static_cast<char>('0' + p.msec % 10);
    return QString::fromLatin1(buffer, DateTimeChars + 4);
}

QString storedDateText(QDate date, QTime time) {
    if (inFourDigits(date) && time.isValid())
        return storedDateText(partsOf(date, time));
    // Beyond four-digit years: Qt's own formatting, in UTC (no zone lookup).
    const QDateTime dt(date, time, Qt::UTC);
    QString text = dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (const int ms = dt.time().msec(); ms != 0)
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    return text;
}

[[noreturn]] void raiseDateConversion() {
    dberr::raise(dberr::DateConversion, QStringLiteral("Conversion failed when converting date "
                                                       "and/or time from character string."));
}

[[noreturn]] void raiseDateOverflow() {
    dberr::raise(dberr::DateOutOfRange, QStringLiteral("Arithmetic overflow error converting "
                                                       "expression to data type datetime."));
}

QVariant dateAssignment(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return storedDateText(dt.date(), dt.time());
    }
    case QMetaType::QDate:
        return storedDateText(value.toDate(), QTime(0, 0));
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        // Days since 1900-01-01, the fraction being the time of day; counted
        // in UTC, where every day has 24 hours.
        const double days = value.toDouble();
        if (!std::isfinite(days) || std::fabs(days) > 3e6)
            raiseDateOverflow();
        const QDateTime base(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC);
        const QDateTime dt = base.addMSecs(std::llround(days * 86400000.0));
        if (dt.date().year() < 1753)
            raiseDateOverflow();
        return storedDateText(dt.date(), dt.time());
    }
    default:
        break;
    }
    if (!value.canConvert<QString>())
        raiseDateConversion();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return storedDateText(DateTimeParts{});
    DateTimeParts parts;
    switch (serverDateRead(text, parts)) {
    case DateRead::OutOfRange:
        dberr::raise(dberr::DateOutOfRange,
                     QStringLiteral("The conversion of a varchar data type to a datetime data "
                                    "type resulted in an out-of-range value."));
    case DateRead::NoDate:
        raiseDateConversion();
    case DateRead::Valid:
        break;
    }
    return storedDateText(parts);
}

QVariant numberAssignment(const QString& type, const QVariant& value) {
    if (value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString().trimmed();
    const bool integer = isIntegerType(type);
    if (text.isEmpty() && (integer || type.contains(u"money", Qt::CaseInsensitive)))
        return qlonglong{0};
    bool ok = false;
    if (integer) {
        const qlonglong n = text.toLongLong(&ok);
        if (ok)
            return n;
        dberr::raise(dberr::IntConversion,
                     QStringLiteral("Conversion failed when converting the varchar value '%1' to "
                                    "data type int.")
                         .arg(value.toString()));
    }
    const double d = text.toDouble(&ok);
    if (ok && std::isfinite(d))
        return d;
    dberr::raise(dberr::NumericConversion,
                 QStringLiteral("Error converting data type varchar to numeric."));
}

void appendDate(TextLine& line, QDate date, QTime time) {
    if (inFourDigits(date) && time.isValid()) {
        char buffer[DateTimeChars];
        formatDateTime(buffer, partsOf(date, time), '/');
        line.appendAscii(buffer, DateTimeChars);
        return;
    }
    // Beyond four-digit years: Qt's own formatting, in UTC (no zone lookup).
    line.append(QDateTime(date, time, Qt::UTC).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

} // namespace

bool isDateType(const QString& declaredType) {
    return declaredType.contains(u"date", Qt::CaseInsensitive) ||
           declaredType.contains(u"time", Qt::CaseInsensitive);
}

TextLine::TextLine(qsizetype expected)
    : m_text(std::max<qsizetype>(expected, 64), Qt::Uninitialized),
      m_data(reinterpret_cast<char16_t*>(m_text.data())), m_capacity(m_text.size()) {}

char16_t* TextLine::grow(qsizetype more) {
    m_text.resize(std::max(m_capacity * 2, m_used + more));
    m_data = reinterpret_cast<char16_t*>(m_text.data());
    m_capacity = m_text.size();
    return m_data + m_used;
}

void TextLine::keep(qsizetype units, bool dateColumn) {
    DateTimeParts parts;
    if (dateColumn &&
        serverDateRead(QStringView(m_data + m_used, units), parts) == DateRead::Valid) {
        char buffer[DateTimeChars];
        formatDateTime(buffer, parts, '/');
        appendAscii(buffer, DateTimeChars);
        return;
    }
    m_used += units;
}

void TextLine::append(QStringView text, bool dateColumn) {
    std::copy(text.utf16(), text.utf16() + text.size(), room(text.size()));
    keep(text.size(), dateColumn);
}

void TextLine::appendAscii(const char* text, qsizetype size) {
    std::copy(text, text + size, room(size));
    m_used += size;
}

void TextLine::appendInteger(qlonglong value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendAscii(buffer, result.ptr - buffer);
}

void TextLine::appendReal(double value) {
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::trunc(value)) {
        appendInteger(static_cast<qlonglong>(value));
        return;
    }
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) {
        text = QString::number(value, 'f', 10);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    append(text);
}

void TextLine::appendUtf8(QByteArrayView text, bool dateColumn) {
    // Never more UTF-16 units than UTF-8 bytes: decoded in place.
    auto* out = reinterpret_cast<QChar*>(room(m_utf8.requiredSpace(text.size())));
    keep(m_utf8.appendToBuffer(out, text) - out, dateColumn);
}

void TextLine::appendValue(const QVariant& value, bool dateColumn, const QString& nullText) {
    if (value.isNull()) {
        append(nullText);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
        appendInteger(value.toLongLong());
        return;
    case QMetaType::Bool:
        append(value.toBool() ? u"True" : u"False");
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendReal(value.toDouble());
        return;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        appendDate(*this, dt.date(), dt.time());
        return;
    }
    case QMetaType::QDate:
        appendDate(*this, value.toDate(), QTime(0, 0));
        return;
    case QMetaType::QTime:
        append(value.toTime().toString(QStringLiteral("hh:mm:ss")));
        return;
    case QMetaType::QByteArray:
        append(QString::fromLatin1(value.toByteArray().toHex().toUpper()));
        return;
    case QMetaType::QString:
        append(*static_cast<const QString*>(value.constData()), dateColumn);
        return;
    default:
        append(value.toString());
        return;
    }
}

QString TextLine::take() {
    m_text.resize(m_used);
    m_data = nullptr;
    m_capacity = m_used = 0;
    return std::move(m_text);
}

ValueKind valueKind(const QString& declaredType) {
    if (isDateType(declaredType))
        return ValueKind::Date;
    if (isIntegerType(declaredType))
        return ValueKind::Integer;
    if (isDecimalType(declaredType))
        return ValueKind::Decimal;
    return ValueKind::Other;
}

QVariant serverAssignment(ValueKind kind, const QString& declaredType, const QVariant& value) {
    if (value.isNull())
        return QVariant();
    switch (kind) {
    case ValueKind::Date:
        return dateAssignment(value);
    case ValueKind::Integer:
    case ValueKind::Decimal:
        return numberAssignment(declaredType, value);
    case ValueKind::Other:
        break;
    }
    return value;
}

} // namespace tanka
