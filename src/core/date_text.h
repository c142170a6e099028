#pragma once
// The one reading of date texts in the program. Field values, values assigned
// to date columns and backup lines all read dates through readDateText; each
// caller then applies its own range (the field readers take years from 100,
// the server's date columns from 1753).

#include <QString>
#include <QStringView>

namespace tanka {

// A date and time, read or to be written field by field (never through a
// QDateTime in local time, which consults the time zone database per call).
struct DateTimeParts {
    int year = 1900;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
    bool dated = true; // false for a time alone (on 1900-01-01)

    bool validDate() const;
    bool validTime() const;
};

// Reads, with blanks (QChar::isSpace) around ignored:
//  - "yyyy-m-d", "yyyy/m/d" or "yyyy.m.d" (one separator throughout), or
//    "yyyymmdd";
//  - either optionally followed by blanks or "T" and a time "h:m[:s[.fff]]"
//    (one or two digits each, one to three of a second's fraction, ".5"
//    being 500 ms) and an optional "Z";
//  - or such a time alone.
// The parts are filled as written, not checked against the calendar; false
// when the text has none of these shapes.
bool readDateText(QStringView text, DateTimeParts& parts);

// "yyyy/MM/dd" of the parts (year 0..9999).
QString slashDate(const DateTimeParts& parts);

// Writes "yyyy<dateSep>MM<dateSep>dd hh:mm:ss" of the parts (year 0..9999)
// into buffer, with ".zzz" when withMsec and the milliseconds are not 0;
// returns the number of characters written (19 or 23).
constexpr int MaxDateTimeChars = 23;
int formatDateTime(char (&buffer)[MaxDateTimeChars], const DateTimeParts& parts, char dateSep,
                   bool withMsec);

} // namespace tanka
