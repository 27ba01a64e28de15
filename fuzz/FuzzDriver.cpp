// FuzzDriver.cpp: the fuzz driver. The first byte of an input chooses a group of operations; each
// group checks the library's results against models written here.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>

#include <random>
#include <sstream>
#include <stdexcept>

#include "PathText.h"
#include "TestSupport.h"

// A broken invariant ends the program, naming it: libFuzzer keeps the input, the replay fails.
#define CHECK(condition) ((condition) ? void() : throw std::logic_error("broken: " #condition))

constexpr std::size_t npos = std::string::npos;
constexpr const char* kSpace = " \t\n\v\f\r";  // isspace() in the C locale, the library's

// Takes values off the front of the fuzzed bytes; past the end a byte reads as 0.
struct Input {
    std::string_view rest;

    std::string Take(std::size_t count) {
        const std::string taken(rest.substr(0, count));
        rest.remove_prefix(taken.size());
        return taken;
    }
    unsigned char Byte() { return Take(1)[0]; }
    std::string Text() { return Take(Byte()); }  // as long as the byte before it says
};

static std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    return first == npos ? "" : text.substr(first, text.find_last_not_of(kSpace) + 1 - first);
}

// A width (a signed byte; negative: none) and a text. SplitLine, called until the text is used
// up, against a step-by-step reference; the case changes, trims and IsASCII against <cctype> up to
// the first NUL; SplitName's pieces; TrimFileName's length and ending; the lock path.
static void Strings(Input& in) {
    const int width = static_cast<signed char>(in.Byte());
    const std::string text(in.rest), head = text.c_str();
    // The width unsigned, and where the head's first and last non-blanks begin and end.
    const std::size_t w = static_cast<std::size_t>(width), end = head.find_last_not_of(kSpace) + 1,
                      first = std::min(head.find_first_not_of(kSpace), head.size());
    std::string rest = text, lower = text, upper = text, left = text, right = text, name = text;
    std::string lowered = text, uppered = text, slashed = text, piece = "stale";
    do {
        // A fitting first line goes with its line feed; a longer one up to its last white space
        // within the width, or whole without its line feed when there is none.
        const std::string line = rest.substr(0, rest.find('\n'));
        const std::size_t cut = line.size() > w && w > 0 ? line.find_last_of(kSpace, w - 1) : npos;
        const std::size_t take = cut != npos ? cut + 1 : line.size();
        const std::string after = rest.substr(take + (line.size() <= w && take < rest.size()));
        COSUtil::SplitLine(rest, width, piece);
        CHECK(piece == line.substr(0, take) && rest == after);
    } while (!rest.empty());

    CKUtil::ToLower(lower);
    CKUtil::ToUpper(upper);
    CKUtil::TrimLeft(left);
    CKUtil::TrimRight(right);
    for (std::size_t i = 0; i < head.size(); ++i) {
        lowered[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        uppered[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    CHECK(lower == lowered && upper == uppered && left == text.substr(first) &&
          right == (end < head.size() ? text.substr(0, end) : text));
    CHECK(CKUtil::IsASCII(text) ==
          std::all_of(head.begin(), head.end(), [](unsigned char c) { return c < 128; }));

    std::vector<std::string> pieces{"kept"};
    CKUtil::SplitName(name, width, pieces);
    for (std::size_t i = 1; i < pieces.size(); ++i)
        CHECK(!pieces[i].empty() && pieces[i] == text.substr((i - 1) * w, w));
    CHECK(kolv::JoinList(pieces, "") == (width == 0 ? "kept" : "kept" + text));

    // Unchanged when it fits or the width is 3 or less, else within the width and ending as the
    // name does after "..."; '\' turned into '/' in the caller's name for a width above 3.
    kolv::ForwardSlashes(slashed);
    const std::string got = CKUtil::TrimFileName(name, width);
    const bool whole = width <= 3 || name.size() <= w;
    CHECK(name == (width <= 3 ? text : slashed) && (got == name) == whole);
    CHECK(whole || (got.size() <= w && kolv::EndsWith(name, got.substr(got.rfind("...") + 3))));

    // The lock path: a ".kdb" ending replaced by ".lck", else ".lck" appended, after the NUL cut.
    const bool database = head.size() >= 4 && head.compare(head.size() - 4, 4, ".kdb") == 0;
    CHECK(kolv::LockPathOf(text) == head.substr(0, head.size() - (database ? 4 : 0)) + ".lck");
}

// A preferences file: "PathList=<list>", then fuzzed lines. CInitFile::Get of a fuzzed key sets,
// if anything, a value that holds no '#', line feed or NUL, no white space at either end, and
// stands in the file; a key holding a NUL or absent from the file sets nothing. GetUserPATH, with
// a fuzzed PATH, against a reference: the PathList entries, trimmed, all kept, then PATH's (cut at
// NUL) not seen before; each with '\' read as '/' and without one trailing '/'. FindInstallation
// of the list in the PATH text gives "" or a directory, ending in '/'.
static void Preferences(Input& in) {
    std::string list = in.Text(), key = in.Text(), path = in.Text(), value = "#unset";
    TempDir home;
    EnvGuard env;
    env.Set("PATH", path).Set("KHOME", home.Path());
    std::string ini = COSUtil::GetInitFile(), file = "PathList=" + list + "\n" + in.Take(npos);
    WriteFile(ini, file);
    CHECK(CInitFile(ini, false).Get(key, value));
    CHECK(value == "#unset" ||
          (key.find('\0') == npos && file.find(key) != npos && file.find(value) != npos &&
           value.find_first_of(std::string_view("\n#\0", 3)) == npos && value == Trimmed(value)));

    // The value as the line holds it, up to a line feed, '#' or NUL.
    kolv::ForwardSlashes(list = list.substr(0, list.find_first_of(std::string_view("\n#\0", 3))));
    kolv::ForwardSlashes(path);
    std::vector<std::string> paths;
    for (const std::string& entry : kolv::SplitList(Trimmed(list), ':'))
        paths.emplace_back(kolv::WithoutTrailingSlash(Trimmed(entry)));
    for (std::string entry : kolv::SplitList(path.c_str(), ':'))
        if (std::count(paths.begin(), paths.end(), entry = kolv::WithoutTrailingSlash(entry)) == 0)
            paths.push_back(entry);
    CHECK(COSUtil::GetUserPATH() == kolv::JoinList(paths, ":"));
    CHECK(kolv::EndsWith("/" + COSUtil::FindInstallation(list, path), "/"));  // "" or a directory
}

// C(a, b), or 2^31 when it is at least that (beyond every position an int can name).
static long long Binomial(long long a, long long b) {
    long long value = b < 0 || b > a ? 0 : 1;
    for (long long i = 0; i < std::min(b, a - b) && value > 0 && value < 1LL << 31; ++i)
        value = value * (a - i) / (i + 1);  // C(a, i + 1), exact: below 2^31 * 2^31
    return std::min(value, 1LL << 31);
}

// CKUtil::Combo(n, k, m), k a signed byte, n and m written out; a negative m counts from the end
// (-1: the last), so that both ends of the order come up. Out of range, the array unchanged,
// exactly when m (0 if still negative) is not below C(n, k); else -1 and k increasing members
// below n, whose lexicographic rank is m.
static void Combo(Input& in) {
    int k = static_cast<signed char>(in.Byte()), n = 0, m = 0;
    std::istringstream(std::string(in.rest)) >> n >> m;
    const long long count = Binomial(n, k), from = m < 0 ? count + m : m;
    long long position = std::max(from, 0LL), rank = 0;
    std::valarray<int> combo(7, 3);
    try {
        CKUtil::Combo(n, k, static_cast<int>(from), combo);
    } catch (const std::out_of_range& error) {
        std::ostringstream named;
        named << "m = " << from << " of the k = " << k << " element subsets of n = " << n;
        return CHECK(position >= count && combo.size() == 3 && (combo == 7).min() &&
                     std::string(error.what()).find(named.str()) != npos);
    }
    CHECK(position < count && combo.size() == k + 1u && combo[0] == -1);
    for (int j = 1; j <= k; ++j) {
        CHECK(combo[j] > combo[j - 1] && combo[j] < n);
        // Ranked before: for each smaller member v here, the subsets of k - j members above v;
        // at the last place one each, counted after the loop.
        for (int v = combo[j - 1] + 1; j < k && v < combo[j] && rank <= position; ++v)
            rank += Binomial(n - 1 - v, k - j);
    }
    CHECK(rank + (k > 0 ? combo[k] - combo[k - 1] - 1 : 0) == position);  // at the last place
}

static void Run(std::string_view bytes) {
    static void (*const kGroups[])(Input&) = {Strings, Preferences, Combo};
    Input in{bytes};
    kGroups[in.Byte() % std::size(kGroups)](in);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    return Run({reinterpret_cast<const char*>(data), size}), 0;
}

// Replays the files named, one input each; then 3,000 inputs drawn from a fixed seed (bytes of any
// value, half of them among those the groups react to); then Combo at every position of every
// subset size for n <= 10, one past each end, and far positions of larger sets: the first past the
// block led by 0, the last ones. Weak: in the fuzz build libFuzzer's main replaces it.
__attribute__((weak)) int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        Run(ReadFile(argv[i]));
    const std::string_view alphabet(" \t\n\r:/\\#=.-0123ab\xe9\xa0P\0", 21);
    std::mt19937 draw(1);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(draw() % 48, ' ');
        for (char& byte : bytes)
            byte = static_cast<char>(draw() % 2 ? alphabet[draw() % alphabet.size()] : draw());
        Run(static_cast<char>(i) + bytes);
    }
    const auto combo = [](long long n, long long k, long long m) {
        Run(std::string{2, static_cast<char>(k)} + std::to_string(n) + " " + std::to_string(m));
    };
    for (int n = 0; n <= 10; ++n)
        for (int k = -1; k <= n + 1; ++k)
            for (long long m = -Binomial(n, k) - 1; m <= Binomial(n, k); ++m)
                combo(n, k, m);
    for (int i = 0; i < 600; ++i) {
        const long long n =
            i % 4 ? draw() % 201 : std::max<long long>(201, draw() >> (1 + draw() % 24));
        const long long k = draw() % (i % 4 ? n + 1 : 4), first = Binomial(n - 1, k - 1);
        for (const long long m : {first - 1, first, first + 1, -1LL, -2LL})
            combo(n, k, m);
    }
    return argc < 2;
}
