// Messages.cpp: the recording message functions that replace the stand-in's.

#include "Messages.h"

#include <Scrivane.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

static std::vector<Message> recorded;  // no message is written before main or after it

const std::vector<Message>& RecordedMessages() {
    return recorded;
}

void ClearMessages() {
    recorded.clear();
}

extern "C" {

// The formatted calls, recorded with their text.
#define RECORD_FORMATTED(function)                                                           \
    void function(const char* pszFormat, ...) {                                              \
        std::va_list args;                                                                   \
        va_start(args, pszFormat);                                                           \
        char* text = nullptr;                                                                \
        const int length = vasprintf(&text, pszFormat, args);                                \
        va_end(args);                                                                        \
        recorded.push_back({#function, "", 0, length > 0 ? std::string(text, length) : ""}); \
        std::free(length >= 0 ? text : nullptr);                                             \
    }
RECORD_FORMATTED(LPrint)
RECORD_FORMATTED(LError)

void LException(const char* pszFile, int nLine, const char* pszWhat) {
    recorded.push_back({"LException", pszFile, nLine, pszWhat});
}

void LGenException(const char* pszFile, int nLine) {
    recorded.push_back({"LGenException", pszFile, nLine, ""});
}

void LNewException(const char* pszFile, int nLine, const char* pszMessage) {
    recorded.push_back({"LNewException", pszFile, nLine, pszMessage});
}

}  // extern "C"
