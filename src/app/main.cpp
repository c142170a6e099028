// The program: builds the real platform services and runs the main window.

#include <QApplication>

#include "app/single_instance.h"
#include "app/startup.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/qt_message_boxes.h"

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    tanka::setupJapaneseUi(qapp);

    const tanka::ProcessEnv env;
    const tanka::DriveMap drive = tanka::DriveMap::fromEnvironment();
    const tanka::SystemClock clock;
    tanka::QtMessageBoxes boxes;
    tanka::LockFileInstance instance;

    tanka::TankaApp app({env, drive, clock, boxes, instance});
    return tanka::runProgram(app);
}
