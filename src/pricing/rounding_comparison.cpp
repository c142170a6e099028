#include "pricing/rounding_comparison.h"

#include <cstdlib>

#include "core/run_error.h"

namespace tanka {

std::array<Rounding, 9> allRoundings() {
    std::array<Rounding, 9> all;
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = {RoundingMethods[i / 3], RoundingUnits[i % 3]};
    return all;
}

QString exactAmountText() {
    return QString::fromUtf8(ExactAmountText);
}

QString differenceText() {
    return QStringLiteral("差額 = 新単価 － 換算額（円。＋はお客様の支払いが増え、－は減ります）");
}

QString roundingMethodName(RoundingMethod roundingMethod) {
    switch (roundingMethod) {
    case RoundingMethod::Down:
        return QStringLiteral("切り捨て");
    case RoundingMethod::Up:
        return QStringLiteral("切り上げ");
    default:
        return QStringLiteral("四捨五入");
    }
}

QString roundingUnitName(RoundingUnit roundingUnit) {
    switch (roundingUnit) {
    case RoundingUnit::Yen1:
        return QStringLiteral("1円");
    case RoundingUnit::Yen10:
        return QStringLiteral("10円");
    default:
        return QStringLiteral("100円");
    }
}

PriceEnding priceEnding(std::int32_t price) {
    const std::int32_t lastTwo = std::abs(price % 100);
    if (lastTwo == 0)
        return PriceEnding::Hundred;
    if (lastTwo == 50)
        return PriceEnding::Fifty;
    return lastTwo % 10 == 0 ? PriceEnding::Ten : PriceEnding::Other;
}

double RoundingFigures::averageYen() const {
    return changed == 0 ? 0.0 : sumYen() / double(changed);
}

double RoundingFigures::sumYen() const {
    return double(differenceSum) / double(ExactAmountDenominator);
}

double RoundingFigures::largestYen() const {
    return double(largestDifference) / double(ExactAmountDenominator);
}

void countPrice(RoundingFigures& figures, ConversionKind kind, std::int32_t from, std::int32_t to) {
    const std::int64_t difference =
        std::int64_t{to} * ExactAmountDenominator - exactConvertedAmount(from, kind);
    ++figures.changed;
    if (difference != 0)
        ++figures.offExact;
    figures.differenceSum += difference;
    if (std::llabs(difference) > std::llabs(figures.largestDifference))
        figures.largestDifference = difference;
    ++figures.endings[static_cast<std::size_t>(priceEnding(to))];
}

RoundingFigures roundingFigures(const Preview& preview, Menu menu, Rounding rounding) {
    const MenuPreview& mp = preview.menus[menu == Menu::Technical ? 0 : 1];
    ConversionOptions options = mp.options;
    options.roundingMethod = rounding.roundingMethod;
    options.roundingUnit = rounding.roundingUnit;
    const int positions = pricePositions(menu);
    RoundingFigures figures;
    figures.menu = menu;
    figures.rounding = rounding;
    PreviewRow trial;
    for (const PreviewRow& row : preview.rows) {
        if (row.menu != menu || !row.taxed())
            continue;
        RowInput input;
        input.prices = row.current;
        input.taxFlg = row.taxFlg;
        trial = row;
        trial.after = computeRowPrices(input, positions, options);
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; i < positions; ++i)
                if (trial.priceChanges(slot, i))
                    countPrice(figures, options.kind, row.current[trial.sourceOf(slot)][i],
                               trial.after.prices[slot][i]);
    }
    return figures;
}

std::vector<RoundingFigures> compareRoundings(const Preview& preview) {
    std::vector<RoundingFigures> all;
    for (const MenuPreview& mp : preview.menus) {
        if (!mp.chosen)
            continue;
        for (const Rounding rounding : allRoundings()) {
            try {
                all.push_back(roundingFigures(preview, mp.menu, rounding));
            } catch (const RunError& e) {
                if (e.number() != 6)
                    throw;
                RoundingFigures overflow;
                overflow.menu = mp.menu;
                overflow.rounding = rounding;
                overflow.overflow = true;
                all.push_back(overflow);
            }
        }
    }
    return all;
}

} // namespace tanka
