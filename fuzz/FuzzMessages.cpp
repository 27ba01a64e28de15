// The five message functions of the fuzz programs. They replace the stand-in
// library's (the dynamic linker binds the library's calls to these), so that
// millions of runs print nothing; each only counts its calls.

#include <Scrivane.h>

#include "FuzzSupport.h"

kolvfuzz::MessageCounts kolvfuzz::messages;

extern "C" {

void LPrint(const char*, ...) {
    ++kolvfuzz::messages.print;
}

void LError(const char*, ...) {
    ++kolvfuzz::messages.error;
}

void LException(const char*, int, const char*) {
    ++kolvfuzz::messages.exception;
}

void LGenException(const char*, int) {
    ++kolvfuzz::messages.genException;
}

void LNewException(const char*, int, const char*) {
    ++kolvfuzz::messages.newException;
}

}  // extern "C"
