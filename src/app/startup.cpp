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
    : p(platform), m_form(m_model, g, CN, FormServices{p.boxes, p.drive, p.clock}) {
    m_view = std::make_unique<MainWindowView>(m_form, p.boxes);
    m_view->onUnload = [this] { unload(); };
    installStoreSelection(m_form, m_view.get(), p.boxes);
    installOverride(m_form);
    installPreview(m_form, m_view.get(), p.boxes, p.clock);
}

TankaApp::~TankaApp() {
    m_view.reset();
    if (CN)
        closeProgramConnection(CN);
}

LoadResult TankaApp::load() {
    const LoadResult result =
        startUp(g, CN, {p.env, p.drive, p.boxes, p.instance}, m_startupLockWait, [this] {
            m_model.titleBanner.backColor = colors::TitleBanner;
            centre();
            setFixedTexts();
            m_form.refreshSlotDisplay(DisplayRefresh::StartUp);
        });
    if (result == LoadResult::Loaded)
        m_view->sync();
    return result;
}

void TankaApp::unload() {
    closeProgramConnection(CN);
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

void TankaApp::setFixedTexts() {
    m_model.introText.caption = QStringLiteral("※技術及び店販メニューの現行単価を変更します。\r\n"
                                               "　下記１・２のいずれかを選択して下さい。");
    m_model.kind1Text.caption =
        QStringLiteral("１．内税の８％単価を１０％単価に変更。\r\n"
                       "　　計算式：（（現行単価－（現行単価×８÷１０８））×１．１０）");
    m_model.kind2Text.caption = QStringLiteral("２．内税の８％単価を外税（税抜き）単価に変更。\r\n"
                                               "　　計算式：（現行単価－（現行単価×８÷１０８））");
    m_model.warningLabel.caption.clear();
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
