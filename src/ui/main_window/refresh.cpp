// The display refresh Set_TankaDisp and the destination toggle.

#include "ui/main_window/main_form.h"

#include "pricing/checks.h"
#include "pricing/slot_decision.h"
#include "ui/main_window/menu_controls.h"

namespace tanka {

void MainForm::Set_TankaDisp(TankaDisp variant) {
    g.GijuMode = -1;
    g.TenMode = -1;
    g.GijuDstSlot = -1;
    g.TenDstSlot = -1;
    if (variant == TankaDisp::StartUp) {
        g.HasuMode = -1;
        g.HasuTani = -1;
    }

    // After a change of the store list the switch flags decide an empty menu.
    std::int16_t TnakaFlg1 = 0, TnakaFlg2 = 0;
    if (variant == TankaDisp::StoreChange)
        Get_TankaSwFlg(TnakaFlg1, TnakaFlg2, cn(), g);
    const EmptyMenu empty =
        variant == TankaDisp::StoreChange ? EmptyMenu::FollowSwitchFlag : EmptyMenu::Undetermined;

    m.destinationButtons[0].backColor = colors::SelectedButton;
    m.destinationButtons[1].backColor = colors::SelectedButton;
    if (variant != TankaDisp::StartUp)
        m.enableSelectors();

    bool forceOffered = false;
    for (const Menu menu : Menus) {
        const SlotDecision d = decideSlots(checkSlots(menu, cn(), g), empty,
                                           menu == Menu::Giju ? TnakaFlg1 : TnakaFlg2);
        showSlots(menu, d);
        forceOffered = forceOffered || d.offersForce();
    }

    if (variant == TankaDisp::StartUp) {
        m.forcePanel.visible = false;
        m.forcePanelText.caption =
            QStringLiteral("単価はA/B共に設定済みです\r\n\r\n強制的に実行する場合は\r\n"
                           "ご利用状況を確認の上\r\n\r\nこちらを押してから\r\n"
                           " 実行してください");
        if (forceOffered) {
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
    if (forceOffered)
        m.forcePanel.visible = true;
    Check_Job();
    m.blinkTimer.enabled = g.GijuDstSlot == -1 || g.TenDstSlot == -1;
    m.warningLabel.caption.clear();
}

// A refused menu shows the both-slots text and cannot be chosen; a decided
// one shows its slots; an undetermined one keeps its captions and source slot.
void MainForm::showSlots(Menu menu, const SlotDecision& d) {
    const MenuControls c = menuControls(m, menu);
    if (d.refused()) {
        c.destination.enabled = false;
        c.source.caption = slotCaption(menu, NoSlot);
        c.destination.caption = slotCaption(menu, NoSlot);
        for (Control* k : c.kindButtons)
            k->enabled = false;
        for (Control* k : c.kindChecks)
            k->enabled = false;
        return;
    }
    c.destination.enabled = true;
    if (d.conversion)
        takeSlots(menu, *d.conversion);
}

void MainForm::takeSlots(Menu menu, SlotPair slotPair) {
    const MenuControls c = menuControls(m, menu);
    sourceSlot(g, menu) = slotPair.source;
    destinationSlot(g, menu) = slotPair.destination;
    c.source.caption = slotCaption(menu, slotPair.source);
    c.destination.caption = slotCaption(menu, slotPair.destination);
}

void MainForm::onDestinationClicked(std::int16_t Index) {
    if (Index != 0 && Index != 1)
        return;
    const Menu menu = Menus[static_cast<std::size_t>(Index)];
    std::int16_t& dst = destinationSlot(g, menu);
    dst = dst != SlotB ? SlotB : SlotA;
    menuControls(m, menu).destination.caption = slotCaption(menu, dst);
}

} // namespace tanka
