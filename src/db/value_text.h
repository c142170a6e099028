#pragma once
// Values between the program and the server: the plain text form of a field
// value (the clip-string form of a record set), and the value the server
// stores when a program value is assigned to a column of a declared type.

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QVariant>

namespace tanka {

// One line of values in their plain text form (the clip-string form),
// written straight into its buffer (grown as needed) instead of through
// QString's appends: a backup writes a few million values. Integers as plain
// digits, floating-point numbers without thousands separators (whole numbers
// without a fraction), dates and times as "yyyy/MM/dd hh:mm:ss", booleans
// "True"/"False", texts unchanged, but a text in a date column (dateColumn)
// in the date form when it reads as a date.
class TextLine {
public:
    explicit TextLine(qsizetype expected);
    void append(QStringView text, bool dateColumn = false);
    void appendAscii(const char* text, qsizetype size);
    void appendInteger(qlonglong value);
    void appendReal(double value);
    void appendUtf8(QByteArrayView text, bool dateColumn);
    // Any value; Null as nullText.
    void appendValue(const QVariant& value, bool dateColumn, const QString& nullText);
    // The line; the object is empty afterwards.
    QString take();

private:
    // Where the next more characters go.
    char16_t* room(qsizetype more) {
        return m_used + more <= m_capacity ? m_data + m_used : grow(more);
    }
    char16_t* grow(qsizetype more);
    // Keeps the units just written past the line's end: a date column's text
    // that reads as a date in the date form.
    void keep(qsizetype units, bool dateColumn);

    QString m_text; // m_used characters written, the rest room
    char16_t* m_data = nullptr;
    qsizetype m_capacity = 0;
    qsizetype m_used = 0;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

bool isDateType(const QString& declaredType);

// What a column's declared type makes of a value assigned to it (below).
enum class ValueKind { Other, Date, Integer, Decimal };
ValueKind valueKind(const QString& declaredType);

// What SQL Server stores when value is assigned to a column declared
// declaredType (of the given kind), in the stored form of the embedded engine:
//  - date columns: "yyyy-MM-dd hh:mm:ss" (".zzz" when there are
//    milliseconds) from a date, a date/time or a text such as "2019/09/30",
//    "2019-9-30 10:20", "20190930"; the empty text is 1900-01-01 00:00:00; a
//    text that is no date raises 241, an impossible date 242;
//  - integer and decimal columns: a numeric text becomes the number (the empty
//    text 0 for integer and money columns); any other text raises 245 or 8114;
//  - anything else unchanged. Null stays Null.
QVariant serverAssignment(ValueKind kind, const QString& declaredType, const QVariant& value);

} // namespace tanka
