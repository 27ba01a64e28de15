// CInitFile::Get on fuzzed file bytes and a fuzzed key. The temporary file is
// made once per process and rewritten for every input. Get must return true
// (the file is readable) without an error message; a value it finds holds no
// '#', no line feed and no white space at either end, and equals the one
// that a plain model of the lookup finds; when no line matches, the value is
// left as it was.

#include <InitFile.h>

#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "TestSupport.h"

namespace {

// fgets() with a buffer of 8192 bytes reads at most this many characters.
constexpr std::size_t kLinePiece = 8191;

// The lookup written out plainly: lines as fgets() reads them, each cut at a
// NUL; the first line that holds the key before any '#' and before its
// first '=' gives the text after that '=' up to the next '#', trimmed; a
// matching line without '=' gives "". False when no line matches.
bool ModelLookup(const std::string& file, const std::string& rawKey, std::string& value) {
    const std::string key = rawKey.substr(0, rawKey.find('\0'));
    std::string::size_type position = 0;
    while (position < file.size()) {
        std::string::size_type end = std::min(file.size(), position + kLinePiece);
        const std::string::size_type lineFeed = file.find('\n', position);
        if (lineFeed != std::string::npos && lineFeed < end) {
            end = lineFeed + 1;
        }
        std::string line = file.substr(position, end - position);
        position = end;
        line.erase(std::min(line.size(), line.find('\0')));

        const std::string::size_type at = line.find(key);
        const std::string::size_type hash = line.find('#');
        const std::string::size_type equals = line.find('=');
        if (at == std::string::npos || (hash != std::string::npos && hash <= at)) {
            continue;
        }
        if (equals == std::string::npos) {
            value.clear();
            return true;
        }
        if (equals > at) {
            const std::string rest = line.substr(equals + 1);
            value = kolvfuzz::Trimmed(rest.substr(0, rest.find('#')));
            return true;
        }
    }
    return false;
}

struct Setup {
    TempDir dir;
    std::string fileName = dir / "preferences.ini";
    CInitFile settings{fileName, false};
};

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    static Setup setup;
    std::string key = input.Text();
    const std::string file = input.Rest();
    WriteFile(setup.fileName, file);

    const std::string unset = " # not set # ";
    std::string value = unset;
    const unsigned long errors = kolvfuzz::messages.error;
    FUZZ_CHECK(setup.settings.Get(key, value));
    FUZZ_CHECK(kolvfuzz::messages.error == errors);

    std::string expected;
    if (!ModelLookup(file, key, expected)) {
        FUZZ_CHECK(value == unset);
        return;
    }
    FUZZ_CHECK(value.find('#') == std::string::npos);
    FUZZ_CHECK(value.find('\n') == std::string::npos);
    FUZZ_CHECK(value.empty() || !kolvfuzz::IsSpace(value.front()));
    FUZZ_CHECK(value.empty() || !kolvfuzz::IsSpace(value.back()));
    FUZZ_CHECK(value == expected);
}
