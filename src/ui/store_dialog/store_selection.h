#pragma once
// The main window's store-selection button storeButton ("店舗選択"): opens the
// store dialog modally and, when the dialog may have changed the chosen-store
// list, refreshes the window under the new list.

#include <cstdint>
#include <memory>

#include "core/message_box.h"
#include "ui/main_window/main_form.h"

class QWidget;

namespace tanka {

class StoreSelection {
public:
    // window is the main window the dialog centres over and belongs to; form,
    // window and boxes must outlive this object.
    StoreSelection(MainForm& form, QWidget* window, MessageBoxes& boxes);

    // Click of storeButton: storeListChanged cleared, the dialog modally, then
    // refreshSlotDisplay(StoreChange) when storeListChanged is set.
    void onStoreClicked();

    // 9 when the last opening of the dialog may have changed the list.
    bool storeListChanged = false;

private:
    MainForm& m_form;
    QWidget* m_window;
    MessageBoxes& m_boxes;
};

// Routes the form's storeButton clicks to a StoreSelection, which the form's
// handler keeps alive; the returned pointer shares it.
std::shared_ptr<StoreSelection> installStoreSelection(MainForm& form, QWidget* window,
                                                      MessageBoxes& boxes);

} // namespace tanka
