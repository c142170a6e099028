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

void appendAscii(QString& out, const char* first, const char* last) {
    out.append(QLatin1String(first, static_cast<qsizetype>(last - first)));
}

void appendInteger(QString& out, qlonglong n) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    appendAscii(out, buffer, result.ptr);
}

void appendDouble(QString& out, double d) {
    if (std::isfinite(d) && std::fabs(d) < 1e15 && d == std::trunc(d)) {
        appendInteger(out, static_cast<qlonglong>(d));
        return;
    }
    QString text = QString::number(d, 'g', 15);
    if (text.contains(u'e')) {
        text = QString::number(d, 'f', 10);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    out += text;
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

void appendDateTime(QString& out, const DateTimeParts& p, char sep) {
    char buffer[DateTimeChars];
    formatDateTime(buffer, p, sep);
    appendAscii(out, buffer, buffer + DateTimeChars);
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
    QString text;
    text.reserve(23);
    appendDateTime(text, p, '-');
    if (p.msec != 0) {
        const char buffer[4] = {'.', static_cast<char>('0' + p.msec / 100),
                                static_cast<char>('0' + p.msec / 10 % 10),
                                static_cast<char>('0' + p.msec % 10)};
        appendAscii(text, buffer, buffer + 4);
    }
    return text;
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

void appendDateValue(QString& out, QDate date, QTime time) {
    if (inFourDigits(date) && time.isValid()) {
        appendDateTime(out, partsOf(date, time), '/');
        return;
    }
    // Beyond four-digit years: Qt's own formatting, in UTC (no zone lookup).
    out += QDateTime(date, time, Qt::UTC).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

// Well-formed UTF-8 without a leading byte order mark decoded into out
// (room for text.size() units), as Qt decodes it; false for anything else.
bool decodeUtf8(QByteArrayView text, char16_t* out, qsizetype& units) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const qsizetype size = text.size();
    if (size >= 3 && in[0] == 0xEF && in[1] == 0xBB && in[2] == 0xBF)
        return false;
    const auto continuation = [&](qsizetype at) { return at < size && (in[at] & 0xC0) == 0x80; };
    qsizetype i = 0;
    qsizetype n = 0;
    while (i < size) {
        const unsigned char c = in[i];
        if (c < 0x80) {
            out[n++] = c;
            i += 1;
        } else if (c >= 0xC2 && c < 0xE0 && continuation(i + 1)) {
            out[n++] = static_cast<char16_t>(((c & 0x1F) << 6) | (in[i + 1] & 0x3F));
            i += 2;
        } else if (c >= 0xE0 && c < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            const char32_t u = ((c & 0x0F) << 12) | ((in[i + 1] & 0x3F) << 6) | (in[i + 2] & 0x3F);
            if (u < 0x800 || (u >= 0xD800 && u < 0xE000))
                return false; // overlong, or a surrogate
            out[n++] = static_cast<char16_t>(u);
            i += 3;
        } else if (c >= 0xF0 && c < 0xF5 && continuation(i + 1) && continuation(i + 2) &&
                   continuation(i + 3)) {
            const char32_t u = ((c & 0x07) << 18) | ((in[i + 1] & 0x3F) << 12) |
                               ((in[i + 2] & 0x3F) << 6) | (in[i + 3] & 0x3F);
            if (u < 0x10000 || u > 0x10FFFF)
                return false;
            out[n++] = QChar::highSurrogate(u);
            out[n++] = QChar::lowSurrogate(u);
            i += 4;
        } else {
            return false;
        }
    }
    units = n;
    return true;
}

} // namespace

bool isDateType(const QString& declaredType) {
    return declaredType.contains(u"date", Qt::CaseInsensitive) ||
           declaredType.contains(u"time", Qt::CaseInsensitive);
}

void appendPlainText(QString& out, const QVariant& value, bool dateColumn,
                     const QString& nullText) {
    if (value.isNull()) {
        out += nullText;
        return;
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
        appendInteger(out, value.toLongLong());
        return;
    case QMetaType::Bool:
        out += value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendDouble(out, value.toDouble());
        return;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        appendDateValue(out, dt.date(), dt.time());
        return;
    }
    case QMetaType::QDate:
        appendDateValue(out, value.toDate(), QTime(0, 0));
        return;
    case QMetaType::QTime:
        out += value.toTime().toString(QStringLiteral("hh:mm:ss"));
        return;
    case QMetaType::QByteArray:
        out += QString::fromLatin1(value.toByteArray().toHex().toUpper());
        return;
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        DateTimeParts parts;
        if (dateColumn && serverDateRead(text, parts) == DateRead::Valid)
            appendDateTime(out, parts, '/');
        else
            out += text;
        return;
    }
    default:
        out += value.toString();
        return;
    }
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

void TextLine::append(QStringView text) {
    std::copy(text.utf16(), text.utf16() + text.size(), room(text.size()));
    m_used += text.size();
}

void TextLine::appendAscii(const char* text, qsizetype size) {
    char16_t* out = room(size);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = static_cast<unsigned char>(text[i]);
    m_used += size;
}

void TextLine::appendInteger(qlonglong value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendAscii(buffer, result.ptr - buffer);
}

void TextLine::appendReal(double value) {
    QString text;
    appendDouble(text, value);
    append(text);
}

void TextLine::appendUtf8(QByteArrayView text, bool dateColumn) {
    // Decoded in place (never more UTF-16 units than UTF-8 bytes); a text that
    // is not plain well-formed UTF-8 goes through Qt's decoder instead.
    char16_t* out = room(text.size());
    qsizetype units = 0;
    if (!decodeUtf8(text, out, units)) {
        const QString wide = QString::fromUtf8(text);
        out = room(wide.size());
        std::copy(wide.utf16(), wide.utf16() + wide.size(), out);
        units = wide.size();
    }
    DateTimeParts parts;
    if (dateColumn && serverDateRead(QStringView(out, units), parts) == DateRead::Valid) {
        char buffer[DateTimeChars];
        formatDateTime(buffer, parts, '/');
        appendAscii(buffer, DateTimeChars);
        return;
    }
    m_used += units;
}

void TextLine::appendValue(const QVariant& value, bool dateColumn, const QString& nullText) {
    QString text;
    appendPlainText(text, value, dateColumn, nullText);
    append(text);
}

QString TextLine::take() {
    m_text.resize(m_used);
    m_data = nullptr;
    m_capacity = m_used = 0;
    return std::move(m_text);
}

QString plainText(const QVariant& value, const QString& declaredType, const QString& nullText) {
    QString text;
    appendPlainText(text, value, isDateType(declaredType), nullText);
    return text;
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

QVariant serverAssignment(const QString& declaredType, const QVariant& value) {
    return serverAssignment(valueKind(declaredType), declaredType, value);
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
