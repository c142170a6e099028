#include "db/value_text.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

#include "db/db_errors.h"

namespace tanka {

namespace {

const QString kDateTimeForm = QStringLiteral("yyyy/MM/dd hh:mm:ss");
const QString kStoredForm = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString doubleText(double d) {
    if (std::isfinite(d) && std::fabs(d) < 1e15 && d == std::trunc(d))
        return QString::number(static_cast<qlonglong>(d));
    QString text = QString::number(d, 'g', 15);
    if (!text.contains(u'e'))
        return text;
    text = QString::number(d, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

bool isIntegerType(const QString& type) {
    return type.contains(u"int", Qt::CaseInsensitive);
}

bool isDecimalType(const QString& type) {
    for (const QStringView word : {u"money", u"dec", u"numeric", u"real", u"floa", u"doub"})
        if (type.contains(word, Qt::CaseInsensitive))
            return true;
    return false;
}

// A stored or assigned date text read as a date and time; invalid when the
// text has no date shape. Sets outOfRange for a date shape naming no day.
QDateTime readDateText(const QString& text, bool* outOfRange = nullptr) {
    static const QRegularExpression separated(
        QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})"
                       "(?:(?:\\s+|T)(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?)?$"));
    static const QRegularExpression compact(
        QStringLiteral("^(\\d{4})()(\\d{2})(\\d{2})"
                       "(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?)?$"));
    static const QRegularExpression timeOnly(
        QStringLiteral("^()()()()(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?$"));
    QRegularExpressionMatch m = separated.match(text);
    if (!m.hasMatch())
        m = compact.match(text);
    if (!m.hasMatch())
        m = timeOnly.match(text);
    if (!m.hasMatch())
        return {};
    const QTime time(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt(),
                     m.captured(8).leftJustified(3, u'0').toInt());
    if (!time.isValid())
        return {};
    const QDate date = m.captured(1).isEmpty() ? QDate(1900, 1, 1)
                                               : QDate(m.captured(1).toInt(), m.captured(3).toInt(),
                                                       m.captured(4).toInt());
    if (!date.isValid() || date.year() < 1753) {
        if (outOfRange)
            *outOfRange = true;
        return {};
    }
    return QDateTime(date, time);
}

QString storedDateText(const QDateTime& dt) {
    QString text = dt.toString(kStoredForm);
    if (const int ms = dt.time().msec(); ms != 0)
        text += QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
    return text;
}

[[noreturn]] void raiseDateConversion() {
    dberr::raise(dberr::DateConversion, QStringLiteral("Conversion failed when converting date "
                                                       "and/or time from character string."));
}

QVariant dateAssignment(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return storedDateText(value.toDateTime());
    case QMetaType::QDate:
        return storedDateText(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        // Days since 1900-01-01, the fraction being the time of day.
        const double days = value.toDouble();
        const QDateTime base(QDate(1900, 1, 1), QTime(0, 0));
        const QDateTime dt = base.addMSecs(std::llround(days * 86400000.0));
        if (!std::isfinite(days) || std::fabs(days) > 3e6 || dt.date().year() < 1753)
            dberr::raise(dberr::DateOutOfRange,
                         QStringLiteral("Arithmetic overflow error converting expression to "
                                        "data type datetime."));
        return storedDateText(dt);
    }
    default:
        break;
    }
    if (!value.canConvert<QString>())
        raiseDateConversion();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return storedDateText(QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
    bool outOfRange = false;
    const QDateTime dt = readDateText(text, &outOfRange);
    if (outOfRange)
        dberr::raise(dberr::DateOutOfRange,
                     QStringLiteral("The conversion of a varchar data type to a datetime data "
                                    "type resulted in an out-of-range value."));
    if (!dt.isValid())
        raiseDateConversion();
    return storedDateText(dt);
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

QString plainText(const QVariant& value, const QString& declaredType, const QString& nullText) {
    if (value.isNull())
        return nullText;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return doubleText(value.toDouble());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(kDateTimeForm);
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0)).toString(kDateTimeForm);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex().toUpper());
    case QMetaType::QString:
        if (isDateType(declaredType)) {
            if (const QDateTime dt = readDateText(value.toString()); dt.isValid())
                return dt.toString(kDateTimeForm);
        }
        return value.toString();
    default:
        return value.toString();
    }
}

QVariant serverAssignment(const QString& declaredType, const QVariant& value) {
    if (value.isNull())
        return QVariant();
    if (isDateType(declaredType))
        return dateAssignment(value);
    if (isIntegerType(declaredType) || isDecimalType(declaredType))
        return numberAssignment(declaredType, value);
    return value;
}

} // namespace tanka
