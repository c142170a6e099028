#include <gtest/gtest.h>

#include "install/install.h"

using namespace tanka;

namespace {

TEST(TextRoutines, SplitStrAtFirstOrLastDelimiter) {
    const struct {
        QString source;
        std::int16_t fromEnd;
        bool result;
        QString before, after;
    } cases[] = {
        {"C:\\WINDOWS\\system32", True, true, "C:\\WINDOWS", "system32"},
        {"C:\\WINDOWS\\system32", False, true, "C:", "WINDOWS\\system32"},
        {"\\abc", False, true, "", "abc"},
        {"abc", True, true, "abc", ""},
        {"   ", False, false, "", ""},
        {"a\\b", 1, false, "", ""},
    };
    for (const auto& c : cases) {
        QString before = "stale", after = "stale";
        EXPECT_EQ(Split_Str(c.source, "\\", before, after, c.fromEnd), c.result);
        EXPECT_EQ(before + "|" + after, c.before + "|" + c.after) << c.source.toStdString();
    }
}

TEST(TextRoutines, ReplaceCharReplacesOneCharacterThenTrimsBlanks) {
    const QString nul(QChar(u'\0'));
    const struct {
        QVariant value;
        QString find, repl, expected, findAfter;
    } cases[] = {
        {QVariant(), "", " ", "", nul},
        {"C:\\WINDOWS" + nul + "a" + nul + nul, "", " ", "C:\\WINDOWS a", nul},
        {qlonglong(1213), "1", "xy", "x2x3", "1"},
        {QString("a--b"), "--", "x", "a--b", "--"},
    };
    for (const auto& c : cases) {
        QString find = c.find;
        EXPECT_EQ(Replace_Char(c.value, find, c.repl), c.expected);
        EXPECT_EQ(find, c.findAfter);
    }
}

} // namespace
