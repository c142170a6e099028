#pragma once
// Modal message boxes, behind an interface so that the layers below the window
// can ask and tell the user without showing a window themselves, and tests can
// answer them. The window layer supplies the real implementation.

#include <QString>

namespace tanka {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Question, Critical, Information };
enum class MsgAnswer { Ok, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // An empty title means the program's title, "単価変更".
    virtual MsgAnswer show(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                           MsgIcon icon = MsgIcon::None, const QString& title = {}) = 0;
};

} // namespace tanka
