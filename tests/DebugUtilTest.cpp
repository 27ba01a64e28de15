#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "DebugUtil.h"
#include "ReferenceDump.h"

namespace {

char kTitle[] = "Title";

// The one-dimensional dump written plainly with fprintf: five values a line,
// each line led by the position of its first value.
template <class T>
std::string ReferenceValues(const std::vector<T>& v, const char* pszFormat) {
    return Capture([&](FILE* fp) {
        fprintf(fp, "\n%s\n", kTitle);
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i % 5 == 0) {
                fprintf(fp, "%s%3d) ", i == 0 ? "" : "\n", static_cast<int>(i + 1));
            }
            fprintf(fp, pszFormat, v[i]);
        }
        fputs(v.empty() ? "" : "\n", fp);
    });
}

// The vector and valarray dumps of both types against the reference.
void ExpectOneDimensionalDumps(std::vector<double> doubles, std::vector<int> ints) {
    std::valarray<double> doubleArray(doubles.data(), doubles.size());
    std::valarray<int> intArray(ints.data(), ints.size());
    const std::string doubleText = ReferenceValues(doubles, "%16.8g  ");
    const std::string intText = ReferenceValues(ints, "%10d  ");
    using D = CDebugUtil;
    EXPECT_EQ(Capture([&](FILE* fp) { D::DumpDoubleVector(kTitle, fp, doubles); }), doubleText);
    EXPECT_EQ(Capture([&](FILE* fp) { D::DumpDoubleArray(kTitle, fp, doubleArray); }), doubleText);
    EXPECT_EQ(Capture([&](FILE* fp) { D::DumpIntegerVector(kTitle, fp, ints); }), intText);
    EXPECT_EQ(Capture([&](FILE* fp) { D::DumpIntegerArray(kTitle, fp, intArray); }), intText);
}

// A matrix dump with these counts against the reference showing exactly
// nRowsShown x nColsShown values.
template <class T>
void ExpectMatrixDump(void (*dump)(char*, FILE*, CMatrix<T>&, int, int), CMatrix<T>& m, int nRows,
                      int nCols, int nRowsShown, int nColsShown) {
    const char* format = std::is_same<T, double>::value ? "%16.8g " : "%10d  ";
    EXPECT_EQ(Capture([&](FILE* fp) { dump(kTitle, fp, m, nRows, nCols); }), Capture([&](FILE* fp) {
                  FprintfMatrix(fp, kTitle, m, nRowsShown, nColsShown, format);
              }));
}

// A matrix of 7 columns filled column by column from the values.
template <class T>
CMatrix<T> MatrixOf(const std::vector<T>& v) {
    CMatrix<T> m(static_cast<unsigned>((v.size() + 6) / 7), 7);
    for (std::size_t i = 0; i < v.size(); ++i) {
        m(i % m.Rows(), static_cast<unsigned>(i / m.Rows())) = v[i];
    }
    return m;
}

// Zeros, infinities, NaNs, denormals, rounding edges of "%.8g", then random
// bit patterns (any exponent, NaN payloads) and random scaled integers.
TEST(DebugUtilTest, DumpsPrintTheSameBytesAsPrintf) {
    std::vector<double> doubles = {
        0.0,      -0.0,    INFINITY,     -INFINITY,    NAN,         -NAN,        DBL_MAX,
        -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_MIN / 3, 1e16,        -1e16,       1e17,
        1e-5,     1e-4,    99999999.5,   999999995.0,  100000005.0, 100000015.0, 0.5};
    for (double d : {1e16, 1e8, 1e-4, 1e100}) {
        doubles.insert(doubles.end(), {std::nextafter(d, 0.0), std::nextafter(d, INFINITY)});
    }
    std::mt19937_64 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        doubles.insert(doubles.end(),
                       {d, std::ldexp(static_cast<double>(bits >> 11), i % 100 - 80)});
    }
    std::vector<int> ints = {0,         1,          -1,        INT_MIN,    INT_MAX,    INT_MIN + 1,
                             999999999, 1000000000, -99999999, -999999999, -1000000000};
    for (int i = 0; i < 2000; ++i) {
        ints.push_back(static_cast<int>(random()) >> (i % 32));
    }
    for (std::size_t n = 0; n <= 12; ++n) {  // empty, partial and full lines
        ExpectOneDimensionalDumps({doubles.begin(), doubles.begin() + n},
                                  {ints.begin(), ints.begin() + n});
    }
    ExpectOneDimensionalDumps(doubles, ints);
    CMatrix<double> doubleMatrix = MatrixOf(doubles);
    CMatrix<int> intMatrix = MatrixOf(ints);
    ExpectMatrixDump(CDebugUtil::DumpDoubleMatrix, doubleMatrix, 0, 0,
                     static_cast<int>(doubleMatrix.Rows()), 7);
    ExpectMatrixDump(CDebugUtil::DumpIntegerMatrix, intMatrix, 0, 0,
                     static_cast<int>(intMatrix.Rows()), 7);
}

TEST(DebugUtilTest, OneDimensionalLayoutHasFiveValuesToALine) {
    EXPECT_EQ(Capture([](FILE* fp) {
                  std::valarray<int> v = {1, 2, 3, 4, 5, 6, -7};
                  CDebugUtil::DumpIntegerArray(kTitle, fp, v);
              }),
              "\nTitle\n  1)          1           2           3           4           5  \n"
              "  6)          6          -7  \n");
    EXPECT_EQ(Capture([](FILE* fp) {
                  std::vector<double> empty;
                  CDebugUtil::DumpDoubleVector(kTitle, fp, empty);
                  CDebugUtil::DumpDoubleVector(nullptr, fp, empty);
              }),
              "\nTitle\n\n(null)\n");
}

// A count of 0 shows the whole dimension, a negative one none, a larger one
// the whole; the header always covers every column of the matrix.
TEST(DebugUtilTest, MatrixCountsAreClampedToTheMatrix) {
    const struct {
        unsigned nRows, nCols;  // of the matrix
        int nRowsArg, nColsArg, nRowsShown, nColsShown;
    } cases[] = {
        {2, 3, 0, 0, 2, 3},  {3, 4, 2, 1, 2, 1},  {3, 4, 0, 2, 3, 2},    {3, 4, 9, 99, 3, 4},
        {3, 4, -1, 2, 0, 0}, {3, 4, 2, -5, 2, 0}, {3, 0, 0, 0, 3, 0},    {3, 0, 2, 5, 2, 0},
        {0, 4, 3, 0, 0, 4},  {0, 0, 0, 0, 0, 0},  {12, 2, 11, 0, 11, 2},
    };
    for (const auto& c : cases) {
        CMatrix<double> doubles(c.nRows, c.nCols);
        CMatrix<int> ints(c.nRows, c.nCols);
        for (unsigned i = 0; i < c.nRows * c.nCols; ++i) {
            doubles(i % c.nRows, i / c.nRows) = i * -1.5;
            ints(i % c.nRows, i / c.nRows) = static_cast<int>(i) * 1000;
        }
        SCOPED_TRACE(testing::Message() << c.nRows << "x" << c.nCols << " matrix, counts "
                                        << c.nRowsArg << ", " << c.nColsArg);
        ExpectMatrixDump(CDebugUtil::DumpDoubleMatrix, doubles, c.nRowsArg, c.nColsArg,
                         c.nRowsShown, c.nColsShown);
        ExpectMatrixDump(CDebugUtil::DumpIntegerMatrix, ints, c.nRowsArg, c.nColsArg, c.nRowsShown,
                         c.nColsShown);
    }
    CMatrix<int> noColumns(2, 0);
    EXPECT_EQ(
        Capture([&](FILE* fp) { CDebugUtil::DumpIntegerMatrix(kTitle, fp, noColumns, 0, 0); }),
        "\nTitle\n      \n      \n   0) \n   1) \n");
}

// Every open stream is flushed, not only the one written.
TEST(DebugUtilTest, DumpsFlushEveryOpenStream) {
    FILE* other = tmpfile();
    std::vector<int> v = {1};
    CMatrix<int> m(1, 1);
    struct stat status;
    fputs("pending", other);
    Capture([&](FILE* fp) { CDebugUtil::DumpIntegerVector(kTitle, fp, v); });
    EXPECT_TRUE(fstat(fileno(other), &status) == 0 && status.st_size == 7);
    fputs("more", other);
    Capture([&](FILE* fp) { CDebugUtil::DumpIntegerMatrix(kTitle, fp, m, 0, 0); });
    EXPECT_TRUE(fstat(fileno(other), &status) == 0 && status.st_size == 11);
    fclose(other);
}

}  // namespace
