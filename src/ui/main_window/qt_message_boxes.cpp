#include "ui/main_window/qt_message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/main_window/layout_table.h"

namespace tanka {

MsgAnswer QtMessageBoxes::show(const QString& text, MsgButtons buttons, MsgIcon icon,
                               const QString& title) {
    // No parent: the box must stay usable while the main window is disabled
    // during a run, and it centres on the screen.
    QMessageBox box;
    box.setWindowTitle(title.isEmpty() ? QString::fromUtf8(WindowCaption) : title);
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    box.setText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }

    QPushButton* yes = nullptr;
    if (buttons == MsgButtons::YesNo) {
        yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
        box.setEscapeButton(box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole));
        box.setDefaultButton(yes);
    } else {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    box.exec();

    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
}

} // namespace tanka
