#pragma once
// The Qt widgets of the store selection dialog: twenty list labels in two
// columns, the code entry box Text1 with its key filter, "クリア" and "決定",
// at the places, colours and font of the design, mirroring a Form1's model.
// Created for one opening and shown modally with exec(); closing it in any
// way is the same as "決定".

#include <array>

#include <QDialog>

#include "ui/store_dialog/store_form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tanka {

class StoreDialogView final : public QDialog {
    Q_OBJECT

public:
    // Loads the dialog (Form1::Form_Load) and centres it over owner, the main
    // window (over the screen when owner is null). Sets the form's hooks;
    // form must outlive the view.
    StoreDialogView(Form1& form, QWidget* owner);

    // Model to widgets.
    void sync();

    QLabel* listLabel(int index) const { return m_lbl_Mise.at(static_cast<std::size_t>(index)); }
    QLineEdit* text1() const { return m_text1; }
    QPushButton* clearButton() const { return m_command1; }
    QPushButton* decideButton() const { return m_command2; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void centreOver(const QWidget* owner);

    Form1& m_form;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    std::array<QLabel*, MiseListRows> m_lbl_Mise{};
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
};

// The dialog's client area and background.
inline constexpr int StoreDialogWidthTwips = 9165;
inline constexpr int StoreDialogHeightTwips = 5865;

} // namespace tanka
