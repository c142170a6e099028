#pragma once
// Text helpers shared by the field readers and the settings reader.

#include <QString>
#include <QStringView>
#include <QVariant>

namespace tanka {

// Removes blanks (U+0020 only) at both ends, as the platform's Trim does;
// tabs and full-width spaces stay.
QString trimBlanks(QStringView text);

// The plain text form of a field value: empty for Null, "True"/"False" for a
// boolean, up to 15 significant digits for a floating-point number,
// "yyyy/mm/dd" for a date and "yyyy/mm/dd h:nn:ss" for a date and time (the
// date alone at midnight), the text itself for a text.
QString fieldText(const QVariant& value);

} // namespace tanka
