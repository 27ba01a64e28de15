/// @file
/// @brief Debug dumps of matrices, valarrays and vectors (CDebugUtil).
///
/// Each dump writes a titled fixed-width text table to a stream the caller
/// opened, then flushes all open output streams (`fflush(NULL)`). Write
/// errors are not looked at. A null title prints as `(null)`, as the C
/// library's printf prints it. The dumps touch only their arguments;
/// concurrent dumps to one stream interleave. They throw nothing of their own
/// (only std::bad_alloc when the line buffer cannot grow).
///
/// Matrix layout: `"\n<title>\n"`, six blanks and a `"%16d "` column number
/// for every column of the matrix, a line of `"---------------- "` groups,
/// then a `"%4d) "` labelled line per row with the values. Counts of 0 mean
/// the whole matrix; counts are clamped to the matrix's dimensions and a
/// negative count prints nothing of that dimension.
///
/// One-dimensional layout: `"\n<title>\n"`, then lines of five values, each
/// labelled with the 1-based position of its first value (`"%3d) "`).
///
/// Traced, with the source tag `"../DebugUtil"`: all six dumps
/// (DumpDoubleMatrix, DumpIntegerMatrix, DumpDoubleArray, DumpIntegerArray,
/// DumpDoubleVector, DumpIntegerVector). An exception passing one is reported
/// to the message library (LException, or LGenException for one not derived
/// from std::exception) and rethrown as the same object.

#ifndef DEBUGUTIL_H
#define DEBUGUTIL_H

#include <cstdio>
#include <valarray>
#include <vector>

#include "KolvUtilExport.h"
#include "Matrix.h"

/// Debug dumps to a stream the caller opened, as text tables (see DebugUtil.h
/// for the layouts).
class KOLVUTIL_API CDebugUtil {
public:
    /// nRows x nCols of m in the matrix layout, values as `"%16.8g "`.
    static void DumpDoubleMatrix(char* pszTitle, FILE* fp, CMatrix<double>& m, int nRows,
                                 int nCols);
    /// nRows x nCols of m in the matrix layout, values as `"%10d  "`
    /// (narrower than the column numbers above them).
    static void DumpIntegerMatrix(char* pszTitle, FILE* fp, CMatrix<int>& m, int nRows, int nCols);
    /// v in the one-dimensional layout (the title alone for an empty v),
    /// values as `"%16.8g  "`.
    static void DumpDoubleArray(char* pszTitle, FILE* fp, std::valarray<double>& v);
    /// v in the one-dimensional layout (the title alone for an empty v),
    /// values as `"%10d  "`.
    static void DumpIntegerArray(char* pszTitle, FILE* fp, std::valarray<int>& v);
    /// v in the one-dimensional layout (the title alone for an empty v),
    /// values as `"%16.8g  "`.
    static void DumpDoubleVector(char* pszTitle, FILE* fp, std::vector<double>& v);
    /// v in the one-dimensional layout (the title alone for an empty v),
    /// values as `"%10d  "`.
    static void DumpIntegerVector(char* pszTitle, FILE* fp, std::vector<int>& v);
};

#endif  // DEBUGUTIL_H
