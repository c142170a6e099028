#include "app/startup.h"

#include <QApplication>
#include <QScreen>

#include "app/connect.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/override/forced_execution.h"
#include "ui/preview/preview_dialog.h"
#include "ui/store_dialog/store_selection.h"

namespace tanka {

TankaApp::TankaApp(const Platform& platform)
    : p(platform), m_form(m_model, g, programConnection, FormServices{p.boxes, p.drive, p.clock}) {
    m_view = std::make_unique<MainWindowView>(m_form, p.boxes);
    m_view->onUnload = [this] { unload(); };
    installStoreSelection(m_form, m_view.get(), p.boxes);
    installOverride(m_form);
    installPreview(m_form, m_view.get(), p.boxes, p.clock);
}

TankaApp::~TankaApp() {
    m_view.reset();
    if (programConnection)
        closeProgramConnection(programConnection);
}

LoadResult TankaApp::load() {
    const LoadResult result = startUp(g, programConnection, {p.env, p.drive, p.boxes, p.instance},
                                      m_startupLockWait, [this] {
                                          m_model.titleBanner.backColor = colors::TitleBanner;
                                          centre();
                                          m_form.refreshSlotDisplay(DisplayRefresh::StartUp);
                                      });
    if (result == LoadResult::Loaded)
        m_view->sync();
    return result;
}

void TankaApp::unload() {
    closeProgramConnection(programConnection);
}

void TankaApp::centre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    const float width = static_cast<float>(m_view->frameGeometry().width());
    const float height = static_cast<float>(m_view->frameGeometry().height());
    m_model.left = static_cast<int>((static_cast<float>(s.width()) - width) / 2.0f) + s.left();
    m_model.top = static_cast<int>((static_cast<float>(s.height()) - height) / 2.0f) + s.top();
}

int runProgram(TankaApp& app) {
    switch (app.load()) {
    case LoadResult::Loaded:
        break;
    case LoadResult::AnotherCopy:
        return 0;
    case LoadResult::NoInstallation:
    case LoadResult::Failed:
        return 1;
    }
    app.view().show();
    return QApplication::exec();
}

} // namespace tanka
