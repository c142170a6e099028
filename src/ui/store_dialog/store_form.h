#pragma once
// The logic of the store selection dialog StoreForm: the list of up to 20 chosen
// stores (Globals::chosenStores), filled by typing store codes into storeCode and
// emptied as a whole by "クリア". It works on a StoreFormModel; the Qt view
// mirrors the model after each handler and supplies the hooks.
//
// One StoreForm lives for one opening of the dialog. The list itself lives in
// Globals and keeps its content between openings.

#include <array>
#include <cstdint>
#include <functional>

#include <QString>

#include "core/globals.h"
#include "core/message_box.h"
#include "db/connection.h"
#include "pricing/store_list.h"

namespace tanka {

// What the dialog shows: the captions of its labels and the entry box.
struct StoreFormModel {
    QString caption = QStringLiteral("店舗選択"); // title bar
    QString heading = QStringLiteral("店舗選択");
    QString codeHeading = QStringLiteral("店コード");
    std::array<QString, StoreListSize> storeRows; // row i of chosenStores
    QString storeCode;
    QString clearButton = QStringLiteral("クリア");
    QString decideButton = QStringLiteral("決定");
};

class StoreForm {
public:
    // storeListChanged is the caller's flag: set whenever the list may have
    // changed. cn must stay open while the dialog is.
    StoreForm(Globals& g, bool& storeListChanged, Connection& cn, MessageBoxes& boxes);

    // Repaints the dialog while a handler walks the list.
    std::function<void()> processEvents;
    // Puts the keyboard focus into storeCode.
    std::function<void()> focusStoreCode;
    // Closes the dialog.
    std::function<void()> unload;

    // Fills the labels from chosenStores.
    void load();
    // Key filter of storeCode: digits and backspace pass, Enter takes the entry,
    // anything else is discarded (KeyAscii := 0). After Enter KeyAscii is 0.
    void onStoreCodeKey(std::int16_t& KeyAscii);
    void onClearClicked();  // "クリア": empties the whole list
    void onDecideClicked(); // "決定": closes; the list already holds every change

    StoreFormModel& model() { return m; }

private:
    void enterStore();
    void doEvents();

    Globals& g;
    bool& m_flag;
    Connection& m_cn;
    MessageBoxes& m_boxes;
    StoreFormModel m;
};

// A list row as the dialog shows it: the code right-aligned in four columns,
// a blank, the short name ("  12 本店").
QString storeDisplayText(const QString& code, const QString& name);

} // namespace tanka
