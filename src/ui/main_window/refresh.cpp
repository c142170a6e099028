// The display refresh Set_TankaDisp and the destination toggle.

#include "ui/main_window/main_form.h"

#include "pricing/checks.h"

namespace tanka {

// The controls and values of one menu: 0 technical (MTGIJU), 1 retail (MTTENP).
struct MainForm::Menu {
    std::int16_t k;
    Control& source;      // technicalSourceLabel / retailSourceLabel, row "変更前"
    Control& destination; // destinationButtons(k), row "変更後"
    Control* kindButtons[2];
    Control* kindChecks[2];
    std::int16_t& srcSlot;
    std::int16_t& dstSlot;
    QString textA, textB, textBoth;
};

MainForm::Menu MainForm::menu(std::int16_t k) {
    if (k == 0)
        return {0,
                m.technicalSourceLabel,
                m.destinationButtons[0],
                {&m.conversionKindButtons[0], &m.conversionKindButtons[1]},
                {&m.conversionKindChecks[0], &m.conversionKindChecks[1]},
                g.GijuSrcSlot,
                g.GijuDstSlot,
                QStringLiteral("技術単価Ａ"),
                QStringLiteral("技術単価Ｂ"),
                QStringLiteral("技術単価A/B")};
    return {1,
            m.retailSourceLabel,
            m.destinationButtons[1],
            {&m.conversionKindButtons[2], &m.conversionKindButtons[3]},
            {&m.conversionKindChecks[2], &m.conversionKindChecks[3]},
            g.TenSrcSlot,
            g.TenDstSlot,
            QStringLiteral("店販単価Ａ"),
            QStringLiteral("店販単価Ｂ"),
            QStringLiteral("店販単価A/B")};
}

void MainForm::Set_TankaDisp(TankaDisp variant) {
    g.GijuMode = -1;
    g.TenMode = -1;
    g.GijuDstSlot = -1;
    g.TenDstSlot = -1;
    if (variant == TankaDisp::StartUp) {
        g.HasuMode = -1;
        g.HasuTani = -1;
    }

    std::int16_t TnakaFlg1 = 0, TnakaFlg2 = 0;
    if (variant == TankaDisp::StoreChange)
        Get_TankaSwFlg(TnakaFlg1, TnakaFlg2, cn(), g);

    m.destinationButtons[0].backColor = colors::SelectedButton;
    m.destinationButtons[1].backColor = colors::SelectedButton;
    if (variant != TankaDisp::StartUp)
        m.enableSelectors();

    std::int16_t BothSetFlg = 0;
    judgeMenu(0, variant, TnakaFlg1, BothSetFlg);
    judgeMenu(1, variant, TnakaFlg2, BothSetFlg);

    if (variant == TankaDisp::StartUp) {
        m.forcePanel.visible = false;
        m.forcePanelText.caption =
            QStringLiteral("単価はA/B共に設定済みです\r\n\r\n強制的に実行する場合は\r\n"
                           "ご利用状況を確認の上\r\n\r\nこちらを押してから\r\n"
                           " 実行してください");
        if (BothSetFlg == 1) {
            m.forcePanel.visible = true;
            std::int16_t t = 0, r = 0;
            Get_TankaSwFlg(t, r, cn(), g);
            const auto showInUse = [](Control& label, std::int16_t flag) {
                if (flag == 1)
                    label.caption = QStringLiteral("(使用中単価:Ａ)");
                else if (flag == 2)
                    label.caption = QStringLiteral("(使用中単価:Ｂ)");
                else
                    return;
                label.visible = true;
            };
            showInUse(m.technicalInUseLabel, t);
            showInUse(m.retailInUseLabel, r);
        }
        Check_Job();
        // Read after Check_Job, which may have let a queued click change a slot.
        if (g.GijuDstSlot == -1 || g.TenDstSlot == -1) {
            m.blinkTimer.enabled = true;
            m.storeButton.visible = g.HonbuFlg != False;
        } else {
            m.blinkTimer.enabled = false;
            m.storeButton.visible = false;
        }
        return;
    }

    m.forcePanel.visible = false;
    m.technicalInUseLabel.visible = variant == TankaDisp::Cancel;
    m.retailInUseLabel.visible = variant == TankaDisp::Cancel;
    if (BothSetFlg == 1)
        m.forcePanel.visible = true;
    Check_Job();
    m.blinkTimer.enabled = g.GijuDstSlot == -1 || g.TenDstSlot == -1;
    m.warningLabel.caption.clear();
}

void MainForm::refuseMenu(const Menu& mn) {
    mn.destination.enabled = false;
    mn.source.caption = mn.textBoth;
    mn.destination.caption = mn.textBoth;
    for (Control* c : mn.kindButtons)
        c->enabled = false;
    for (Control* c : mn.kindChecks)
        c->enabled = false;
}

// The menu's slot in use becomes the source; the toggle then points the
// destination at the other slot.
void MainForm::takeSource(const Menu& mn, std::int16_t slot) {
    mn.srcSlot = slot;
    mn.dstSlot = slot;
    mn.source.caption = slot == 0 ? mn.textA : mn.textB;
    onDestinationClicked(mn.k);
}

void MainForm::judgeMenu(std::int16_t k, TankaDisp variant, std::int16_t switchFlag,
                         std::int16_t& BothSetFlg) {
    // Every test is a fresh query, in the order the refresh has always asked them.
    const auto NoBoth = [&] { return Data_Check(0, k, cn(), g) == True; };
    const auto NoA = [&] { return Data_Check(1, k, cn(), g) == True; };
    const auto NoB = [&] { return Data_Check(2, k, cn(), g) == True; };
    const Menu mn = menu(k);

    if (!NoBoth()) {
        refuseMenu(mn);
        BothSetFlg = 1;
        return;
    }
    mn.destination.enabled = true;
    {
        const bool noA = NoA();
        const bool noB = NoB();
        if (!noA && !noB) { // mixed: A in some rows, B in others
            refuseMenu(mn);
            return;
        }
    }
    {
        const bool noA = NoA();
        const bool noB = NoB();
        if (noB && !noA)
            takeSource(mn, 0);
    }
    {
        const bool noB = NoB();
        const bool noA = NoA();
        if (noA && !noB)
            takeSource(mn, 1);
    }
    if (variant == TankaDisp::StoreChange) {
        const bool noB = NoB();
        const bool noA = NoA();
        if (noA && noB)
            takeSource(mn, switchFlag == 1 ? 0 : 1);
    }
}

void MainForm::onDestinationClicked(std::int16_t Index) {
    if (Index != 0 && Index != 1)
        return;
    std::int16_t& dst = Index == 0 ? g.GijuDstSlot : g.TenDstSlot;
    Control& button = m.destinationButtons[static_cast<std::size_t>(Index)];
    const QString kind = Index == 0 ? QStringLiteral("技術単価") : QStringLiteral("店販単価");
    if (dst != 1) {
        dst = 1;
        button.caption = kind + QStringLiteral("Ｂ");
    } else {
        dst = 0;
        button.caption = kind + QStringLiteral("Ａ");
    }
}

} // namespace tanka
