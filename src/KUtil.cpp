// CKUtil: strings, file names, the log header and integer combinatorics.

#include "KUtil.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <numeric>
#include <stdexcept>
#include <string_view>

#include "LineSplit.h"
#include "PathText.h"
#include "Scrivane.h"
#include "TracePoint.h"

namespace {

constexpr const char* kSourceTag = "../KUtil";

// The text length: the characters before the first NUL.
std::size_t TextLength(const std::string& str) {
    return std::strlen(str.c_str());
}

// True when the name ends in exactly these bytes.
bool EndsWith(const std::string& strName, std::string_view ending) {
    return strName.size() >= ending.size() &&
           strName.compare(strName.size() - ending.size(), ending.size(), ending) == 0;
}

// The current local time as ctime() writes it, without its line feed. ctime()
// gives null for a year it cannot write in its 24 characters; the date is then
// shown as 24 '?', so that the header keeps its layout.
std::string DateText() {
    const std::time_t now = std::time(nullptr);
    const char* pszDate = std::ctime(&now);
    std::string date = pszDate != nullptr ? pszDate : std::string(24, '?');
    const std::string::size_type lineFeed = date.find('\n');
    if (lineFeed != std::string::npos) {
        date.erase(lineFeed);
    }
    return date;
}

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
    const std::size_t width = nWidth < 0 ? strText.size() : static_cast<std::size_t>(nWidth);
    for (std::size_t position = 0; position < strText.size(); position += width) {
        vPieces.push_back(strText.substr(position, width));
    }
}

// ----- File names ----------------------------------------------------------------

bool CKUtil::IsMATLAB(std::string& strName) {
    KOLV_TRACE_BEGIN
    return EndsWith(strName, ".m");
    KOLV_TRACE_END(kSourceTag)
}

bool CKUtil::IsPython(std::string& strName) {
    KOLV_TRACE_BEGIN
    return EndsWith(strName, ".py") || EndsWith(strName, ".PY");
    KOLV_TRACE_END(kSourceTag)
}

bool CKUtil::IsExcel(std::string& strName) {
    KOLV_TRACE_BEGIN
    return EndsWith(strName, ".kxl") || EndsWith(strName, ".KXL");
    KOLV_TRACE_END(kSourceTag)
}

std::string CKUtil::TrimFileName(std::string& strName, int nWidth) {
    KOLV_TRACE_BEGIN
    if (nWidth <= 3) {
        return strName;  // no room for "..." and a character
    }
    kolv::ForwardSlashes(strName);
    const std::size_t width = static_cast<std::size_t>(nWidth);
    if (strName.size() <= width) {
        return strName;
    }
    const std::string::size_type first = strName.find('/');
    const std::string::size_type last = strName.rfind('/');
    if (first != last) {
        std::string headAndTail = strName.substr(0, first + 1) + "..." + strName.substr(last);
        if (headAndTail.size() <= width) {
            return headAndTail;
        }
    }
    return "..." + strName.substr(strName.size() - (width - 3));
    KOLV_TRACE_END(kSourceTag)
}

// ----- Log header ----------------------------------------------------------------

void CKUtil::DumpLogFileHeader(int nTask, std::string& strTaskName, std::string& strDbFile) {
    KOLV_TRACE_BEGIN
    constexpr int kFieldWidth = 52;
    const std::string date = DateText();
    LPrint("================================================================================\n");
    LPrint("* Log File Generated On : %-24s                             *\n", date.c_str());
    strDbFile = TrimFileName(strDbFile, kFieldWidth);
    LPrint("*    Database File Name : %-52.52s *\n", strDbFile.c_str());
    LPrint("*           Task Number : %-5d                                                *\n",
           nTask);

    // The task name is wrapped as COSUtil::SplitLine would, but walked once as
    // a view instead of cutting each piece off the front of the caller's
    // string. The field shows at most 52 characters, so only those are copied.
    std::string_view rest(strTaskName);
    std::string field;
    const auto takePiece = [&rest, &field]() {
        const kolv::LinePiece piece = kolv::NextLinePiece(rest, kFieldWidth);
        field.assign(rest.data(), std::min<std::size_t>(piece.length, kFieldWidth));
        rest.remove_prefix(piece.consumed);
        return field.c_str();
    };
    LPrint("*             Task Name : ");
    LPrint("%-52.52s *\n", takePiece());
    while (!rest.empty()) {
        LPrint("*                         %-52.52s *\n", takePiece());
    }
    strTaskName.clear();
    LPrint("================================================================================\n\n");
    KOLV_TRACE_END(kSourceTag)
}
