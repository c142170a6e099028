#include "core/field_readers.h"

#include "core/code_page_932.h"

#include <cmath>
#include <limits>

#include "core/field_text.h"
#include "core/run_error.h"

namespace tanka {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The numeric test: optional blanks, an optional sign, digits with at most one
// decimal point (at least one digit in all), an optional exponent ("1E3",
// "2.5e-1"), optional blanks. Thousands separators, currency signs, hex and
// words such as "inf" are not numeric.
bool looksNumeric(QStringView s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && isBlank(s[i]))
        ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    while (i < n && isBlank(s[i]))
        ++i;
    return i == n;
}

// Rounds half to even and checks the range of the target type; NaN and
// infinities are out of every range.
template <typename Int> Int roundToInt(double v) {
    if (!std::isfinite(v))
        raiseOverflow();
    const double r = std::nearbyint(v); // default rounding mode: half to even
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        raiseOverflow();
    return static_cast<Int>(r);
}

template <typename Int> Int checkedInt(long long v) {
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        raiseOverflow();
    return static_cast<Int>(v);
}

template <typename Int> Int readIntegerAs(const QVariant& value) {
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? Int(-1) : Int(0); // the platform's True is -1
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return checkedInt<Int>(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > static_cast<qulonglong>(std::numeric_limits<Int>::max()))
            raiseOverflow();
        return static_cast<Int>(u);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return roundToInt<Int>(value.toDouble());
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return 0; // dates are not numeric
    default:
        break;
    }
    if (!value.canConvert<QString>())
        return 0;
    const QString text = value.toString();
    if (!looksNumeric(text))
        return 0;
    // QString::toDouble parses in the C locale whatever looksNumeric admits; it
    // fails only out of range: infinity (overflow) or a value that underflows
    // to zero.
    bool ok = false;
    double parsed = text.trimmed().toDouble(&ok);
    if (!ok && !std::isinf(parsed))
        parsed = 0.0;
    return roundToInt<Int>(parsed);
}

} // namespace

bool isNumericValue(const QVariant& value) {
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return looksNumeric(*static_cast<const QString*>(value.constData()));
    case QMetaType::QByteArray:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return false;
    default:
        return value.canConvert<double>();
    }
}

namespace {

qsizetype cp932Length(QStringView text) {
    return cp932::encodedLength(text);
}

} // namespace

std::int16_t readShortInteger(const QVariant& value) {
    return readIntegerAs<std::int16_t>(value);
}

std::int32_t readInteger(const QVariant& value) {
    return readIntegerAs<std::int32_t>(value);
}

std::int16_t codePage932Length(const QString& text) {
    const qsizetype bytes = cp932Length(text);
    if (bytes > std::numeric_limits<std::int16_t>::max())
        raiseOverflow();
    return static_cast<std::int16_t>(bytes);
}

QString fixedWidthText(const QVariant& value, std::int16_t width, bool pad) {
    if (value.isNull())
        return {};
    const QString text = trimBlanks(fieldText(value));
    // The length is taken unbounded: a text beyond 16-bit lengths is cut, not
    // reported as an overflow.
    if (width == 0 || cp932Length(text) <= width)
        return text;

    // A lone surrogate has no character of its own: the encoder's count for
    // it depends on what follows it, so a cut could grow once padded. It
    // stands as U+FFFD, which encodes alone as one byte.
    QString chars = text;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (chars[i].isHighSurrogate() && i + 1 < chars.size() && chars[i + 1].isLowSurrogate())
            ++i;
        else if (chars[i].isSurrogate())
            chars[i] = QChar::ReplacementCharacter;
    }
    // Longest leading part that fits, never splitting a double-byte character
    // or a surrogate pair.
    qsizetype end = 0;
    while (end < chars.size()) {
        const qsizetype next = end + (chars[end].isHighSurrogate() ? 2 : 1);
        if (cp932Length(chars.left(next)) > width)
            break;
        end = next;
    }
    QString result = chars.left(end);
    const qsizetype used = cp932Length(result);
    if (pad && used < width)
        result.append(QString(width - used, u' '));
    return result;
}

} // namespace tanka
