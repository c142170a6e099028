#include "pricing/slot_decision.h"

#include "pricing/checks.h"

namespace tanka {

SlotState slotState(const SlotChecks& c) {
    if (!c.noBoth)
        return SlotState::BothSet;
    if (!c.noA && !c.noB)
        return SlotState::Mixed;
    if (!c.noA)
        return SlotState::AInUse;
    if (!c.noB)
        return SlotState::BInUse;
    return SlotState::BothEmpty;
}

namespace {

// The slot in use becomes the source, the other one the destination.
SlotPair convertingFrom(Slot slotInUse) {
    return {slotInUse, slotInUse == Slot::A ? Slot::B : Slot::A};
}

} // namespace

std::optional<SlotPair> forcedSlots(std::int16_t switchFlag) {
    if (switchFlag == 1)
        return convertingFrom(Slot::A);
    if (switchFlag == 2)
        return convertingFrom(Slot::B);
    return std::nullopt;
}

SlotDecision decideSlots(const SlotChecks& checks, EmptyMenu empty, std::int16_t switchFlag) {
    SlotDecision d;
    d.state = slotState(checks);
    d.forced = forcedSlots(switchFlag);
    switch (d.state) {
    case SlotState::AInUse:
        d.conversion = convertingFrom(Slot::A);
        break;
    case SlotState::BInUse:
        d.conversion = convertingFrom(Slot::B);
        break;
    case SlotState::BothEmpty:
        if (empty == EmptyMenu::FollowSwitchFlag)
            d.conversion = convertingFrom(switchFlag == 1 ? Slot::A : Slot::B);
        break;
    case SlotState::Mixed:
    case SlotState::BothSet:
        break;
    }
    return d;
}

SlotChecks checkSlots(Menu menu, Connection& cn, const Globals& g) {
    SlotChecks c;
    c.noBoth = !hasPricedRows(menu, PricedIn::BothSlots, cn, g);
    if (!c.noBoth) {
        c.noA = false;
        c.noB = false;
        return c;
    }
    c.noA = !hasPricedRows(menu, PricedIn::SlotA, cn, g);
    c.noB = !hasPricedRows(menu, PricedIn::SlotB, cn, g);
    return c;
}

std::int16_t switchFlag(Menu menu, Connection& cn, const Globals& g) {
    std::int16_t technical = 0, retail = 0;
    readSwitchFlags(technical, retail, cn, g);
    return menu == Menu::Technical ? technical : retail;
}

ConversionKind& conversionKind(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalKind : g.retailKind;
}

Slot& sourceSlot(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalSource : g.retailSource;
}

Slot& destinationSlot(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalDestination : g.retailDestination;
}

} // namespace tanka
