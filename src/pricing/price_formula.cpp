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

// Yen per rounding unit: roundingUnit 0, 1, 2.
std::int64_t unitYen(std::int16_t roundingUnit) {
    switch (roundingUnit) {
    case 0:
        return 1;
    case 1:
        return 10;
    case 2:
        return 100;
    default:
        raiseInvalidArgument();
    }
}

// The price in units of the rounding unit; the division is one double
// operation, rounded back to four decimals.
Currency scaledToUnit(std::int32_t price, std::int16_t roundingUnit) {
    switch (roundingUnit) {
    case 0:
        return Currency::fromWhole(price);
    case 1:
        return cur(static_cast<double>(price) / 10.0);
    case 2:
        return cur(static_cast<double>(price) / 100.0);
    default:
        raiseInvalidArgument();
    }
}

// Kind 1: the 10 %-inclusive amount; kind 2: the tax-exclusive amount. The tax
// share is 8/108 of the amount, 8 times the amount being formed exactly before
// the division in double.
Currency applyTaxFormula(Currency y, std::int16_t kind) {
    if (kind != 1 && kind != 2)
        raiseInvalidArgument();
    const Currency tax = cur((y * 8).toDouble() / 108.0);
    if (kind == 1)
        return cur((y - tax).toDouble() * 1.1);
    return y - tax;
}

// What is added to the magnitude before its fraction is cut off. Round-up adds
// 0.9 (0.99 at the 100-yen unit), not 0.9999: a fraction of the unit below 0.1
// (0.01) is dropped instead of rounded up.
Currency roundingAddend(std::int16_t roundingMethod, std::int16_t roundingUnit) {
    switch (roundingMethod) {
    case 0:
        return Currency();
    case 1:
        return Currency::fromTicks(roundingUnit == 2 ? 9900 : 9000);
    case 2:
        return Currency::fromTicks(5000);
    default:
        raiseInvalidArgument();
    }
}

} // namespace

std::int32_t convertPrice(std::int32_t price, std::int16_t kind, std::int16_t roundingMethod,
                          std::int16_t roundingUnit) {
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

std::int64_t exactConvertedAmount(std::int32_t price, std::int16_t kind) {
    if (kind != 1 && kind != 2)
        raiseInvalidArgument();
    return std::int64_t{price} * (kind == 1 ? 55 : 50);
}

} // namespace tanka
