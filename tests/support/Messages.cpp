#include "Messages.h"

#include <Scrivane.h>

#include <cstdarg>
#include <cstdio>

namespace {

std::vector<Message>& Log() {
    static std::vector<Message> log;
    return log;
}

std::string Format(const char* pszFormat, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(&text[0], text.size() + 1, pszFormat, args);
    }
    return text;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const Message& message) {
    return os << message.function << "(" << message.tag << ":" << message.line << ", \""
              << message.text << "\")";
}

const std::vector<Message>& RecordedMessages() {
    return Log();
}
void ClearMessages() {
    Log().clear();
}

std::string PrintedText() {
    std::string text;
    for (const Message& message : Log()) {
        if (message.function == "LPrint" || message.function == "LError") {
            text += message.text;
        }
    }
    return text;
}

extern "C" {

void LPrint(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    Log().push_back({"LPrint", "", 0, Format(pszFormat, args)});
    va_end(args);
}

void LError(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    Log().push_back({"LError", "", 0, Format(pszFormat, args)});
    va_end(args);
}

void LException(const char* pszFile, int nLine, const char* pszWhat) {
    Log().push_back({"LException", pszFile, nLine, pszWhat});
}

void LGenException(const char* pszFile, int nLine) {
    Log().push_back({"LGenException", pszFile, nLine, ""});
}

void LNewException(const char* pszFile, int nLine, const char* pszMessage) {
    Log().push_back({"LNewException", pszFile, nLine, pszMessage});
}

}  // extern "C"
