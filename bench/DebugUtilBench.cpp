// CDebugUtil::DumpDoubleMatrix of a 1000 x 1000 matrix against a plain
// fprintf("%16.8g ") loop writing the same bytes, both to /dev/null.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "DebugUtil.h"
#include "ReferenceDump.h"

namespace {

constexpr unsigned kSize = 1000;
char kTitle[] = "Jacobian";

// Values of many magnitudes and both signs, some of them whole numbers, from
// a fixed seed.
CMatrix<double> Values() {
    CMatrix<double> m(kSize, kSize);
    std::mt19937_64 rng(2024);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (unsigned c = 0; c < kSize; ++c) {
        for (unsigned r = 0; r < kSize; ++r) {
            const double value = mantissa(rng) * std::pow(10.0, exponent(rng));
            m(r, c) = (r + c) % 10 == 0 ? std::round(value) : value;
        }
    }
    return m;
}

// The whole matrix dump written plainly with fprintf, flushed as the
// library's dump flushes.
void FprintfDump(FILE* fp, CMatrix<double>& m) {
    FprintfMatrix(fp, kTitle, m, kSize, kSize, "%16.8g ");
    std::fflush(nullptr);
}

// Times dump(fp, m) writing to /dev/null, after checking that it writes what
// the fprintf loop writes.
template <class Dump>
void DumpToNull(benchmark::State& state, Dump dump) {
    CMatrix<double> m = Values();
    if (Capture([&](FILE* fp) { dump(fp, m); }) != Capture([&](FILE* fp) { FprintfDump(fp, m); })) {
        state.SkipWithError("the dump and the fprintf loop write different bytes");
        return;
    }
    FILE* null = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        dump(null, m);
    }
    std::fclose(null);
}

void DumpKolvUtil(benchmark::State& state) {
    DumpToNull(state, [](FILE* fp, CMatrix<double>& m) {
        CDebugUtil::DumpDoubleMatrix(kTitle, fp, m, 0, 0);
    });
}
BENCHMARK(DumpKolvUtil)->Name("DumpDoubleMatrix/KolvUtil")->Unit(benchmark::kMillisecond);

void DumpFprintf(benchmark::State& state) {
    DumpToNull(state, [](FILE* fp, CMatrix<double>& m) { FprintfDump(fp, m); });
}
BENCHMARK(DumpFprintf)->Name("DumpDoubleMatrix/fprintf")->Unit(benchmark::kMillisecond);

}  // namespace
