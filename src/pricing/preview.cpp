#include "pricing/preview.h"

#include <cassert>

#include <QSaveFile>

#include "core/code_page_932.h"
#include "core/field_readers.h"
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
        : name(menu == Menu::Giju ? QStringLiteral("GijutuName") : QStringLiteral("TenpanName")) {}
    void locate(const Recordset& rs) {
        for (int i = 0; i < rs.fieldCount() && at < 0; ++i)
            if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
                at = i;
    }
    QVariant value(const Recordset& rs) const { return at >= 0 ? rs.value(at) : rs.value(name); }
};

qint64 tableRows(Menu menu, Connection& cn) {
    Recordset rs;
    rs.open(QStringLiteral(" select count(*) from MSTORI.dbo.") + tableName(menu), cn);
    const qint64 count = rs.isEOF() ? 0 : rs.value(0).toLongLong();
    rs.close();
    return count;
}

// Whether the run's row would store something other than what is there.
bool changes(const PreviewRow& row, const std::array<std::array<QVariant, MaxPositions>, 2>& raw,
             int positions) {
    if (row.after.mark)
        return true;
    for (int slot = 0; slot < 2; ++slot) {
        if (!row.after.written[slot])
            continue;
        for (int i = 0; i < positions; ++i) {
            const QVariant& now = raw[slot][i];
            if (now.isNull() || now.toDouble() != double(row.after.prices[slot][i]))
                return true;
        }
    }
    return false;
}

void previewMenu(Menu menu, Connection& cn, const Globals& g, const Clock& clock, MenuPreview& mp,
                 std::deque<PreviewRow>& rows) {
    const ConversionOptions options = conversionOptions(menu, g, clock);
    const SlotsRead read = slotsToRead(options);
    RowReader reader(menu);
    NameColumn nameColumn(menu);
    Recordset rs;
    rs.open(conversionQuery(menu, storeFilter(g)), cn);
    reader.locate(rs);
    nameColumn.locate(rs);
    const int positions = reader.positions();
    const std::size_t listedBefore = rows.size();
    std::array<std::array<QVariant, MaxPositions>, 2> raw;
    for (; !rs.isEOF(); rs.moveNext()) {
        ++mp.selected;
        PreviewRow row;
        const RowInput input = reader.read(rs, read);
        row.after = computeRowPrices(input, positions, options);
        row.taxFlg = input.taxFlg;
        if (row.taxFlg != 1)
            ++mp.untaxed;
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i) {
                raw[slot][i] = reader.price(rs, slot, i);
                if (raw[slot][i].isNull())
                    row.currentNull |= std::uint16_t(1u << (slot * MaxPositions + i));
                row.current[slot][i] = Get_LngVal(raw[slot][i]);
            }
        if (!changes(row, raw, positions))
            continue;
        ++mp.toChange;
        row.menu = menu;
        const std::vector<QVariant> key = reader.key(rs); // keyColumns order
        row.globalId = Get_LngVal(key[0]);
        row.mise = Get_IntVal(key[1]);
        row.id1 = Get_LngVal(key[2]);
        row.id2 = Get_LngVal(key[3]);
        row.name = nameColumn.value(rs).toString();
        row.srcSlot = static_cast<std::int8_t>(options.srcSlot);
        row.dstSlot = static_cast<std::int8_t>(options.dstSlot);
        rows.push_back(std::move(row));
    }
    rs.close();
    // The list holds exactly the rows counted as changed; the run writes
    // each of them (and the unchanged ones, with the same values).
    assert(qint64(rows.size() - listedBefore) == mp.toChange && mp.toChange <= mp.selected);
    static_cast<void>(listedBefore);
    mp.leftAlone = tableRows(menu, cn) - mp.selected;
}

constexpr int FixedColumns = 7;

QString slotLetter(int slot) {
    return slot == 0 ? QStringLiteral("A") : QStringLiteral("B");
}

// "A→B"; "A・B" when both slots are converted where they stand.
QString slotMove(const PreviewRow& row) {
    if (row.after.written[0] && row.after.written[1])
        return QStringLiteral("A・B");
    const int dst = row.after.written[0] ? 0 : 1;
    return slotLetter(row.srcSlot == 0 ? 0 : 1) + QStringLiteral("→") + slotLetter(dst);
}

} // namespace

Preview buildPreview(Connection& cn, const Globals& g, const Clock& clock) {
    Preview p;
    p.menus[0].menu = Menu::Giju;
    p.menus[1].menu = Menu::Ten;
    p.menus[0].chosen = g.GijuMode != -1;
    p.menus[1].chosen = g.TenMode != -1;
    for (MenuPreview& mp : p.menus)
        if (mp.chosen)
            previewMenu(mp.menu, cn, g, clock, mp, p.rows);
    return p;
}

int previewColumnCount() {
    return FixedColumns + 2 * MaxPositions * 2;
}

QString previewColumnName(int column) {
    static const QString fixed[FixedColumns] = {
        QStringLiteral("区分"), QStringLiteral("店舗"),   QStringLiteral("コード"),
        QStringLiteral("名称"), QStringLiteral("税区分"), QStringLiteral("単価移動"),
        QStringLiteral("更新")};
    if (column < FixedColumns)
        return fixed[column];
    const int price = column - FixedColumns;
    const int slot = price / (2 * MaxPositions);
    const int position = price % (2 * MaxPositions) / 2;
    return (price % 2 == 0 ? QStringLiteral("現") : QStringLiteral("新")) + slotLetter(slot) +
           QString::number(position + 1);
}

QVariant previewValue(const PreviewRow& row, int column) {
    switch (column) {
    case 0:
        return row.menu == Menu::Giju ? QStringLiteral("技術") : QStringLiteral("店販");
    case 1:
        return qlonglong(row.mise);
    case 2:
        return QString::number(row.id1) + u'-' + QString::number(row.id2);
    case 3:
        return row.name;
    case 4:
        return qlonglong(row.taxFlg);
    case 5:
        return slotMove(row);
    case 6:
        return row.after.mark ? QStringLiteral("○") : QString();
    default:
        break;
    }
    const int price = column - FixedColumns;
    const int slot = price / (2 * MaxPositions);
    const int position = price % (2 * MaxPositions) / 2;
    if (position >= pricePositions(row.menu))
        return {};
    if (price % 2 == 0)
        return row.isNull(slot, position) ? QVariant(QMetaType::fromType<qlonglong>())
                                          : QVariant(qlonglong(row.current[slot][position]));
    if (!row.after.written[slot])
        return {};
    return qlonglong(row.after.prices[slot][position]);
}

bool writePreviewFile(const QString& hostPath, const Preview& preview) {
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int columns = previewColumnCount();
    const auto put = [&](const QString& line) {
        const QByteArray bytes = cp932::encode(line);
        return file.write(bytes) == bytes.size();
    };
    const QString tab = QStringLiteral("\t");
    const QString lineEnd = QStringLiteral("\r\n");
    QString line;
    for (int c = 0; c < columns; ++c)
        line += previewColumnName(c) + (c + 1 < columns ? tab : lineEnd);
    if (!put(line))
        return false;
    for (const PreviewRow& row : preview.rows) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            const QVariant v = previewValue(row, c);
            if (v.isValid())
                line += v.isNull() ? QStringLiteral("#NULL#") : v.toString();
            line += c + 1 < columns ? tab : lineEnd;
        }
        if (!put(line))
            return false;
    }
    return file.commit();
}

} // namespace tanka
