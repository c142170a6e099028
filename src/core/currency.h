#pragma once
// The currency type of the price formula: a 64-bit signed count of
// ten-thousandths, so exactly four decimal places (about ±922 337 203 685 477).
// Addition, subtraction and multiplication by an integer are exact; a result
// outside the range raises RunError 6 "Overflow". Steps that divide or multiply
// by a non-integer go through double and come back with cur(), which rounds the
// double's exact value to the nearest ten-thousandth, ties to even.
// Header-only, standard library only.

#include "core/run_error.h"

#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>

namespace tanka {

class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;

    // An amount given in ten-thousandths.
    static constexpr Currency fromTicks(std::int64_t ticks) { return Currency(ticks); }

    // A whole amount; overflows beyond ±922 337 203 685 477.
    static constexpr Currency fromWhole(std::int64_t whole) { return Currency(whole) * kScale; }

    constexpr std::int64_t ticks() const { return m_ticks; }

    // The whole part, fraction cut off toward zero.
    constexpr std::int64_t truncated() const { return m_ticks / kScale; }

    // The amount as a double: the integer count converted, then divided by
    // 10000.0. For counts up to 2^53 (amounts below about 900 billion) this is
    // the double nearest to the amount.
    constexpr double toDouble() const { return static_cast<double>(m_ticks) / 10000.0; }

    friend constexpr Currency operator+(Currency a, Currency b) {
        if (b.m_ticks > 0 ? a.m_ticks > kMax - b.m_ticks : a.m_ticks < kMin - b.m_ticks)
            raiseOverflow();
        return Currency(a.m_ticks + b.m_ticks);
    }

    friend constexpr Currency operator-(Currency a, Currency b) {
        if (b.m_ticks < 0 ? a.m_ticks > kMax + b.m_ticks : a.m_ticks < kMin + b.m_ticks)
            raiseOverflow();
        return Currency(a.m_ticks - b.m_ticks);
    }

    friend constexpr Currency operator-(Currency a) { return Currency() - a; }

    friend constexpr Currency operator*(Currency a, std::int64_t n) {
        const std::uint64_t x = magnitudeOf(a.m_ticks);
        const std::uint64_t y = magnitudeOf(n);
        const bool negative = (a.m_ticks < 0) != (n < 0);
        if (y != 0 && x > limitFor(negative) / y)
            raiseOverflow();
        return fromMagnitude(negative, x * y);
    }

    friend constexpr Currency operator*(std::int64_t n, Currency a) { return a * n; }

    // The largest magnitude of the range on the given side: 2^63 below zero, 2^63 - 1 above.
    static constexpr std::uint64_t limitFor(bool negative) {
        return negative ? kTwoTo63 : kTwoTo63 - 1u;
    }

    // Sign and magnitude to an amount; overflows beyond the range.
    static constexpr Currency fromMagnitude(bool negative, std::uint64_t magnitude) {
        if (magnitude > limitFor(negative))
            raiseOverflow();
        if (!negative)
            return Currency(static_cast<std::int64_t>(magnitude));
        if (magnitude == kTwoTo63)
            return Currency(kMin);
        return Currency(-static_cast<std::int64_t>(magnitude));
    }

    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    static constexpr std::uint64_t kTwoTo63 = std::uint64_t{1} << 63;
    static constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    static constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

    constexpr explicit Currency(std::int64_t ticks) : m_ticks(ticks) {}

    static constexpr std::uint64_t magnitudeOf(std::int64_t v) {
        // Unsigned negation is modular, so the magnitude of the minimum is 2^63.
        return v < 0 ? 0u - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    }

    std::int64_t m_ticks = 0;
};

// The double's exact value rounded to the nearest ten-thousandth, ties to even.
// Not-a-number, infinities and values outside the currency range overflow.
//
// Exact: with x = m * 2^e (m a 53-bit integer), x * 10000 = (m * 625) * 2^(e + 4),
// and m * 625 < 2^63 fits 64 bits, so the rounding is a shift of an integer with
// its remainder inspected; no product of x with 10000 is ever rounded.
inline Currency cur(double x) {
    if (!std::isfinite(x))
        raiseOverflow();
    if (x == 0.0)
        return Currency();

    int exponent = 0;
    const double fraction = std::frexp(std::fabs(x), &exponent); // in [0.5, 1)
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const std::uint64_t scaled = mantissa * 625u; // < 2^63
    const int shift = exponent - 53 + 4;          // |x| * 10000 = scaled * 2^shift

    const bool negative = x < 0;

    std::uint64_t magnitude = 0;
    if (shift >= 0) {
        if (shift >= 63 || scaled > (Currency::limitFor(negative) >> shift))
            raiseOverflow();
        magnitude = scaled << shift;
    } else if (shift > -64) {
        const int right = -shift;
        const std::uint64_t remainderMask = (std::uint64_t{1} << right) - 1;
        const std::uint64_t half = std::uint64_t{1} << (right - 1);
        magnitude = scaled >> right;
        const std::uint64_t remainder = scaled & remainderMask;
        if (remainder > half || (remainder == half && (magnitude & 1u) != 0))
            ++magnitude;
    }
    // else: |x| * 10000 < 2^63 / 2^64 < 1/2, which rounds to zero.

    return Currency::fromMagnitude(negative, magnitude);
}

} // namespace tanka
