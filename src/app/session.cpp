#include "app/session.h"

#include <exception>

#include "app/check_setting.h"
#include "app/connect.h"
#include "core/code_page_932.h"
#include "core/error_text.h"
#include "core/run_error.h"
#include "db/db_errors.h"
#include "install/install.h"
#include "pricing/checks.h"

namespace tanka {

LoadResult startUp(Globals& g, std::unique_ptr<Connection>& programConnection,
                   const StartupServices& s, int lockWait, const std::function<void()>& then) {
    switch (s.instance.acquire()) {
    case InstanceClaim::Only:
        break;
    case InstanceClaim::AnotherCopy:
        return LoadResult::AnotherCopy;
    case InstanceClaim::Unknown:
        s.boxes.show(QStringLiteral("他に起動中でないか確認できませんでした。終了します。\r\n") +
                         s.instance.reason(),
                     MsgButtons::Ok, MsgIcon::Critical);
        return LoadResult::Failed;
    }

    // The settings file, backups and journals are all in code page 932.
    if (!cp932::isAvailable()) {
        s.boxes.show(
            QStringLiteral("この環境では日本語の文字コード（シフトJIS）を変換できないため、"
                           "設定ファイルや履歴ファイルを読み書きできません。\r\n終了します。"),
            MsgButtons::Ok, MsgIcon::Critical);
        return LoadResult::Failed;
    }

    // Every error of start-up, from the settings file on, is shown with its
    // number and text and ends the program; none escapes to the caller.
    try {
        const InstallContext ctx{s.drive, s.env};
        findInstallation(g, ctx);
        if (g.installDrive.isEmpty()) {
            s.boxes.show(QStringLiteral("ルミナが見つかりません\r\n終了します"));
            return LoadResult::NoInstallation;
        }
        // Start-up's reads wait only a short while for a database another
        // program has locked; the run gets the long timeout back.
        checkSettings(g, ctx, s.boxes, lockWait);
        openProgramConnection(programConnection, g, lockWait);
        g.isHeadquarters = headquartersDatabaseReachable(programConnection.get());
        // A connection that failed to open raises its own error here.
        if (!programConnection)
            throw RunError(err::ObjectNotSet, "Object variable or With block variable not set");
        readStoreProcessingDate(*programConnection, g);
        for (int row = 0; row < StoreListSize; ++row) {
            g.chosenStores[static_cast<std::size_t>(row)][0] = QStringLiteral("0");
            g.chosenStores[static_cast<std::size_t>(row)][1].clear();
        }
        if (then)
            then();
        if (programConnection && programConnection->isOpen())
            programConnection->setCommandTimeout(RunCommandTimeout);
    } catch (const RunError& e) {
        if (e.number() == dberr::Timeout) {
            s.boxes.show(
                QStringLiteral("データベースが他のプログラムで使用中のため、起動できません。"
                               "\r\n終了します。"),
                MsgButtons::Ok, MsgIcon::Critical);
            return LoadResult::Failed;
        }
        s.boxes.show(fatalErrorText(e), MsgButtons::Ok, MsgIcon::Critical);
        return LoadResult::Failed;
    } catch (const std::exception& e) {
        s.boxes.show(fatalErrorText(RunError(dberr::Fail, e.what())), MsgButtons::Ok,
                     MsgIcon::Critical);
        return LoadResult::Failed;
    }
    return LoadResult::Loaded;
}

} // namespace tanka
