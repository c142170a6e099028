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
SlotPair convertingFrom(std::int16_t slotInUse) {
    return {slotInUse, slotInUse == SlotA ? SlotB : SlotA};
}

} // namespace

std::optional<SlotPair> forcedSlots(std::int16_t switchFlag) {
    if (switchFlag == 1)
        return convertingFrom(SlotA);
    if (switchFlag == 2)
        return convertingFrom(SlotB);
    return std::nullopt;
}

SlotDecision decideSlots(const SlotChecks& checks, EmptyMenu empty, std::int16_t switchFlag) {
    SlotDecision d;
    d.state = slotState(checks);
    d.forced = forcedSlots(switchFlag);
    switch (d.state) {
    case SlotState::AInUse:
        d.conversion = convertingFrom(SlotA);
        break;
    case SlotState::BInUse:
        d.conversion = convertingFrom(SlotB);
        break;
    case SlotState::BothEmpty:
        if (empty == EmptyMenu::FollowSwitchFlag)
            d.conversion = convertingFrom(switchFlag == 1 ? SlotA : SlotB);
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

std::int16_t& conversionKind(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalKind : g.retailKind;
}

std::int16_t& sourceSlot(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalSource : g.retailSource;
}

std::int16_t& destinationSlot(Globals& g, Menu menu) {
    return menu == Menu::Technical ? g.technicalDestination : g.retailDestination;
}

} // namespace tanka
