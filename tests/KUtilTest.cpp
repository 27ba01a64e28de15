#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <ctime>
#include <random>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <valarray>
#include <vector>

#include "KUtil.h"
#include "Messages.h"
#include "OSUtil.h"

namespace {

using namespace std::string_literals;

const std::string kTag = "../KUtil";

// ----- Strings -------------------------------------------------------------------

TEST(KUtilStrings, CaseChangesMatchTheCharacterFunctionsBeforeTheFirstNul) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    std::string lower = all;
    std::string upper = all;
    CKUtil::ToLower(lower);
    CKUtil::ToUpper(upper);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const int c = static_cast<unsigned char>(all[i]);
        EXPECT_EQ(static_cast<unsigned char>(lower[i]), std::tolower(c)) << c;
        EXPECT_EQ(static_cast<unsigned char>(upper[i]), std::toupper(c)) << c;
    }

    std::string text = "Abc-1z";
    CKUtil::ToUpper(text);
    EXPECT_EQ(text, "ABC-1Z");
    text = "MiXeD 42";
    CKUtil::ToLower(text);
    EXPECT_EQ(text, "mixed 42");
    text = "XY\0Z"s;
    CKUtil::ToLower(text);
    EXPECT_EQ(text, "xy\0Z"s);
    text = "xy\0z"s;
    CKUtil::ToUpper(text);
    EXPECT_EQ(text, "XY\0z"s);
}

TEST(KUtilStrings, Trims) {
    struct Case {
        std::string text, left, right;
    };
    const Case cases[] = {
        {"  \tabc \n", "abc \n", "  \tabc"},
        {" \t\n\v\f\r", "", ""},
        {"", "", ""},
        {"abc", "abc", "abc"},
        {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},  // not white space in the C locale
        // The scan stops at the first NUL.
        {" a \0 b "s, "a \0 b "s, " a"},
        {" \0x"s, "\0x"s, ""},
        {"a\0 "s, "a\0 "s, "a\0 "s},
    };
    for (const Case& c : cases) {
        std::string left = c.text;
        std::string right = c.text;
        CKUtil::TrimLeft(left);
        CKUtil::TrimRight(right);
        EXPECT_EQ(left, c.left) << '"' << c.text << '"';
        EXPECT_EQ(right, c.right) << '"' << c.text << '"';
    }
}

TEST(KUtilStrings, IsASCIILooksBeforeTheFirstNul) {
    EXPECT_TRUE(CKUtil::IsASCII(""));
    std::string low;
    for (int c = 1; c < 128; ++c) {
        low += static_cast<char>(c);
    }
    EXPECT_TRUE(CKUtil::IsASCII(low));
    for (int c = 128; c < 256; ++c) {
        EXPECT_FALSE(CKUtil::IsASCII("ab"s + static_cast<char>(c))) << c;
        EXPECT_TRUE(CKUtil::IsASCII("ab\0"s + static_cast<char>(c))) << c;
    }
}

TEST(KUtilStrings, SplitNameAppendsFixedWidthPieces) {
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"abcdefg", 3, {"abc", "def", "g"}},
        {"abcdefg", 7, {"abcdefg"}},
        {"abcdefg", 100, {"abcdefg"}},
        {"abcdefg", -1, {"abcdefg"}},
        {"abcdefg", INT_MIN, {"abcdefg"}},
        {"abcdefg", 0, {}},
        {"", 3, {}},
        {"a\0b\0c"s, 2, {"a\0"s, "b\0"s, "c"}},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        std::vector<std::string> pieces = {"earlier"};
        CKUtil::SplitName(text, c.width, pieces);
        std::vector<std::string> expected = {"earlier"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(pieces, expected) << c.text << " / " << c.width;
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
