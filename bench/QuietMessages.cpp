// The quiet message functions of the benchmarks and the fuzz driver, bound by
// the dynamic linker in place of the stand-in's: no terminal output skews a
// timing or floods a fuzzing run.

#include <Scrivane.h>

extern "C" {

void LPrint(const char*, ...) {}
void LError(const char*, ...) {}
void LException(const char*, int, const char*) {}
void LGenException(const char*, int) {}
void LNewException(const char*, int, const char*) {}

}  // extern "C"
