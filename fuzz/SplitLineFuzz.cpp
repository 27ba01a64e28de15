// COSUtil::SplitLine on a fuzzed width and text, called until the text is
// empty. Each call must take a prefix of the first line as the piece and
// remove at most the line feed behind it; a piece longer than the width is a
// whole first line without white space in its first width characters; a
// piece shorter than its line breaks after the last white space within the
// width. The calls end within (length of the text + 1), and the pieces with
// the removed line feeds give back the text.

#include <OSUtil.h>

#include <algorithm>
#include <string>

#include "FuzzSupport.h"

using kolvfuzz::IsSpace;

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    const int width = input.Number();
    const std::string original = input.Rest();
    const bool unlimited = width < 0;
    const std::size_t limit = unlimited ? 0 : static_cast<std::size_t>(width);

    std::string text = original;
    std::string rebuilt;
    std::size_t calls = 0;
    do {
        FUZZ_CHECK(++calls <= original.size() + 1);
        const std::string before = text;
        const std::string firstLine = before.substr(0, before.find('\n'));
        std::string piece = "stale piece";
        COSUtil::SplitLine(text, width, piece);

        // The piece is a prefix of the first line; the text lost the piece
        // and at most the line feed right behind it.
        FUZZ_CHECK(piece.size() <= firstLine.size());
        FUZZ_CHECK(firstLine.compare(0, piece.size(), piece) == 0);
        FUZZ_CHECK(piece.size() + text.size() <= before.size());
        const std::size_t removed = before.size() - piece.size() - text.size();
        FUZZ_CHECK(removed <= 1);
        FUZZ_CHECK(removed == 0 || before[piece.size()] == '\n');
        FUZZ_CHECK(before.compare(piece.size() + removed, std::string::npos, text) == 0);

        const bool fits = unlimited || firstLine.size() <= limit;
        if (!unlimited && piece.size() > limit) {
            // Only a whole first line with no white space within the width.
            FUZZ_CHECK(piece == firstLine);
            FUZZ_CHECK(std::none_of(piece.begin(), piece.begin() + limit, IsSpace));
        }
        if (piece.size() < firstLine.size()) {
            // A break after the last white space within the width; the rest
            // of the line stays in the text.
            FUZZ_CHECK(!fits && !piece.empty() && IsSpace(piece.back()));
            FUZZ_CHECK(
                std::none_of(firstLine.begin() + piece.size(), firstLine.begin() + limit, IsSpace));
            FUZZ_CHECK(removed == 0);
        } else if (fits) {
            // A fitting line goes with its line feed.
            FUZZ_CHECK(removed == (before.size() > firstLine.size() ? 1u : 0u));
        } else {
            // An unbreakable long line leaves its line feed for the next call.
            FUZZ_CHECK(removed == 0);
        }
        rebuilt += piece;
        rebuilt.append(removed, '\n');
    } while (!text.empty());
    FUZZ_CHECK(rebuilt == original);
}
