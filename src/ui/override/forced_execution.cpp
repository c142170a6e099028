#include "ui/override/forced_execution.h"

#include "pricing/checks.h"

namespace tanka {
namespace {

// One menu's source by its switch flag; the toggle then turns the
// destination to the other slot.
void takeSwitchedSlot(MainForm& form, std::int16_t k, std::int16_t flag) {
    if (flag != 1 && flag != 2)
        return;
    Globals& g = form.globals();
    WindowModel& m = form.model();
    const std::int16_t slot = flag == 1 ? 0 : 1;
    if (k == 0) {
        g.GijuDstSlot = slot;
        g.GijuSrcSlot = slot;
        m.technicalSourceLabel.caption =
            slot == 0 ? QStringLiteral("技術単価Ａ") : QStringLiteral("技術単価Ｂ");
    } else {
        g.TenDstSlot = slot;
        g.TenSrcSlot = slot;
        m.retailSourceLabel.caption =
            slot == 0 ? QStringLiteral("店販単価Ａ") : QStringLiteral("店販単価Ｂ");
    }
    form.onDestinationClicked(k);
}

} // namespace

void forcedExecution(MainForm& form) {
    std::int16_t t = 0, r = 0;
    Get_TankaSwFlg(t, r, form.cn(), form.globals());

    WindowModel& m = form.model();
    m.destinationButtons[0].backColor = colors::SelectedButton;
    m.destinationButtons[1].backColor = colors::SelectedButton;
    m.enableSelectors();
    m.technicalInUseLabel.visible = false;
    m.retailInUseLabel.visible = false;

    takeSwitchedSlot(form, 0, t);
    takeSwitchedSlot(form, 1, r);
}

void cancelForcedExecution(MainForm& form) {
    form.Set_TankaDisp(TankaDisp::Cancel);
}

void installOverride(MainForm& form) {
    form.forceHandler = [&form] { forcedExecution(form); };
    form.cancelForceHandler = [&form] { cancelForcedExecution(form); };
}

} // namespace tanka
