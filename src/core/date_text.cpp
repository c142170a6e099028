// Get_DateStr: reads a date from a field value and formats it with a pattern
// of the platform's kind.

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

#include "core/field_readers.h"

namespace tanka {

namespace {

struct DateTimeValue {
    QDate date;
    QTime time;
};

// Date texts as both database engines deliver them: "1990/01/01",
// "1990-1-1", "1990-01-01 15:10:00", "1990-01-01T15:10:00.000",
// "1990/1/1 15:10" and an optional trailing "Z"; blanks around are ignored.
// The date must exist and the year lie in 100..9999.
bool readDateText(const QString& text, DateTimeValue& out) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^ *(\d{4})([/-])(\d{1,2})\2(\d{1,2}))"
                       R"((?:(?: +|T)(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.\d{1,9})?)?Z?)? *$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    const int year = m.capturedView(1).toInt();
    if (year < 100)
        return false;
    const QDate date(year, m.capturedView(3).toInt(), m.capturedView(4).toInt());
    if (!date.isValid())
        return false;
    QTime time(0, 0);
    if (m.hasCaptured(5)) {
        const int seconds = m.hasCaptured(7) ? m.capturedView(7).toInt() : 0;
        time = QTime(m.capturedView(5).toInt(), m.capturedView(6).toInt(), seconds);
        if (!time.isValid())
            return false;
    }
    out = {date, time};
    return true;
}

bool readDate(const QVariant& value, DateTimeValue& out) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::QDate:
        out = {value.toDate(), QTime(0, 0)};
        return out.date.isValid();
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        out = {dt.date(), dt.time()};
        return dt.isValid();
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return readDateText(value.toString(), out);
    default:
        return false; // numbers and other values are not dates
    }
}

QString padded(int value, int width) {
    return QString::number(value).rightJustified(width, u'0');
}

// Day of the week counted from Sunday = 1.
int weekdayFromSunday(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

// Week of the year; weeks start on Sunday and the week of 1 January is week 1.
int weekOfYear(const QDate& d) {
    const int jan1Offset = weekdayFromSunday(QDate(d.year(), 1, 1)) - 1;
    return (d.dayOfYear() - 1 + jan1Offset) / 7 + 1;
}

// Tokens, matched without regard to case, longest first: yyyy yy y (day of
// year), q, mm m (month; minutes when they follow an hour token), dd d, ww w,
// hh h (0-23), nn n (minutes), ss s. Text in double quotes and the character
// after a backslash are copied; every other character is copied as it stands.
QString formatDate(const DateTimeValue& v, QStringView fmt) {
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    while (i < fmt.size()) {
        const QChar c = fmt[i];
        if (c == u'"') {
            const qsizetype close = fmt.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? fmt.size() : close;
            out += fmt.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < fmt.size())
                out += fmt[i + 1];
            i += 2;
            continue;
        }
        const QChar lower = c.toLower();
        qsizetype run = 1;
        while (i + run < fmt.size() && fmt[i + run].toLower() == lower)
            ++run;
        const bool twoOrMore = run >= 2;
        qsizetype used = twoOrMore ? 2 : 1;
        bool hourToken = false;
        switch (lower.unicode()) {
        case u'y':
            if (run >= 4) {
                used = 4;
                out += padded(v.date.year(), 4);
            } else if (twoOrMore) {
                out += padded(v.date.year() % 100, 2);
            } else {
                out += QString::number(v.date.dayOfYear());
            }
            break;
        case u'q':
            used = 1;
            out += QString::number((v.date.month() - 1) / 3 + 1);
            break;
        case u'm': {
            const int n = afterHour ? v.time.minute() : v.date.month();
            out += twoOrMore ? padded(n, 2) : QString::number(n);
            break;
        }
        case u'd':
            out += twoOrMore ? padded(v.date.day(), 2) : QString::number(v.date.day());
            break;
        case u'w':
            out += QString::number(twoOrMore ? weekOfYear(v.date) : weekdayFromSunday(v.date));
            break;
        case u'h':
            hourToken = true;
            out += twoOrMore ? padded(v.time.hour(), 2) : QString::number(v.time.hour());
            break;
        case u'n':
            out += twoOrMore ? padded(v.time.minute(), 2) : QString::number(v.time.minute());
            break;
        case u's':
            out += twoOrMore ? padded(v.time.second(), 2) : QString::number(v.time.second());
            break;
        default:
            out += c;
            i += 1;
            continue; // a literal keeps an hour token's effect on "m"
        }
        afterHour = hourToken;
        i += used;
    }
    return out;
}

} // namespace

QString Get_DateStr(const QVariant& value, const QString& fmt) {
    DateTimeValue v;
    if (!readDate(value, v))
        return {};
    return formatDate(v, fmt);
}

} // namespace tanka
