// ReferenceDump.h: capturing what a writer has flushed to a stream, and the
// matrix dump written plainly with fprintf, the reference that CDebugUtil's
// matrix dumps must equal byte for byte.

#ifndef KOLV_TEST_REFERENCEDUMP_H
#define KOLV_TEST_REFERENCEDUMP_H

#include <cstdio>
#include <string>

#include "Matrix.h"

// The bytes that write(fp) has flushed to a stream by the time it returns, as
// a file would hold them: what it leaves in the stream's buffer is not counted.
template <class Write>
std::string Capture(Write write) {
    std::string bytes;
    const auto append = [](void* to, const char* data, std::size_t size) {
        static_cast<std::string*>(to)->append(data, size);
        return static_cast<ssize_t>(size);
    };
    FILE* fp = fopencookie(&bytes, "w", {nullptr, append, nullptr, nullptr});
    write(fp);
    std::string flushed = bytes;
    std::fclose(fp);
    return flushed;
}

// The matrix dump with fprintf: the title, a number and a hyphen group for
// every column of the matrix, then exactly nRows rows of nCols values, each
// written with pszFormat; flushed, as the library's dumps flush.
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
    std::fflush(fp);
}

#endif  // KOLV_TEST_REFERENCEDUMP_H
