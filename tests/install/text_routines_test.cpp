#include <gtest/gtest.h>

#include "install/install.h"
#include "install_fixture.h"

using namespace tanka;
using tanka::testing::DriveC;
using tanka::testing::ScriptedEnv;

namespace {

TEST(SplitStr, SplitsAtFirstOrLastDelimiter) {
    const struct {
        QString source, delimiter;
        std::int16_t fromEnd;
        bool result;
        QString before, after;
    } cases[] = {
        {"C:\\WINDOWS\\system32", "\\", True, true, "C:\\WINDOWS", "system32"},
        {"C:\\WINDOWS\\system32", "\\", False, true, "C:", "WINDOWS\\system32"},
        {"abc", "\\", False, true, "abc", ""},
        {"abc", "\\", True, true, "abc", ""},
        {"\\abc", "\\", False, true, "", "abc"},
        {"abc\\", "\\", True, true, "abc", ""},
        {"a::b::c", "::", False, true, "a", "b::c"},
        {"a::b::c", "::", True, true, "a::b", "c"},
        {"aXbxc", "x", False, true, "aXb", "c"}, // case-sensitive
        {" a,b ", ",", False, true, " a", "b "},
        {"abc", "", False, true, "abc", ""},
        {"   ", ",", False, false, "", ""},
        {"", ",", True, false, "", ""},
        {"a,b", ",", 1, false, "", ""},
        {"a,b", ",", -2, false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.source + " | " + c.delimiter).toStdString() + " " +
                     std::to_string(c.fromEnd));
        QString before = "stale", after = "stale";
        EXPECT_EQ(Split_Str(c.source, c.delimiter, before, after, c.fromEnd), c.result);
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(after, c.after);
    }
}

TEST(ReplaceChar, ReplacesOneCharacterThenTrimsBlanks) {
    const QString nul(QChar(u'\0'));
    const struct {
        QVariant value;
        QString find, repl;
        QString expected;
        QString findAfter;
    } cases[] = {
        {QVariant(), "", " ", "", nul},
        {QVariant(QMetaType::fromType<QString>()), "-", "/", "", "-"},
        {QString("C:\\WINDOWS") + nul + nul + "  ", "", " ", "C:\\WINDOWS", nul},
        {QString("a") + nul + "b", "", " ", "a b", nul},
        {QString("a-b-c"), "-", "/", "a/b/c", "-"},
        {QString("a-b"), "-", "", "a-b", "-"},
        {QString("a-b"), "-", "xy", "axb", "-"},
        {QString("a--b"), "--", "x", "a--b", "--"},
        {QString("  x  "), "q", "r", "x", "q"},
        {QString("-x-"), "-", " ", "x", "-"},
        {QString("\tx\t"), "q", "r", "\tx\t", "q"},
        {qlonglong(1213), "1", "9", "9293", "1"},
    };
    int row = 0;
    for (const auto& c : cases) {
        QString find = c.find;
        EXPECT_EQ(Replace_Char(c.value, find, c.repl), c.expected) << "row " << row;
        EXPECT_EQ(find, c.findAfter) << "row " << row;
        ++row;
    }
}

TEST(WinDir, ParentOfTheSystemDirectory) {
    const struct {
        QString systemDir;
        QString expected;
    } cases[] = {
        {"C:\\WINDOWS\\system32", "C:\\WINDOWS"},
        {"C:\\WINNT\\System32", "C:\\WINNT"},
        {QString("C:\\WINDOWS\\system32") + QChar(u'\0') + QChar(u'\0'), "C:\\WINDOWS"},
        {"system32", "system32"},
        {"", "Error"},
    };
    DriveC drive;
    for (const auto& c : cases) {
        ScriptedEnv env;
        env.systemDir = c.systemDir;
        EXPECT_EQ(Get_WinDir(InstallContext{drive.map(), env}), c.expected)
            << c.systemDir.toStdString();
    }
}

TEST(ProcessEnvironment, VariablesAndSystemDirectory) {
    const ProcessEnv env;
    qunsetenv("TANKA_INSTALL_TEST_VAR");
    EXPECT_TRUE(env.variable("TANKA_INSTALL_TEST_VAR").isNull());
    qputenv("TANKA_INSTALL_TEST_VAR", "");
    EXPECT_FALSE(env.variable("TANKA_INSTALL_TEST_VAR").isNull());
    EXPECT_TRUE(env.variable("TANKA_INSTALL_TEST_VAR").isEmpty());
    qputenv("TANKA_INSTALL_TEST_VAR", "Console");
    EXPECT_EQ(env.variable("TANKA_INSTALL_TEST_VAR"), "Console");
    qunsetenv("TANKA_INSTALL_TEST_VAR");
#ifndef Q_OS_WIN
    EXPECT_EQ(env.systemDirectory(), "C:\\WINDOWS\\system32");
#endif
}

} // namespace
