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

// Replaces each character before the first NUL by `convert` of it, taken as
// unsigned char (the character functions' domain).
void MapText(std::string& str, int (*convert)(int)) {
    const std::size_t length = TextLength(str);
    for (std::size_t i = 0; i < length; ++i) {
        str[i] = static_cast<char>(convert(static_cast<unsigned char>(str[i])));
    }
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

// Binomial coefficients at or above this count as this (saturation).
constexpr std::int64_t kBinomialCap = std::int64_t{1} << 62;

// Pascal's triangle for a < kTableRows, exact: its largest entry, C(63, 31),
// is below 2^60.
constexpr int kTableRows = 64;

struct BinomialTable {
    std::int64_t value[kTableRows][kTableRows]{};

    constexpr BinomialTable() {
        for (int a = 0; a < kTableRows; ++a) {
            value[a][0] = 1;
            for (int b = 1; b <= a; ++b) {
                value[a][b] = value[a - 1][b - 1] + value[a - 1][b];
            }
        }
    }
};

constexpr BinomialTable kBinomials;

// C(a, b), or kBinomialCap when it is that large or larger; 0 outside
// 0 <= b <= a. Small ones come from the table. Otherwise C(a, i) grows with i
// up to b <= a/2, so the walk can stop at the first value past the cap. Each
// step divides out the common factor first (i / g always divides a - i + 1),
// so nothing overflows on the way.
std::int64_t Binomial(std::int64_t a, std::int64_t b) {
    if (b < 0 || b > a) {
        return 0;
    }
    if (a < kTableRows) {
        return kBinomials.value[a][b];
    }
    b = std::min(b, a - b);
    std::int64_t value = 1;
    for (std::int64_t i = 1; i <= b; ++i) {
        const std::int64_t g = std::gcd(value, i);
        const std::int64_t factor = (a - i + 1) / (i / g);
        if (value / g > kBinomialCap / factor) {
            return kBinomialCap;
        }
        value = value / g * factor;
        if (value >= kBinomialCap) {
            return kBinomialCap;
        }
    }
    return value;
}

// The smallest x >= first whose block of combinations holds position rank,
// among the combinations that choose r more members from {first, ..., n-1}:
// those with x as the next member number C(n-1-x, r-1). Lowers rank by the
// combinations of the blocks skipped. Needs rank < C(n-first, r).
int NextMember(int n, int r, int first, std::int64_t& rank) {
    if (n - first <= kTableRows) {
        // Every block comes from the table: skip them one by one. Only blocks
        // no larger than rank (below 2^31) are subtracted.
        int x = first;
        for (std::int64_t block; (block = Binomial(n - 1 - std::int64_t{x}, r - 1)) <= rank; ++x) {
            rank -= block;
        }
        return x;
    }
    if (Binomial(n - 1 - std::int64_t{first}, r - 1) > rank) {
        return first;
    }
    // The first block is at most rank < 2^31 and C(n-first, r) is that block
    // times (n-first)/r, below 2^62: every count here is exact. Below x lie
    // C(n-first, r) - C(n-x, r) combinations; find the last x where that is
    // at most rank.
    const std::int64_t total = Binomial(n - std::int64_t{first}, r);
    int low = first;
    int high = n - r;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (total - Binomial(n - std::int64_t{middle}, r) <= rank) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    rank -= total - Binomial(n - std::int64_t{low}, r);
    return low;
}

}  // namespace

// ----- Strings ---------------------------------------------------------------

void CKUtil::ToLower(std::string& str) {
    KOLV_TRACE_BEGIN
    MapText(str, std::tolower);
    KOLV_TRACE_END(kSourceTag)
}

void CKUtil::ToUpper(std::string& str) {
    KOLV_TRACE_BEGIN
    MapText(str, std::toupper);
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

// ----- File names ------------------------------------------------------------

bool CKUtil::IsMATLAB(std::string& strName) {
    KOLV_TRACE_BEGIN
    return kolv::EndsWith(strName, ".m");
    KOLV_TRACE_END(kSourceTag)
}

bool CKUtil::IsPython(std::string& strName) {
    KOLV_TRACE_BEGIN
    return kolv::EndsWith(strName, ".py") || kolv::EndsWith(strName, ".PY");
    KOLV_TRACE_END(kSourceTag)
}

bool CKUtil::IsExcel(std::string& strName) {
    KOLV_TRACE_BEGIN
    return kolv::EndsWith(strName, ".kxl") || kolv::EndsWith(strName, ".KXL");
    KOLV_TRACE_END(kSourceTag)
}

std::string CKUtil::TrimFileName(std::string& strName, int nWidth) {
    KOLV_TRACE_BEGIN
    if (nWidth <= 3) {
        return strName;  // no room for "..." and a character
    }
    kolv::ForwardSlashes(strName);
    const auto width = static_cast<std::size_t>(nWidth);
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

// ----- Log header ------------------------------------------------------------

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

// ----- Integer combinatorics -------------------------------------------------

int CKUtil::Factorial(int n) {
    // 34! and above hold 2^32 as a factor: their product modulo 2^32 is 0.
    if (n >= 34) {
        return 0;
    }
    std::uint32_t product = 1;
    for (; n > 0; --n) {
        product *= static_cast<std::uint32_t>(n);
    }
    // The 32-bit two's-complement reading of the product, without relying on
    // the implementation's unsigned-to-signed conversion.
    return product <= INT32_MAX ? static_cast<int>(product)
                                : static_cast<int>(std::int64_t{product} - (std::int64_t{1} << 32));
}

void CKUtil::Combo(int n, int k, int m, std::valarray<int>& vCombo) {
    KOLV_TRACE_BEGIN
    if (k < 0 || k > n || m >= Binomial(n, k)) {
        throw std::out_of_range("CKUtil::Combo: no combination at position m = " +
                                std::to_string(m) + " of the k = " + std::to_string(k) +
                                " element subsets of n = " + std::to_string(n) + " elements");
    }
    const std::size_t size = static_cast<std::size_t>(k) + 1;
    if (vCombo.size() != size) {
        vCombo.resize(size);
    }
    vCombo[0] = -1;
    // Unranking: each member in turn is the first value whose block of
    // combinations (all that share the members chosen so far) holds the
    // position, which then counts from the start of that block.
    std::int64_t rank = std::max(m, 0);
    int first = 0;
    for (int j = 1; j <= k; ++j) {
        const int member = NextMember(n, k - j + 1, first, rank);
        vCombo[static_cast<std::size_t>(j)] = member;
        first = member + 1;
    }
    KOLV_TRACE_END(kSourceTag)
}

void CKUtil::SortUnique(std::vector<int>& vValues) {
    KOLV_TRACE_BEGIN
    std::sort(vValues.begin(), vValues.end());
    vValues.erase(std::unique(vValues.begin(), vValues.end()), vValues.end());
    KOLV_TRACE_END(kSourceTag)
}
