// GoogleTest main for tests that need a QApplication (with the program's
// Japanese fonts and texts). Listing the tests, as the build does to discover
// them without a display, needs none.

#include <cstring>
#include <optional>

#include <QApplication>
#include <gtest/gtest.h>

#include "ui/main_window/japanese_ui.h"

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--gtest_list_tests", 18) == 0;
    std::optional<QApplication> app;
    if (!listing) {
        app.emplace(argc, argv);
        tanka::setupJapaneseUi(*app);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
