// Benchmarks of CKUtil: Combo at one position and walking every position,
// and the log header with a short and a long task name.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <valarray>

#include "KUtil.h"

namespace {

// ----- Combo at one position -----------------------------------------------------

// C(40, 20) = 137846528820: position 2,000,000,000 is deep inside the order.
void ComboAt(benchmark::State& state) {
    const int m = static_cast<int>(state.range(0));
    std::valarray<int> combo(21);
    for (auto _ : state) {
        CKUtil::Combo(40, 20, m, combo);
        benchmark::DoNotOptimize(&combo[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ComboAt)->Name("Combo_40_20")->ArgName("m")->Arg(0)->Arg(2000000000);

// ----- Walking every position ----------------------------------------------------

constexpr int kWalkN = 20;
constexpr int kWalkK = 10;
constexpr int kWalkPositions = 184756;  // C(20, 10)

// The m-th combination by the definition: start from the first and step m
// times to the next in lexicographic order. Needs 0 <= k < n.
void SteppingCombo(int n, int k, int m, std::valarray<int>& combo) {
    combo.resize(static_cast<std::size_t>(k) + 1);
    combo[0] = -1;
    for (int j = 1; j <= k; ++j) {
        combo[j] = j - 1;
    }
    for (int step = 0; step < m; ++step) {
        // The last element below its highest value n - 1 - (k - j) goes up by
        // one; the elements after it follow on consecutively.
        int j = k;
        while (combo[j] == n - 1 - (k - j)) {
            --j;
        }
        ++combo[j];
        for (int i = j + 1; i <= k; ++i) {
            combo[i] = combo[i - 1] + 1;
        }
    }
}

// Calls combo(n, k, m, v) for every position m, as a caller listing all
// subsets by position does.
template <class Combo>
void WalkAll(benchmark::State& state, Combo combo) {
    std::valarray<int> subset(kWalkK + 1);
    for (auto _ : state) {
        for (int m = 0; m < kWalkPositions; ++m) {
            combo(kWalkN, kWalkK, m, subset);
            benchmark::DoNotOptimize(&subset[0]);
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * kWalkPositions);
}

// True when both give the same combination at a spread of positions.
bool SameCombinations() {
    std::valarray<int> ours;
    std::valarray<int> stepped;
    for (int m = 0; m < kWalkPositions; m += 9973) {
        CKUtil::Combo(kWalkN, kWalkK, m, ours);
        SteppingCombo(kWalkN, kWalkK, m, stepped);
        if ((ours != stepped).max()) {
            return false;
        }
    }
    return true;
}

void ComboWalkUnranking(benchmark::State& state) {
    if (!SameCombinations()) {
        state.SkipWithError("CKUtil::Combo and the stepping definition differ");
        return;
    }
    WalkAll(state, CKUtil::Combo);
}
BENCHMARK(ComboWalkUnranking)->Name("ComboWalk_20_10/KolvUtil")->Unit(benchmark::kMillisecond);

// Quadratic: about 1.7e10 steps in all, so a single iteration per repetition.
void ComboWalkStepping(benchmark::State& state) {
    WalkAll(state, SteppingCombo);
}
BENCHMARK(ComboWalkStepping)
    ->Name("ComboWalk_20_10/stepping")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ----- Log header ----------------------------------------------------------------

// A task name of the given length: words of 1 to 12 letters between single
// blanks, with a line feed now and then, from a fixed seed.
std::string TaskName(std::size_t nLength) {
    std::minstd_rand rng(12345);
    std::string name;
    while (name.size() < nLength) {
        name.append(1 + rng() % 12, static_cast<char>('a' + rng() % 26));
        name += rng() % 40 == 0 ? '\n' : ' ';
    }
    name.resize(nLength);
    return name;
}

// Each iteration hands the header a fresh copy of the name, which it consumes.
void LogHeader(benchmark::State& state) {
    const std::string name = TaskName(static_cast<std::size_t>(state.range(0)));
    std::string taskName;
    std::string dbFile;
    for (auto _ : state) {
        taskName = name;
        dbFile = "/projects/wing/optimisation/runs/2024/case-17/model.kdb";
        CKUtil::DumpLogFileHeader(7, taskName, dbFile);
        benchmark::DoNotOptimize(taskName.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LogHeader)
    ->Name("DumpLogFileHeader")
    ->ArgName("name_bytes")
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
