// The slot decision of one menu over every slot state, both ways of treating
// an empty menu and the switch flags: which slots a run converts from and
// into, whether the menu is refused, and what forced execution takes.

#include <gtest/gtest.h>

#include "pricing/slot_decision.h"

namespace tanka {
namespace {

// "A>B" for a pair, "-" for none.
std::string text(const std::optional<SlotPair>& p) {
    if (!p)
        return "-";
    return std::string(p->source == Slot::A ? "A" : "B") + ">" +
           (p->destination == Slot::A ? "A" : "B");
}

// In SlotState's order.
const char* const StateNames[] = {"AInUse", "BInUse", "BothEmpty", "Mixed", "BothSet"};

constexpr SlotChecks BothSet{false, false, false};
constexpr SlotChecks Mixed{true, false, false};
constexpr SlotChecks OnlyA{true, false, true};
constexpr SlotChecks OnlyB{true, true, false};
constexpr SlotChecks Empty{true, true, true};

struct DecisionCase {
    SlotChecks checks;
    EmptyMenu empty;
    std::int16_t flag;
    const char* expected; // state, slots converted, slots forced; "*" refused, "!" force offered
};

using enum EmptyMenu;
const DecisionCase Cases[] = {
    // The data decide, whatever the flag; forcing follows the flag.
    {OnlyA, Undetermined, 2, "AInUse A>B B>A"},
    {OnlyB, FollowSwitchFlag, 0, "BInUse B>A -"},
    // An empty menu waits, or takes the slot the flag names (any flag but 1: B).
    {Empty, Undetermined, 1, "BothEmpty - A>B"},
    {Empty, FollowSwitchFlag, 1, "BothEmpty A>B A>B"},
    {Empty, FollowSwitchFlag, 2, "BothEmpty B>A B>A"},
    {Empty, FollowSwitchFlag, 3, "BothEmpty B>A -"},
    // Refused either way; only a menu priced in both slots offers forcing.
    {Mixed, Undetermined, 1, "Mixed* - A>B"},
    {Mixed, FollowSwitchFlag, 2, "Mixed* - B>A"},
    {BothSet, Undetermined, 2, "BothSet*! - B>A"},
    {BothSet, Undetermined, 0, "BothSet*! - -"},
};

TEST(SlotDecision, EveryStateAndVariant) {
    for (const DecisionCase& c : Cases) {
        const SlotDecision d = decideSlots(c.checks, c.empty, c.flag);
        const std::string seen = std::string(StateNames[static_cast<int>(d.state)]) +
                                 (d.refused() ? "*" : "") + (d.offersForce() ? "!" : "") + " " +
                                 text(d.conversion) + " " + text(d.forced);
        EXPECT_EQ(seen, c.expected) << "flag " << c.flag;
    }
}

} // namespace
} // namespace tanka
