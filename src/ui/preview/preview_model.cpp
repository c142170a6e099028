#include "ui/preview/preview_model.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace tanka {

PreviewModel::PreviewModel(Preview preview, QObject* parent)
    : QAbstractTableModel(parent), m_preview(std::move(preview)), m_lines(previewLines(m_preview)) {
    sortLines();
    narrow();
}

std::vector<PreviewLine> PreviewModel::shownLines() const {
    std::vector<PreviewLine> lines;
    lines.reserve(m_shown.size());
    for (const std::uint32_t i : m_shown)
        lines.push_back(m_lines[i]);
    return lines;
}

std::vector<std::int16_t> PreviewModel::stores() const {
    std::vector<std::int16_t> stores;
    for (const PreviewRow& row : m_preview.rows)
        if (row.changes && (stores.empty() || stores.back() != row.store))
            stores.push_back(row.store);
    std::sort(stores.begin(), stores.end());
    stores.erase(std::unique(stores.begin(), stores.end()), stores.end());
    return stores;
}

void PreviewModel::setFilter(const PreviewFilter& filter) {
    if (filter == m_filter)
        return;
    beginResetModel();
    m_filter = filter;
    narrow();
    endResetModel();
}

void PreviewModel::setRounding(RoundingMethod roundingMethod, RoundingUnit roundingUnit) {
    setPreviewRounding(m_preview, roundingMethod, roundingUnit);
    beginResetModel();
    m_lines = previewLines(m_preview);
    sortLines();
    narrow();
    endResetModel();
}

void PreviewModel::narrow() {
    // Whether each distinct name matches, decided once per name.
    std::vector<char> nameMatches;
    if (!m_filter.namePart.isEmpty()) {
        nameMatches.reserve(m_preview.names.size());
        for (const QString& name : m_preview.names)
            nameMatches.push_back(name.contains(m_filter.namePart, Qt::CaseInsensitive) ? 1 : 0);
    }
    m_shown.clear();
    for (const std::uint32_t i : m_sorted) {
        const PreviewLine line = m_lines[i];
        const PreviewRow& row = m_preview.rows[line.row()];
        if ((m_filter.menu >= 0 && static_cast<int>(row.menu) != m_filter.menu) ||
            (m_filter.store >= 0 && row.store != m_filter.store) ||
            (!nameMatches.empty() && nameMatches[row.name] == 0) ||
            (m_filter.changedOnly && !lineChangesPrice(m_preview, line)))
            continue;
        m_shown.push_back(i);
    }
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PreviewColumnCount;
}

namespace {

bool alignedRight(PreviewColumn column) {
    switch (column) {
    case PreviewColumn::Store:
    case PreviewColumn::TaxFlg:
    case PreviewColumn::Position:
    case PreviewColumn::Before:
    case PreviewColumn::After:
    case PreviewColumn::Difference:
        return true;
    default:
        return false;
    }
}

} // namespace

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PreviewLine line = m_lines[m_shown[static_cast<std::size_t>(index.row())]];
    const auto column = static_cast<PreviewColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return previewCellText(m_preview, line, column, CellUse::Screen);
    case Qt::TextAlignmentRole:
        return alignedRight(column) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                    : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column == PreviewColumn::Difference && copiedUntaxed(m_preview, line))
            return QStringLiteral("税区分が課税ではないため、単価をそのまま写します");
        return {};
    default:
        return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return previewColumnName(static_cast<PreviewColumn>(section));
    return section + 1;
}

std::int64_t PreviewModel::sortKey(PreviewLine line, PreviewColumn column,
                                   const std::vector<std::uint32_t>& nameRank) const {
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    const PreviewRow& row = m_preview.rows[line.row()];
    switch (column) {
    case PreviewColumn::Menu:
        return static_cast<int>(row.menu);
    case PreviewColumn::Store:
        return row.store;
    case PreviewColumn::Code:
        return std::int64_t{row.id1} * (std::int64_t{1} << 32) +
               (std::int64_t{row.id2} - INT32_MIN);
    case PreviewColumn::Name:
        return nameRank[row.name];
    case PreviewColumn::TaxFlg:
        return row.taxFlg;
    case PreviewColumn::Position:
        return (row.menu == Menu::Technical ? 0 : MaxPositions) + line.position();
    case PreviewColumn::Before: {
        const int source = row.sourceOf(line.slot());
        return row.isNull(source, line.position()) ? lowest : row.current[source][line.position()];
    }
    case PreviewColumn::After:
        return priceAfter(m_preview, line);
    case PreviewColumn::Difference:
        // Copied prices before every difference.
        return row.taxed()
                   ? std::int64_t{priceAfter(m_preview, line)} - priceBefore(m_preview, line)
                   : lowest;
    case PreviewColumn::Mark:
        return row.after.mark ? 1 : 0;
    }
    return 0;
}

void PreviewModel::sortLines() {
    m_sorted.resize(m_lines.size());
    std::iota(m_sorted.begin(), m_sorted.end(), 0u);
    if (m_sortColumn < 0 || m_sortColumn >= PreviewColumnCount)
        return;
    const auto column = static_cast<PreviewColumn>(m_sortColumn);
    // Names by their text, ranked once.
    std::vector<std::uint32_t> nameRank;
    if (column == PreviewColumn::Name) {
        std::vector<std::uint32_t> byText(m_preview.names.size());
        std::iota(byText.begin(), byText.end(), 0u);
        std::sort(byText.begin(), byText.end(), [&](std::uint32_t a, std::uint32_t b) {
            return m_preview.names[a].compare(m_preview.names[b]) < 0;
        });
        nameRank.resize(byText.size());
        for (std::size_t r = 0; r < byText.size(); ++r)
            nameRank[byText[r]] = static_cast<std::uint32_t>(r);
    }
    // The key of every line, made once.
    std::vector<std::int64_t> keys(m_lines.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = sortKey(m_lines[i], column, nameRank);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return ascending ? keys[a] < keys[b] : keys[a] > keys[b];
    });
}

void PreviewModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::uint32_t> oldShown = m_shown;
    m_sortColumn = column;
    m_sortOrder = order;
    sortLines();
    narrow();

    // Selections and the current cell follow their lines.
    std::vector<int> newPlace(m_lines.size(), -1);
    for (std::size_t i = 0; i < m_shown.size(); ++i)
        newPlace[m_shown[i]] = static_cast<int>(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after << index(newPlace[oldShown[static_cast<std::size_t>(i.row())]], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tanka
