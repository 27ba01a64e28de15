// The five message functions, recording or forwarding (LibraryMessages.h).

#include "LibraryMessages.h"

#include <Scrivane.h>

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace kolvenv {

namespace {

// Where the messages go while a capture is alive; null otherwise.
std::vector<LibraryMessage>* g_sink = nullptr;

std::string Format(const char* pszFormat, std::va_list args) {
    if (pszFormat == nullptr) {
        return "";
    }
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (length <= 0) {
        return "";
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    (void)std::vsnprintf(text.data(), text.size() + 1, pszFormat, args);  // fits: measured above
    return text;
}

const char* OrEmpty(const char* psz) {
    return psz != nullptr ? psz : "";
}

std::string ExceptionReport(const char* prefix, const char* pszFile, int nLine, const char* what) {
    return std::string(prefix) + OrEmpty(pszFile) + "(" + std::to_string(nLine) +
           "): " + OrEmpty(what) + "\n";
}

// Records the text, or writes it to the stream. Never throws: the library
// relies on the message functions returning.
void Deliver(const char* function, const std::string& text, std::FILE* stream) noexcept {
    if (g_sink != nullptr) {
        try {
            g_sink->push_back({function, text});
            return;
        } catch (...) {
            // Out of memory: fall back to writing the text.
        }
    }
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

// Formats and delivers one LPrint or LError call.
void DeliverFormatted(const char* function, std::FILE* stream, const char* pszFormat,
                      std::va_list args) noexcept {
    try {
        Deliver(function, Format(pszFormat, args), stream);
    } catch (...) {
        // Formatting ran out of memory: nothing can be said.
    }
}

// Delivers one exception report.
void DeliverReport(const char* function, const char* prefix, const char* pszFile, int nLine,
                   const char* what) noexcept {
    try {
        Deliver(function, ExceptionReport(prefix, pszFile, nLine, what), stderr);
    } catch (...) {
    }
}

}  // namespace

MessageCapture::MessageCapture() : m_previous(g_sink) {
    g_sink = &m_messages;
}

MessageCapture::~MessageCapture() {
    g_sink = m_previous;
}

std::vector<LibraryMessage> MessageCapture::Take() {
    return std::exchange(m_messages, {});
}

}  // namespace kolvenv

extern "C" {

void LPrint(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    kolvenv::DeliverFormatted("LPrint", stdout, pszFormat, args);
    va_end(args);
}

void LError(const char* pszFormat, ...) {
    std::va_list args;
    va_start(args, pszFormat);
    kolvenv::DeliverFormatted("LError", stderr, pszFormat, args);
    va_end(args);
}

void LException(const char* pszFile, int nLine, const char* pszWhat) {
    kolvenv::DeliverReport("LException", "EXCEPTION: ", pszFile, nLine, pszWhat);
}

void LGenException(const char* pszFile, int nLine) {
    kolvenv::DeliverReport("LGenException", "EXCEPTION: ", pszFile, nLine, "unknown exception");
}

void LNewException(const char* pszFile, int nLine, const char* pszMessage) {
    kolvenv::DeliverReport("LNewException", "NEW EXCEPTION: ", pszFile, nLine, pszMessage);
}

}  // extern "C"
