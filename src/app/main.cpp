// The program: builds the real platform services and runs the main window,
// or, given arguments, the command line without any window.
// On Windows the same source is built twice: tanka.exe, a window program that
// opens no console, and tanka.com, a console program that a console finds
// first when "tanka" is typed, so that a command there waits for its end and
// gives its exit status (TANKA_WINDOW_PROGRAM marks the first).

#include <QApplication>
#include <QCoreApplication>

#include "app/cli/cli.h"
#include "app/cli/terminal.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/qt_message_boxes.h"

namespace {

int runCommandLine(int argc, char* argv[]) {
#ifdef TANKA_WINDOW_PROGRAM
    tanka::cli::useParentConsole();
#endif
    tanka::cli::quietQtDiagnostics();
    QCoreApplication core(argc, argv);
    const tanka::ProcessEnv env;
    const tanka::DriveMap drive = tanka::DriveMap::fromEnvironment();
    const tanka::SystemClock clock;
    tanka::LockFileInstance instance;
    return tanka::cli::runCommandLine(QCoreApplication::arguments().mid(1),
                                      {env, drive, clock, instance});
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        return runCommandLine(argc, argv);

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
