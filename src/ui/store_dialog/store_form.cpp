#include "ui/store_dialog/store_form.h"

#include "core/field_readers.h"
#include "core/field_text.h"
#include "core/run_error.h"

namespace tanka {

namespace {

constexpr std::int16_t KeyBack = 8;
constexpr std::int16_t KeyReturn = 13;
constexpr int CodeColumns = 4;

QString& code(Globals& g, int row) {
    return g.chosenStores[static_cast<std::size_t>(row)][0];
}
QString& name(Globals& g, int row) {
    return g.chosenStores[static_cast<std::size_t>(row)][1];
}

// The box's text as a store code; text that is no number, or one beyond the
// 16-bit range (a pasted "9e99"), reads as 0.
std::int16_t entryValue(const QString& text) {
    try {
        return readShortInteger(text);
    } catch (const RunError&) {
        return 0;
    }
}

} // namespace

QString storeDisplayText(const QString& code, const QString& name) {
    // Right-aligned in four columns; a longer code is shown whole, not cut.
    return trimBlanks(code).rightJustified(CodeColumns, QLatin1Char(' ')) + QLatin1Char(' ') + name;
}

StoreForm::StoreForm(Globals& globals, bool& storeListChanged, Connection& cn, MessageBoxes& boxes)
    : g(globals), m_flag(storeListChanged), m_cn(cn), m_boxes(boxes) {}

void StoreForm::doEvents() {
    if (processEvents)
        processEvents();
}

void StoreForm::load() {
    for (int i = 0; i < StoreListSize; ++i) {
        m.storeRows[static_cast<std::size_t>(i)] =
            storeRowFilled(g, i) ? storeDisplayText(code(g, i), name(g, i)) : QString();
        doEvents();
    }
}

void StoreForm::onStoreCodeKey(std::int16_t& KeyAscii) {
    if (KeyAscii >= '0' && KeyAscii <= '9')
        return;
    if (KeyAscii == KeyBack)
        return;
    if (KeyAscii != KeyReturn) {
        KeyAscii = 0;
        return;
    }
    KeyAscii = 0; // the entry is taken here; the box gets no line break
    enterStore();
}

void StoreForm::enterStore() {
    const std::int16_t v = entryValue(m.storeCode);
    if (v > 0) {
        StoreAddition added;
        try {
            added = addStore(g, m_cn, v, [this] { doEvents(); });
        } catch (const RunError& e) {
            // The list is left as it was; the user may try again.
            m_boxes.show(QStringLiteral("店舗の読み込みに失敗しました。\r\nエラー番号: %1\r\n%2")
                             .arg(e.number())
                             .arg(QString::fromStdString(e.description())),
                         MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("単価変更"));
            m.storeCode.clear();
            return;
        }
        if (added.result == StoreAdded::Added)
            m.storeRows[static_cast<std::size_t>(added.row)] =
                storeDisplayText(code(g, added.row), name(g, added.row));
        m_flag = true;
    }
    m.storeCode.clear();
}

void StoreForm::onClearClicked() {
    for (int i = 0; i < StoreListSize; ++i) {
        code(g, i) = QStringLiteral("0");
        name(g, i).clear();
        m.storeRows[static_cast<std::size_t>(i)].clear();
        doEvents();
    }
    m_flag = true;
    if (focusStoreCode)
        focusStoreCode();
}

void StoreForm::onDecideClicked() {
    if (unload)
        unload();
}

} // namespace tanka
