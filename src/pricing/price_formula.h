#pragma once
// The price formula: an 8 %-tax-inclusive price to a 10 %-inclusive (kind 1)
// or tax-exclusive (kind 2) price, rounded by roundingMethod (0 truncate, 1 round up,
// 2 round half up) to the unit roundingUnit (0 one yen, 1 ten, 2 hundred).
// Plain C++: currency arithmetic in 64-bit ten-thousandths.

#include <cstdint>

namespace tanka {

// Throws RunError 6 "Overflow" when an amount leaves the currency range or the
// result does not fit 32 bits, and RunError 5 when kind, roundingMethod or roundingUnit
// lies outside its range (nothing is chosen: no price may be written then).
std::int32_t convertPrice(std::int32_t price, std::int16_t kind, std::int16_t roundingMethod,
                          std::int16_t roundingUnit);

// The exact converted amount: the formula above without its rounding step.
// The tax share of an 8 %-inclusive price is 8/108 of it, so the tax-exclusive
// amount (kind 2) is price x 100/108 = price x 50/54 and the 10 %-inclusive
// amount (kind 1) is that x 1.1 = price x 55/54. Held as an integer count of
// 1/54 yen, so sums and comparisons with rounded prices are exact. Raises
// RunError 5 for a kind outside 1 and 2, as convertPrice does.
inline constexpr std::int64_t ExactAmountDenominator = 54;
std::int64_t exactConvertedAmount(std::int32_t price, std::int16_t kind);

} // namespace tanka
