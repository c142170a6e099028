#include "pricing/row_prices.h"

#include <QTime>
#include <QVariant>

#include "core/clock.h"
#include "core/field_readers.h"
#include "pricing/keisan.h"

namespace tanka {

int pricePositions(Menu menu) {
    return menu == Menu::Giju ? MaxPositions : 1;
}

QString priceColumn(Menu menu, int slot, int position) {
    const QChar letter = slot == 0 ? u'A' : u'B';
    if (menu == Menu::Ten)
        return QStringLiteral("UriTanka") + letter;
    return QStringLiteral("Tanka") + letter + QString::number(position + 1);
}

QString tableName(Menu menu) {
    return menu == Menu::Giju ? QStringLiteral("MTGIJU") : QStringLiteral("MTTENP");
}

QStringList keyColumns(Menu menu) {
    if (menu == Menu::Giju)
        return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("GijutuID"),
                QStringLiteral("ShumokuID")};
    return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("TenpanFlg"),
            QStringLiteral("TenpanID")};
}

SlotsRead slotsToRead(const ConversionOptions& options) {
    if (options.dstSlot == -1)
        return {true, true};
    if (options.dstSlot != 0 && options.dstSlot != 1)
        return {};
    return options.srcSlot == 0 ? SlotsRead{true, false} : SlotsRead{false, true};
}

namespace {

bool asciiDigits(QStringView text, qsizetype from, qsizetype count, int& value) {
    value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

} // namespace

QString rowDateText(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && !value.isNull()) {
        const QString& text = *static_cast<const QString*>(value.constData());
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
        if (text.size() == 19 && text[4] == u'-' && text[7] == u'-' && text[10] == u' ' &&
            text[13] == u':' && text[16] == u':' && asciiDigits(text, 0, 4, year) &&
            asciiDigits(text, 5, 2, month) && asciiDigits(text, 8, 2, day) &&
            asciiDigits(text, 11, 2, hour) && asciiDigits(text, 14, 2, minute) &&
            asciiDigits(text, 17, 2, second) && year >= 100 && QDate::isValid(year, month, day) &&
            QTime::isValid(hour, minute, second)) {
            QString date = text.left(10);
            date[4] = u'/';
            date[7] = u'/';
            return date;
        }
    }
    return Get_DateStr(value, QStringLiteral("yyyy/mm/dd"));
}

namespace {

std::int32_t converted(std::int32_t price, const RowInput& row, const ConversionOptions& o) {
    return row.taxFlg == 1 ? Keisan(price, o.kind, o.hasuMode, o.hasuTani) : price;
}

} // namespace

RowPrices computeRowPrices(const RowInput& row, int positions, const ConversionOptions& options) {
    RowPrices out;
    if (options.dstSlot == 0 || options.dstSlot == 1) {
        const int src = options.srcSlot == 0 ? 0 : 1;
        const int dst = options.dstSlot;
        for (int i = 0; i < positions; ++i)
            out.prices[dst][i] = converted(row.prices[src][i], row, options);
        out.written[dst] = true;
    } else if (options.dstSlot == -1) {
        // No destination known: both slots are converted where they stand.
        for (int slot = 0; slot < 2; ++slot) {
            for (int i = 0; i < positions; ++i)
                out.prices[slot][i] = converted(row.prices[slot][i], row, options);
            out.written[slot] = true;
        }
    }
    out.mark = row.kosinDate != options.referenceDate;
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
    const bool giju = menu == Menu::Giju;
    o.kind = giju ? g.GijuMode : g.TenMode;
    o.hasuMode = g.HasuMode;
    o.hasuTani = g.HasuTani;
    o.srcSlot = giju ? g.GijuSrcSlot : g.TenSrcSlot;
    o.dstSlot = giju ? g.GijuDstSlot : g.TenDstSlot;
    if (g.HonbuFlg == True) {
        o.referenceDate = hundredYearsBefore(clock.today()).toString(QStringLiteral("yyyy/MM/dd"));
        o.markText = o.referenceDate;
    } else {
        o.referenceDate = Get_DateStr(QVariant(g.MiseSyoriDate), QStringLiteral("yyyy/mm/dd"));
        o.markText = g.MiseSyoriDate;
    }
    return o;
}

} // namespace tanka
