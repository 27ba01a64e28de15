// CKUtil::TrimFileName on a fuzzed width and name. For a width of 4 or more
// the result is at most the width long and holds no backslash, the caller's
// name has its backslashes turned into slashes, and the result is the one
// form the shortening rule gives. For a width of 3 or less the result equals
// the name, which stays untouched.

#include <KUtil.h>

#include <algorithm>
#include <string>

#include "FuzzSupport.h"

namespace {

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    const int width = input.Number();
    const std::string original = input.Rest();
    std::string name = original;
    const std::string result = CKUtil::TrimFileName(name, width);

    if (width <= 3) {
        FUZZ_CHECK(result == original);
        FUZZ_CHECK(name == original);
        return;
    }
    std::string slashed = original;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    FUZZ_CHECK(name == slashed);
    FUZZ_CHECK(result.size() <= static_cast<std::size_t>(width));
    FUZZ_CHECK(result.find('\\') == std::string::npos);
    if (slashed.size() <= static_cast<std::size_t>(width)) {
        FUZZ_CHECK(result == slashed);
        return;
    }
    // Shortened: the head up to the first slash, "..." and the tail from the
    // last slash when the name has two slashes and that fits; else "..." and
    // the last width - 3 characters, exactly the width long.
    const std::string::size_type first = slashed.find('/');
    const std::string::size_type last = slashed.rfind('/');
    if (first != last) {
        const std::string headAndTail = slashed.substr(0, first + 1) + "..." + slashed.substr(last);
        if (headAndTail.size() <= static_cast<std::size_t>(width)) {
            FUZZ_CHECK(result == headAndTail);
            return;
        }
    }
    FUZZ_CHECK(result.size() == static_cast<std::size_t>(width));
    FUZZ_CHECK(result.compare(0, 3, "...") == 0);
    FUZZ_CHECK(EndsWith(slashed, result.substr(3)));
}
