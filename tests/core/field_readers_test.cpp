#include <cmath>
#include <optional>

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include "core/field_readers.h"
#include "core/run_error.h"

using namespace tanka;

namespace {

const std::nullopt_t kOverflow = std::nullopt;

// read(input) must give expected, or raise RunError 6 "Overflow" for nullopt.
template <typename Read, typename Input>
void expectRead(Read read, const Input& input, std::optional<long long> expected, int row) {
    SCOPED_TRACE(::testing::Message() << "row " << row);
    try {
        const long long value = read(input);
        EXPECT_EQ(std::optional<long long>(value), expected);
    } catch (const RunError& e) {
        EXPECT_FALSE(expected.has_value());
        EXPECT_EQ(e.number(), err::Overflow);
        EXPECT_EQ(e.description(), "Overflow");
    }
}

TEST(IntegerReaders, NumericTestHalfToEvenAndRange) {
    const struct {
        QVariant value;
        std::optional<long long> asInt16, asInt32;
    } cases[] = {
        // Null of any kind, empty, non-numeric texts and dates give 0.
        {QVariant(), 0, 0},
        {QString("1,000"), 0, 0},
        {QString("1E"), 0, 0},
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), 0, 0},
        // Numeric texts: blanks, signs, decimal point, exponent.
        {QString(" 12 "), 12, 12},
        {QString("1e+3"), 1000, 1000},
        // Half to even, in texts and in doubles.
        {QString("12.5"), 12, 12},
        {QString("13.5"), 14, 14},
        {QString("12.5001"), 13, 13},
        {2.5, 2, 2},
        // Range ends: no clamping, overflow at both ends.
        {QString("-32769"), kOverflow, -32769},
        {QString("2147483647"), kOverflow, 2147483647},
        {QString("2147483647.5"), kOverflow, kOverflow},
        {QString("-2147483648.5"), kOverflow, -2147483648LL},
        {QString("1E400"), kOverflow, kOverflow},
        // Integers and doubles as the database delivers them; the platform's True is -1.
        {qlonglong(40000), kOverflow, 40000},
        {std::nan(""), kOverflow, kOverflow},
        {true, -1, -1},
    };
    int row = 0;
    for (const auto& c : cases) {
        expectRead(readShortInteger, c.value, c.asInt16, row);
        expectRead(readInteger, c.value, c.asInt32, row++);
    }
}

// Without a width, as the backups write every value. (No caller passes a
// width; the cut is held to it on the fuzzer's find below.)
TEST(FixedWidthText, TrimsBlanksAndGivesTheTextForm) {
    const struct {
        QVariant value;
        QString expected;
    } cases[] = {
        {QVariant(), ""},
        {QString("  ab  "), "ab"},
        {QString("\tab\t"), "\tab\t"}, // only blanks are trimmed
        {12.5, "12.5"},
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), "1990/01/01 15:10:00"},
        {QDateTime(QDate(1990, 1, 1), QTime(0, 0)), "1990/01/01"},
        {true, "True"},
    };
    int row = 0;
    for (const auto& c : cases)
        EXPECT_EQ(fixedWidthText(c.value, 0, false), c.expected) << "row " << row++;
}

// Texts with unpaired surrogates (a fuzzer's find) are cut to the width all
// the same: the result is measured as the whole it is.
TEST(FixedWidthText, NeverExceedsTheWidthOnUnpairedSurrogates) {
    const QByteArray raw = QByteArray::fromBase64("ogoAtjk5ONjY2NjY2NjY2NjY2NgxODA=");
    const QString text(reinterpret_cast<const QChar*>(raw.constData()), raw.size() / 2);
    for (std::int16_t width = 1; width < codePage932Length(text); ++width) {
        const QString cut = fixedWidthText(text, width, true);
        EXPECT_EQ(codePage932Length(cut), width) << "width " << width;
    }
}

TEST(FormatFieldDate, ReadsDatesOfBothEnginesWithTheProgramPattern) {
    const struct {
        QVariant value;
        QString expected;
    } cases[] = {
        // Not a date: empty text.
        {QVariant(), ""},
        {QString("abc"), ""},
        {32874.0, ""},
        {QString("1990-02-30"), ""},
        {QString("1990-01-01 24:00"), ""},
        // Date values, and texts as SQL Server and SQLite give them.
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), "1990/01/01"},
        {QString("2024-02-29 15:10:00.123"), "2024/02/29"},
        {QString("1990-01-01T15:10:00Z"), "1990/01/01"},
        {QString("  1990/1/1 15:10  "), "1990/01/01"},
        {QByteArray("1990-12-31"), "1990/12/31"},
        // The program's one date-text grammar, also for shapes only SQL Server writes.
        {QString("1990.12.31"), "1990/12/31"},
        {QString("19901231 10:20"), "1990/12/31"},
        {QString("13:05"), ""}, // a time alone names no day
    };
    int row = 0;
    for (const auto& c : cases)
        EXPECT_EQ(formatFieldDate(c.value, "yyyy/mm/dd"), c.expected) << "row " << row++;
}

} // namespace
