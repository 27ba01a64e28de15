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

// ----- Log header ----------------------------------------------------------------

const std::string kRule(80, '=');
const std::string kNameLead = "*             Task Name : ";

std::string Field(const std::string& text) {
    std::string field = text.substr(0, 52);
    return field + std::string(52 - field.size(), ' ');
}
Message FirstNameLine(const std::string& piece) {
    return Print(Field(piece) + " *\n");
}
Message MoreNameLine(const std::string& piece) {
    return Print("*                         " + Field(piece) + " *\n");
}

// Runs the header and returns its messages after checking the date line: the
// ctime() text of a second during the call, 24 characters, no line feed.
std::vector<Message> Header(int nTask, std::string& strTaskName, std::string& strDbFile) {
    ClearMessages();
    const std::time_t before = std::time(nullptr);
    CKUtil::DumpLogFileHeader(nTask, strTaskName, strDbFile);
    const std::time_t after = std::time(nullptr);
    std::vector<Message> messages = RecordedMessages();
    EXPECT_GE(messages.size(), 7u);
    if (messages.size() < 2) {
        return messages;
    }
    std::smatch match;
    const std::string dateLine = messages[1].text;
    EXPECT_TRUE(std::regex_match(dateLine, match,
                                 std::regex(R"(\* Log File Generated On : ([^\n]{24}) {29}\*\n)")))
        << dateLine;
    bool known = false;
    for (std::time_t t = before; t <= after && !known; ++t) {
        known = match.size() == 2 && std::string(std::ctime(&t), 24) == match[1].str();
    }
    EXPECT_TRUE(known) << dateLine;
    messages.erase(messages.begin() + 1);
    return messages;
}

std::vector<Message> Expected(const std::string& numberLine, const std::string& dbFile,
                              const std::vector<std::string>& pieces) {
    std::vector<Message> expected = {Print(kRule + "\n"),
                                     Print("*    Database File Name : " + Field(dbFile) + " *\n"),
                                     Print(numberLine), Print(kNameLead)};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        expected.push_back(i == 0 ? FirstNameLine(pieces[i]) : MoreNameLine(pieces[i]));
    }
    expected.push_back(Print(kRule + "\n\n"));
    return expected;
}

TEST(KUtilLogHeader, ExactLinesAndCallerStrings) {
    const std::string longDb = "/very/long/directory/name/that/goes/on/and/on/for/ever/model.kdb";
    const std::string word52(52, 'w');
    const std::string fortyOne = std::string(40, 'a') + " ";
    struct Case {
        int task;
        std::string name, db;
        std::string numberText;  // the number as its field shows it
        std::vector<std::string> pieces;
        std::string dbAfter;
    };
    const Case cases[] = {
        {7, "", "D:\\work\\wing.kdb", "7    ", {""}, "D:/work/wing.kdb"},
        {-42, "Wing sizing", longDb, "-42  ", {"Wing sizing"}, "/.../model.kdb"},
        {123456, "t", "x.kdb", "123456", {"t"}, "x.kdb"},
        {0, fortyOne + std::string(19, 'b'), "", "0    ", {fortyOne, std::string(19, 'b')}, ""},
        // An unbreakable first line is cut by the field; its rest is lost.
        {1, word52 + "xyz", "", "1    ", {word52 + "xyz"}, ""},
        // ... and the line feed after it leaves an empty continuation line.
        {1, word52 + "xyz\nnext line", "", "1    ", {word52 + "xyz", "", "next line"}, ""},
        {2, "one\ntwo\n\nthree\n", "", "2    ", {"one", "two", "", "three"}, ""},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        std::string db = c.db;
        const std::string numberLine =
            "*           Task Number : " + c.numberText + std::string(47, ' ') + " *\n";
        EXPECT_EQ(Header(c.task, name, db), Expected(numberLine, c.dbAfter, c.pieces)) << c.name;
        EXPECT_EQ(name, "");
        EXPECT_EQ(db, c.dbAfter);
    }
}

TEST(KUtilLogHeader, EveryLineIs80Columns) {
    std::string name =
        "A rather long task name that needs wrapping over several lines of the header, "
        "with\ta tab\r\nand a line feed in it";
    std::string db = std::string(100, 'd');
    Header(99999, name, db);
    std::string text = PrintedText();
    ASSERT_EQ(text.substr(text.size() - 2), "\n\n");
    text.pop_back();
    std::size_t lines = 0;
    for (std::size_t start = 0; start < text.size(); ++lines) {
        const std::size_t end = text.find('\n', start);
        EXPECT_EQ(end - start, 80u) << text.substr(start, end - start);
        start = end + 1;
    }
    EXPECT_EQ(lines, 8u);  // rules, date, file, number and three name lines
}

// The name lines must come out as wrapping with COSUtil::SplitLine would give.
TEST(KUtilLogHeader, WrapsAsSplitLine) {
    std::mt19937 random(12345);
    const std::string alphabet = "abcdefghij     \t\r\n\n";
    for (int round = 0; round < 200; ++round) {
        std::string name;
        const int length = std::uniform_int_distribution<int>(0, 400)(random);
        for (int i = 0; i < length; ++i) {
            const bool longRun = std::uniform_int_distribution<int>(0, 99)(random) == 0;
            name += longRun ? std::string(60, 'L')
                            : std::string(1, alphabet[random() % alphabet.size()]);
        }
        std::vector<std::string> pieces;
        std::string rest = name;
        do {
            std::string piece;
            COSUtil::SplitLine(rest, 52, piece);
            pieces.push_back(piece);
        } while (!rest.empty());

        std::string db = "db";
        const std::string numberLine = "*           Task Number : 5" + std::string(52, ' ') + "*\n";
        const std::string original = name;
        EXPECT_EQ(Header(5, name, db), Expected(numberLine, "db", pieces)) << original;
    }
}

TEST(KUtilLogHeader, MegabyteTaskName) {
    std::string name;
    for (int i = 0; i < 200000; ++i) {
        name += "abcd ";
    }
    std::string db = "db";
    const std::vector<Message> messages = Header(1, name, db);
    // Ten words fit in 52 columns: 20000 pieces, the first on the name line.
    ASSERT_EQ(messages.size(), 4u + 20000u + 1u);
    const std::string piece = "abcd abcd abcd abcd abcd abcd abcd abcd abcd abcd ";
    EXPECT_EQ(messages[4], FirstNameLine(piece));
    EXPECT_EQ(messages[5], MoreNameLine(piece));
    EXPECT_EQ(messages[20003], MoreNameLine(piece));
    EXPECT_EQ(name, "");
}

// ----- Integer combinatorics -----------------------------------------------------

TEST(KUtilCombinatorics, FactorialWrapsAs32BitProduct) {
    EXPECT_EQ(CKUtil::Factorial(0), 1);
    EXPECT_EQ(CKUtil::Factorial(1), 1);
    EXPECT_EQ(CKUtil::Factorial(-1), 1);
    EXPECT_EQ(CKUtil::Factorial(INT_MIN), 1);
    EXPECT_EQ(CKUtil::Factorial(5), 120);
    EXPECT_EQ(CKUtil::Factorial(12), 479001600);
    EXPECT_EQ(CKUtil::Factorial(13), 1932053504);  // 6227020800 mod 2^32
    std::uint64_t product = 1;
    for (int n = 1; n <= 40; ++n) {
        product = product * static_cast<std::uint64_t>(n) % (std::uint64_t{1} << 32);
        const std::int64_t wrapped =
            static_cast<std::int64_t>(product) -
            (product >= (std::uint64_t{1} << 31) ? (std::int64_t{1} << 32) : 0);
        EXPECT_EQ(CKUtil::Factorial(n), wrapped) << n;
    }
    EXPECT_EQ(CKUtil::Factorial(INT_MAX), 0);
}

// The combinations of k of {0, ..., n-1} in lexicographic order, by stepping a
// membership mask through its permutations: 1...10...0 is the first subset,
// and each previous permutation of the mask is the next subset.
std::vector<std::valarray<int>> AllCombinations(int n, int k) {
    std::vector<bool> mask(static_cast<std::size_t>(n), false);
    std::fill(mask.begin(), mask.begin() + k, true);
    std::vector<std::valarray<int>> all;
    do {
        std::valarray<int> combo(static_cast<std::size_t>(k) + 1);
        combo[0] = -1;
        std::size_t j = 1;
        for (int i = 0; i < n; ++i) {
            if (mask[static_cast<std::size_t>(i)]) {
                combo[j++] = i;
            }
        }
        all.push_back(combo);
    } while (std::prev_permutation(mask.begin(), mask.end()));
    return all;
}

std::vector<int> AsVector(const std::valarray<int>& v) {
    return {std::begin(v), std::end(v)};
}

std::vector<int> Combo(int n, int k, int m, std::valarray<int> v = std::valarray<int>(7, 3)) {
    CKUtil::Combo(n, k, m, v);
    return AsVector(v);
}

TEST(KUtilCombinatorics, ComboMatchesSteppingForEveryPosition) {
    for (int n = 0; n <= 10; ++n) {
        for (int k = 0; k <= n; ++k) {
            const std::vector<std::valarray<int>> all = AllCombinations(n, k);
            for (std::size_t m = 0; m < all.size(); ++m) {
                ASSERT_EQ(Combo(n, k, static_cast<int>(m)), AsVector(all[m]))
                    << n << ' ' << k << ' ' << m;
            }
            EXPECT_THROW(Combo(n, k, static_cast<int>(all.size())), std::out_of_range);
            EXPECT_EQ(Combo(n, k, -1), AsVector(all[0]));
        }
    }
}

TEST(KUtilCombinatorics, ComboHandChecked) {
    EXPECT_EQ(Combo(5, 3, 0), (std::vector<int>{-1, 0, 1, 2}));
    EXPECT_EQ(Combo(5, 3, 1), (std::vector<int>{-1, 0, 1, 3}));
    EXPECT_EQ(Combo(5, 3, 3), (std::vector<int>{-1, 0, 2, 3}));
    EXPECT_EQ(Combo(5, 3, 9), (std::vector<int>{-1, 2, 3, 4}));
    EXPECT_EQ(Combo(4, 4, 0), (std::vector<int>{-1, 0, 1, 2, 3}));
    EXPECT_EQ(Combo(0, 0, 0), (std::vector<int>{-1}));
    EXPECT_EQ(Combo(3, 0, INT_MIN), (std::vector<int>{-1}));
    // Old contents and sizes do not survive.
    EXPECT_EQ(Combo(5, 2, 0, std::valarray<int>(9, 10)), (std::vector<int>{-1, 0, 1}));
    EXPECT_EQ(Combo(5, 2, 4, std::valarray<int>(9, 3)), (std::vector<int>{-1, 1, 2}));
    EXPECT_EQ(Combo(5, 2, 4, std::valarray<int>()), (std::vector<int>{-1, 1, 2}));
    // Far positions: C(65536, 2) = 2147450880 subsets; C(INT_MAX, 1) = INT_MAX.
    EXPECT_EQ(Combo(65536, 2, 2147450879), (std::vector<int>{-1, 65534, 65535}));
    EXPECT_EQ(Combo(INT_MAX, 1, INT_MAX - 1), (std::vector<int>{-1, INT_MAX - 1}));
    // The first INT_MAX - 1 pairs of INT_MAX elements start with 0.
    EXPECT_EQ(Combo(INT_MAX, 2, INT_MAX), (std::vector<int>{-1, 1, 3}));
    EXPECT_EQ(Combo(100, 50, INT_MAX).size(), 51u);
}

// Position of a combination among the k-subsets of {0, ..., n-1}, counting the
// subsets before it with Pascal's triangle (n <= 66 keeps it within 64 bits).
std::uint64_t Rank(int n, const std::vector<int>& combo) {
    static std::vector<std::vector<std::uint64_t>> pascal = [] {
        std::vector<std::vector<std::uint64_t>> rows(67);
        for (std::size_t a = 0; a < rows.size(); ++a) {
            rows[a].assign(a + 1, 1);
            for (std::size_t b = 1; b < a; ++b) {
                rows[a][b] = rows[a - 1][b - 1] + rows[a - 1][b];
            }
        }
        return rows;
    }();
    const auto choose = [](int a, int b) {
        return b < 0 || b > a ? 0
                              : pascal[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
    };
    const int k = static_cast<int>(combo.size()) - 1;
    std::uint64_t rank = 0;
    for (int j = 1; j <= k; ++j) {
        for (int y = combo[static_cast<std::size_t>(j) - 1] + 1;
             y < combo[static_cast<std::size_t>(j)]; ++y) {
            rank += choose(n - 1 - y, k - j);
        }
    }
    return rank;
}

TEST(KUtilCombinatorics, ComboFarPositionsRankBack) {
    std::mt19937 random(777);
    for (int round = 0; round < 500; ++round) {
        const int n = std::uniform_int_distribution<int>(20, 66)(random);
        const int k = std::uniform_int_distribution<int>(1, n)(random);
        const int m = std::uniform_int_distribution<int>(0, INT_MAX)(random);
        std::vector<int> combo;
        try {
            combo = Combo(n, k, m);
        } catch (const std::out_of_range&) {
            continue;  // fewer subsets than m: the stepping test covers the bound
        }
        ASSERT_EQ(combo.size(), static_cast<std::size_t>(k) + 1);
        EXPECT_EQ(combo[0], -1);
        EXPECT_TRUE(std::is_sorted(combo.begin(), combo.end()));
        EXPECT_EQ(std::set<int>(combo.begin(), combo.end()).size(), combo.size());
        EXPECT_LT(combo.back(), n);
        EXPECT_EQ(Rank(n, combo), static_cast<std::uint64_t>(m)) << n << ' ' << k << ' ' << m;
    }
}

TEST(KUtilCombinatorics, ComboOutOfRangeThrowsAndKeepsTheArray) {
    struct Case {
        int n, k, m;
    };
    const Case cases[] = {{5, 3, 10},
                          {5, 6, 0},
                          {5, -1, 0},
                          {-1, 0, 0},
                          {0, 0, 1},
                          {3, 0, 1},
                          {INT_MIN, 0, 0},
                          {65536, 2, 2147450880},
                          {INT_MAX, 1, INT_MAX}};
    for (const Case& c : cases) {
        std::valarray<int> v = {4, 5, 6};
        ClearMessages();
        try {
            CKUtil::Combo(c.n, c.k, c.m, v);
            ADD_FAILURE() << "no exception for " << c.n << ' ' << c.k << ' ' << c.m;
        } catch (const std::out_of_range& e) {
            const std::string what = e.what();
            for (const std::string& name :
                 {"n = " + std::to_string(c.n), "k = " + std::to_string(c.k),
                  "m = " + std::to_string(c.m)}) {
                EXPECT_NE(what.find(name), std::string::npos) << what;
            }
            ASSERT_EQ(RecordedMessages().size(), 1u);
            const Message& report = RecordedMessages()[0];
            EXPECT_EQ(report, Passed(kTag, report.line, what));
            EXPECT_GT(report.line, 0);
        }
        EXPECT_EQ(AsVector(v), (std::vector<int>{4, 5, 6}));
    }
}

TEST(KUtilCombinatorics, SortUnique) {
    const std::vector<std::vector<int>> cases = {
        {3, 1, 3, 2, 1}, {}, {5}, {INT_MAX, INT_MIN, 0, INT_MIN, -1, INT_MAX}, {2, 2, 2}};
    for (const std::vector<int>& values : cases) {
        std::vector<int> sorted = values;
        CKUtil::SortUnique(sorted);
        const std::set<int> distinct(values.begin(), values.end());
        EXPECT_EQ(sorted, std::vector<int>(distinct.begin(), distinct.end()));
    }
}

}  // namespace
