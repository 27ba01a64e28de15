// The benchmark programs' own message library: the five functions do nothing,
// so that a benchmark times the library's work and not terminal output. The
// dynamic linker binds the library's calls to these instead of the stand-in's.

#include <Scrivane.h>

extern "C" {

void LPrint(const char*, ...) {}
void LError(const char*, ...) {}
void LException(const char*, int, const char*) {}
void LGenException(const char*, int) {}
void LNewException(const char*, int, const char*) {}

}  // extern "C"
