// tanka convert: the window's Execute without the window.

#include <optional>

#include <QDir>
#include <QFileInfo>

#include "app/cli/commands.h"
#include "core/run_error.h"
#include "pricing/backup.h"
#include "pricing/execute.h"
#include "pricing/preview.h"
#include "pricing/preview_list.h"
#include "pricing/rounding_comparison.h"
#include "pricing/slot_decision.h"
#include "pricing/store_list.h"

namespace tanka::cli {
namespace {

QString menuName(Menu menu) {
    return menu == Menu::Technical ? QStringLiteral("技術") : QStringLiteral("店販");
}

QString slotName(Slot slot) {
    return slot == Slot::A ? QStringLiteral("単価A") : QStringLiteral("単価B");
}

// Fills the store list from the codes given, by the store dialog's rule; a
// code that adds nothing is said so. An empty list would mean every store,
// so a list that stays empty refuses the command.
int chooseStores(Session& s, const std::vector<std::int16_t>& codes) {
    for (const std::int16_t code : codes) {
        switch (addStore(s.g, s.cn(), code).result) {
        case StoreAdded::Added:
            break;
        case StoreAdded::NotFound:
            printErr(
                QStringLiteral("店舗 %1 はありません（削除済みを含む）。この店舗は変更しません。")
                    .arg(code));
            break;
        case StoreAdded::ListFull:
            printErr(QStringLiteral("店舗は%1店舗までです。店舗 %2 は変更しません。")
                         .arg(StoreListSize)
                         .arg(code));
            break;
        }
    }
    if (!storeRowFilled(s.g, 0)) {
        printErr(QStringLiteral("変更する店舗がありません。何も変更していません。"));
        return Refused;
    }
    return Done;
}

QString refusalText(Menu menu, const SlotDecision& d, bool force) {
    const QString name = menuName(menu) + QStringLiteral(": ");
    if (force)
        return name +
               QStringLiteral("店舗の切替フラグが 1（単価A使用中）でも 2（単価B使用中）でもない"
                              "ため、強制実行できません。");
    QString text = name + (d.state == SlotState::BothSet
                               ? QStringLiteral("単価はA/B共に設定済みです")
                               : QStringLiteral("単価Aを使う行と単価Bを使う行があります"));
    return text + QStringLiteral("\n") + QString::fromUtf8(WarningText) +
           QStringLiteral("\n　強制的に実行する場合は、ご利用状況を確認の上 --force を付けて"
                          "ください。");
}

// The slots of each chosen menu from the slot checks, as the window decides
// them after a choice of stores (a menu without prices follows the switch
// flag); with force, from the switch flags as the window's forced execution
// takes them. Refused, with the reasons, when a chosen menu has none.
int decideMenus(Session& s, bool force) {
    QStringList refusals;
    for (const Menu menu : {Menu::Technical, Menu::Retail}) {
        if (conversionKind(s.g, menu) == ConversionKind::None)
            continue;
        const SlotDecision d =
            decideSlots(checkSlots(menu, s.cn(), s.g), EmptyMenu::FollowSwitchFlag,
                        switchFlag(menu, s.cn(), s.g));
        const std::optional<SlotPair> pair = force && d.forced ? d.forced : d.conversion;
        if (!pair) {
            refusals << refusalText(menu, d, force);
            continue;
        }
        sourceSlot(s.g, menu) = pair->source;
        destinationSlot(s.g, menu) = pair->destination;
    }
    if (refusals.isEmpty())
        return Done;
    printErr(refusals.join(u'\n') + QStringLiteral("\n何も変更していません。"));
    return Refused;
}

QString signedYen(double yen) {
    return (yen > 0.004 ? QStringLiteral("+") : QString()) + QString::number(yen, 'f', 2);
}

// The nine roundings of each chosen menu, one line each, the current one
// marked with "*".
QString comparisonText(const Preview& preview, Rounding current) {
    QString text = QStringLiteral("端数の比較（課税の単価のうち、実行で変わるもの）\n  ") +
                   exactAmountText() + QStringLiteral("\n  ") + differenceText() + u'\n';
    Menu menu = Menu::Technical;
    bool first = true;
    for (const RoundingFigures& f : compareRoundings(preview)) {
        if (first || f.menu != menu)
            text += menuName(f.menu) + QStringLiteral(":\n");
        first = false;
        menu = f.menu;
        text += (f.rounding == current ? QStringLiteral("* ") : QStringLiteral("  ")) +
                roundingMethodName(f.rounding.roundingMethod) + u' ' +
                roundingUnitName(f.rounding.roundingUnit) + QStringLiteral(": ");
        if (f.overflow) {
            text += QStringLiteral("桁あふれのため計算できません\n");
            continue;
        }
        text +=
            QStringLiteral("変更 %1 うち換算額と違う %2 / 差額 合計 %3 平均 %4 最大 %5 / "
                           "末尾 00: %6 50: %7 0: %8 その他: %9\n")
                .arg(f.changed)
                .arg(f.offExact)
                .arg(signedYen(f.sumYen()), signedYen(f.averageYen()), signedYen(f.largestYen()))
                .arg(f.endings[0])
                .arg(f.endings[1])
                .arg(f.endings[2])
                .arg(f.endings[3]);
    }
    return text;
}

// What a run would do, per menu; the comparison of roundings and the list
// file when asked for.
int dryRun(Session& s, const ConvertRequest& r, const CliPlatform& p) {
    s.g.workFolder = findWorkFolder(s.cn(), p.drive);
    if (const RunRefusal refusal = runRefusal(s.g, p.drive); !refusal.text.isEmpty()) {
        printErr(refusal.text);
        return Refused;
    }
    const Preview preview = buildPreview(s.cn(), s.g, p.clock);
    QString report = QStringLiteral("確認のみです。何も変更していません。\n");
    for (const MenuPreview& m : preview.menus) {
        report += menuName(m.menu) + QStringLiteral(": ");
        if (!m.chosen) {
            report += QStringLiteral("変更しない\n");
            continue;
        }
        const ConversionKind mode = conversionKind(s.g, m.menu);
        report +=
            (mode == ConversionKind::TenPercentIncluded ? QStringLiteral("内税10%単価へ")
                                                        : QStringLiteral("外税（税抜き）単価へ")) +
            QStringLiteral("  ") + slotName(sourceSlot(s.g, m.menu)) + QStringLiteral(" → ") +
            slotName(destinationSlot(s.g, m.menu)) +
            (r.force ? QStringLiteral("（強制実行）") : QString()) + u'\n';
        report += QStringLiteral("  変更する行: %1\n"
                                 "  非課税のため単価をそのまま写す行: %2\n"
                                 "  対象外の行（削除済み・他店舗）: %3\n")
                      .arg(m.toChange)
                      .arg(m.untaxed)
                      .arg(m.leftAlone);
    }
    printOut(report.chopped(1));
    if (r.compareRounding)
        printOut(comparisonText(preview, {s.g.roundingMethod, s.g.roundingUnit}).chopped(1));
    if (r.out.isEmpty())
        return Done;
    const QString path = QFileInfo(r.out).absoluteFilePath();
    if (!writePreviewFile(path, preview, previewLines(preview))) {
        printErr(
            QStringLiteral("一覧ファイルを保存できません: %1").arg(QDir::toNativeSeparators(path)));
        return Failed;
    }
    printOut(QStringLiteral("一覧ファイル: %1").arg(QDir::toNativeSeparators(path)));
    return Done;
}

int run(Session& s, TerminalBoxes& boxes, const CliPlatform& p) {
    ProgressLine line;
    RunHooks hooks;
    hooks.progress = [&line](Menu menu, RunPhase phase, qint64 done, qint64 total) {
        line.show(menuName(menu) + (phase == RunPhase::Backup ? QStringLiteral(" バックアップ")
                                                              : QStringLiteral(" 変更")),
                  done, total);
    };
    hooks.journaled = [](const QString& path) {
        printOut(QStringLiteral("履歴ファイル: ") + QDir::toNativeSeparators(path));
    };
    switch (executeRun(s.cn(), s.g, boxes, p.drive, p.clock, hooks)) {
    case RunResult::Finished:
        return Done;
    case RunResult::Declined:
        printErr(QStringLiteral("中止しました。何も変更していません。"));
        return Refused;
    case RunResult::Refused:
        return Refused;
    case RunResult::Failed:
        break;
    }
    return Failed;
}

} // namespace

int runConvert(const ConvertRequest& r, const CliPlatform& p) {
    TerminalBoxes boxes(r.yes);
    Session s(p, boxes);
    if (const int status = s.start(); status != Done)
        return status;
    return reportingErrors([&]() -> int {
        if (r.storesGiven) {
            if (!s.g.isHeadquarters) {
                printErr(QStringLiteral("--stores は本部でだけ指定できます。\n"
                                        "使い方は tanka --help で表示されます。"));
                return Usage;
            }
            if (const int status = chooseStores(s, r.stores); status != Done)
                return status;
        }
        s.g.technicalKind = r.technicalKind;
        s.g.retailKind = r.retailKind;
        s.g.roundingMethod = r.roundingMethod;
        s.g.roundingUnit = r.roundingUnit;
        s.g.technicalDestination = Slot::None;
        s.g.retailDestination = Slot::None;
        s.g.forcedRun = r.force;
        if (const int status = decideMenus(s, r.force); status != Done)
            return status;
        return r.dryRun ? dryRun(s, r, p) : run(s, boxes, p);
    });
}

} // namespace tanka::cli
