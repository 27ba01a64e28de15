#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "DebugUtil.h"
#include "ReferenceDump.h"

namespace {

char kTitle[] = "Title";

// Reference dumps, written plainly with fprintf. The matrix reference prints
// exactly nRows rows of nCols values.
template <class T>
std::string ReferenceMatrix(CMatrix<T>& m, int nRows, int nCols, const char* pszFormat) {
    return Capture([&](FILE* fp) { FprintfMatrix(fp, kTitle, m, nRows, nCols, pszFormat); });
}

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
        if (!v.empty()) {
            fputc('\n', fp);
        }
    });
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

std::vector<double> TestDoubles() {
    std::vector<double> v = {
        0.0,      -0.0,    INFINITY,     -INFINITY,    NAN,         -NAN,        DBL_MAX,
        -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_MIN / 3, 1e16,        -1e16,       1e17,
        1e-5,     1e-4,    99999999.5,   999999995.0,  100000005.0, 100000015.0, 0.5};
    for (double d : {1e16, 1e8, 1e-4, 1e100}) {
        v.push_back(std::nextafter(d, 0.0));
        v.push_back(std::nextafter(d, INFINITY));
    }
    std::mt19937_64 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();  // any exponent, NaNs with payloads too
        double d;
        std::memcpy(&d, &bits, sizeof d);
        v.push_back(d);
        v.push_back(std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(i % 100) - 80));
    }
    return v;
}

std::vector<int> TestIntegers() {
    std::vector<int> v = {0,         1,          -1,        INT_MIN,    INT_MAX,    INT_MIN + 1,
                          999999999, 1000000000, -99999999, -999999999, -1000000000};
    std::mt19937 random(6789);
    for (int i = 0; i < 2000; ++i) {
        v.push_back(static_cast<int>(random()) >> (i % 32));
    }
    return v;
}

// The four one-dimensional dumps against the reference.
void ExpectOneDimensionalDumps(std::vector<double> doubles, std::vector<int> ints) {
    std::valarray<double> doubleArray(doubles.data(), doubles.size());
    std::valarray<int> intArray(ints.data(), ints.size());
    const std::string doubleValues = ReferenceValues(doubles, "%16.8g  ");
    const std::string intValues = ReferenceValues(ints, "%10d  ");
    EXPECT_EQ(Capture([&](FILE* fp) { CDebugUtil::DumpDoubleVector(kTitle, fp, doubles); }),
              doubleValues);
    EXPECT_EQ(Capture([&](FILE* fp) { CDebugUtil::DumpDoubleArray(kTitle, fp, doubleArray); }),
              doubleValues);
    EXPECT_EQ(Capture([&](FILE* fp) { CDebugUtil::DumpIntegerVector(kTitle, fp, ints); }),
              intValues);
    EXPECT_EQ(Capture([&](FILE* fp) { CDebugUtil::DumpIntegerArray(kTitle, fp, intArray); }),
              intValues);
}

TEST(DebugUtilTest, DumpsPrintTheSameBytesAsPrintf) {
    const std::vector<double> doubles = TestDoubles();
    const std::vector<int> ints = TestIntegers();
    ExpectOneDimensionalDumps(doubles, ints);
    CMatrix<double> doubleMatrix = MatrixOf(doubles);
    CMatrix<int> intMatrix = MatrixOf(ints);
    EXPECT_EQ(
        Capture([&](FILE* fp) { CDebugUtil::DumpDoubleMatrix(kTitle, fp, doubleMatrix, 0, 0); }),
        ReferenceMatrix(doubleMatrix, doubleMatrix.Rows(), 7, "%16.8g "));
    EXPECT_EQ(
        Capture([&](FILE* fp) { CDebugUtil::DumpIntegerMatrix(kTitle, fp, intMatrix, 0, 0); }),
        ReferenceMatrix(intMatrix, intMatrix.Rows(), 7, "%10d  "));
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
    for (std::size_t n = 0; n <= 12; ++n) {  // empty, partial and full lines
        ExpectOneDimensionalDumps(std::vector<double>(n, 0.25), std::vector<int>(n, 3));
    }
}

TEST(DebugUtilTest, MatrixCountsAreClampedToTheMatrix) {
    struct Case {
        unsigned nRows, nCols;  // of the matrix
        int nRowsArg, nColsArg;
        int nRowsShown, nColsShown;
    };
    const Case cases[] = {
        {2, 3, 0, 0, 2, 3},  {3, 4, 2, 1, 2, 1},  {3, 4, 0, 2, 3, 2},    {3, 4, 9, 99, 3, 4},
        {3, 4, -1, 2, 0, 0}, {3, 4, 2, -5, 2, 0}, {3, 0, 0, 0, 3, 0},    {3, 0, 2, 5, 2, 0},
        {0, 4, 3, 0, 0, 4},  {0, 0, 0, 0, 0, 0},  {12, 2, 11, 0, 11, 2},
    };
    for (const Case& c : cases) {
        CMatrix<double> doubles(c.nRows, c.nCols);
        CMatrix<int> ints(c.nRows, c.nCols);
        for (unsigned i = 0; i < c.nRows * c.nCols; ++i) {
            doubles(i % c.nRows, i / c.nRows) = i * -1.5;
            ints(i % c.nRows, i / c.nRows) = static_cast<int>(i) * 1000;
        }
        SCOPED_TRACE(testing::Message() << c.nRows << "x" << c.nCols << " matrix, counts "
                                        << c.nRowsArg << ", " << c.nColsArg);
        EXPECT_EQ(Capture([&](FILE* fp) {
                      CDebugUtil::DumpDoubleMatrix(kTitle, fp, doubles, c.nRowsArg, c.nColsArg);
                  }),
                  ReferenceMatrix(doubles, c.nRowsShown, c.nColsShown, "%16.8g "));
        EXPECT_EQ(Capture([&](FILE* fp) {
                      CDebugUtil::DumpIntegerMatrix(kTitle, fp, ints, c.nRowsArg, c.nColsArg);
                  }),
                  ReferenceMatrix(ints, c.nRowsShown, c.nColsShown, "%10d  "));
    }
    CMatrix<int> noColumns(2, 0);
    EXPECT_EQ(
        Capture([&](FILE* fp) { CDebugUtil::DumpIntegerMatrix(kTitle, fp, noColumns, 0, 0); }),
        "\nTitle\n      \n      \n   0) \n   1) \n");
}

TEST(DebugUtilTest, DumpFlushesEveryOpenStream) {
    FILE* other = tmpfile();
    fputs("pending", other);  // held in the stream's buffer
    std::vector<int> v = {1};
    Capture([&](FILE* fp) { CDebugUtil::DumpIntegerVector(kTitle, fp, v); });
    struct stat status;
    ASSERT_EQ(fstat(fileno(other), &status), 0);
    EXPECT_EQ(status.st_size, 7);
    fclose(other);
}

}  // namespace
