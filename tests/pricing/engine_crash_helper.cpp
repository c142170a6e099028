// Runs a store conversion on the sample installation named by the environment
// and stops for good after the given number of rows, having printed "mid",
// so that a test can kill it in the middle of the run.
// With "lock PATH" it takes that lock file and ends without releasing it, as
// a copy of the program that died would.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <QCoreApplication>
#include <QLockFile>

#include "engine_fixture.h"
#include "pricing/execute.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "lock") == 0) {
        auto* lock = new QLockFile(QString::fromLocal8Bit(argv[2]));
        std::fflush(nullptr);
        std::_Exit(lock->tryLock(0) ? 0 : 1); // no destructor: the lock stays
    }
    if (argc < 2)
        return 2;
    const int stopAfter = std::atoi(argv[1]);

    tanka::Connection cn;
    cn.setConnectionParams(tanka::test::connectionParams());
    cn.open();
    tanka::Globals g = tanka::test::runGlobals(false, 1);
    tanka::test::ScriptedBoxes boxes;
    tanka::FixedClock clock(QDate(2019, 10, 1));

    int rows = 0;
    tanka::RunHooks hooks;
    hooks.progress = [&](tanka::Menu, tanka::RunPhase phase, qint64, qint64) {
        if (phase != tanka::RunPhase::Convert || ++rows < stopAfter)
            return;
        std::fputs("mid\n", stdout);
        std::fflush(stdout);
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    };
    tanka::executeRun(cn, g, boxes, tanka::DriveMap::fromEnvironment(), clock, hooks);
    return 3; // the run should never end on its own
}
