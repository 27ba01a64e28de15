// COSUtil::GetUserPATH with a fuzzed PATH and a fuzzed "PathList" value in
// the preferences file of a temporary home directory. Splitting the result at
// every ':' must give the preferences entries in order, then PATH entries
// none of which equals an earlier entry; the whole result must equal the
// search path computed here from the two texts by the rules written out
// plainly. The environment is the same before and after the call, and is
// restored after every input.

#include <OSUtil.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "TestSupport.h"

namespace {

using Entries = std::vector<std::string>;

// A directory list by the library's rule: each ':' ends a piece, so a
// trailing ':' adds none and an empty text has no piece.
Entries ListPieces(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    Entries pieces;
    for (std::string::size_type start = 0; start < text.size();) {
        const std::string::size_type end = std::min(text.find(':', start), text.size());
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// Every piece between separators, n separators giving n + 1 pieces.
Entries AllPieces(const std::string& text) {
    Entries pieces(1);
    for (char c : text) {
        if (c == ':') {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

void DropTrailingSlash(std::string& entry) {
    if (!entry.empty() && entry.back() == '/') {
        entry.pop_back();
    }
}

bool Listed(const Entries& entries, std::size_t count, const std::string& entry) {
    return std::find(entries.begin(), entries.begin() + count, entry) != entries.begin() + count;
}

struct Setup {
    TempDir dir;
    std::string home = dir / "home";
    std::string preferences;  // the preferences file; "" when the login is unknown

    Setup() {
        MakeDir(home);
        EnvGuard env;
        env.Set("HOME", home).Unset("KHOME");
        preferences = COSUtil::GetInitFile();
    }
};

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    static Setup setup;
    const std::uint8_t choice = input.Byte();
    const bool pathSet = (choice & 1) == 0;
    const bool pathListLine = (choice & 2) == 0;
    std::string pathList = input.Text();
    const std::string path = input.Rest();

    // A value on one line holds no line feed, '#' or NUL.
    pathList.erase(std::remove_if(pathList.begin(), pathList.end(),
                                  [](char c) { return c == '\n' || c == '#' || c == '\0'; }),
                   pathList.end());
    if (!setup.preferences.empty()) {
        WriteFile(setup.preferences, pathListLine ? "PathList=" + pathList + "\n" : "# none\n");
    }

    EnvGuard env;
    env.Set("HOME", setup.home).Unset("KHOME");
    if (pathSet) {
        env.Set("PATH", path);
    } else {
        env.Unset("PATH");
    }
    const std::string result = COSUtil::GetUserPATH();
    const char* pathAfter = std::getenv("PATH");
    FUZZ_CHECK(pathSet ? pathAfter != nullptr && path.compare(0, path.find('\0'), pathAfter) == 0
                       : pathAfter == nullptr);

    Entries expected;
    if (!setup.preferences.empty() && pathListLine) {
        for (std::string& entry : ListPieces(kolvfuzz::Trimmed(pathList))) {
            entry = kolvfuzz::Trimmed(entry);
            DropTrailingSlash(entry);
            expected.push_back(entry);
        }
    }
    const std::size_t fromPreferences = expected.size();
    if (pathSet) {
        for (std::string& entry : ListPieces(path.substr(0, path.find('\0')))) {
            DropTrailingSlash(entry);
            if (!Listed(expected, expected.size(), entry)) {
                expected.push_back(entry);
            }
        }
    }

    if (expected.empty()) {
        FUZZ_CHECK(result.empty());
        return;
    }
    const Entries pieces = AllPieces(result);
    FUZZ_CHECK(pieces == expected);
    for (std::size_t i = fromPreferences; i < pieces.size(); ++i) {
        FUZZ_CHECK(!Listed(pieces, i, pieces[i]));
    }
}
