// PathText.h: the library's private text rules for names, paths and lists.
//
// Written once and shared by the library's sources, kolvenv, the fuzz targets
// and the benchmarks: cutting at NUL, '\' to '/', splitting and joining
// directory lists, the lock path and the working directory.

#ifndef KOLV_PATHTEXT_H
#define KOLV_PATHTEXT_H

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace kolv {

// Cuts the text at its first NUL character.
inline void CutAtNul(std::string& str) {
    const std::string::size_type nul = str.find('\0');
    if (nul != std::string::npos) {
        str.erase(nul);
    }
}

// Turns every '\' into '/'.
inline void ForwardSlashes(std::string& str) {
    std::replace(str.begin(), str.end(), '\\', '/');
}

// Whether the text ends in the ending.
inline bool EndsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// What stands before the last '/'; the text itself when it holds none.
inline std::string BeforeLastSlash(const std::string& str) {
    const std::string::size_type slash = str.rfind('/');
    return slash == std::string::npos ? str : str.substr(0, slash);
}

// Walks a directory list piece by piece: each separator ends a piece, so a
// leading or a doubled separator yields an empty piece, a trailing one none,
// and an empty text no piece at all.
class ListSplitter {
public:
    ListSplitter(std::string_view text, char separator) : m_rest(text), m_separator(separator) {}

    // Sets piece to the next piece; false when the list is used up.
    bool Next(std::string_view& piece) {
        if (m_rest.empty()) {
            return false;
        }
        const std::string_view::size_type end = m_rest.find(m_separator);
        piece = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return true;
    }

private:
    std::string_view m_rest;
    char m_separator;
};

// Every piece of a directory list, in order (see ListSplitter).
inline std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    ListSplitter splitter(text, separator);
    for (std::string_view piece; splitter.Next(piece);) {
        pieces.emplace_back(piece);
    }
    return pieces;
}

// The entries joined into one text, the separator between each two.
template <class Entries>
std::string JoinList(const Entries& entries, std::string_view separator) {
    std::string joined;
    std::size_t length = 0;
    for (const auto& entry : entries) {
        length += std::string_view(entry).size() + separator.size();
    }
    joined.reserve(length);
    for (auto entry = std::begin(entries); entry != std::end(entries); ++entry) {
        if (entry != std::begin(entries)) {
            joined += separator;
        }
        joined += *entry;
    }
    return joined;
}

// The lock path of a database path: the path cut at its first NUL, with a
// ".kdb" ending replaced by ".lck" and ".lck" appended to any other ending.
inline std::string LockPathOf(std::string path) {
    CutAtNul(path);
    const std::string_view kDatabaseEnding = ".kdb";
    if (EndsWith(path, kDatabaseEnding)) {
        path.resize(path.size() - kDatabaseEnding.size());
    }
    return path + ".lck";
}

// Sets dir to the working directory with every '\' turned into '/'; false,
// dir unchanged, when it cannot be had.
inline bool WorkingDirectory(std::string& dir) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) == nullptr) {
        return false;
    }
    dir = buffer;
    ForwardSlashes(dir);
    return true;
}

// The text without one trailing '/', if it has one.
inline std::string_view WithoutTrailingSlash(std::string_view text) {
    if (!text.empty() && text.back() == '/') {
        text.remove_suffix(1);
    }
    return text;
}

// isspace() on a byte, classified as unsigned char (bytes of 128 and above
// would be negative as char, which the character functions do not accept).
inline bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace kolv

#endif  // KOLV_PATHTEXT_H
