// The benchmark programs' silent message functions, bound by the dynamic
// linker in place of the stand-in's so that no benchmark times terminal output.

#include <Scrivane.h>

extern "C" {

void LPrint(const char*, ...) {}
void LError(const char*, ...) {}
void LException(const char*, int, const char*) {}
void LGenException(const char*, int) {}
void LNewException(const char*, int, const char*) {}

}  // extern "C"
