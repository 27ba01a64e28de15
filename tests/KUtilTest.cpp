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

// ----- File names ----------------------------------------------------------------

TEST(KUtilFileNames, TypeTestsByEnding) {
    struct Case {
        std::string name;
        bool matlab, python, excel;
    };
    const Case cases[] = {
        {"model.m", true, false, false},    {"model.M", false, false, false},
        {".m", true, false, false},         {"m", false, false, false},
        {"model.mat", false, false, false}, {"run.py", false, true, false},
        {"RUN.PY", false, true, false},     {"run.Py", false, false, false},
        {"run.pY", false, false, false},    {".py", false, true, false},
        {"py", false, false, false},        {"sheet.kxl", false, false, true},
        {"SHEET.KXL", false, false, true},  {"sheet.Kxl", false, false, false},
        {".kxl", false, false, true},       {"kxl", false, false, false},
        {"", false, false, false},          {"a.py\0"s, false, false, false},
        {"\0.m"s, true, false, false},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(CKUtil::IsMATLAB(name), c.matlab) << c.name;
        EXPECT_EQ(CKUtil::IsPython(name), c.python) << c.name;
        EXPECT_EQ(CKUtil::IsExcel(name), c.excel) << c.name;
        EXPECT_EQ(name, c.name);
    }
}

TEST(KUtilFileNames, TrimFileName) {
    const std::string design = "/home/user/projects/wing/design.kdb";
    struct Case {
        std::string name;
        int width;
        std::string result;
        std::string nameAfter;
    };
    const Case cases[] = {
        {design, 35, design, design},
        {design, 34, "/.../design.kdb", design},
        {design, 20, "/.../design.kdb", design},
        {design, 15, "/.../design.kdb", design},
        {design, 14, ".../design.kdb", design},
        {design, 12, "...esign.kdb", design},
        {design, 4, "...b", design},
        {"D:\\work\\models\\wing.kdb", 52, "D:/work/models/wing.kdb", "D:/work/models/wing.kdb"},
        {"D:\\work\\models\\wing.kdb", 12, ".../wing.kdb", "D:/work/models/wing.kdb"},
        {"D:\\work\\models\\wing.kdb", 16, "D:/.../wing.kdb", "D:/work/models/wing.kdb"},
        {"abcdefghij", 6, "...hij", "abcdefghij"},
        {"/abcdefghij", 6, "...hij", "/abcdefghij"},
        {"ab//cdefgh", 9, "...cdefgh", "ab//cdefgh"},
        {"a\\b", 3, "a\\b", "a\\b"},
        {"a\\very\\long\\name", 0, "a\\very\\long\\name", "a\\very\\long\\name"},
        {"a\\very\\long\\name", -5, "a\\very\\long\\name", "a\\very\\long\\name"},
        {"", 10, "", ""},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(CKUtil::TrimFileName(name, c.width), c.result) << c.name << " / " << c.width;
        EXPECT_EQ(name, c.nameAfter) << c.name << " / " << c.width;
    }
}

TEST(KUtilFileNames, TrimmedNameNeverExceedsTheWidth) {
    const std::string names[] = {"/home/user/projects/wing/design.kdb",
                                 "a/b",
                                 "plain_file_name",
                                 "/x/",
                                 "//////",
                                 "rel/dir/f"};
    for (const std::string& original : names) {
        for (int width = 4; width <= 40; ++width) {
            std::string name = original;
            const std::string result = CKUtil::TrimFileName(name, width);
            if (original.size() <= static_cast<std::size_t>(width)) {
                EXPECT_EQ(result, original);
            } else {
                EXPECT_LE(result.size(), static_cast<std::size_t>(width)) << original << width;
                // Either "..." and the name's last width-3 characters, or the
                // name's head to its first '/', "..." and its last component.
                const bool plain = result.compare(0, 3, "...") == 0;
                const std::size_t dots = plain ? 0 : result.find("/...") + 1;
                ASSERT_TRUE(plain || dots != 0) << result;
                if (plain) {
                    EXPECT_EQ(result.size(), static_cast<std::size_t>(width));
                } else {
                    EXPECT_EQ(original.find('/') + 1, dots) << result;
                    EXPECT_EQ(result.substr(0, dots), original.substr(0, dots));
                    EXPECT_EQ(original.rfind('/'), original.size() - (result.size() - dots - 3));
                }
                const std::string tail = result.substr(dots + 3);
                EXPECT_EQ(original.substr(original.size() - tail.size()), tail);
            }
        }
    }
}

}  // namespace
