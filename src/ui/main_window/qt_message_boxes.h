#pragma once
// The real message boxes: application-modal QMessageBox with Japanese
// buttons, the program's title unless a title is given.

#include "core/message_box.h"

namespace tanka {

class QtMessageBoxes final : public MessageBoxes {
public:
    // Yes/No boxes default to はい; Esc answers いいえ.
    MsgAnswer show(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                   MsgIcon icon = MsgIcon::None, const QString& title = {}) override;
};

} // namespace tanka
