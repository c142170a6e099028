#include "db/value_text.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

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

QString storedDateText(const DateTimeParts& p) {
    char buffer[MaxDateTimeChars];
    return QString::fromLatin1(buffer, formatDateTime(buffer, p, '-', true));
}

QString storedDateText(QDate date, QTime time) {
    if (date.isValid() && date.year() >= 0 && date.year() <= 9999 && time.isValid())
        return storedDateText({date.year(), date.month(), date.day(), time.hour(), time.minute(),
                               time.second(), time.msec(), true});
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

} // namespace

bool isDateType(const QString& declaredType) {
    return declaredType.contains(u"date", Qt::CaseInsensitive) ||
           declaredType.contains(u"time", Qt::CaseInsensitive);
}

bool serverDate(QStringView text, DateTimeParts& parts) {
    return serverDateRead(text, parts) == DateRead::Valid;
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

bool isIntegerValue(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return !value.isNull();
    default:
        return false;
    }
}

} // namespace tanka
