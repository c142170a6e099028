#pragma once
// The price formula: an 8 %-tax-inclusive price to a 10 %-inclusive or
// tax-exclusive price, rounded by roundingMethod to roundingUnit.
// Plain C++: currency arithmetic in 64-bit ten-thousandths.

#include <cstdint>

#include "core/choices.h"

namespace tanka {

// Throws RunError 6 "Overflow" when an amount leaves the currency range or the
// result does not fit 32 bits, and RunError 5 when kind, roundingMethod or roundingUnit
// is None (nothing is chosen: no price may be written then).
//
// The window shows the formula beside each kind, in the shop's full-width
// notation: current price less its 8 % share (x 8/108), times 1.10 for the
// 10 %-inclusive price.
inline constexpr const char* TenPercentFormulaText =
    "（（現行単価－（現行単価×８÷１０８））×１．１０）";
inline constexpr const char* TaxExcludedFormulaText = "（現行単価－（現行単価×８÷１０８））";
std::int32_t convertPrice(std::int32_t price, ConversionKind kind, RoundingMethod roundingMethod,
                          RoundingUnit roundingUnit);

// The exact converted amount: the formula above without its rounding step.
// The tax share of an 8 %-inclusive price is 8/108 of it, so the tax-exclusive
// amount is price x 100/108 = price x 50/54 and the 10 %-inclusive amount is
// that x 1.1 = price x 55/54. Held as an integer count of 1/54 yen, so sums
// and comparisons with rounded prices are exact. Raises RunError 5 for kind
// None, as convertPrice does.
inline constexpr std::int64_t ExactAmountDenominator = 54;
// The exact amount as the rounding comparison explains it.
inline constexpr const char* ExactAmountText =
    "換算額 = 8%込み単価 × 100/108（外税）、× 100/108 × 1.1 = 55/54（内税10%）";
std::int64_t exactConvertedAmount(std::int32_t price, ConversionKind kind);

} // namespace tanka
