#pragma once
// The nine roundings (truncate, round up, round half up, each to 1, 10 or
// 100 yen) side by side for each chosen menu of a preview, worked out from
// the rows the preview has read with the run's own row step, so that the
// figures of the current rounding are those of the prices the run writes.
//
// Only taxed prices count: an untaxed price is copied whatever the rounding.
// A price's difference is its new value minus the exact converted amount
// (exactConvertedAmount, the formula without its rounding step).

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

#include "pricing/preview.h"
#include "pricing/price_formula.h"

namespace tanka {

struct Rounding {
    RoundingMethod roundingMethod = RoundingMethod::Down;
    RoundingUnit roundingUnit = RoundingUnit::Yen1;

    friend bool operator==(const Rounding&, const Rounding&) = default;
};

// The nine roundings: by method (truncate, round up, round half up), each by
// unit (1, 10, 100 yen).
std::array<Rounding, 9> allRoundings();

// The exact converted amount and the difference, in the words shown to the
// user beside the figures (window and command line alike).
QString exactAmountText(); // "換算額 = 8%込み単価 × 100/108（外税）、…"
QString differenceText();  // "差額 = 新単価 － 換算額（…）"

// "切り捨て", "切り上げ", "四捨五入" and "1円", "10円", "100円".
QString roundingMethodName(RoundingMethod roundingMethod);
QString roundingUnitName(RoundingUnit roundingUnit);

// How a new price ends: in 00, in 50, in another 0, otherwise.
enum class PriceEnding { Hundred, Fifty, Ten, Other };
PriceEnding priceEnding(std::int32_t price);

struct RoundingFigures {
    Menu menu = Menu::Technical;
    Rounding rounding;
    bool overflow = false; // a price left the formula's range: no figures
    qint64 changed = 0;    // taxed prices the run would change
    qint64 offExact = 0;   // of those, prices other than their exact converted amount
    // Over the prices changed: the sum of (new price - exact amount) and the
    // difference of largest magnitude, in 1/ExactAmountDenominator yen.
    std::int64_t differenceSum = 0;
    std::int64_t largestDifference = 0;
    std::array<qint64, 4> endings{}; // of the new prices changed, by PriceEnding

    // Yen per price changed (0 when none).
    double averageYen() const;
    double sumYen() const;
    double largestYen() const;
};

// One line per chosen menu (technical first) and rounding (allRoundings order).
std::vector<RoundingFigures> compareRoundings(const Preview& preview);

// The figures of one menu and rounding; RunError 6 when a price overflows.
RoundingFigures roundingFigures(const Preview& preview, Menu menu, Rounding rounding);

// Accumulates one taxed price the run would write, given its new value and
// the price it is converted from. Shared with whoever recounts prices.
void countPrice(RoundingFigures& figures, std::int16_t kind, std::int32_t from, std::int32_t to);

} // namespace tanka
