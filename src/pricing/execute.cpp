#include "pricing/execute.h"

#include <exception>
#include <memory>

#include <QVariant>

#include "core/field_readers.h"
#include "core/run_error.h"
#include "pricing/backup.h"
#include "pricing/conversion.h"
#include "pricing/journalled_transaction.h"
#include "pricing/rounding_comparison.h"
#include "pricing/store_list.h"

#include <QSysInfo>

namespace tanka {

QString runErrorMessage(std::int32_t number, const QString& description, bool rolledBack) {
    QString text = QStringLiteral("エラーが発生しました。");
    if (rolledBack)
        text += QStringLiteral("変更は取り消されました。");
    return text + QStringLiteral("\r\nエラー番号: ") + QString::number(number) +
           QStringLiteral("\r\n") + description;
}

namespace {

QString kindText(ConversionKind mode, Slot src, Slot dst) {
    if (mode == ConversionKind::None)
        return QStringLiteral("変更なし");
    const QString kind = mode == ConversionKind::TenPercentIncluded ? QStringLiteral("10%内税")
                                                                    : QStringLiteral("外税");
    const auto slot = [](Slot s) {
        return s == Slot::A ? QStringLiteral("A") : QStringLiteral("B");
    };
    if (dst == Slot::None)
        return kind + QStringLiteral(" A→A, B→B");
    return kind + u' ' + slot(src) + QStringLiteral("→") + slot(dst);
}

QString storesText(const Globals& g) {
    switch (storeScope(g)) {
    case StoreScope::OwnStore:
        return QString::number(g.ownStoreId);
    case StoreScope::AllStores:
        return QStringLiteral("全店");
    case StoreScope::ChosenStores:
        break;
    }
    return chosenStoreList(g);
}

} // namespace

RunDetails runDetails(const Globals& g, const QDateTime& at) {
    RunDetails details;
    details.at = at;
    details.lines = {
        {QStringLiteral("処理"), QStringLiteral("変換")},
        {QStringLiteral("コンピュータ"), computerName()},
        {QStringLiteral("ユーザー"), userName()},
        {QStringLiteral("設定ファイル"), g.installDrive + g.installFolder + g.settingsFileName},
        {QStringLiteral("区分"),
         g.isHeadquarters ? QStringLiteral("本部") : QStringLiteral("店舗")},
        {QStringLiteral("店舗"), storesText(g)},
        {QStringLiteral("技術"),
         kindText(g.technicalKind, g.technicalSource, g.technicalDestination)},
        {QStringLiteral("店販"), kindText(g.retailKind, g.retailSource, g.retailDestination)},
        {QStringLiteral("強制実行"), g.forcedRun ? QStringLiteral("あり") : QStringLiteral("なし")},
        {QStringLiteral("端数処理"), g.roundingMethod != RoundingMethod::None
                                         ? roundingMethodName(g.roundingMethod)
                                         : QString()},
        {QStringLiteral("端数単位"),
         g.roundingUnit != RoundingUnit::None ? roundingUnitName(g.roundingUnit) : QString()},
    };
    return details;
}

namespace {

void call(const std::function<void()>& hook) {
    if (hook)
        hook();
}

} // namespace

RunRefusal runRefusal(const Globals& g, const DriveMap& drive) {
    if (g.workFolder.isEmpty() || !drive.dirExists(g.workFolder))
        return {QStringLiteral("作業フォルダが見つかりません"), MsgIcon::Critical};
    if (g.technicalKind == ConversionKind::None && g.retailKind == ConversionKind::None)
        return {QStringLiteral("単価変更できません")};
    if (g.roundingUnit == RoundingUnit::None || g.roundingMethod == RoundingMethod::None)
        return {QStringLiteral("端数選択されていません")};
    // A store run writes the processing date into every changed row; without
    // one it would write a meaningless date.
    if (!g.isHeadquarters &&
        formatFieldDate(QVariant(g.storeProcessingDate), QStringLiteral("yyyy/mm/dd")).isEmpty())
        return {QStringLiteral("店舗の処理日付が取得できません"), MsgIcon::Critical};
    return {};
}

namespace {

Progress phaseProgress(const RunHooks& hooks, Menu menu, RunPhase phase) {
    if (!hooks.progress)
        return {};
    return [&hooks, menu, phase](qint64 done, qint64 total) {
        hooks.progress(menu, phase, done, total);
    };
}

ConversionHooks conversionHooks(const RunHooks& hooks, Menu menu, Journal& journal) {
    return {phaseProgress(hooks, menu, RunPhase::Convert), [&hooks, &journal](const RowWrite& row) {
                journal.add(row);
                if (hooks.rowWritten)
                    hooks.rowWritten(row);
            }};
}

// Backups and conversions of the chosen menus inside the open transaction.
// False when a backup failed (its message is shown).
bool convertChosen(Connection& cn, const Globals& g, MessageBoxes& boxes, const DriveMap& drive,
                   const Clock& clock, const RunHooks& hooks, Journal& journal) {
    if (g.technicalKind != ConversionKind::None) {
        if (!backupTechnicalMenu(cn, g.workFolder, drive, boxes,
                                 phaseProgress(hooks, Menu::Technical, RunPhase::Backup)))
            return false;
        convertTechnicalMenu(cn, g, clock, conversionHooks(hooks, Menu::Technical, journal));
    }
    if (g.retailKind != ConversionKind::None) {
        if (!backupRetailProducts(cn, g.workFolder, drive, boxes,
                                  phaseProgress(hooks, Menu::Retail, RunPhase::Backup)))
            return false;
        convertRetailProducts(cn, g, clock, conversionHooks(hooks, Menu::Retail, journal));
    }
    return true;
}

} // namespace

RunResult executeRun(Connection& cn, Globals& g, MessageBoxes& boxes, const DriveMap& drive,
                     const Clock& clock, const RunHooks& hooks) {
    if (boxes.show(QStringLiteral("単価変更開始しますか？"), MsgButtons::YesNo,
                   MsgIcon::Question) != MsgAnswer::Yes)
        return RunResult::Declined;

    try {
        g.workFolder = findWorkFolder(cn, drive);
    } catch (const RunError& e) {
        boxes.show(runErrorMessage(e.number(), QString::fromStdString(e.description()), false),
                   MsgButtons::Ok, MsgIcon::Critical);
        return RunResult::Failed;
    }
    if (const RunRefusal r = runRefusal(g, drive); !r.text.isEmpty()) {
        boxes.show(r.text, MsgButtons::Ok, r.icon);
        return RunResult::Refused;
    }

    // The journal is started before anything changes; a failed run removes it.
    JournalledTransaction run(cn);
    try {
        run.startJournal(drive.hostPath(g.workFolder), runDetails(g, clock.now()));
    } catch (const RunError& e) {
        boxes.show(runErrorMessage(e.number(), QString::fromStdString(e.description()), false) +
                       QStringLiteral("\r\n変更は行われていません。"),
                   MsgButtons::Ok, MsgIcon::Critical);
        return RunResult::Failed;
    }

    call(hooks.started);
    std::int32_t number = 0;
    QString description;
    try {
        run.begin();
        if (!convertChosen(cn, g, boxes, drive, clock, hooks, run.journal())) {
            run.abandon();
            call(hooks.finished);
            return RunResult::Failed;
        }
        const QString path = run.commit();
        call(hooks.finished);
        if (hooks.journaled)
            hooks.journaled(path);
        boxes.show(QStringLiteral("終了しました"));
        return RunResult::Finished;
    } catch (const RunError& e) {
        number = e.number();
        description = QString::fromStdString(e.description());
    } catch (const std::exception& e) {
        description = QString::fromUtf8(e.what());
    }
    run.abandon();
    call(hooks.finished);
    boxes.show(runErrorMessage(number, description, true), MsgButtons::Ok, MsgIcon::Critical);
    return RunResult::Failed;
}

} // namespace tanka
