#include "pricing/price_formula.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// One million prices through the formula, for one kind, method and unit each.
void BM_ConvertMillionPrices(benchmark::State& state) {
    const auto kind = static_cast<tanka::ConversionKind>(state.range(0));
    const auto method = static_cast<tanka::RoundingMethod>(state.range(1));
    const auto unit = static_cast<tanka::RoundingUnit>(state.range(2));
    constexpr std::int32_t kPrices = 1'000'000;
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (std::int32_t price = 0; price < kPrices; ++price)
            sum += tanka::convertPrice(price, kind, method, unit);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPrices);
}

BENCHMARK(BM_ConvertMillionPrices)
    ->ArgNames({"kind", "method", "unit"})
    ->Args({1, 0, 0})
    ->Args({1, 1, 2})
    ->Args({2, 2, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
