#pragma once
// The whole program (TankaApp with its real window) on a sample installation,
// with scripted platform services: a console login, a fixed day, scripted
// message boxes and a lock file inside the sample folder. Header-only, so
// that tanka_test_support itself links no widgets.

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/startup.h"
#include "support/drive_c.h"
#include "support/sample_site.h"
#include "support/scripted_boxes.h"
#include "ui/store_dialog/store_dialog_view.h"

namespace tanka::test {

struct AppOnSample {
    explicit AppOnSample(const sample::Options& options = {})
        : site(options), instance(QDir(site.path()).filePath(QStringLiteral("tanka.lock"))),
          app(std::make_unique<TankaApp>(Platform{env, site.drive, clock, boxes, instance})) {
        env.variables[QStringLiteral("SESSIONNAME")] = QStringLiteral("Console");
    }

    // load; the window is shown when it loaded.
    LoadResult load() {
        const LoadResult result = app->load();
        if (result == LoadResult::Loaded)
            app->view().show();
        return result;
    }

    Globals& g() { return app->globals(); }
    WindowModel& model() { return app->model(); }
    MainForm& form() { return app->form(); }
    MainWindowView& view() { return app->view(); }
    QWidget* widget(ControlRef ref) { return app->view().widget(ref); }
    QAbstractButton* button(ControlRef ref) { return qobject_cast<QAbstractButton*>(widget(ref)); }
    // A click on an enabled button of the window.
    void click(ControlRef ref) {
        QAbstractButton* b = button(ref);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << controlName(ref);
        b->click();
    }

    SampleSite site;
    ScriptedEnv env;
    FixedClock clock{QDate(2019, 9, 30)};
    ScriptedBoxes boxes;
    LockFileInstance instance;
    std::unique_ptr<TankaApp> app;
};

// Runs step on the modal widget once one is up (from inside its event loop);
// gives up after two seconds without one.
inline void whenModal(std::function<void(QWidget*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks = 0, step = std::move(step)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if ((!modal || !modal->isVisible()) && ++ticks < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal && modal->isVisible())
            step(modal);
    });
    timer->start();
}

// Clicks the store-selection button and runs step inside the dialog once it
// is up; returns when the dialog has closed.
inline void withStoreDialog(AppOnSample& a, std::function<void(StoreDialogView&)> step) {
    whenModal([step = std::move(step)](QWidget* modal) {
        auto* dialog = qobject_cast<StoreDialogView*>(modal);
        ASSERT_NE(dialog, nullptr);
        step(*dialog);
    });
    a.click({ControlId::storeButton});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace tanka::test
