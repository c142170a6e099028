#pragma once
// One description of each menu on the main window: its controls and the
// captions of its slots. The technical menu (MTGIJU) has the left column, the
// retail products (MTTENP) the right one.

#include <array>
#include <cstdint>

#include <QString>

#include "pricing/row_prices.h"
#include "ui/main_window/window_model.h"

namespace tanka {

struct MenuControls {
    Control& source;                     // row "変更前": the slot in use
    Control& destination;                // row "変更後": the destination toggle
    Control& inUse;                      // "(使用中単価:Ａ)" over the source
    std::array<Control*, 2> kindButtons; // conversion kind 1, kind 2
    std::array<Control*, 2> kindChecks;
};

MenuControls menuControls(WindowModel& m, Menu menu);

// The index of a menu's destination toggle and of its pair of kind buttons:
// 0 technical, 1 retail.
inline int menuIndex(Menu menu) {
    return menu == Menu::Technical ? 0 : 1;
}
inline constexpr std::array<Menu, 2> Menus{Menu::Technical, Menu::Retail};

// "技術単価Ａ", "技術単価Ｂ" (full-width letters) for slot 0 and 1; any other
// slot gives the both-slots text "技術単価A/B" (half-width). Likewise "店販単価…".
QString slotCaption(Menu menu, Slot slot);

} // namespace tanka
