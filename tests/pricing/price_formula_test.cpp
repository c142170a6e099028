#include "core/currency.h"
#include "core/run_error.h"
#include "pricing/price_formula.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tanka {
namespace {

constexpr std::int32_t kMaxPrice = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinPrice = std::numeric_limits<std::int32_t>::min();

constexpr int kTruncate = 0, kRoundUp = 1, kRoundHalfUp = 2;
constexpr int kOneYen = 0, kHundredYen = 2;
constexpr std::int64_t kUnitYen[] = {1, 10, 100};

// convertPrice with its choices as their codes (loop counters here).
std::int32_t convertCodes(std::int32_t price, int kind, int method, int unit) {
    return convertPrice(price, static_cast<ConversionKind>(kind),
                        static_cast<RoundingMethod>(method), static_cast<RoundingUnit>(unit));
}

// The run-time error number a call raised, or nullopt when it returned.
template <typename F> std::optional<std::int32_t> errorOf(F&& call) {
    try {
        call();
    } catch (const RunError& e) {
        return e.number();
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// cur(): a double back to currency

// (Only values a 32-bit price can lead to: the range limits of the currency
// type lie far beyond them.)
TEST(Currency, CurRoundsTheExactDoubleToTheNearestTenThousandthTiesToEven) {
    const struct {
        const char* what;
        double value;
        std::int64_t ticks;
    } rows[] = {
        {"negative zero", -0.0, 0},
        // 1/32 and 3/32 lie exactly half way between ten-thousandths.
        {"tie 0.03125 goes to even 0.0312", 0.03125, 312},
        {"tie 0.09375 goes to even 0.0938", 0.09375, 938},
        {"tie -0.03125", -0.03125, -312},
        {"just above the tie 0.03125", std::nextafter(0.03125, 1.0), 313},
        // Decimal literals whose double lies just off the half: a product x * 10000
        // rounded in double lands on the half and would round the wrong way.
        {"double 5e-05 is above the half", 5e-05, 1},
        {"double 0.00035 is below the half", 0.00035, 3},
        {"double 2.00005 is below the half", 2.00005, 20000},
        {"smallest subnormal", std::numeric_limits<double>::denorm_min(), 0},
        {"tax share of 330", 2640.0 / 108.0, 244444},
    };
    for (const auto& row : rows)
        EXPECT_EQ(cur(row.value).ticks(), row.ticks) << row.what;
}

// ---------------------------------------------------------------------------
// convertPrice: choices outside their range. (Known results worked by hand
// are in the row step's test; the model below covers every price.)

TEST(PriceFormula, RejectsChoicesOutsideTheirRangeWhateverThePrice) {
    const struct {
        int kind, method, unit;
    } rows[] = {
        {0, kTruncate, kOneYen}, {3, kTruncate, kOneYen}, {1, -1, kOneYen},
        {2, 3, kHundredYen},     {1, kRoundHalfUp, -1},   {2, kTruncate, 3},
    };
    for (const auto& row : rows)
        for (const std::int32_t price : {0, -540, kMaxPrice})
            EXPECT_EQ(errorOf([&] { convertCodes(price, row.kind, row.method, row.unit); }), 5)
                << "kind " << row.kind << " method " << row.method << " unit " << row.unit
                << " price " << price;
}

// ---------------------------------------------------------------------------
// convertPrice against an independent exact model of the same steps.
//
// Every double in the model is held as its exact value sign * m * 2^e, and every
// double operation (integer to double, division, product) is derived from the
// exact rational result rounded to 53 bits, ties to even, as IEEE arithmetic
// does. Currency amounts are 128-bit counts of ten-thousandths, so the model
// also yields results that would overflow.

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

struct ExactDouble {
    bool negative;
    std::uint64_t mantissa; // 0 or in [2^52, 2^53)
    int exponent;
};

constexpr UInt128 kTwoTo52 = UInt128{1} << 52;
constexpr UInt128 kTwoTo53 = UInt128{1} << 53;
// 1.1 as a double is 0x1.199999999999Ap+0.
constexpr ExactDouble kOnePointOne{false, 0x1199999999999AULL, -52};

int bitLength(UInt128 v) {
    const auto high = static_cast<std::uint64_t>(v >> 64);
    return high != 0 ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(v));
}

// The double nearest to (num / den) * 2^exp2, ties to even.
ExactDouble nearestDouble(bool negative, UInt128 num, UInt128 den, int exp2) {
    if (num == 0)
        return {false, 0, 0};
    int k = 53 - (bitLength(num) - bitLength(den)); // num * 2^k / den in (2^52, 2^54)
    for (;;) {
        const UInt128 n = k >= 0 ? num << k : num;
        const UInt128 d = k >= 0 ? den : den << -k;
        UInt128 q = n / d;
        if (q >= kTwoTo53) {
            --k;
            continue;
        }
        const UInt128 r = n % d;
        if (2 * r > d || (2 * r == d && (q & 1) != 0))
            ++q;
        int e = exp2 - k;
        if (q == kTwoTo53) {
            q = kTwoTo52;
            ++e;
        }
        return {negative, static_cast<std::uint64_t>(q), e};
    }
}

UInt128 magnitude(Int128 v) {
    return v < 0 ? -static_cast<UInt128>(v) : static_cast<UInt128>(v);
}

// An amount to double: the count converted, then divided by 10000.0.
ExactDouble toDouble(Int128 ticks) {
    const ExactDouble count = nearestDouble(ticks < 0, magnitude(ticks), 1, 0);
    return nearestDouble(count.negative, count.mantissa, 10000, count.exponent);
}

ExactDouble divide(ExactDouble a, int divisor) {
    return nearestDouble(a.negative, a.mantissa, static_cast<UInt128>(divisor), a.exponent);
}

ExactDouble multiply(ExactDouble a, ExactDouble b) {
    return nearestDouble(a.negative != b.negative, UInt128{a.mantissa} * b.mantissa, 1,
                         a.exponent + b.exponent);
}

// The exact value in ten-thousandths, rounded to the nearest, ties to even.
Int128 toTicks(ExactDouble a) {
    UInt128 n = UInt128{a.mantissa} * 10000;
    if (a.exponent >= 0) {
        n <<= a.exponent;
    } else if (-a.exponent >= 100) {
        n = 0; // far below half a ten-thousandth
    } else {
        const int s = -a.exponent;
        const UInt128 q = n >> s;
        const UInt128 r = n - (q << s);
        const UInt128 half = UInt128{1} << (s - 1);
        n = (r > half || (r == half && (q & 1) != 0)) ? q + 1 : q;
    }
    return a.negative ? -static_cast<Int128>(n) : static_cast<Int128>(n);
}

// The converted amount, in units, before rounding.
Int128 modelAmount(std::int32_t price, int kind, int unit) {
    Int128 y = 0;
    if (unit == 0)
        y = Int128{price} * 10000;
    else
        y = toTicks(divide(nearestDouble(price < 0, magnitude(price), 1, 0), unit == 1 ? 10 : 100));
    const Int128 tax = toTicks(divide(toDouble(8 * y), 108));
    return kind == 1 ? toTicks(multiply(toDouble(y - tax), kOnePointOne)) : y - tax;
}

// Steps 3 to 6 on an amount; nullopt when the result leaves 32 bits.
std::optional<std::int32_t> modelRound(Int128 amount, int method, int unit) {
    const Int128 addend = method == 0 ? 0 : method == 2 ? 5000 : unit == 2 ? 9900 : 9000;
    const Int128 units = (static_cast<Int128>(magnitude(amount)) + addend) / 10000;
    const Int128 result = (amount < 0 ? -units : units) * kUnitYen[unit];
    if (result < kMinPrice || result > kMaxPrice)
        return std::nullopt;
    return static_cast<std::int32_t>(result);
}

// convertPrice's result, or nullopt where it raised the overflow error.
std::optional<std::int32_t> convertOrOverflow(std::int32_t price, int kind, int method, int unit) {
    std::int32_t result = 0;
    const auto error = errorOf([&] { result = convertCodes(price, kind, method, unit); });
    EXPECT_EQ(error.value_or(err::Overflow), err::Overflow) << "price " << price;
    return error ? std::nullopt : std::optional(result);
}

// Every price from 0 to 200 000, every kind, method and unit; checks on the way
// that the exact converted amount truncates to the 1-yen result, that results
// are whole multiples of the unit, never fall as the price rises,
// order truncate <= round half up <= round up, and that a negative price gives
// the mirror of the positive one.
TEST(PriceFormula, MatchesTheExactModelForEveryPriceUpTo200000) {
    for (int kind = 1; kind <= 2; ++kind) {
        for (int unit = 0; unit < 3; ++unit) {
            std::int32_t previous[3] = {0, 0, 0};
            for (std::int32_t price = 0; price <= 200000; ++price) {
                const Int128 amount = modelAmount(price, kind, unit);
                std::int32_t got[3];
                for (int method = 0; method < 3; ++method) {
                    got[method] = convertCodes(price, kind, method, unit);
                    const auto want = modelRound(amount, method, unit);
                    if (got[method] != want || got[method] % kUnitYen[unit] != 0 ||
                        got[method] < previous[method])
                        FAIL() << "price " << price << " kind " << kind << " method " << method
                               << " unit " << unit << ": got " << got[method] << ", model "
                               << want.value_or(-1) << ", previous " << previous[method];
                    ASSERT_EQ(convertCodes(-price, kind, method, unit), -got[method])
                        << "negative of " << price;
                    previous[method] = got[method];
                }
                // At the 1-yen unit the exact converted amount lies within the yen truncated to.
                const std::int64_t exact =
                    exactConvertedAmount(price, static_cast<ConversionKind>(kind));
                ASSERT_TRUE(unit != 0 || (got[kTruncate] * ExactAmountDenominator <= exact &&
                                          exact < (got[kTruncate] + 1) * ExactAmountDenominator))
                    << price;
                ASSERT_LE(got[kTruncate], got[kRoundHalfUp]) << price;
                ASSERT_LE(got[kRoundHalfUp], got[kRoundUp]) << price;
            }
        }
    }
}

// Near the 32-bit limits the result overflows exactly when the exact model's
// result does not fit; for kind 1 that begins at about 2 108 438 500 yen.
TEST(PriceFormula, OverflowsExactlyWhenTheResultLeaves32Bits) {
    const struct {
        std::int32_t first, last;
    } ranges[] = {
        {2108437000, 2108440000},
        {-2108440000, -2108437000},
        {kMaxPrice - 1000, kMaxPrice},
        {kMinPrice, kMinPrice + 1000},
    };
    int overflows = 0;
    int calls = 0;
    for (const auto& range : ranges)
        for (int kind = 1; kind <= 2; ++kind)
            for (int unit = 0; unit < 3; ++unit)
                for (int method = 0; method < 3; ++method)
                    for (std::int64_t p = range.first; p <= range.last; ++p) {
                        const auto price = static_cast<std::int32_t>(p);
                        const auto want = modelRound(modelAmount(price, kind, unit), method, unit);
                        ASSERT_EQ(convertOrOverflow(price, kind, method, unit), want)
                            << "price " << price << " kind " << kind << " method " << method
                            << " unit " << unit;
                        overflows += want ? 0 : 1;
                        ++calls;
                    }
    // The ranges do straddle the limit: some overflow, not all.
    EXPECT_GT(overflows, 1000);
    EXPECT_LT(overflows, calls / 2);
}

} // namespace
} // namespace tanka
