#include "pricing/preview.h"

#include <QHash>

#include "core/field_readers.h"
#include "core/run_error.h"
#include "db/recordset.h"
#include "pricing/checks.h"
#include "pricing/conversion.h"
#include "pricing/row_reader.h"

namespace tanka {
namespace {

// The name column of a menu's rows, found once per record set.
struct NameColumn {
    QString name;
    int at = -1;

    explicit NameColumn(Menu menu)
        : name(menu == Menu::Technical ? QStringLiteral("GijutuName")
                                       : QStringLiteral("TenpanName")) {}
    void locate(const Recordset& rs) {
        for (int i = 0; i < rs.fieldCount() && at < 0; ++i)
            if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                at = i;
    }
    QVariant value(const Recordset& rs) const { return at >= 0 ? rs.value(at) : rs.value(name); }
};

// Names kept once each, by first appearance.
class NamePool {
public:
    explicit NamePool(std::vector<QString>& names) : m_names(names) {
        for (std::size_t i = 0; i < names.size(); ++i)
            m_index.insert(names[i], static_cast<std::uint32_t>(i));
    }
    std::uint32_t indexOf(const QString& name) {
        const auto it = m_index.constFind(name);
        if (it != m_index.cend())
            return *it;
        const auto index = static_cast<std::uint32_t>(m_names.size());
        m_names.push_back(name);
        m_index.insert(name, index);
        return index;
    }

private:
    std::vector<QString>& m_names;
    QHash<QString, std::uint32_t> m_index;
};

qint64 tableRows(Menu menu, Connection& cn) {
    Recordset rs;
    rs.open(QStringLiteral(" select count(*) from ") + qualifiedName(menu), cn);
    const qint64 count = rs.isEOF() ? 0 : rs.value(0).toLongLong();
    rs.close();
    return count;
}

RowInput inputOf(const PreviewRow& row) {
    RowInput input;
    input.prices = row.current;
    input.taxFlg = row.taxFlg;
    return input;
}

bool rowChanges(const PreviewRow& row, int positions) {
    if (row.after.mark)
        return true;
    for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < positions; ++i)
            if (row.priceChanges(slot, i))
                return true;
    return false;
}

void previewMenu(Menu menu, Connection& cn, const Globals& g, const Clock& clock, MenuPreview& mp,
                 Preview& preview) {
    mp.options = conversionOptions(menu, g, clock);
    const ConversionOptions& options = mp.options;
    const SlotsRead read = slotsToRead(options);
    RowReader reader(menu);
    NameColumn nameColumn(menu);
    NamePool names(preview.names);
    Recordset rs;
    rs.open(liveRowsQuery(menu, storeFilter(g)), cn);
    reader.locate(rs);
    nameColumn.locate(rs);
    const int positions = reader.positions();
    for (; !rs.isEOF(); rs.moveNext()) {
        ++mp.selected;
        PreviewRow row;
        const RowInput input = reader.read(rs, read);
        row.after = computeRowPrices(input, positions, options);
        row.taxFlg = input.taxFlg;
        if (!row.taxed())
            ++mp.untaxed;
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i) {
                const QVariant raw = reader.price(rs, slot, i);
                const auto bit = static_cast<std::uint16_t>(1u << (slot * MaxPositions + i));
                row.current[slot][i] = readInteger(raw);
                if (raw.isNull())
                    row.currentNull |= bit;
                else if (raw.toDouble() != double(row.current[slot][i]))
                    row.currentInexact |= bit;
            }
        row.menu = menu;
        row.source = options.source;
        row.changes = rowChanges(row, positions);
        if (row.changes)
            ++mp.toChange;
        const std::vector<QVariant> key = reader.key(rs); // keyColumns order
        row.globalId = readInteger(key[0]);
        row.store = readShortInteger(key[1]);
        row.id1 = readInteger(key[2]);
        row.id2 = readInteger(key[3]);
        row.name = names.indexOf(nameColumn.value(rs).toString());
        preview.rows.push_back(row);
    }
    rs.close();
    mp.leftAlone = tableRows(menu, cn) - mp.selected;
}

} // namespace

Preview buildPreview(Connection& cn, const Globals& g, const Clock& clock) {
    Preview p;
    p.menus[0].menu = Menu::Technical;
    p.menus[1].menu = Menu::Retail;
    p.menus[0].chosen = g.technicalKind != ConversionKind::None;
    p.menus[1].chosen = g.retailKind != ConversionKind::None;
    for (MenuPreview& mp : p.menus)
        if (mp.chosen)
            previewMenu(mp.menu, cn, g, clock, mp, p);
    return p;
}

void setPreviewRounding(Preview& preview, RoundingMethod roundingMethod,
                        RoundingUnit roundingUnit) {
    std::array<ConversionOptions, 2> options = {preview.menus[0].options, preview.menus[1].options};
    for (ConversionOptions& o : options) {
        o.roundingMethod = roundingMethod;
        o.roundingUnit = roundingUnit;
    }
    // Every new price first, so that an overflow leaves the preview as it was.
    std::vector<RowPrices> after;
    after.reserve(preview.rows.size());
    for (const PreviewRow& row : preview.rows) {
        const int menu = row.menu == Menu::Technical ? 0 : 1;
        RowPrices prices = computeRowPrices(inputOf(row), pricePositions(row.menu), options[menu]);
        prices.mark = row.after.mark; // the marking does not depend on the rounding
        after.push_back(prices);
    }
    for (std::size_t menu = 0; menu < 2; ++menu) {
        preview.menus[menu].options = options[menu];
        preview.menus[menu].toChange = 0;
    }
    for (std::size_t i = 0; i < preview.rows.size(); ++i) {
        PreviewRow& row = preview.rows[i];
        row.after = after[i];
        row.changes = rowChanges(row, pricePositions(row.menu));
        if (row.changes)
            ++preview.menus[row.menu == Menu::Technical ? 0 : 1].toChange;
    }
}

} // namespace tanka
