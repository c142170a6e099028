#pragma once
// Values between the program and the server: the value the server stores
// when a program value is assigned to a column of a declared type, and how it
// reads a date column's text.

#include <QString>
#include <QVariant>

#include "core/date_text.h"

namespace tanka {

// Whether text, read from a date column, is a date or time as the server
// reads it (readDateText's shapes; a date naming a day of the calendar from
// 1753 on); parts then hold it.
bool serverDate(QStringView text, DateTimeParts& parts);

bool isDateType(const QString& declaredType);
// A value the server gave as a whole number (any integer type, not Null).
bool isIntegerValue(const QVariant& value);

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
