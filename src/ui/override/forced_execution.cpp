#include "ui/override/forced_execution.h"

#include "pricing/checks.h"
#include "pricing/slot_decision.h"
#include "ui/main_window/menu_controls.h"

namespace tanka {

void forcedExecution(MainForm& form) {
    std::int16_t t = 0, r = 0;
    readSwitchFlags(t, r, form.cn(), form.globals());

    WindowModel& m = form.model();
    m.destinationButtons[0].backColor = colors::SelectedButton;
    m.destinationButtons[1].backColor = colors::SelectedButton;
    m.enableSelectors();
    m.technicalInUseLabel.visible = false;
    m.retailInUseLabel.visible = false;

    for (const Menu menu : Menus)
        if (const auto forced = forcedSlots(menu == Menu::Technical ? t : r))
            form.takeSlots(menu, *forced);
}

void cancelForcedExecution(MainForm& form) {
    form.refreshSlotDisplay(DisplayRefresh::Cancel);
}

void installOverride(MainForm& form) {
    form.forceHandler = [&form] { forcedExecution(form); };
    form.cancelForceHandler = [&form] { cancelForcedExecution(form); };
}

} // namespace tanka
