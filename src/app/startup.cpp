#include "app/startup.h"

#include <QApplication>
#include <QScreen>

#include "core/run_error.h"
#include "app/check_setting.h"
#include "db/connect.h"
#include "db/db_errors.h"
#include "install/install.h"
#include "pricing/checks.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/override/forced_execution.h"
#include "ui/preview/preview_dialog.h"
#include "ui/store_dialog/store_selection.h"

namespace tanka {

TankaApp::TankaApp(const Platform& platform)
    : p(platform), m_form(m_model, g, CN, FormServices{p.boxes, p.drive, p.clock}) {
    m_view = std::make_unique<MainWindowView>(m_form, p.boxes);
    m_view->onUnload = [this] { Form_Unload(); };
    installStoreSelection(m_form, m_view.get(), p.boxes);
    installOverride(m_form);
    installPreview(m_form, m_view.get(), p.boxes, p.clock);
}

TankaApp::~TankaApp() {
    m_view.reset();
    if (CN)
        L_End_CN(CN);
}

LoadResult TankaApp::Form_Load() {
    switch (p.instance.acquire()) {
    case InstanceClaim::Only:
        break;
    case InstanceClaim::AnotherCopy:
        return LoadResult::AnotherCopy;
    case InstanceClaim::Unknown:
        p.boxes.show(QStringLiteral("他に起動中でないか確認できませんでした。終了します。\r\n") +
                         p.instance.reason(),
                     MsgButtons::Ok, MsgIcon::Critical);
        return LoadResult::Failed;
    }

    // Every error of start-up, from the settings file on, is shown with its
    // number and text and ends the program; none escapes to the caller.
    try {
        const InstallContext ctx{p.drive, p.env};
        Check_Install(g, ctx);
        if (g.IniDrive.isEmpty()) {
            p.boxes.show(QStringLiteral("ルミナが見つかりません\r\n終了します"));
            return LoadResult::NoInstallation;
        }
        m_model.titleBanner.backColor = colors::TitleBanner;
        // Start-up's reads wait only a short while for a database another
        // program has locked; the run gets the long timeout back.
        Check_Setting(g, ctx, p.boxes, m_startupLockWait);
        L_Start_CN(CN, g, m_startupLockWait);
        g.HonbuFlg = Check_Honbu(CN.get());
        // A connection that failed to open raises its own error here.
        Get_Mise(m_form.cn(), g);
        for (int row = 0; row < 20; ++row) {
            g.MiseList[static_cast<std::size_t>(row)][0] = QStringLiteral("0");
            g.MiseList[static_cast<std::size_t>(row)][1].clear();
        }
        centre();
        setFixedTexts();
        m_form.Set_TankaDisp(TankaDisp::StartUp);
        if (CN && CN->isOpen())
            CN->setCommandTimeout(RunCommandTimeout);
    } catch (const RunError& e) {
        if (e.number() == dberr::Timeout) {
            p.boxes.show(
                QStringLiteral("データベースが他のプログラムで使用中のため、起動できません。"
                               "\r\n終了します。"),
                MsgButtons::Ok, MsgIcon::Critical);
            return LoadResult::Failed;
        }
        p.boxes.show(fatalErrorText(e), MsgButtons::Ok, MsgIcon::Critical);
        return LoadResult::Failed;
    } catch (const std::exception& e) {
        p.boxes.show(fatalErrorText(RunError(dberr::Fail, e.what())), MsgButtons::Ok,
                     MsgIcon::Critical);
        return LoadResult::Failed;
    }
    m_view->sync();
    return LoadResult::Loaded;
}

void TankaApp::Form_Unload() {
    L_End_CN(CN);
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
    switch (app.Form_Load()) {
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
