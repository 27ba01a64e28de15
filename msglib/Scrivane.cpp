// The stand-in message library: LPrint to standard output, the rest to
// standard error, each call flushed so that interleaved streams stay ordered.

#include "Scrivane.h"

#include <cstdarg>
#include <cstdio>

namespace {

void WriteFormatted(std::FILE* stream, const char* pszFormat, std::va_list args) {
    if (pszFormat != nullptr) {
        std::vfprintf(stream, pszFormat, args);
    }
    std::fflush(stream);
}

const char* OrEmpty(const char* psz) {
    return psz != nullptr ? psz : "";
}

}  // namespace

extern "C" {

void LPrint(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    WriteFormatted(stdout, pszFormat, args);
    va_end(args);
}

void LError(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    WriteFormatted(stderr, pszFormat, args);
    va_end(args);
}

void LException(const char* pszFile, int nLine, const char* pszWhat) {
    std::fprintf(stderr, "EXCEPTION: %s(%d): %s\n", OrEmpty(pszFile), nLine, OrEmpty(pszWhat));
    std::fflush(stderr);
}

void LGenException(const char* pszFile, int nLine) {
    std::fprintf(stderr, "EXCEPTION: %s(%d): unknown exception\n", OrEmpty(pszFile), nLine);
    std::fflush(stderr);
}

void LNewException(const char* pszFile, int nLine, const char* pszMessage) {
    std::fprintf(stderr, "NEW EXCEPTION: %s(%d): %s\n", OrEmpty(pszFile), nLine,
                 OrEmpty(pszMessage));
    std::fflush(stderr);
}

}  // extern "C"
