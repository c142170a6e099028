#include "pricing/price_formula.h"

#include "core/currency.h"
#include "core/run_error.h"

#include <cstdint>
#include <limits>

namespace tanka {

namespace {

// The platform's error 5, raised for a kind, method or unit outside the choices:
// the run stops before a wrong price is written, instead of writing a price from
// a formula nobody chose.
[[noreturn]] void raiseInvalidArgument() {
    throw RunError(5, "プロシージャの呼び出し、または引数が不正です。");
}

std::int64_t unitYen(RoundingUnit roundingUnit) {
    switch (roundingUnit) {
    case RoundingUnit::Yen1:
        return 1;
    case RoundingUnit::Yen10:
        return 10;
    case RoundingUnit::Yen100:
        return 100;
    default:
        raiseInvalidArgument();
    }
}

// The price in units of the rounding unit; the division is one double
// operation, rounded back to four decimals.
Currency scaledToUnit(std::int32_t price, RoundingUnit roundingUnit) {
    switch (roundingUnit) {
    case RoundingUnit::Yen1:
        return Currency::fromWhole(price);
    case RoundingUnit::Yen10:
        return cur(static_cast<double>(price) / 10.0);
    case RoundingUnit::Yen100:
        return cur(static_cast<double>(price) / 100.0);
    default:
        raiseInvalidArgument();
    }
}

// The 10 %-inclusive or the tax-exclusive amount. The tax share is 8/108 of
// the amount, 8 times the amount being formed exactly before the division in
// double.
Currency applyTaxFormula(Currency y, ConversionKind kind) {
    if (kind != ConversionKind::TenPercentIncluded && kind != ConversionKind::TaxExcluded)
        raiseInvalidArgument();
    const Currency tax = cur((y * 8).toDouble() / 108.0);
    if (kind == ConversionKind::TenPercentIncluded)
        return cur((y - tax).toDouble() * 1.1);
    return y - tax;
}

// What is added to the magnitude before its fraction is cut off. Round-up adds
// 0.9 (0.99 at the 100-yen unit), not 0.9999: a fraction of the unit below 0.1
// (0.01) is dropped instead of rounded up.
Currency roundingAddend(RoundingMethod roundingMethod, RoundingUnit roundingUnit) {
    switch (roundingMethod) {
    case RoundingMethod::Down:
        return Currency();
    case RoundingMethod::Up:
        return Currency::fromTicks(roundingUnit == RoundingUnit::Yen100 ? 9900 : 9000);
    case RoundingMethod::HalfUp:
        return Currency::fromTicks(5000);
    default:
        raiseInvalidArgument();
    }
}

} // namespace

std::int32_t convertPrice(std::int32_t price, ConversionKind kind, RoundingMethod roundingMethod,
                          RoundingUnit roundingUnit) {
    // Checked first, so that an invalid choice is reported the same way
    // whatever the price.
    const std::int64_t unit = unitYen(roundingUnit);
    const Currency addend = roundingAddend(roundingMethod, roundingUnit);

    const Currency y = applyTaxFormula(scaledToUnit(price, roundingUnit), kind);

    // Rounding works on the magnitude, so a negative price mirrors the positive one.
    const bool negative = y < Currency();
    const Currency magnitude = negative ? -y : y;
    const std::int64_t units = (magnitude + addend).truncated();

    const std::int64_t result = (negative ? -units : units) * unit;
    if (result < std::numeric_limits<std::int32_t>::min() ||
        result > std::numeric_limits<std::int32_t>::max())
        raiseOverflow();
    return static_cast<std::int32_t>(result);
}

std::int64_t exactConvertedAmount(std::int32_t price, ConversionKind kind) {
    if (kind != ConversionKind::TenPercentIncluded && kind != ConversionKind::TaxExcluded)
        raiseInvalidArgument();
    return std::int64_t{price} * (kind == ConversionKind::TenPercentIncluded ? 55 : 50);
}

} // namespace tanka
