// DebugUtilTest.cpp: the six dumps against the same tables written with fprintf.
// Capture reads what a dump has flushed before its stream is closed: the dumps
// must flush it themselves.

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <random>

#include "DebugUtil.h"
#include "ReferenceDump.h"

namespace {

char kTitle[] = "Title";
using D = CDebugUtil;

// Zeros, infinity, NaN, denormals, the extremes and "%.8g" rounding edges, then
// random doubles of every exponent; the extremes, then random integers of every
// width.
struct Values {
    std::vector<double> doubles = {0.0,          -0.0,     -HUGE_VAL, std::nan(""),
                                   DBL_TRUE_MIN, -DBL_MAX, 99999999.5};
    std::vector<int> ints = {INT_MIN, INT_MAX, 1000000000, -999999999};

    Values() {
        std::mt19937_64 random(12345);
        for (int i = 0; i < 400; ++i) {
            const auto bits = static_cast<std::int64_t>(random());
            doubles.push_back(std::ldexp(static_cast<double>(bits), i * 7 % 2100 - 1140));
            ints.push_back(static_cast<int>(bits >> (i % 64)));
        }
    }
};
const Values kValues;

// The vector and valarray dumps of the first 0, 1 (untitled), 5, 6, 11 and
// all values: five to a line, each numbered by its first value.
template <class T, class VectorDump, class ArrayDump>
void ExpectVectorDumps(const std::vector<T>& values, const char* format, VectorDump vector,
                       ArrayDump array) {
    for (const std::size_t n : std::vector<std::size_t>{0, 1, 5, 6, 11, values.size()}) {
        SCOPED_TRACE(n);
        std::vector<T> v(values.begin(), values.begin() + n);
        std::valarray<T> a(v.data(), n);
        char* title = n == 1 ? nullptr : kTitle;
        const std::string expected = Capture([&](FILE* fp) {
            std::fprintf(fp, "\n%s\n", title);
            for (std::size_t i = 0; i < n; i += 5) {
                std::fprintf(fp, "%3d) ", static_cast<int>(i + 1));
                for (std::size_t j = i; j < i + 5 && j < n; ++j) {
                    std::fprintf(fp, format, v[j]);
                }
                std::fputc('\n', fp);
            }
            std::fflush(fp);
        });
        EXPECT_EQ(Capture([&](FILE* fp) { vector(title, fp, v); }), expected);
        EXPECT_EQ(Capture([&](FILE* fp) { array(title, fp, a); }), expected);
    }
}

// One dimension of a matrix dump: the matrix's size, the count asked for (0:
// all) and the count shown. 20 columns make lines longer than the dumps'
// first buffer.
struct Dimension {
    int size;
    int count;
    int shown;
};
const std::array<Dimension, 7> kDimensions = {{
    {3, 0, 3},
    {3, 1, 1},
    {3, 2, 2},
    {3, 9, 3},
    {3, -1, 0},
    {0, 2, 0},
    {20, 0, 20},
}};

template <class T, class MatrixDump>
void ExpectMatrixDumps(const std::vector<T>& values, const char* format, MatrixDump matrix) {
    for (const Dimension& rows : kDimensions) {
        for (const Dimension& cols : kDimensions) {
            SCOPED_TRACE(testing::Message() << rows.size << "x" << cols.size << " matrix, "
                                            << rows.count << "x" << cols.count << " asked");
            CMatrix<T> m(rows.size, cols.size);
            for (int i = 0; i < rows.size * cols.size; ++i) {
                m(i % rows.size, i / rows.size) = values[i];
            }
            const std::string expected = Capture(
                [&](FILE* fp) { FprintfMatrix(fp, kTitle, m, rows.shown, cols.shown, format); });
            EXPECT_EQ(Capture([&](FILE* fp) { matrix(kTitle, fp, m, rows.count, cols.count); }),
                      expected);
        }
    }
}

TEST(DebugUtilTest, VectorAndArrayDumpsMatchFprintf) {
    ExpectVectorDumps(kValues.doubles, "%16.8g  ", D::DumpDoubleVector, D::DumpDoubleArray);
    ExpectVectorDumps(kValues.ints, "%10d  ", D::DumpIntegerVector, D::DumpIntegerArray);
}

TEST(DebugUtilTest, MatrixDumpsMatchFprintf) {
    ExpectMatrixDumps(kValues.doubles, "%16.8g ", D::DumpDoubleMatrix);
    ExpectMatrixDumps(kValues.ints, "%10d  ", D::DumpIntegerMatrix);
}

}  // namespace
