#pragma once
// The logic of the main window mainWindow: the display refresh, the selectors,
// the destination toggle, the warning blink, Exit and Execute. It works on a
// WindowModel; whoever shows the window (the Qt view, or a test) mirrors the
// model after each handler and supplies the hooks below.
//
// Handlers may raise RunError (a database error in a check); the caller that
// dispatched the event decides what the user sees.

#include <cstdint>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "install/drive_map.h"
#include "pricing/slot_decision.h"
#include "ui/main_window/window_model.h"

namespace tanka {

// The three variants of refreshSlotDisplay.
enum class DisplayRefresh {
    StartUp,     // at start-up: also resets the rounding, sets the in-use labels and storeButton
    StoreChange, // after the store dialog changed the list: switch flags decide an empty menu
    Cancel,      // the "取消" button of the forced-execution panel
};

// What Execute needs of the platform beyond the connection.
struct FormServices {
    MessageBoxes& boxes;
    const DriveMap& drive;
    const Clock& clock;
};

class MainForm {
public:
    // programConnection is the program-wide connection, owned by the application; it may be
    // empty (a handler needing it then raises error 91).
    MainForm(WindowModel& model, Globals& g, std::unique_ptr<Connection>& programConnection,
             FormServices services);

    // Lets the window process its pending events (repaint, queued input).
    std::function<void()> processEvents;
    // Unloads the window (its unload closes programConnection) and ends the program.
    std::function<void()> unload;
    // Handlers of the store-selection button and the forced-execution panel,
    // which live with the store dialog and the override panel.
    std::function<void()> storeSelectionHandler;
    std::function<void()> forceHandler;
    std::function<void()> cancelForceHandler;
    // The preview dialog, which lives with the preview.
    std::function<void()> previewHandler;

    // refreshSlotDisplay ("set the unit-price display"): the display refresh of
    // source and destination slots, enabled selectors, panel and timer.
    void refreshSlotDisplay(DisplayRefresh variant);
    // Destination toggle: 0 technical, 1 retail; other indexes do nothing.
    void onDestinationClicked(std::int16_t index);

    // Selectors: conversion kind (0..3), rounding method (0..2), rounding unit
    // (0..2). Indexes outside the group do nothing but updateExecuteEnabled.
    void onConversionKindClicked(std::int16_t index);
    void onRoundingMethodClicked(std::int16_t index);
    void onRoundingUnitClicked(std::int16_t index);
    // Click events of the check boxes beside them: forward to the button of
    // the same index unless a selector handler is running (selectorHandlerRunning).
    void onConversionKindCheckClicked(std::int16_t index);
    void onRoundingMethodCheckClicked(std::int16_t index);
    void onRoundingUnitCheckClicked(std::int16_t index);
    // A user's click on check box group(index): the box toggles its own value
    // first, then raises its click event.
    void userClickCheck(ControlId group, std::int16_t index);

    // updateExecuteEnabled ("check the job"): enables Execute exactly when a conversion
    // kind, a rounding method and a rounding unit are chosen; then processes
    // pending events once.
    void updateExecuteEnabled();

    void onBlinkTimer();         // one blink step of the warning line
    void onExitClicked();        // "終了"
    void onExecuteClicked();     // "実行": the run (execute_click.cpp)
    void onStoreClicked();       // "店舗選択": runs storeSelectionHandler
    void onForceClicked();       // "強制実行": runs forceHandler
    void onCancelForceClicked(); // "取消": runs cancelForceHandler
    void onPreviewClicked();     // "確認": runs previewHandler

    // True from the start of a conversion run until the program ends; the
    // window must then not be closed (the run's transaction is open).
    bool running() const { return m_running; }

    WindowModel& model() { return m; }
    Globals& globals() { return g; }
    // The program-wide connection; raises RunError 91 when there is none.
    Connection& cn();

    // 9 while a selector handler runs, else 0.
    bool selectorHandlerRunning = false;

    // A menu's source and destination slots, with their captions.
    void takeSlots(Menu menu, SlotPair slotPair);

private:
    void showSlots(Menu menu, const SlotDecision& decision);
    void setCheckValue(ControlId group, int index, std::int16_t value);
    void doEvents();

    WindowModel& m;
    Globals& g;
    std::unique_ptr<Connection>& m_cn;
    FormServices m_services;
    bool m_running = false;
};

} // namespace tanka
