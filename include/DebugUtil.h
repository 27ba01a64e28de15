// DebugUtil.h: debug dumps of matrices, valarrays and vectors.
//
// Each dump writes a titled fixed-width text table to a stream the caller
// opened, then flushes all open output streams (fflush(NULL)). Write errors
// are not looked at. Every dump is traced ("../DebugUtil"). The dumps touch
// only their arguments; concurrent dumps to one stream interleave. A null
// title prints as "(null)", as the C library's printf prints it.
//
// Matrix layout: "\n<title>\n", six blanks and a "%16d " column number for
// every column of the matrix, a line of "---------------- " groups, then a
// "%4d) " labelled line per row with the values. Counts of 0 mean the whole
// matrix; counts are clamped to the matrix's dimensions and a negative count
// prints nothing of that dimension.
//
// One-dimensional layout: "\n<title>\n", then lines of five values, each
// labelled with the 1-based position of its first value ("%3d) ").

#ifndef DEBUGUTIL_H
#define DEBUGUTIL_H

#include <cstdio>
#include <valarray>
#include <vector>

#include "KolvUtilExport.h"
#include "Matrix.h"

class KOLVUTIL_API CDebugUtil {
public:
    // Values as "%16.8g ".
    static void DumpDoubleMatrix(char* pszTitle, FILE* fp, CMatrix<double>& m, int nRows,
                                 int nCols);
    // Values as "%10d  " (narrower than the column numbers above them).
    static void DumpIntegerMatrix(char* pszTitle, FILE* fp, CMatrix<int>& m, int nRows, int nCols);
    // Values as "%16.8g  ".
    static void DumpDoubleArray(char* pszTitle, FILE* fp, std::valarray<double>& v);
    // Values as "%10d  ".
    static void DumpIntegerArray(char* pszTitle, FILE* fp, std::valarray<int>& v);
    // Values as "%16.8g  ".
    static void DumpDoubleVector(char* pszTitle, FILE* fp, std::vector<double>& v);
    // Values as "%10d  ".
    static void DumpIntegerVector(char* pszTitle, FILE* fp, std::vector<int>& v);
};

#endif  // DEBUGUTIL_H
