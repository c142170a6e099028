#pragma once
// Null-safe readers of field values, as the database layer delivers them
// (QVariant: null, number, date/time or text), and of settings values.
// They never fail on Null; numeric overflow raises RunError 6 "Overflow".

#include <cstdint>

#include <QString>
#include <QVariant>

namespace tanka {

std::int16_t readShortInteger(const QVariant& value);
std::int32_t readInteger(const QVariant& value);
// Whether the readers above take value for what it says: Null, a number, or
// a text that passes the numeric test. A text such as "abc", "1,080" or a
// full-width "１０８０" is not (they would read it as 0).
bool isNumericValue(const QVariant& value);
// Fmt is a date pattern of the platform's kind; the program passes "yyyy/mm/dd".
QString formatFieldDate(const QVariant& value, const QString& fmt);
// Width in code page 932 bytes, 0 = no limit.
QString fixedWidthText(const QVariant& value, std::int16_t width, bool pad);
std::int16_t codePage932Length(const QString& text);

} // namespace tanka
