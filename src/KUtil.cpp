// CKUtil: strings, file names, the log header and integer combinatorics.

#include "KUtil.h"

#include <cctype>
#include <cstring>

#include "PathText.h"
#include "TracePoint.h"

namespace {

constexpr const char* kSourceTag = "../KUtil";

// The text length: the characters before the first NUL.
std::size_t TextLength(const std::string& str) { return std::strlen(str.c_str()); }

}  // namespace

// ----- Strings -------------------------------------------------------------------

void CKUtil::ToLower(std::string& str) {
    KOLV_TRACE_BEGIN
    const std::size_t length = TextLength(str);
    for (std::size_t i = 0; i < length; ++i) {
        str[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(str[i])));
    }
    KOLV_TRACE_END(kSourceTag)
}

void CKUtil::ToUpper(std::string& str) {
    KOLV_TRACE_BEGIN
    const std::size_t length = TextLength(str);
    for (std::size_t i = 0; i < length; ++i) {
        str[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(str[i])));
    }
    KOLV_TRACE_END(kSourceTag)
}

void CKUtil::TrimLeft(std::string& str) {
    KOLV_TRACE_BEGIN
    const std::size_t length = TextLength(str);
    std::size_t first = 0;
    while (first < length && kolv::IsSpace(str[first])) {
        ++first;
    }
    str.erase(0, first);
    KOLV_TRACE_END(kSourceTag)
}

void CKUtil::TrimRight(std::string& str) {
    KOLV_TRACE_BEGIN
    // Trailing white space of the text, and whatever follows an embedded NUL
    // behind it, goes; a text that does not end in white space is unchanged.
    const std::size_t length = TextLength(str);
    std::size_t end = length;
    while (end > 0 && kolv::IsSpace(str[end - 1])) {
        --end;
    }
    if (end < length) {
        str.erase(end);
    }
    KOLV_TRACE_END(kSourceTag)
}

bool CKUtil::IsASCII(const std::string& str) {
    const std::size_t length = TextLength(str);
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(str[i]) >= 128) {
            return false;
        }
    }
    return true;
}

void CKUtil::SplitName(std::string& strText, int nWidth, std::vector<std::string>& vPieces) {
    if (nWidth == 0) {
        return;  // pieces of no width would never advance
    }
    const std::size_t width =
        nWidth < 0 ? strText.size() : static_cast<std::size_t>(nWidth);
    for (std::size_t position = 0; position < strText.size(); position += width) {
        vPieces.push_back(strText.substr(position, width));
    }
}
