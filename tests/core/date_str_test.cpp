#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include "core/field_readers.h"

using namespace tanka;

namespace {

const QString kProgramFmt = QStringLiteral("yyyy/mm/dd");

TEST(DateStr, ReadsDatesOfBothEnginesWithTheProgramPattern) {
    const struct {
        QVariant value;
        QString expected;
    } cases[] = {
        // Not a date: empty text.
        {QVariant(), ""},
        {QVariant(QMetaType::fromType<QDateTime>()), ""},
        {QVariant(QMetaType::fromType<QString>()), ""},
        {QString(""), ""},
        {QString("abc"), ""},
        {QDate(), ""},
        {QDateTime(), ""},
        {qlonglong(19900101), ""},
        {32874.0, ""},
        {QString("19900101"), ""},
        {QString("1990/01-01"), ""},
        {QString("1990-02-30"), ""},
        {QString("1990-13-01"), ""},
        {QString("1990-00-10"), ""},
        {QString("1990-01-01 24:00:00"), ""},
        {QString("1990-01-01 15:60"), ""},
        {QString("1990-01-01x"), ""},
        {QString("0099-01-01"), ""},
        {QString("15:10:00"), ""},
        // Date and date-time values.
        {QDate(1990, 1, 1), "1990/01/01"},
        {QDateTime(QDate(1990, 1, 1), QTime(15, 10)), "1990/01/01"},
        {QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)), "2024/02/29"},
        // Texts as SQL Server and SQLite give them.
        {QString("1990/01/01"), "1990/01/01"},
        {QString("1990-01-01"), "1990/01/01"},
        {QString("1990-01-01 15:10:00"), "1990/01/01"},
        {QString("1990-01-01 15:10:00.123"), "1990/01/01"},
        {QString("1990-01-01T15:10:00.000"), "1990/01/01"},
        {QString("1990-01-01T15:10:00Z"), "1990/01/01"},
        {QString("1990/1/1 15:10:00"), "1990/01/01"},
        {QString("1990/1/1 15:10"), "1990/01/01"},
        {QString("  1990/12/31  "), "1990/12/31"},
        {QString("2024-02-29"), "2024/02/29"},
        {QByteArray("1990-01-01"), "1990/01/01"},
    };
    int row = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(Get_DateStr(c.value, kProgramFmt), c.expected) << "row " << row;
        ++row;
    }
}

TEST(DateStr, FormatsThePatternTokens) {
    // 1990-01-01 was a Monday.
    const QDateTime afternoon(QDate(1990, 1, 1), QTime(15, 10, 5));
    const struct {
        QVariant value;
        QString fmt;
        QString expected;
    } cases[] = {
        {afternoon, "yyyy/mm/dd hh:nn:ss", "1990/01/01 15:10:05"},
        {afternoon, "YYYY/MM/DD", "1990/01/01"},
        {afternoon, "yy-m-d", "90-1-1"},
        {afternoon, "h:n:s", "15:10:5"},
        {afternoon, "hh:mm", "15:10"}, // m after an hour token is minutes
        {afternoon, "hh mm/dd", "15 10/01"},
        {afternoon, "mm hh", "01 15"},  // before it, month
        {QDate(1990, 2, 1), "y", "32"}, // day of the year
        {QDate(1990, 8, 15), "q", "3"},
        {QDate(1990, 1, 6), "w ww", "7 1"}, // Saturday of the first week
        {QDate(1990, 1, 7), "w ww", "1 2"}, // Sunday starts week 2
        {QDate(1990, 12, 31), "ww", "53"},
        {QDate(1995, 1, 1), "w ww", "1 1"},
        {afternoon, "\"date \"yyyy", "date 1990"},
        {afternoon, "\\y\\e\\a\\r yyyy", "year 1990"},
        {QString("0999-03-04"), "yyyy.m.d", "0999.3.4"},
    };
    int row = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(Get_DateStr(c.value, c.fmt), c.expected)
            << "row " << row << " " << c.fmt.toStdString();
        ++row;
    }
}

} // namespace
