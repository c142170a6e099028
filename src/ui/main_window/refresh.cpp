// The display refresh refreshSlotDisplay and the destination toggle.

#include "ui/main_window/main_form.h"

#include "pricing/checks.h"
#include "pricing/slot_decision.h"
#include "ui/main_window/menu_controls.h"

namespace tanka {

void MainForm::refreshSlotDisplay(DisplayRefresh variant) {
    g.technicalKind = ConversionKind::None;
    g.retailKind = ConversionKind::None;
    g.technicalDestination = Slot::None;
    g.retailDestination = Slot::None;
    if (variant == DisplayRefresh::StartUp) {
        g.roundingMethod = RoundingMethod::None;
        g.roundingUnit = RoundingUnit::None;
    }

    // After a change of the store list the switch flags decide an empty menu.
    std::int16_t technicalSwitchFlag = 0, retailSwitchFlag = 0;
    if (variant == DisplayRefresh::StoreChange)
        readSwitchFlags(technicalSwitchFlag, retailSwitchFlag, cn(), g);
    const EmptyMenu empty = variant == DisplayRefresh::StoreChange ? EmptyMenu::FollowSwitchFlag
                                                                   : EmptyMenu::Undetermined;

    m.destinationButtons[0].backColor = colors::SelectedButton;
    m.destinationButtons[1].backColor = colors::SelectedButton;
    if (variant != DisplayRefresh::StartUp)
        m.enableSelectors();

    bool forceOffered = false;
    for (const Menu menu : Menus) {
        const SlotDecision d =
            decideSlots(checkSlots(menu, cn(), g), empty,
                        menu == Menu::Technical ? technicalSwitchFlag : retailSwitchFlag);
        showSlots(menu, d);
        forceOffered = forceOffered || d.offersForce();
    }

    if (variant == DisplayRefresh::StartUp) {
        m.forcePanel.visible = false;
        m.forcePanelText.caption = QString::fromUtf8(ForceOfferText);
        if (forceOffered) {
            m.forcePanel.visible = true;
            std::int16_t t = 0, r = 0;
            readSwitchFlags(t, r, cn(), g);
            const auto showInUse = [](Control& label, std::int16_t flag) {
                if (flag == 1)
                    label.caption = QString::fromUtf8(InUseAText);
                else if (flag == 2)
                    label.caption = QString::fromUtf8(InUseBText);
                else
                    return;
                label.visible = true;
            };
            showInUse(m.technicalInUseLabel, t);
            showInUse(m.retailInUseLabel, r);
        }
        updateExecuteEnabled();
        // Read after updateExecuteEnabled, which may have let a queued click change a slot.
        if (g.technicalDestination == Slot::None || g.retailDestination == Slot::None) {
            m.blinkTimer.enabled = true;
            m.storeButton.visible = g.isHeadquarters;
        } else {
            m.blinkTimer.enabled = false;
            m.storeButton.visible = false;
        }
        return;
    }

    m.forcePanel.visible = false;
    m.technicalInUseLabel.visible = variant == DisplayRefresh::Cancel;
    m.retailInUseLabel.visible = variant == DisplayRefresh::Cancel;
    if (forceOffered)
        m.forcePanel.visible = true;
    updateExecuteEnabled();
    m.blinkTimer.enabled =
        g.technicalDestination == Slot::None || g.retailDestination == Slot::None;
    m.warningLabel.caption.clear();
}

// A refused menu shows the both-slots text and cannot be chosen; a decided
// one shows its slots; an undetermined one keeps its captions and source slot.
void MainForm::showSlots(Menu menu, const SlotDecision& d) {
    const MenuControls c = menuControls(m, menu);
    if (d.refused()) {
        c.destination.enabled = false;
        c.source.caption = slotCaption(menu, Slot::None);
        c.destination.caption = slotCaption(menu, Slot::None);
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

void MainForm::onDestinationClicked(std::int16_t index) {
    if (index != 0 && index != 1)
        return;
    const Menu menu = Menus[static_cast<std::size_t>(index)];
    Slot& dst = destinationSlot(g, menu);
    dst = dst != Slot::B ? Slot::B : Slot::A;
    menuControls(m, menu).destination.caption = slotCaption(menu, dst);
}

} // namespace tanka
