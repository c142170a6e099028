#pragma once
// Which price slot a menu converts from and into, decided from the slot
// checks of the chosen store(s). Shared by the window's display refresh, the
// forced execution, the preview and the command line; it shows nothing.
//
// A menu whose live rows hold prices only in slot A converts A into B, only
// in B converts B into A. A menu with prices in both slots of one row (both
// set), or in A in some rows and in B in others (mixed), is refused: its
// destination stays undetermined and its conversion kinds cannot be chosen.
// A menu without any price (both empty) stays undetermined, unless the
// caller lets the store's switch flag decide (after a change of the chosen
// stores): flag 1 converts A into B, any other flag B into A. Forced
// execution, offered when a menu is both set, takes the slots from the switch
// flag whatever the data say (flag 1: A into B, 2: B into A, any other flag:
// nothing changes).

#include <cstdint>
#include <optional>

#include "core/globals.h"
#include "db/connection.h"
#include "pricing/row_prices.h"

namespace tanka {

// The answers of the three slot checks of one menu: true when no live row of
// the chosen store(s) has prices in both slots / in slot A / in slot B.
struct SlotChecks {
    bool noBoth = true;
    bool noA = true;
    bool noB = true;
};

enum class SlotState { AInUse, BInUse, BothEmpty, Mixed, BothSet };

// What a menu with no price in either slot does.
enum class EmptyMenu {
    Undetermined,     // stays undetermined (start-up, cancel of forced execution)
    FollowSwitchFlag, // the switch flag decides (after the store list changed)
};

struct SlotPair {
    Slot source = Slot::A;
    Slot destination = Slot::B;
    friend bool operator==(const SlotPair&, const SlotPair&) = default;
};

struct SlotDecision {
    SlotState state = SlotState::BothEmpty;
    // The slots to convert from and into; nullopt when the menu is refused or
    // stays undetermined (its destination is then None and its source slot
    // keeps whatever value it had).
    std::optional<SlotPair> conversion;
    // What forced execution would take for this menu; nullopt when the switch
    // flag is neither 1 nor 2 (the menu's slots then stay as they are).
    std::optional<SlotPair> forced;

    // Both set or mixed: the menu cannot be converted without forcing.
    bool refused() const { return state == SlotState::Mixed || state == SlotState::BothSet; }
    // Both set: the window offers forced execution.
    bool offersForce() const { return state == SlotState::BothSet; }
    friend bool operator==(const SlotDecision&, const SlotDecision&) = default;
};

// What the user is told while a menu's destination is undetermined: the
// window's blinking warning line, and the command line's refusal.
inline constexpr const char* WarningText =
    "　※すでに単価Ａ・Ｂの両方をご使用の場合は変換出来ません。";

SlotState slotState(const SlotChecks& checks);
// The slots forced execution takes from a switch flag (1 A in use, 2 B in use).
std::optional<SlotPair> forcedSlots(std::int16_t switchFlag);
// The decision for one menu. switchFlag is the menu's switch flag when the
// caller has read it (any value otherwise: then only `forced` is meaningless).
SlotDecision decideSlots(const SlotChecks& checks, EmptyMenu empty, std::int16_t switchFlag);

// The slot checks of one menu (hasPricedRows), the both-slots check first; when
// some row is priced in both slots the other two are not asked, as their
// answer follows (false). Database errors raise RunError.
SlotChecks checkSlots(Menu menu, Connection& cn, const Globals& g);
// The switch flag of one menu (readSwitchFlags).
std::int16_t switchFlag(Menu menu, Connection& cn, const Globals& g);

// The program-wide values of one menu: conversion kind (technicalKind / retailKind),
// source slot (technicalSource / retailSource) and destination slot (technicalDestination /
// retailDestination).
ConversionKind& conversionKind(Globals& g, Menu menu);
Slot& sourceSlot(Globals& g, Menu menu);
Slot& destinationSlot(Globals& g, Menu menu);

} // namespace tanka
