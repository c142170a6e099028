#pragma once
// A TankaApp on a sample installation, with scripted boxes and a lock file of
// its own, as the start-up and whole-run tests use it.

#include <memory>

#include <QDir>

#include "app/startup.h"
#include "ui/window_fixture.h"

namespace tanka::test {

struct AppOnSample {
    explicit AppOnSample(const sample::Options& options = {}) : sample(options) { makeApp(); }

    // A fresh app on the same installation (and the same lock file).
    void makeApp() {
        app.reset();
        instance = std::make_unique<LockFileInstance>(
            QDir(sample.dir.path()).filePath(QStringLiteral("tanka.lock")));
        app = std::make_unique<TankaApp>(Platform{env, sample.drive, clock, boxes, *instance});
    }

    SampleFolder sample;
    ConsoleEnv env;
    FixedClock clock{QDate(2019, 9, 30)};
    ScriptedBoxes boxes;
    std::unique_ptr<LockFileInstance> instance;
    std::unique_ptr<TankaApp> app;
};

} // namespace tanka::test
