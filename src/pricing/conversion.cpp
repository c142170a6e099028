#include "pricing/conversion.h"

#include <cassert>

#include "core/field_readers.h"
#include "core/run_error.h"
#include "db/keyed_pages.h"
#include "pricing/checks.h"
#include "pricing/read_back.h"

namespace tanka {

void requireNumericPrice(Menu menu, const std::vector<QVariant>& key, const QString& column,
                         const QVariant& value) {
    if (isNumericValue(value))
        return;
    const QStringList names = keyColumns(menu);
    QStringList parts;
    for (qsizetype k = 0; k < names.size(); ++k)
        parts << names[k] + u'=' + key[static_cast<std::size_t>(k)].toString();
    throw RunError(
        13, QStringLiteral("%1 の行 (%2) の %3 が数値ではありません: 「%4」")
                .arg(tableName(menu), parts.join(QStringLiteral(", ")), column, value.toString())
                .toStdString());
}

RowInput rowInput(Menu menu, const SlotsRead& read,
                  const std::function<QVariant(int slot, int position)>& price,
                  const QVariant& taxFlg, const QVariant& lastUpdateDate,
                  const std::function<std::vector<QVariant>()>& key) {
    RowInput in;
    for (int slot = 0; slot < 2; ++slot) {
        if (!(slot == 0 ? read.a : read.b))
            continue;
        for (int i = 0; i < pricePositions(menu); ++i) {
            const QVariant value = price(slot, i);
            if (!isNumericValue(value))
                requireNumericPrice(menu, key(), priceColumn(menu, slot, i), value);
            in.prices[slot][i] = readInteger(value);
        }
    }
    in.taxFlg = readInteger(taxFlg);
    in.lastUpdateDate = rowDateText(lastUpdateDate);
    return in;
}

namespace {

// The columns a conversion reads after the key, and where each stands in a
// page's row.
struct Columns {
    int keys = 0;
    int positions = 0;
    QStringList names;                                       // read after the key
    std::array<std::array<QString, MaxPositions>, 2> prices; // names per slot
    std::array<std::array<int, MaxPositions>, 2> priceAt{};  // in a page's row
    int taxFlgAt = 0, lastUpdateFlagAt = 0, lastUpdateDateAt = 0;

    explicit Columns(Menu menu)
        : keys(static_cast<int>(keyColumns(menu).size())), positions(pricePositions(menu)) {
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i) {
                prices[slot][i] = priceColumn(menu, slot, i);
                priceAt[slot][i] = keys + static_cast<int>(names.size());
                names << prices[slot][i];
            }
        taxFlgAt = keys + static_cast<int>(names.size());
        names << QStringLiteral("TaxFlg");
        lastUpdateFlagAt = keys + static_cast<int>(names.size());
        names << QStringLiteral("SaisyuKosinFlg");
        lastUpdateDateAt = keys + static_cast<int>(names.size());
        names << QStringLiteral("SaisyuKosinDate");
    }
};

const QVariant& at(const std::vector<QVariant>& row, int index) {
    return row[static_cast<std::size_t>(index)];
}

// The columns a conversion with options may write: the prices of the
// destination slot(s), then the marking.
QStringList columnsWritten(const Columns& c, const ConversionOptions& options) {
    QStringList columns;
    for (int slot = 0; slot < 2; ++slot)
        if (options.destination == slotAt(slot) || options.destination == Slot::None)
            for (int i = 0; i < c.positions; ++i)
                columns << c.prices[slot][i];
    columns << c.names[c.lastUpdateFlagAt - c.keys] << c.names[c.lastUpdateDateAt - c.keys];
    return columns;
}

} // namespace

long convertMenu(Menu menu, Connection& cn, const ConversionOptions& options, const QString& filter,
                 const ConversionHooks& hooks) {
    const Columns c(menu);
    const SlotsRead read = slotsToRead(options);
    const QStringList keys = keyColumns(menu);
    KeyedPages pages(cn, liveRowsFrom(menu), liveRowsWhere(menu, filter), tableAlias(menu), keys,
                     c.names);
    BatchUpdate batch(cn, qualifiedName(menu), keys);
    const qint64 total = pages.rowCount();
    if (hooks.progress)
        hooks.progress(0, total);

    const QVariant markFlag(2);
    // The marking date as a date, not as text: a server reads a date text by
    // its language's date order, a bound date it takes as it is.
    const QDate markDate = QDate::fromString(options.markText, QStringLiteral("yyyy/MM/dd"));
    const QVariant markText = markDate.isValid() ? QVariant(QDateTime(markDate, QTime(0, 0)))
                                                 : QVariant(options.markText);
    WrittenValues written(columnsWritten(c, options), std::size_t(total));
    std::vector<std::vector<QVariant>> rows;
    std::vector<std::size_t> keyIndexes;
    std::vector<QVariant> key(static_cast<std::size_t>(c.keys));
    std::vector<ColumnChange> changes;
    qint64 done = 0;
    while (pages.nextPage(rows, &keyIndexes)) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::vector<QVariant>& row = rows[r];
            std::copy(row.begin(), row.begin() + c.keys, key.begin());
            const RowInput in = rowInput(
                menu, read, [&](int slot, int i) { return at(row, c.priceAt[slot][i]); },
                at(row, c.taxFlgAt), at(row, c.lastUpdateDateAt), [&] { return key; });
            const RowPrices out = computeRowPrices(in, c.positions, options);

            changes.clear();
            for (int slot = 0; slot < 2; ++slot) {
                if (!out.written[slot])
                    continue;
                for (int i = 0; i < c.positions; ++i)
                    changes.push_back({c.prices[slot][i], at(row, c.priceAt[slot][i]),
                                       QVariant(qlonglong(out.prices[slot][i]))});
            }
            if (out.mark) {
                changes.push_back(
                    {c.names[c.lastUpdateFlagAt - c.keys], at(row, c.lastUpdateFlagAt), markFlag});
                changes.push_back(
                    {c.names[c.lastUpdateDateAt - c.keys], at(row, c.lastUpdateDateAt), markText});
            }
            if (hooks.rowWritten)
                hooks.rowWritten(RowWrite{menu, key, changes});
            written.record(keyIndexes[r], changes);
            batch.add(key, changes);
            if (hooks.progress)
                hooks.progress(++done, total);
        }
    }
    batch.flush();
    // Every row queued was written, each in a batch whose count matched.
    assert(batch.written() == written.rowsRecorded());
    // Counts are the server's word; the rows themselves are checked.
    readBack(menu, pages, written);
    if (hooks.progress && done != total)
        hooks.progress(total, total);
    return static_cast<long>(batch.written());
}

long convertTechnicalMenu(Connection& cn, const Globals& g, const Clock& clock,
                          const ConversionHooks& hooks) {
    return convertMenu(Menu::Technical, cn, conversionOptions(Menu::Technical, g, clock),
                       storeFilter(g), hooks);
}

long convertRetailProducts(Connection& cn, const Globals& g, const Clock& clock,
                           const ConversionHooks& hooks) {
    return convertMenu(Menu::Retail, cn, conversionOptions(Menu::Retail, g, clock), storeFilter(g),
                       hooks);
}

} // namespace tanka
