// The plain text form of field values and the values the server stores for
// assignments: date texts in every shape the layer reads, and the shapes it
// must refuse.
#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "db/value_text.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;

const QString kNull = QStringLiteral("#NULL#");

TEST(PlainTextTest, DateTextsOfDateColumnsInTheDisplayFormOthersUnchanged) {
    const struct {
        QVariant value;
        const char* declared;
        const char* text;
    } cases[] = {
        {QStringLiteral("2019-09-30 00:00:00"), "DATETIME", "2019/09/30 00:00:00"},
        {QStringLiteral("2019/9/3"), "DATE", "2019/09/03 00:00:00"},
        {QStringLiteral("2019.09.30T10:20"), "DATETIME", "2019/09/30 10:20:00"},
        {QStringLiteral("20190930  8:05"), "DATETIME", "2019/09/30 08:05:00"},
        {QStringLiteral("10:20:30"), "TIME", "1900/01/01 10:20:30"},
        // Not a date: the text as it stands.
        {QStringLiteral("2019-09-31 00:00:00"), "DATETIME", "2019-09-31 00:00:00"},
        {QStringLiteral("1752-12-31"), "DATETIME", "1752-12-31"},
        {QStringLiteral("2019-09-30 24:00:00"), "DATETIME", "2019-09-30 24:00:00"},
        {QStringLiteral("2019-09-30T 10:20"), "DATETIME", "2019-09-30T 10:20"},
        {QStringLiteral("2019-09-30 10:20:30.1234"), "DATETIME", "2019-09-30 10:20:30.1234"},
        {QStringLiteral("201909301"), "DATETIME", "201909301"},
        {QStringLiteral("2019-09-30 00:00:00"), "NVARCHAR(20)", "2019-09-30 00:00:00"},
        // Other values.
        {QVariant(), "DATETIME", "#NULL#"},
        {QVariant(QMetaType::fromType<QString>()), "TEXT", "#NULL#"},
        {qlonglong{-12}, "INTEGER", "-12"},
        {1234567.5, "REAL", "1234567.5"},
        {100000000.0, "REAL", "100000000"},
        {true, "BIT", "True"},
        {QDateTime(QDate(2019, 9, 30), QTime(8, 5, 1)), "DATETIME", "2019/09/30 08:05:01"},
    };
    for (const auto& c : cases) {
        const QString declared = QString::fromLatin1(c.declared);
        EXPECT_EQ(plainText(c.value, declared, kNull), QString::fromUtf8(c.text))
            << c.value.toString().toStdString() << " as " << c.declared;
        QString appended = QStringLiteral("x\t");
        appendPlainText(appended, c.value, isDateType(declared), kNull);
        EXPECT_EQ(appended, QStringLiteral("x\t") + QString::fromUtf8(c.text));
    }
}

TEST(ServerAssignmentTest, DateColumnsStoreTheServersFormOrRaiseItsError) {
    const struct {
        QVariant assigned;
        const char* stored; // null: the error is expected
        std::int32_t error;
    } cases[] = {
        {QStringLiteral("2019/09/30"), "2019-09-30 00:00:00", 0},
        {QStringLiteral(" 2019-9-3 10:20 "), "2019-09-03 10:20:00", 0},
        {QStringLiteral("2019-09-30 10:20:30.5"), "2019-09-30 10:20:30.500", 0},
        {QStringLiteral("13:05"), "1900-01-01 13:05:00", 0},
        {QString(), "1900-01-01 00:00:00", 0},
        {QDateTime(QDate(2020, 2, 29), QTime(8, 30, 0, 250)), "2020-02-29 08:30:00.250", 0},
        {43738.5, "2019-10-02 12:00:00", 0},
        {qlonglong{-53690}, "1753-01-01 00:00:00", 0},
        {qlonglong{-53691}, nullptr, 242},
        {QStringLiteral("abc"), nullptr, 241},
        {QStringLiteral("2019/01/01 25:00"), nullptr, 241},
        {QStringLiteral("2019/13/01"), nullptr, 242},
        {QStringLiteral("1700/01/01"), nullptr, 242},
    };
    for (const auto& c : cases) {
        QVariant stored;
        const RunError e =
            raised([&] { stored = serverAssignment(QStringLiteral("DATETIME"), c.assigned); });
        EXPECT_EQ(e.number(), c.error) << c.assigned.toString().toStdString();
        if (c.stored) {
            EXPECT_EQ(stored.toString(), QString::fromLatin1(c.stored))
                << c.assigned.toString().toStdString();
        }
    }
    EXPECT_TRUE(serverAssignment(QStringLiteral("DATETIME"), QVariant()).isNull());
}

// A text assigned to a number column becomes the number, or the server's
// conversion error of the column's kind.
TEST(ServerAssignmentTest, NumberColumnsTakeNumericTextsOrRaiseTheirKindsError) {
    const struct {
        const char* type;
        QString assigned;
        std::int32_t error;
    } cases[] = {
        {"MONEY", QStringLiteral(" 1100 "), 0},
        {"MONEY", QStringLiteral("1,100"), 8114},
        {"INTEGER", QStringLiteral("1,100"), 245},
    };
    for (const auto& c : cases) {
        QVariant stored;
        const RunError e =
            raised([&] { stored = serverAssignment(QString::fromLatin1(c.type), c.assigned); });
        EXPECT_EQ(e.number(), c.error) << c.type << " " << c.assigned.toStdString();
        if (c.error == 0) {
            EXPECT_EQ(stored.toLongLong(), 1100) << c.type;
        }
    }
}

// Texts read as UTF-8 come into a line as Qt's decoder makes them, well-formed
// or not; a date text in a date column in the display form.
TEST(TextLineTest, Utf8TextsAsQtDecodesThem) {
    const QByteArray texts[] = {
        "plain",
        "caf\xc3\xa9",
        "\xe3\x82\xab\xe3\x83\x83\xe3\x83\x88",
        "\xf0\xa0\xae\xb7x",
        "\xef\xbb\xbf"
        "bom",
        "\xc0\x80",
        "\xed\xa0\x80",
        "\xe3\x82",
        "\x80tail",
        "\xf5\x80\x80\x80",
        "\xf4\x90\x80\x80",
        "\xe0\x80\xaf",
        "",
    };
    for (const QByteArray& text : texts) {
        TextLine line(0);
        line.append(u"a");
        line.appendUtf8(text, false);
        EXPECT_EQ(line.take(), u'a' + QString::fromUtf8(text)) << text.toHex().constData();
    }
    TextLine line(0);
    line.appendUtf8("2019-09-30 14:13:00", true);
    line.appendUtf8("\xe3\x82\xab", true);
    EXPECT_EQ(line.take(), QStringLiteral("2019/09/30 14:13:00カ"));
}

} // namespace
} // namespace tanka
