#pragma once
// The forced-execution panel forcePanel, shown when a menu has rows priced in
// both slots: "強制実行" (forceButton) takes the slots from the switch flags of
// the point-of-sale program whatever the price data say, "取消" (cancelForceButton)
// judges them from the data again.
//
// Both work on the main form's model and globals; a database error raises
// RunError, which the window's dispatcher reports.

#include "ui/main_window/main_form.h"

namespace tanka {

// "強制実行": per menu, switch flag 1 makes slot A the source and B the
// destination, flag 2 the reverse, any other flag leaves that menu's slots as
// they are. Unlocks every conversion-kind selector and both destination
// toggles and hides technicalInUseLabel/retailInUseLabel. Leaves the conversion kinds, the
// rounding, the Execute button, the timer and the panel as they were.
void forcedExecution(MainForm& form);

// "取消": the cancel variant of the display refresh.
void cancelForcedExecution(MainForm& form);

// Routes the form's forceButton and cancelForceButton clicks to the two above.
void installOverride(MainForm& form);

} // namespace tanka
