#include "ui/store_dialog/store_selection.h"

#include "ui/store_dialog/store_dialog_view.h"

namespace tanka {

StoreSelection::StoreSelection(MainForm& form, QWidget* window, MessageBoxes& boxes)
    : m_form(form), m_window(window), m_boxes(boxes) {}

void StoreSelection::onStoreClicked() {
    storeListChanged = false;
    {
        // A fresh dialog for every opening: it loads from the list each time.
        StoreForm form(m_form.globals(), storeListChanged, m_form.cn(), m_boxes);
        StoreDialogView dialog(form, m_window);
        dialog.exec();
    }
    if (storeListChanged)
        m_form.refreshSlotDisplay(DisplayRefresh::StoreChange);
}

std::shared_ptr<StoreSelection> installStoreSelection(MainForm& form, QWidget* window,
                                                      MessageBoxes& boxes) {
    auto selection = std::make_shared<StoreSelection>(form, window, boxes);
    form.storeSelectionHandler = [selection] { selection->onStoreClicked(); };
    return selection;
}

} // namespace tanka
