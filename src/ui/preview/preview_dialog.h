#pragma once
// The "確認" dialog: what 実行 would do now. Two pages:
//   一覧          the totals of each menu above a list of the prices the run
//                 writes, one per line (before, after, difference), narrowed
//                 by menu, store, part of the name and "変更する単価のみ",
//                 sortable by any column; "保存" writes the lines shown or
//                 every line, as the user chooses.
//   端数の比較    the nine roundings side by side (RoundingPage), worked out
//                 when the page is first shown; "この端数処理にする" sets the
//                 window's rounding and the list follows.
// Reading the preview is left to the caller; the dialog changes no table.

#include <functional>
#include <memory>

#include <QDialog>

#include "core/clock.h"
#include "core/message_box.h"
#include "pricing/preview.h"
#include "pricing/rounding_comparison.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;

namespace tanka {

class MainForm;
class MainWindowView;
class PreviewModel;
class RoundingPage;

class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    // current: the rounding the preview was read with.
    PreviewDialog(Preview preview, Rounding current, MessageBoxes& boxes, QWidget* owner);
    ~PreviewDialog() override;

    // Asks for the file to save the list in (host path); empty: not saved.
    // Defaults to the platform's save dialog.
    std::function<QString()> chooseFile;
    // Sets the window's rounding as the user's clicks would; returns whether
    // the window took it. Unset: the rounding cannot be changed from here.
    std::function<bool(Rounding)> applyRounding;

    QTabWidget* pages() const { return m_pages; }
    QTableView* table() const { return m_table; }
    QLabel* totals() const { return m_totals; }
    QLabel* shownCount() const { return m_shownCount; }
    QComboBox* menuFilter() const { return m_menuFilter; }
    QComboBox* storeFilter() const { return m_storeFilter; }
    QLineEdit* nameFilter() const { return m_nameFilter; }
    QCheckBox* changedOnly() const { return m_changedOnly; }
    QComboBox* saveScope() const { return m_saveScope; }
    RoundingPage* roundingPage() const { return m_roundingPage; }
    PreviewModel* model() const { return m_model.get(); }

    // "保存": asks for a file and writes the lines shown (or every line, as
    // chosen beside the button), telling the user the outcome.
    void save();
    // Fills the comparison page, unless it is filled already.
    void showComparison();
    // "この端数処理にする" for a rounding.
    void chooseRounding(Rounding rounding);

private:
    QWidget* buildListPage();
    void narrow();
    void showTotals();

    MessageBoxes& m_boxes;
    std::unique_ptr<PreviewModel> m_model;
    Rounding m_current;
    QTabWidget* m_pages = nullptr;
    QLabel* m_totals = nullptr;
    QLabel* m_shownCount = nullptr;
    QComboBox* m_menuFilter = nullptr;
    QComboBox* m_storeFilter = nullptr;
    QLineEdit* m_nameFilter = nullptr;
    QCheckBox* m_changedOnly = nullptr;
    QComboBox* m_saveScope = nullptr;
    QTableView* m_table = nullptr;
    RoundingPage* m_roundingPage = nullptr;
};

// The totals of one menu as the dialog shows them.
QString previewTotalsText(const MenuPreview& menu);

// Routes the form's "確認" clicks: reads the preview of the current choices
// (a database error is shown and leaves the window as it was) and shows it
// modally over the window; a rounding chosen in it is clicked on the
// window's buttons. form, window, boxes and clock must outlive the form's
// handler.
void installPreview(MainForm& form, MainWindowView* window, MessageBoxes& boxes,
                    const Clock& clock);

} // namespace tanka
