#include "ui/preview/preview_model.h"

#include <algorithm>
#include <numeric>

namespace tanka {

PreviewModel::PreviewModel(Preview preview, QObject* parent)
    : QAbstractTableModel(parent), m_preview(std::move(preview)), m_order(m_preview.rows.size()) {
    std::iota(m_order.begin(), m_order.end(), 0);
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : previewColumnCount();
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const PreviewRow& row =
        m_preview.rows[static_cast<std::size_t>(m_order[static_cast<std::size_t>(index.row())])];
    if (role == Qt::DisplayRole) {
        const QVariant v = previewValue(row, index.column());
        return v.isNull() && v.isValid() ? QVariant(QStringLiteral("Null")) : v;
    }
    if (role == Qt::TextAlignmentRole) {
        const QVariant v = previewValue(row, index.column());
        return v.typeId() == QMetaType::LongLong ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return previewColumnName(section);
    return section + 1;
}

namespace {

// Empty cells first, then Null, then values: numbers by value, texts by code.
int compare(const QVariant& a, const QVariant& b) {
    const auto rank = [](const QVariant& v) { return !v.isValid() ? 0 : v.isNull() ? 1 : 2; };
    if (rank(a) != rank(b) || rank(a) < 2)
        return rank(a) - rank(b);
    if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong) {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return a.toString().compare(b.toString());
}

} // namespace

void PreviewModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> oldOrder = m_order;

    std::iota(m_order.begin(), m_order.end(), 0);
    if (column >= 0 && column < previewColumnCount()) {
        // The sort key of every row, made once.
        std::vector<QVariant> keys(m_preview.rows.size());
        for (std::size_t i = 0; i < keys.size(); ++i)
            keys[i] = previewValue(m_preview.rows[i], column);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) {
            const int c =
                compare(keys[static_cast<std::size_t>(x)], keys[static_cast<std::size_t>(y)]);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
    }

    // Selections and the current cell follow their rows.
    std::vector<int> newPlace(m_order.size());
    for (std::size_t i = 0; i < m_order.size(); ++i)
        newPlace[static_cast<std::size_t>(m_order[i])] = static_cast<int>(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after << index(
            newPlace[static_cast<std::size_t>(oldOrder[static_cast<std::size_t>(i.row())])],
            i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tanka
