#pragma once
// The preview as a table model: one line per price the run writes in a row it
// changes (PreviewLine), narrowed by menu, store, part of the name and
// "changed prices only", sortable by any column. The model owns the preview;
// lines are four-byte references into it, so a view shows hundreds of
// thousands of them without an item per cell.

#include <cstdint>
#include <vector>

#include <QAbstractTableModel>

#include "pricing/preview_list.h"

namespace tanka {

struct PreviewFilter {
    int menu = -1;            // -1 every menu, else static_cast<int>(Menu)
    int store = -1;           // -1 every store, else the MiseID
    QString namePart;         // empty: any name; else contained, ignoring case
    bool changedOnly = false; // only prices the run stores differently

    friend bool operator==(const PreviewFilter&, const PreviewFilter&) = default;
};

class PreviewModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PreviewModel(Preview preview, QObject* parent = nullptr);

    const Preview& preview() const { return m_preview; }

    void setFilter(const PreviewFilter& filter);
    const PreviewFilter& filter() const { return m_filter; }
    // The lines shown, in the view's order, and every line in the run's order.
    std::vector<PreviewLine> shownLines() const;
    const std::vector<PreviewLine>& allLines() const { return m_lines; }
    // The stores of the rows listed, ascending.
    std::vector<std::int16_t> stores() const;

    // Recomputes the preview for another rounding (setPreviewRounding; may
    // raise RunError 6, leaving the model as it was); the narrowing and the
    // sort stay.
    void setRounding(RoundingMethod roundingMethod, RoundingUnit roundingUnit);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A column below 0 restores the run's order.
    void sort(int column, Qt::SortOrder order) override;

private:
    void sortLines();
    void narrow();
    std::int64_t sortKey(PreviewLine line, PreviewColumn column,
                         const std::vector<std::uint32_t>& nameRank) const;

    Preview m_preview;
    std::vector<PreviewLine> m_lines;    // every line, run's order
    std::vector<std::uint32_t> m_sorted; // indexes into m_lines, sort order
    std::vector<std::uint32_t> m_shown;  // of those, the lines the filter lets through
    PreviewFilter m_filter;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace tanka
