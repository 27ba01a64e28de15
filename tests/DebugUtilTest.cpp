// DebugUtilTest.cpp: the six dumps against the same tables written with fprintf.
// Capture reads what a dump has flushed before its stream is closed: the dumps
// must flush it themselves.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <random>

#include "DebugUtil.h"
#include "ReferenceDump.h"

static char kTitle[] = "Title";

// Zeros, infinity, NaN, denormals, the extremes and "%.8g" rounding edges,
// random doubles of every exponent and integers of every width. The vector and
// valarray dumps of the first 0, 1 (untitled), 5, 6, 11 and all values; the
// matrix dumps with the counts of each dimension as {size, count, shown}: 0
// for all, within the size, past it, negative for none. 20 columns make lines
// longer than the dumps' first buffer.
TEST(DebugUtilTest, DumpsMatchFprintf) {
    std::vector<double> doubles = {0.0, -0.0, -INFINITY, NAN, DBL_TRUE_MIN, -DBL_MAX, 99999999.5};
    std::vector<int> ints = {INT_MIN, INT_MAX, 1000000000, -999999999};
    std::mt19937_64 random(12345);
    for (int i = 0; i < 400; ++i) {
        const auto bits = static_cast<std::int64_t>(random());
        doubles.push_back(std::ldexp(static_cast<double>(bits), i * 7 % 2100 - 1140));
        ints.push_back(static_cast<int>(bits >> (i % 64)));
    }
    const int counts[][3] = {{3, 0, 3},  {3, 1, 1}, {3, 2, 2},  {3, 9, 3},
                             {3, -1, 0}, {0, 2, 0}, {20, 0, 20}};
    const auto expect = [&counts](auto values, const char* format, const char* matrixFormat,
                                  auto vector, auto array, auto matrix) {
        using T = typename decltype(values)::value_type;
        for (std::size_t n : {0, 1, 5, 6, 11, static_cast<int>(values.size())}) {
            std::vector<T> v(values.begin(), values.begin() + n);
            std::valarray<T> a(v.data(), n);
            char* title = n == 1 ? nullptr : kTitle;
            const std::string expected = Capture([&](FILE* fp) {
                std::fprintf(fp, "\n%s\n", title);
                for (std::size_t i = 0; i < n; i += 5) {
                    std::fprintf(fp, "%3d) ", static_cast<int>(i + 1));
                    for (std::size_t j = i; j < i + 5 && j < n; ++j)
                        std::fprintf(fp, format, v[j]);
                    std::fputc('\n', fp);
                }
                std::fflush(fp);
            });
            EXPECT_EQ(Capture([&](FILE* fp) { vector(title, fp, v); }), expected) << n;
            EXPECT_EQ(Capture([&](FILE* fp) { array(title, fp, a); }), expected) << n;
        }
        for (const auto& r : counts)
            for (const auto& c : counts) {
                CMatrix<T> m(r[0], c[0]);
                for (int i = 0; i < r[0] * c[0]; ++i)
                    m(i % r[0], i / r[0]) = values[i];
                EXPECT_EQ(Capture([&](FILE* fp) { matrix(kTitle, fp, m, r[1], c[1]); }),
                          Capture([&](FILE* fp) {
                              FprintfMatrix(fp, kTitle, m, r[2], c[2], matrixFormat);
                          }))
                    << r[1] << ' ' << c[1];
            }
    };
    using D = CDebugUtil;
    expect(doubles, "%16.8g  ", "%16.8g ", D::DumpDoubleVector, D::DumpDoubleArray,
           D::DumpDoubleMatrix);
    expect(ints, "%10d  ", "%10d  ", D::DumpIntegerVector, D::DumpIntegerArray,
           D::DumpIntegerMatrix);
}
