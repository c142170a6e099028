#pragma once
// What the user chooses for a run: how each menu's prices are converted, and
// how the new prices are rounded. The values are the codes the window's
// option buttons stand for (button index = code); None: not chosen.

#include <array>
#include <cstdint>

namespace tanka {

// An 8 %-tax-inclusive price to a 10 %-inclusive or a tax-exclusive price.
enum class ConversionKind : std::int8_t { None = -1, TenPercentIncluded = 1, TaxExcluded = 2 };

// The fraction of the rounding unit cut off, rounded up or rounded half up.
enum class RoundingMethod : std::int8_t { None = -1, Down = 0, Up = 1, HalfUp = 2 };

// The unit a new price is rounded to: 1, 10 or 100 yen.
enum class RoundingUnit : std::int8_t { None = -1, Yen1 = 0, Yen10 = 1, Yen100 = 2 };

inline constexpr std::array<RoundingMethod, 3> RoundingMethods = {
    RoundingMethod::Down, RoundingMethod::Up, RoundingMethod::HalfUp};
inline constexpr std::array<RoundingUnit, 3> RoundingUnits = {
    RoundingUnit::Yen1, RoundingUnit::Yen10, RoundingUnit::Yen100};

} // namespace tanka
