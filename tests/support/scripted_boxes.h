#pragma once
// Message boxes for tests: every box is recorded, and answered from a script.

#include <deque>
#include <ostream>
#include <vector>

#include <QStringList>

#include "core/message_box.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tanka::test {

struct ShownBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

// Answers with the next scripted answer; once the script is used up, Yes to
// a question and Ok to anything else.
class ScriptedBoxes final : public MessageBoxes {
public:
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon,
                   const QString& title) override;
    QStringList texts() const;

    std::vector<ShownBox> shown;
    std::deque<MsgAnswer> answers;
};

} // namespace tanka::test
