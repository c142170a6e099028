#pragma once
// The main window mainWindow as data: every control's caption, background
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

    Control forcePanel, forceButton, cancelForceButton, forcePanelText; // forced-execution panel
    Control busyBanner;                                                 // "処理中です" banner
    BusyProgress busyProgress;                                          // shown inside the banner
    Control storeButton;                                                // store selection
    Control previewButton;                        // "確認": enabled exactly when executeButton is
    Control executeButton;                        // Execute
    Control exitButton;                           // Exit
    Control blinkTimer;                           // only enabled is used
    std::array<Control, 4> conversionKindButtons; // conversion kinds
    std::array<Control, 4> conversionKindChecks;
    std::array<Control, 2> destinationButtons;    // destination slots
    std::array<Control, 3> roundingMethodButtons; // rounding method
    std::array<Control, 3> roundingMethodChecks;
    std::array<Control, 3> roundingUnitButtons; // rounding unit
    std::array<Control, 3> roundingUnitChecks;
    Control technicalSourceLabel, retailSourceLabel; // source slots ("変更前")
    Control technicalInUseLabel, retailInUseLabel;   // slot in use
    Control introText, kind1Text, kind2Text, warningLabel, titleBanner, workArea, priceMoveHeading;
    std::array<Control, 2> rowHeadings;
    std::array<Control, 4> slotBoxes;
    Control roundingMethodBox;
    std::array<Control, 2> arrows;
    Control roundingHeading, roundingUnitBox;

    // Throws std::out_of_range for an index outside the control array.
    Control& at(ControlRef ref);
    const Control& at(ControlRef ref) const;

    // Enables both menus' conversion-kind buttons, their check boxes and the
    // destination buttons, in that order (a refresh or a forced execution
    // unlocks them all before judging the menus).
    void enableSelectors();
};

} // namespace tanka
