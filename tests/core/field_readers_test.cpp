#include <cmath>
#include <limits>
#include <optional>

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "core/run_error.h"

using namespace tanka;

namespace {

// nullopt: the reader must raise RunError 6 "Overflow".
struct IntCase {
    QVariant value;
    std::optional<int> asInt16;
    std::optional<long long> asInt32;
};

const std::optional<int> kOverflow16;
const std::optional<long long> kOverflow32;

template <typename Reader, typename Expected>
void expectReads(Reader read, const QVariant& value, const Expected& expected, int row) {
    SCOPED_TRACE(::testing::Message()
                 << "row " << row << " value " << value.toString().toStdString());
    if (expected) {
        EXPECT_EQ(static_cast<long long>(read(value)), static_cast<long long>(*expected));
        return;
    }
    try {
        read(value);
        ADD_FAILURE() << "no overflow raised";
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
        EXPECT_EQ(e.description(), "Overflow");
    }
}

TEST(IntegerReaders, NumericTestRoundingAndRange) {
    const IntCase cases[] = {
        // Null of any kind, empty and non-numeric give 0.
        {QVariant(), 0, 0},
        {QVariant(QMetaType::fromType<int>()), 0, 0},
        {QVariant(QMetaType::fromType<QString>()), 0, 0},
        {QVariant(QMetaType::fromType<double>()), 0, 0},
        {QString(""), 0, 0},
        {QString("   "), 0, 0},
        {QString("abc"), 0, 0},
        {QString("12abc"), 0, 0},
        {QString("1,000"), 0, 0},
        {QString("12 34"), 0, 0},
        {QString("- 12"), 0, 0},
        {QString("0x10"), 0, 0},
        {QString("inf"), 0, 0},
        {QString("nan"), 0, 0},
        {QString("1E"), 0, 0},
        {QString("."), 0, 0},
        {QString("+"), 0, 0},
        {QString::fromUtf8("１２"), 0, 0},
        {QDate(1990, 1, 1), 0, 0},
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), 0, 0},
        // Numeric texts: blanks, signs, decimal point, exponent.
        {QString(" 12 "), 12, 12},
        {QString("\t12\t"), 12, 12},
        {QString("+7"), 7, 7},
        {QString("-7"), -7, -7},
        {QString("007"), 7, 7},
        {QString("5."), 5, 5},
        {QString(".5"), 0, 0},
        {QString("1E3"), 1000, 1000},
        {QString("1e+2"), 100, 100},
        {QString("2.5E-1"), 0, 0},
        {QString("1E-400"), 0, 0},
        {QByteArray("42"), 42, 42},
        // Half to even, in texts and in doubles.
        {QString("12.5"), 12, 12},
        {QString("13.5"), 14, 14},
        {QString("2.5"), 2, 2},
        {QString("3.5"), 4, 4},
        {QString("-2.5"), -2, -2},
        {QString("-3.5"), -4, -4},
        {QString("0.5"), 0, 0},
        {QString("12.4999"), 12, 12},
        {QString("12.5001"), 13, 13},
        {2.5, 2, 2},
        {-0.5, 0, 0},
        {1.5, 2, 2},
        {99.4999, 99, 99},
        // Range ends: no clamping, overflow at both ends.
        {QString("32767"), 32767, 32767},
        {QString("32768"), kOverflow16, 32768},
        {QString("-32768"), -32768, -32768},
        {QString("-32769"), kOverflow16, -32769},
        {QString("32766.5"), 32766, 32766},
        {QString("32767.5"), kOverflow16, 32768},
        {QString("-32768.5"), -32768, -32768},
        {QString("-32769.5"), kOverflow16, -32770},
        {QString("2147483647"), kOverflow16, 2147483647LL},
        {QString("2147483648"), kOverflow16, kOverflow32},
        {QString("2147483647.5"), kOverflow16, kOverflow32},
        {QString("-2147483648"), kOverflow16, -2147483648LL},
        {QString("-2147483649"), kOverflow16, kOverflow32},
        {QString("99999999999999999999"), kOverflow16, kOverflow32},
        {QString("1E400"), kOverflow16, kOverflow32},
        {QString("-1E400"), kOverflow16, kOverflow32},
        // Integers and doubles as the database delivers them.
        {-5, -5, -5},
        {qlonglong(40000), kOverflow16, 40000},
        {qlonglong(3000000000LL), kOverflow16, kOverflow32},
        {qlonglong(-3000000000LL), kOverflow16, kOverflow32},
        {qulonglong(std::numeric_limits<qulonglong>::max()), kOverflow16, kOverflow32},
        {uint(65535), kOverflow16, 65535},
        {1e300, kOverflow16, kOverflow32},
        {std::nan(""), kOverflow16, kOverflow32},
        {std::numeric_limits<double>::infinity(), kOverflow16, kOverflow32},
        // The platform's True is -1.
        {true, -1, -1},
        {false, 0, 0},
    };
    int row = 0;
    for (const IntCase& c : cases) {
        expectReads(Get_IntVal, c.value, c.asInt16, row);
        expectReads(Get_LngVal, c.value, c.asInt32, row);
        ++row;
    }
}

TEST(AnsiLen, CountsCp932Bytes) {
    const struct {
        QString text;
        int bytes;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {QString::fromUtf8("あいa"), 5}, // two full-width, one half-width
        {QString::fromUtf8("ｱｲｳ"), 3},   // half-width katakana is single-byte
        {QString::fromUtf8("①～"), 4},   // code page 932 extensions
        {QString::fromUtf8("渋谷店 "), 7},
        {QString(32767, u'a'), 32767},
        {QString(16383, QChar(0x3042)) + u'a', 32767},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Get_AnsiLen(c.text), c.bytes) << c.text.left(20).toStdString();
}

TEST(AnsiLen, LongerThanSixteenBitsOverflows) {
    for (const QString& text : {QString(32768, u'a'), QString(16384, QChar(0x3042))}) {
        try {
            Get_AnsiLen(text);
            ADD_FAILURE() << "no overflow for " << text.size() << " characters";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), err::Overflow);
        }
    }
}

TEST(FixStr, TrimsCutsAtCharacterBoundsAndPads) {
    const struct {
        QVariant value;
        std::int16_t width;
        bool pad;
        QString expected;
    } cases[] = {
        {QVariant(), 0, false, ""},
        {QVariant(), 5, true, ""},
        {QVariant(QMetaType::fromType<QString>()), 3, true, ""},
        {QString("  ab  "), 0, false, "ab"},
        {QString("  ab  "), 0, true, "ab"},
        {QString("\tab\t"), 0, false, "\tab\t"}, // only blanks are trimmed
        {QString("ab"), 5, true, "ab"},          // fits: never padded
        {QString("abc"), 2, true, "ab"},
        {QString("abc"), 3, true, "abc"},
        {QString::fromUtf8("あいう"), 5, true, QString::fromUtf8("あい ")},
        {QString::fromUtf8("あいう"), 5, false, QString::fromUtf8("あい")},
        {QString::fromUtf8("あいう"), 6, true, QString::fromUtf8("あいう")},
        {QString::fromUtf8("あいう"), 1, true, " "},
        {QString::fromUtf8("あいう"), 1, false, ""},
        {QString::fromUtf8("aあb"), 2, true, "a "},
        {QString::fromUtf8("aあb"), 3, false, QString::fromUtf8("aあ")},
        {QString::fromUtf8("ｱｲｳｴ"), 2, false, QString::fromUtf8("ｱｲ")},
        {QString::fromUtf8("  あいう  "), 4, false, QString::fromUtf8("あい")},
        {qlonglong(12345), 3, false, "123"},
        {12.5, 0, false, "12.5"},
        {QDate(1990, 1, 1), 0, false, "1990/01/01"},
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), 0, false, "1990/01/01 15:10:00"},
        {true, 0, false, "True"},
        {QString("abc"), -1, true, ""},
        {QString(40000, u'a'), 3, false, "aaa"}, // long texts are cut, not an overflow
    };
    int row = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(Get_FixStr(c.value, c.width, c.pad), c.expected) << "row " << row;
        ++row;
    }
}

} // namespace
