// LineSplit.h: the wrapping rule of COSUtil::SplitLine, on a string view.
//
// A caller wrapping a long text walks it once instead of copying the rest of
// the text after every piece.

#ifndef KOLV_LINESPLIT_H
#define KOLV_LINESPLIT_H

#include <cstring>
#include <string_view>

#include "PathText.h"

namespace kolv {

// The next piece of a text: its first `length` characters are the piece, and
// the first `consumed` characters leave the text (a line feed that ends a
// fitting line goes with it; one that ends an unbreakable long line stays).
struct LinePiece {
    std::size_t length;
    std::size_t consumed;
};

// A first line that fits within nWidth (or any line, for a negative width) is
// taken whole with its line feed; a longer one breaks after its last white
// space within the first nWidth characters, or is taken whole without its
// line feed when there is none. Looks at no more of the text than the piece
// and the character behind it, so wrapping a whole text is linear.
inline LinePiece NextLinePiece(std::string_view text, int nWidth) {
    const std::size_t size = text.size();
    if (size == 0) {
        return {0, 0};
    }
    const bool unlimited = nWidth < 0 || static_cast<std::size_t>(nWidth) >= size;
    // A line feed at or before index nWidth means the first line fits.
    const std::size_t window = unlimited ? size : static_cast<std::size_t>(nWidth) + 1;
    const void* lineFeed = std::memchr(text.data(), '\n', window);
    if (lineFeed != nullptr) {
        const std::size_t length = static_cast<const char*>(lineFeed) - text.data();
        return {length, length + 1};
    }
    if (unlimited) {
        return {size, size};
    }
    auto k = static_cast<std::size_t>(nWidth);
    while (k > 0 && !IsSpace(text[k - 1])) {
        --k;
    }
    if (k > 0) {
        return {k, k};
    }
    const std::size_t lineEnd = text.find('\n', window);
    const std::size_t length = lineEnd == std::string_view::npos ? size : lineEnd;
    return {length, length};
}

}  // namespace kolv

#endif  // KOLV_LINESPLIT_H
