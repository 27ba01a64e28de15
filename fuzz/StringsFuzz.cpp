// The string utilities of CKUtil on fuzzed text. SplitName appends, behind
// what the list held, pieces that give back the text, each of the width but
// the last. TrimLeft leaves a suffix and TrimRight a prefix of the text, only
// white space before the first NUL goes, and neither result starts
// (respectively ends) with white space before its first NUL; trimming again
// changes nothing. ToLower and ToUpper map each byte before the first NUL and
// keep the rest; IsASCII looks at the bytes before the first NUL.

#include <KUtil.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "FuzzSupport.h"

namespace {

using kolvfuzz::IsSpace;

// The characters before the first NUL.
std::size_t TextLength(const std::string& text) {
    return std::min(text.size(), text.find('\0'));
}

void CheckSplitName(const std::string& original, int width) {
    std::string text = original;
    std::vector<std::string> pieces{"earlier"};
    CKUtil::SplitName(text, width, pieces);
    FUZZ_CHECK(text == original);
    FUZZ_CHECK(!pieces.empty() && pieces.front() == "earlier");
    if (width == 0 || original.empty()) {
        FUZZ_CHECK(pieces.size() == 1);
        return;
    }
    const std::size_t full = width < 0 ? original.size() : static_cast<std::size_t>(width);
    FUZZ_CHECK(pieces.size() == 1 + (original.size() + full - 1) / full);
    std::string joined;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        FUZZ_CHECK(!pieces[i].empty());
        FUZZ_CHECK(i + 1 == pieces.size() ? pieces[i].size() <= full : pieces[i].size() == full);
        joined += pieces[i];
    }
    FUZZ_CHECK(joined == original);
}

void CheckTrimLeft(const std::string& original) {
    std::string text = original;
    CKUtil::TrimLeft(text);
    FUZZ_CHECK(text.size() <= original.size());
    const std::size_t removed = original.size() - text.size();
    FUZZ_CHECK(original.compare(removed, std::string::npos, text) == 0);
    FUZZ_CHECK(removed <= TextLength(original));
    FUZZ_CHECK(std::all_of(original.begin(), original.begin() + removed, IsSpace));
    FUZZ_CHECK(TextLength(text) == 0 || !IsSpace(text.front()));
    const std::string once = text;
    CKUtil::TrimLeft(text);
    FUZZ_CHECK(text == once);
}

void CheckTrimRight(const std::string& original) {
    std::string text = original;
    CKUtil::TrimRight(text);
    FUZZ_CHECK(text.size() <= original.size());
    FUZZ_CHECK(original.compare(0, text.size(), text) == 0);
    const std::size_t length = TextLength(text);
    FUZZ_CHECK(length == 0 || !IsSpace(text[length - 1]));
    if (text.size() < original.size()) {
        // Cut inside the text before the first NUL, at white space only.
        const std::size_t originalLength = TextLength(original);
        FUZZ_CHECK(text.size() < originalLength);
        FUZZ_CHECK(std::all_of(original.begin() + text.size(), original.begin() + originalLength,
                               IsSpace));
    }
    const std::string once = text;
    CKUtil::TrimRight(text);
    FUZZ_CHECK(text == once);
}

void CheckCase(const std::string& original) {
    const std::size_t length = TextLength(original);
    std::string lower = original;
    std::string upper = original;
    CKUtil::ToLower(lower);
    CKUtil::ToUpper(upper);
    FUZZ_CHECK(lower.size() == original.size() && upper.size() == original.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(original[i]);
        FUZZ_CHECK(lower[i] == (i < length ? static_cast<char>(std::tolower(c)) : original[i]));
        FUZZ_CHECK(upper[i] == (i < length ? static_cast<char>(std::toupper(c)) : original[i]));
    }
    const bool ascii = std::all_of(original.begin(), original.begin() + length,
                                   [](char c) { return static_cast<unsigned char>(c) < 128; });
    FUZZ_CHECK(CKUtil::IsASCII(original) == ascii);
}

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    const int width = input.Number();
    const std::string text = input.Rest();
    CheckSplitName(text, width);
    CheckTrimLeft(text);
    CheckTrimRight(text);
    CheckCase(text);
}
