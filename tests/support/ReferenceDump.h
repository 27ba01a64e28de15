// ReferenceDump.h: capturing what a writer puts on a stream, and the matrix
// dump written plainly with fprintf, the reference that CDebugUtil's matrix
// dumps must equal byte for byte.

#ifndef KOLV_TEST_REFERENCEDUMP_H
#define KOLV_TEST_REFERENCEDUMP_H

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Matrix.h"

// The bytes that write(fp) puts on a stream.
template <class Write>
std::string Capture(Write write) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* fp = open_memstream(&buffer, &size);
    write(fp);
    std::fclose(fp);
    std::string bytes(buffer, size);
    std::free(buffer);
    return bytes;
}

// The matrix dump with fprintf: the title, a number and a hyphen group for
// every column of the matrix, then exactly nRows rows of nCols values, each
// written with pszFormat.
template <class T>
void FprintfMatrix(FILE* fp, const char* pszTitle, CMatrix<T>& m, int nRows, int nCols,
                   const char* pszFormat) {
    std::fprintf(fp, "\n%s\n      ", pszTitle);
    for (unsigned c = 0; c < m.Cols(); ++c) {
        std::fprintf(fp, "%16d ", static_cast<int>(c));
    }
    std::fprintf(fp, "\n      ");
    for (unsigned c = 0; c < m.Cols(); ++c) {
        std::fprintf(fp, "---------------- ");
    }
    std::fprintf(fp, "\n");
    for (int r = 0; r < nRows; ++r) {
        std::fprintf(fp, "%4d) ", r);
        for (int c = 0; c < nCols; ++c) {
            std::fprintf(fp, pszFormat, m(r, c));
        }
        std::fprintf(fp, "\n");
    }
}

#endif  // KOLV_TEST_REFERENCEDUMP_H
