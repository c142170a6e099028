// formatFieldDate: reads a date from a field value and formats it with a pattern
// of the platform's kind.

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "core/date_text.h"
#include "core/field_readers.h"

namespace tanka {

namespace {

// A cursor over a date text; digits are ASCII digits, blanks are what
// QChar::isSpace() calls white space.
class DateScanner {
public:
    explicit DateScanner(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_at == m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_at]; }
    bool take(QChar c) {
        if (atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }
    // Between min and max digits (as many as there are); false when fewer than
    // min. digits receives their count.
    bool number(int min, int max, int& value, int* digits = nullptr) {
        int count = 0;
        value = 0;
        while (count < max && !atEnd() && m_text[m_at] >= u'0' && m_text[m_at] <= u'9') {
            value = value * 10 + (m_text[m_at].unicode() - u'0');
            ++m_at;
            ++count;
        }
        if (digits)
            *digits = count;
        return count >= min;
    }
    bool blanks() {
        const qsizetype start = m_at;
        while (!atEnd() && m_text[m_at].isSpace())
            ++m_at;
        return m_at > start;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// "h:m[:s[.fff]]" and an optional "Z" to the end of the text.
bool readTime(DateScanner& s, DateTimeParts& p) {
    if (!s.number(1, 2, p.hour) || !s.take(u':') || !s.number(1, 2, p.minute))
        return false;
    if (s.take(u':')) {
        if (!s.number(1, 2, p.second))
            return false;
        if (s.take(u'.')) {
            int digits = 0;
            if (!s.number(1, 3, p.msec, &digits))
                return false;
            for (; digits < 3; ++digits)
                p.msec *= 10;
        }
    }
    s.take(u'Z');
    return s.atEnd();
}

QStringView trimmedView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    return text.mid(begin, end - begin);
}

struct DateTimeValue {
    QDate date;
    QTime time;
};

// A date, a date and time, or a text that reads as one with a date in years
// 100..9999.
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
    case QMetaType::QByteArray: {
        DateTimeParts p;
        if (!readDateText(value.toString(), p) || !p.dated || p.year < 100 || !p.validDate() ||
            !p.validTime())
            return false;
        out = {QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.msec)};
        return true;
    }
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

bool DateTimeParts::validDate() const {
    return QDate::isValid(year, month, day);
}

bool DateTimeParts::validTime() const {
    return QTime::isValid(hour, minute, second, msec);
}

bool readDateText(QStringView text, DateTimeParts& p) {
    p = DateTimeParts{};
    text = trimmedView(text);
    DateScanner s(text);
    int digits = 0;
    int first = 0;
    if (!s.number(1, 4, first, &digits))
        return false;
    if (digits == 4 && (s.peek() == u'-' || s.peek() == u'/' || s.peek() == u'.')) {
        const QChar sep = s.peek();
        s.take(sep);
        p.year = first;
        if (!s.number(1, 2, p.month) || !s.take(sep) || !s.number(1, 2, p.day))
            return false;
        if (s.atEnd())
            return true;
        return (s.blanks() || s.take(u'T')) && readTime(s, p);
    }
    if (digits == 4 && s.number(4, 4, p.month, &digits)) {
        p.year = first;
        p.day = p.month % 100;
        p.month /= 100;
        return s.atEnd() || (s.blanks() && readTime(s, p));
    }
    // A time alone: the first number was the hour.
    DateScanner time(text);
    p.dated = false;
    return readTime(time, p);
}

QString slashDate(const DateTimeParts& p) {
    char16_t text[10];
    const auto two = [&](int at, int value) {
        text[at] = static_cast<char16_t>(u'0' + value / 10);
        text[at + 1] = static_cast<char16_t>(u'0' + value % 10);
    };
    two(0, p.year / 100);
    two(2, p.year % 100);
    text[4] = text[7] = u'/';
    two(5, p.month);
    two(8, p.day);
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

QString formatFieldDate(const QVariant& value, const QString& fmt) {
    DateTimeValue v;
    if (!readDate(value, v))
        return {};
    return formatDate(v, fmt);
}

int formatDateTime(char (&buffer)[MaxDateTimeChars], const DateTimeParts& p, char dateSep,
                   bool withMsec) {
    const auto digits = [&](int at, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            buffer[at + i] = static_cast<char>('0' + value % 10);
    };
    digits(0, p.year, 4);
    buffer[4] = buffer[7] = dateSep;
    digits(5, p.month, 2);
    digits(8, p.day, 2);
    buffer[10] = ' ';
    digits(11, p.hour, 2);
    buffer[13] = buffer[16] = ':';
    digits(14, p.minute, 2);
    digits(17, p.second, 2);
    if (!withMsec || p.msec == 0)
        return 19;
    buffer[19] = '.';
    digits(20, p.msec, 3);
    return 23;
}

} // namespace tanka
