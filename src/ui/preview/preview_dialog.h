#pragma once
// The "確認" dialog: what 実行 would do now. The totals of each menu above a
// table of the rows the run would change (sortable by any column), "保存"
// to write the list to a file the user chooses, "閉じる". Reading the
// preview is left to the caller; the dialog changes nothing.

#include <functional>
#include <memory>

#include <QDialog>

#include "core/clock.h"
#include "core/message_box.h"
#include "pricing/preview.h"

class QLabel;
class QTableView;

namespace tanka {

class MainForm;
class PreviewModel;

class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(Preview preview, MessageBoxes& boxes, QWidget* owner);
    ~PreviewDialog() override;

    // Asks for the file to save the list in (host path); empty: not saved.
    // Defaults to the platform's save dialog.
    std::function<QString()> chooseFile;

    QTableView* table() const { return m_table; }
    QLabel* totals() const { return m_totals; }
    PreviewModel* model() const { return m_model.get(); }
    // "保存": asks for a file and writes the list, telling the user the outcome.
    void save();

private:
    MessageBoxes& m_boxes;
    std::unique_ptr<PreviewModel> m_model;
    QLabel* m_totals = nullptr;
    QTableView* m_table = nullptr;
};

// The totals of one menu as the dialog shows them.
QString previewTotalsText(const MenuPreview& menu);

// Routes the form's "確認" clicks: reads the preview of the current choices
// (a database error is shown and leaves the window as it was) and shows it
// modally over window. form, window, boxes and clock must outlive the form's
// handler.
void installPreview(MainForm& form, QWidget* window, MessageBoxes& boxes, const Clock& clock);

} // namespace tanka
