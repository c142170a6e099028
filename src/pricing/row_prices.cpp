#include "pricing/row_prices.h"

#include <QVariant>

#include "core/clock.h"
#include "core/date_text.h"
#include "core/field_readers.h"
#include "pricing/price_formula.h"

namespace tanka {

SlotsRead slotsToRead(const ConversionOptions& options) {
    if (options.destination == Slot::None)
        return {true, true};
    return options.source == Slot::A ? SlotsRead{true, false} : SlotsRead{false, true};
}

QString rowDateText(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && !value.isNull()) {
        DateTimeParts p;
        if (readDateText(*static_cast<const QString*>(value.constData()), p) && p.dated &&
            p.year >= 100 && p.validDate() && p.validTime())
            return slashDate(p);
    }
    return formatFieldDate(value, QStringLiteral("yyyy/mm/dd"));
}

namespace {

std::int32_t converted(std::int32_t price, const RowInput& row, const ConversionOptions& o) {
    return row.taxFlg == 1 ? convertPrice(price, o.kind, o.roundingMethod, o.roundingUnit) : price;
}

} // namespace

RowPrices computeRowPrices(const RowInput& row, int positions, const ConversionOptions& options) {
    RowPrices out;
    if (options.destination != Slot::None) {
        const int src = slotIndex(options.source);
        const int dst = slotIndex(options.destination);
        for (int i = 0; i < positions; ++i)
            out.prices[dst][i] = converted(row.prices[src][i], row, options);
        out.written[dst] = true;
    } else {
        // No destination known: both slots are converted where they stand.
        for (int slot = 0; slot < 2; ++slot) {
            for (int i = 0; i < positions; ++i)
                out.prices[slot][i] = converted(row.prices[slot][i], row, options);
            out.written[slot] = true;
        }
    }
    out.mark = row.lastUpdateDate != options.referenceDate;
    return out;
}

QDate hundredYearsBefore(QDate today) {
    const int year = today.year() - 100;
    QDate day(year, today.month(), today.day());
    if (!day.isValid()) // 29 February in a year without it
        day = QDate(year, today.month(), 28);
    return day;
}

ConversionOptions conversionOptions(Menu menu, const Globals& g, const Clock& clock) {
    ConversionOptions o;
    const bool technical = menu == Menu::Technical;
    o.kind = technical ? g.technicalKind : g.retailKind;
    o.roundingMethod = g.roundingMethod;
    o.roundingUnit = g.roundingUnit;
    o.source = technical ? g.technicalSource : g.retailSource;
    o.destination = technical ? g.technicalDestination : g.retailDestination;
    if (g.isHeadquarters) {
        o.referenceDate = hundredYearsBefore(clock.today()).toString(QStringLiteral("yyyy/MM/dd"));
        o.markText = o.referenceDate;
    } else {
        o.referenceDate =
            formatFieldDate(QVariant(g.storeProcessingDate), QStringLiteral("yyyy/mm/dd"));
        o.markText = g.storeProcessingDate;
    }
    return o;
}

} // namespace tanka
