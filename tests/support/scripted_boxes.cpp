#include "support/scripted_boxes.h"

namespace tanka::test {

MsgAnswer ScriptedBoxes::show(const QString& text, MsgButtons buttons, MsgIcon icon,
                              const QString& title) {
    shown.push_back({text, buttons, icon, title});
    if (!answers.empty()) {
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

QStringList ScriptedBoxes::texts() const {
    QStringList list;
    for (const ShownBox& b : shown)
        list << b.text;
    return list;
}

} // namespace tanka::test
