// CRand::Random against std::minstd_rand, the same generator: one million
// draws each, from the same seed, giving the same doubles.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "Rand.h"
#include "TestSupport.h"

namespace {

constexpr int kDraws = 1000000;
constexpr std::int32_t kSeed = 20240611;
// The double nearest to 1 / (2^31 - 1), the scale CRand::Random applies.
constexpr double kScale = 4.656612875245797e-10;

// True when both generators give the same doubles for kDraws draws.
bool SameDraws() {
    SeedGuard seed;
    CRand::lSeed = kSeed;
    std::minstd_rand rng(kSeed);
    for (int i = 0; i < kDraws; ++i) {
        if (CRand::Random() != static_cast<double>(rng()) * kScale) {
            return false;
        }
    }
    return true;
}

void RandomKolvUtil(benchmark::State& state) {
    if (!SameDraws()) {
        state.SkipWithError("CRand::Random and std::minstd_rand draw different numbers");
        return;
    }
    SeedGuard seed;
    for (auto _ : state) {
        CRand::lSeed = kSeed;
        for (int i = 0; i < kDraws; ++i) {
            benchmark::DoNotOptimize(CRand::Random());
        }
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(RandomKolvUtil)->Name("Random/KolvUtil")->Unit(benchmark::kMillisecond);

void RandomMinstd(benchmark::State& state) {
    for (auto _ : state) {
        std::minstd_rand rng(kSeed);
        for (int i = 0; i < kDraws; ++i) {
            benchmark::DoNotOptimize(static_cast<double>(rng()) * kScale);
        }
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(RandomMinstd)->Name("Random/minstd_rand")->Unit(benchmark::kMillisecond);

}  // namespace
