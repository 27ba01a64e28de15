// FuzzDriver.cpp: the fuzz driver. The first byte of an input chooses a group of operations; each
// group checks the library's results against models written here, not with the library's helpers.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <stdexcept>

#include "PathText.h"  // kolv::LockPathOf, the rule LockDirExist probes, is checked here
#include "TestSupport.h"

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr const char* kSpace = " \t\n\v\f\r";  // isspace() in the C locale, the library's
constexpr char kComboGroup = 2;                // the first byte that chooses Combo

// The input being run, for the report of a broken invariant.
std::string_view current;

// A broken invariant prints the condition and the input in hex, then aborts: libFuzzer keeps the
// input, the replay fails.
void Check(bool holds, const char* condition) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "broken: %s\ninput:", condition);
    for (const char byte : current) {
        std::fprintf(stderr, " %02x", static_cast<unsigned char>(byte));
    }
    std::fprintf(stderr, "\n");
    std::abort();
}
#define CHECK(condition) Check((condition), #condition)

// Takes values off the front of the fuzzed bytes; past the end a byte reads as 0.
struct Input {
    std::string_view rest;

    std::string Take(std::size_t count) {
        std::string taken(rest.substr(0, count));
        rest.remove_prefix(taken.size());
        return taken;
    }
    unsigned char Byte() { return Take(1)[0]; }
    std::string Text() { return Take(Byte()); }  // as long as the byte before it says
    // The next byte as a signed one, -128 to 127.
    int Signed() {
        const int byte = Byte();
        return byte < 128 ? byte : byte - 256;
    }
};

// The text up to its first NUL.
std::string Head(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

bool EndsIn(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(kSpace) + 1 - first);
}

std::string Slashed(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

// SplitLine, called until the text is used up, against a step-by-step reference: a first line
// that fits the width goes with its line feed; a longer one up to its last white space within
// the width, or whole without its line feed when there is none. A negative width fits all.
void SplitLines(const std::string& text, int width) {
    const auto w = static_cast<std::size_t>(width);
    std::string rest = text;
    std::string piece = "stale";
    do {
        const std::string line = rest.substr(0, rest.find('\n'));
        std::size_t cut = npos;
        if (line.size() > w && w > 0) {
            cut = line.find_last_of(kSpace, w - 1);
        }
        const std::size_t take = cut != npos ? cut + 1 : line.size();
        const bool withFeed = line.size() <= w && take < rest.size();
        const std::string expectedPiece = line.substr(0, take);
        const std::string expectedRest = rest.substr(withFeed ? take + 1 : take);
        COSUtil::SplitLine(rest, width, piece);
        CHECK(piece == expectedPiece);
        CHECK(rest == expectedRest);
    } while (!rest.empty());
}

// The case changes, trims and IsASCII against <cctype>, up to the first NUL (the head).
void CaseAndTrims(const std::string& text) {
    const std::string head = Head(text);
    std::string lowered = text;
    std::string uppered = text;
    for (std::size_t i = 0; i < head.size(); ++i) {
        lowered[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        uppered[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    std::string lower = text;
    CKUtil::ToLower(lower);
    CHECK(lower == lowered);
    std::string upper = text;
    CKUtil::ToUpper(upper);
    CHECK(upper == uppered);

    // TrimLeft drops the head's leading white space; TrimRight its trailing white space and all
    // after it, unless the head ends in a non-blank.
    const std::size_t first = std::min(head.find_first_not_of(kSpace), head.size());
    const std::size_t end = head.find_last_not_of(kSpace) + 1;  // 0 when all blank
    std::string left = text;
    CKUtil::TrimLeft(left);
    CHECK(left == text.substr(first));
    std::string right = text;
    CKUtil::TrimRight(right);
    CHECK(right == (end < head.size() ? text.substr(0, end) : text));

    const auto ascii = [](unsigned char c) { return c < 128; };
    CHECK(CKUtil::IsASCII(text) == std::all_of(head.begin(), head.end(), ascii));
}

// SplitName appends pieces of the width that together make the text (none for width 0, the
// whole text for a negative one).
void SplitNames(const std::string& text, int width) {
    const auto w = static_cast<std::size_t>(width);
    std::string name = text;
    std::vector<std::string> pieces{"kept"};
    CKUtil::SplitName(name, width, pieces);
    CHECK(pieces[0] == "kept");
    std::string joined;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        CHECK(!pieces[i].empty());
        CHECK(pieces[i] == text.substr((i - 1) * w, w));
        joined += pieces[i];
    }
    CHECK(joined == (width == 0 ? "" : text));
}

// A width (a signed byte) and a text. The lock path: a ".kdb" ending replaced by ".lck", else
// ".lck" appended, after the cut at NUL. The name kinds go by the whole text's ending, in one case.
void Strings(Input& in) {
    const int width = in.Signed();
    const std::string text(in.rest);
    SplitLines(text, width);
    CaseAndTrims(text);
    SplitNames(text, width);
    const std::string head = Head(text);
    const std::size_t stem = head.size() - (EndsIn(head, ".kdb") ? 4 : 0);
    CHECK(kolv::LockPathOf(text) == head.substr(0, stem) + ".lck");
    std::string name = text;
    CHECK(CKUtil::IsMATLAB(name) == EndsIn(text, ".m"));
    CHECK(CKUtil::IsPython(name) == (EndsIn(text, ".py") || EndsIn(text, ".PY")));
    CHECK(CKUtil::IsExcel(name) == (EndsIn(text, ".kxl") || EndsIn(text, ".KXL")));
}

// The pieces of a directory list as std::getline reads them: each ':' ends a piece, so a leading
// or doubled ':' makes an empty piece, a trailing one none, and "" no piece at all.
std::vector<std::string> Pieces(const std::string& list) {
    std::vector<std::string> pieces;
    std::istringstream in(list);
    for (std::string piece; std::getline(in, piece, ':');) {
        pieces.push_back(piece);
    }
    return pieces;
}

std::string WithoutSlashAtEnd(std::string entry) {
    if (!entry.empty() && entry.back() == '/') {
        entry.pop_back();
    }
    return entry;
}

// GetUserPATH: the PathList entries (of the value trimmed, '\' read as '/', each trimmed and
// without one trailing '/'), all kept; then PATH's (cut at NUL, '\' read as '/', without one
// trailing '/') not seen before; joined by ':'.
void SearchPath(const std::string& value, const std::string& path) {
    std::vector<std::string> entries;
    for (const std::string& entry : Pieces(Slashed(Trimmed(value)))) {
        entries.push_back(WithoutSlashAtEnd(Trimmed(entry)));
    }
    for (const std::string& piece : Pieces(Slashed(Head(path)))) {
        const std::string entry = WithoutSlashAtEnd(piece);
        if (std::find(entries.begin(), entries.end(), entry) == entries.end()) {
            entries.push_back(entry);
        }
    }
    std::string joined;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        joined += (i == 0 ? "" : ":") + entries[i];
    }
    CHECK(COSUtil::GetUserPATH() == joined);
}

// A preferences file: "PathList=<list>", then fuzzed lines; the search path with a fuzzed PATH.
// Two calls are crash probes only, no model (the sanitizers of the fuzz build watch them): Get
// with a fuzzed key (InitFileTest proves the values), and FindInstallation of the list.
void Preferences(Input& in) {
    const std::string list = in.Text();
    std::string key = in.Text();
    std::string path = in.Text();
    TempDir home;
    EnvGuard env;
    env.Set("PATH", path);
    env.Set("KHOME", home.Path());
    std::string ini = COSUtil::GetInitFile();
    WriteFile(ini, "PathList=" + list + "\n" + in.Take(npos));
    std::string value;
    CInitFile(ini, /*bForceCreate=*/false).Get(key, value);

    // The PathList value as its line holds it: up to a line feed, '#' or NUL.
    std::string program = list.substr(0, list.find_first_of(std::string_view("\n#\0", 3)));
    SearchPath(program, path);
    COSUtil::FindInstallation(program, path);
}

// C(a, b), or 2^31 when it is at least that (beyond every position an int can name).
long long Binomial(long long a, long long b) {
    long long value = b < 0 || b > a ? 0 : 1;
    for (long long i = 0; i < std::min(b, a - b) && value > 0 && value < 1LL << 31; ++i) {
        value = value * (a - i) / (i + 1);  // C(a, i + 1), exact: below 2^31 * 2^31
    }
    return std::min(value, 1LL << 31);
}

// CKUtil::Combo(n, k, m), k a signed byte, n and m written out; a negative m counts from the end
// (-1: the last), so that both ends of the order come up. Out of range, the array unchanged,
// exactly when m (0 if still negative) is not below C(n, k); else -1 and k increasing members
// below n, whose lexicographic rank is m.
void Combo(Input& in) {
    const int k = in.Signed();
    int n = 0;
    int m = 0;
    std::istringstream(std::string(in.rest)) >> n >> m;
    const long long count = Binomial(n, k);
    const long long from = m < 0 ? count + m : m;
    const long long position = std::max(from, 0LL);
    std::valarray<int> combo(7, 3);
    try {
        CKUtil::Combo(n, k, static_cast<int>(from), combo);
    } catch (const std::out_of_range& error) {
        std::ostringstream named;
        named << "m = " << from << " of the k = " << k << " element subsets of n = " << n;
        CHECK(position >= count);
        CHECK(combo.size() == 3);
        CHECK((combo == 7).min());
        CHECK(std::string(error.what()).find(named.str()) != npos);
        return;
    }
    CHECK(position < count);
    CHECK(combo.size() == k + 1U);
    CHECK(combo[0] == -1);
    long long rank = 0;
    for (int j = 1; j <= k; ++j) {
        CHECK(combo[j] > combo[j - 1]);
        CHECK(combo[j] < n);
        // Ranked before: for each smaller member v here, the subsets of k - j members above v;
        // at the last place one each, counted after the loop.
        for (int v = combo[j - 1] + 1; j < k && v < combo[j] && rank <= position; ++v) {
            rank += Binomial(n - 1 - v, k - j);
        }
    }
    if (k > 0) {
        rank += combo[k] - combo[k - 1] - 1;
    }
    CHECK(rank == position);
}

void Run(std::string_view bytes) {
    static void (*const kGroups[])(Input&) = {Strings, Preferences, Combo};
    current = bytes;
    Input in{bytes};
    kGroups[in.Byte() % std::size(kGroups)](in);
}

void RunCombo(long long n, long long k, long long m) {
    std::string bytes(1, kComboGroup);
    bytes += static_cast<char>(k);
    Run(bytes + std::to_string(n) + " " + std::to_string(m));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    Run({reinterpret_cast<const char*>(data), size});
    return 0;
}

// Replays the files named, one input each; then 3,000 inputs drawn from a fixed seed (bytes of any
// value, half of them among those the groups react to); then Combo at every position of every
// subset size for n <= 10, one past each end, and far positions of larger sets: the first past the
// block led by 0, the last ones. Weak: in the fuzz build libFuzzer's main replaces it.
__attribute__((weak)) int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        Run(ReadFile(argv[i]));
    }
    const std::string_view alphabet(" \t\n\r:/\\#=.-0123ab\xe9\xa0P\0", 21);
    std::mt19937 draw(1);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(1, static_cast<char>(i));
        bytes.resize(1 + draw() % 48);
        for (std::size_t j = 1; j < bytes.size(); ++j) {
            const bool fromAlphabet = draw() % 2 != 0;
            bytes[j] =
                static_cast<char>(fromAlphabet ? alphabet[draw() % alphabet.size()] : draw());
        }
        Run(bytes);
    }
    for (int n = 0; n <= 10; ++n) {
        for (int k = -1; k <= n + 1; ++k) {
            for (long long m = -Binomial(n, k) - 1; m <= Binomial(n, k); ++m) {
                RunCombo(n, k, m);
            }
        }
    }
    for (int i = 0; i < 600; ++i) {
        const bool small = i % 4 != 0;
        const auto shift = static_cast<unsigned>(1 + draw() % 24);
        const auto large = static_cast<long long>(draw() >> shift);
        const long long n = small ? static_cast<long long>(draw() % 201) : std::max(201LL, large);
        const auto k = static_cast<long long>(draw() % (small ? n + 1 : 4));
        const long long first = Binomial(n - 1, k - 1);
        for (const long long m : {first - 1, first, first + 1, -1LL, -2LL}) {
            RunCombo(n, k, m);
        }
    }
    return argc < 2 ? 1 : 0;
}
