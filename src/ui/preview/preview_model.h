#pragma once
// The rows of a preview as a table model: one row per row the run would
// change, the columns of the list file, sortable by any column (numbers by
// value). The model owns the preview; a view shows it without a widget per
// cell.

#include <vector>

#include <QAbstractTableModel>

#include "pricing/preview.h"

namespace tanka {

class PreviewModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PreviewModel(Preview preview, QObject* parent = nullptr);

    const Preview& preview() const { return m_preview; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A column below 0 restores the run's order.
    void sort(int column, Qt::SortOrder order) override;

private:
    Preview m_preview;
    std::vector<int> m_order; // row of the view -> row of the preview
};

} // namespace tanka
