// The quiet message library of the benchmarks and the fuzz driver: the five
// functions do nothing, so that terminal output neither skews a timing nor
// floods a fuzzing run. The dynamic linker binds the library's calls to these
// instead of the stand-in's.

#include <Scrivane.h>

extern "C" {

void LPrint(const char*, ...) {}
void LError(const char*, ...) {}
void LException(const char*, int, const char*) {}
void LGenException(const char*, int) {}
void LNewException(const char*, int, const char*) {}

}  // extern "C"
