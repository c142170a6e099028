#pragma once
// The main window frm_ZOLT as data: every control's caption, background
// colour, enabled, visible and check value, plus the window's own enabled
// state and position. The window logic works on this model only; a view
// (the Qt widgets, or nothing in tests) mirrors it.

#include <array>

#include <QtGlobal>

#include "ui/main_window/control.h"
#include "ui/main_window/layout_table.h"

namespace tanka {

// What the busy banner shows under its caption while a run works: the step
// ("技術", "店販", with " バックアップ" while the table is saved) and rows done
// of rows to do. A total of -1 (not known yet) shows a busy bar; an empty
// text shows nothing.
struct BusyProgress {
    QString text;
    qint64 done = 0;
    qint64 total = -1;

    friend bool operator==(const BusyProgress&, const BusyProgress&) = default;
};

struct WindowModel {
    // The design state of the layout table.
    WindowModel();

    // The window itself.
    QString caption;
    bool enabled = true;
    int left = 0, top = 0; // screen pixels, set by the centring at start-up

    Control SSPanel1, SSCommand7, SSCommand8, Label15; // forced-execution panel
    Control Command1;                                  // "処理中です" banner
    BusyProgress busyProgress;                         // shown inside the banner
    Control Command2;                                  // store selection
    Control SSCommand4;                                // Execute
    Control SSCommand5;                                // Exit
    Control Timer1;                                    // only enabled is used
    std::array<Control, 4> SSCommand1;                 // conversion kinds
    std::array<Control, 4> Check1;
    std::array<Control, 2> SSCommand2; // destination slots
    std::array<Control, 3> SSCommand3; // rounding method
    std::array<Control, 3> Check3;
    std::array<Control, 3> SSCommand6; // rounding unit
    std::array<Control, 3> Check2;
    Control SSPanel6, SSPanel8; // source slots ("変更前")
    Control Label14, Label16;   // slot in use
    Control Label1, Label2, Label3, Label4, Label5, Label6, Label7;
    std::array<Control, 2> Label8;
    std::array<Control, 4> Label9;
    Control Label10;
    std::array<Control, 2> Label11;
    Control Label12, Label13;

    // Throws std::out_of_range for an index outside the control array.
    Control& at(ControlRef ref);
    const Control& at(ControlRef ref) const;

    // Enables both menus' conversion-kind buttons, their check boxes and the
    // destination buttons, in that order (a refresh or a forced execution
    // unlocks them all before judging the menus).
    void enableSelectors();
};

} // namespace tanka
