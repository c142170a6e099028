#include "ui/main_window/menu_controls.h"

#include "pricing/slot_decision.h"

namespace tanka {

MenuControls menuControls(WindowModel& m, Menu menu) {
    if (menu == Menu::Technical)
        return {m.technicalSourceLabel,
                m.destinationButtons[0],
                m.technicalInUseLabel,
                {&m.conversionKindButtons[0], &m.conversionKindButtons[1]},
                {&m.conversionKindChecks[0], &m.conversionKindChecks[1]}};
    return {m.retailSourceLabel,
            m.destinationButtons[1],
            m.retailInUseLabel,
            {&m.conversionKindButtons[2], &m.conversionKindButtons[3]},
            {&m.conversionKindChecks[2], &m.conversionKindChecks[3]}};
}

QString slotCaption(Menu menu, Slot slot) {
    const QString name =
        menu == Menu::Technical ? QStringLiteral("技術単価") : QStringLiteral("店販単価");
    if (slot == Slot::A)
        return name + QStringLiteral("Ａ");
    if (slot == Slot::B)
        return name + QStringLiteral("Ｂ");
    return name + QStringLiteral("A/B");
}

} // namespace tanka
