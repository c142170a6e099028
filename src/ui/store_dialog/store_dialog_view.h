#pragma once
// The Qt widgets of the store selection dialog: twenty list labels in two
// columns, the code entry box storeCode with its key filter, "クリア" and "決定",
// at the places, colours and font of the design, mirroring a StoreForm's model.
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
    // Loads the dialog (StoreForm::load) and centres it over owner, the main
    // window (over the screen when owner is null). Sets the form's hooks;
    // form must outlive the view.
    StoreDialogView(StoreForm& form, QWidget* owner);

    // Model to widgets.
    void sync();

    QLabel* listLabel(int index) const { return m_storeRows.at(static_cast<std::size_t>(index)); }
    QLineEdit* storeCodeEdit() const { return m_storeCodeEdit; }
    QPushButton* clearButton() const { return m_clearButton; }
    QPushButton* decideButton() const { return m_decideButton; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void centreOver(const QWidget* owner);

    StoreForm& m_form;
    QLabel* m_codeHeading = nullptr;
    QLabel* m_heading = nullptr;
    std::array<QLabel*, StoreListSize> m_storeRows{};
    QLineEdit* m_storeCodeEdit = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_decideButton = nullptr;
};

// The dialog's client area and background.
inline constexpr int StoreDialogWidthTwips = 9165;
inline constexpr int StoreDialogHeightTwips = 5865;

} // namespace tanka
