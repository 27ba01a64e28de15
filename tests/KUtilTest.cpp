#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <functional>
#include <random>
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

// ----- Strings -------------------------------------------------------------------

// Bytes before the first NUL change as in the C locale (only A-Z and a-z, none
// of 0x80-0xFF is a letter or ASCII); the bytes after it are left alone.
TEST(KUtilStrings, CaseAndASCIIStopAtTheFirstNul) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    const std::string tail = "\0Az\xC9"s;
    std::string lower = all + tail, upper = all + tail;
    CKUtil::ToLower(lower);
    CKUtil::ToUpper(upper);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const int c = static_cast<unsigned char>(all[i]);
        EXPECT_EQ(static_cast<unsigned char>(lower[i]), c >= 'A' && c <= 'Z' ? c + 32 : c) << c;
        EXPECT_EQ(static_cast<unsigned char>(upper[i]), c >= 'a' && c <= 'z' ? c - 32 : c) << c;
    }
    EXPECT_EQ(lower.substr(all.size()), tail);
    EXPECT_EQ(upper.substr(all.size()), tail);

    EXPECT_TRUE(CKUtil::IsASCII(""));
    EXPECT_TRUE(CKUtil::IsASCII(all.substr(0, 127) + tail));
    for (int c = 128; c < 256; ++c) {
        EXPECT_FALSE(CKUtil::IsASCII("ab"s + static_cast<char>(c))) << c;
    }
}

TEST(KUtilStrings, Trims) {
    const struct {
        std::string text, left, right;
    } cases[] = {
        {"  \tabc \n", "abc \n", "  \tabc"},
        {" \t\n\v\f\r", "", ""},
        {"", "", ""},
        {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},  // not white space in the C locale
        {" a \0 b "s, "a \0 b "s, " a"},          // the scan stops at the first NUL
        {" \0x"s, "\0x"s, ""},
        {"a\0 "s, "a\0 "s, "a\0 "s},
    };
    for (const auto& c : cases) {
        std::string left = c.text, right = c.text;
        CKUtil::TrimLeft(left);
        CKUtil::TrimRight(right);
        EXPECT_EQ(left, c.left) << '"' << c.text << '"';
        EXPECT_EQ(right, c.right) << '"' << c.text << '"';
    }
}

// Pieces are appended to what the vector held; the text is left alone.
TEST(KUtilStrings, SplitNameAppendsFixedWidthPieces) {
    const struct {
        std::string text;
        int width;
        std::vector<std::string> pieces;
    } cases[] = {{"abcdefg", 3, {"abc", "def", "g"}},
                 {"abcdefg", 7, {"abcdefg"}},
                 {"abcdefg", 100, {"abcdefg"}},
                 {"abcdefg", -1, {"abcdefg"}},
                 {"abcdefg", INT_MIN, {"abcdefg"}},
                 {"abcdefg", 0, {}},
                 {"", 3, {}},
                 {"a\0b\0c"s, 2, {"a\0"s, "b\0"s, "c"}}};
    for (const auto& c : cases) {
        std::string text = c.text;
        std::vector<std::string> pieces = {"earlier"};
        CKUtil::SplitName(text, c.width, pieces);
        EXPECT_EQ(pieces[0], "earlier");
        EXPECT_EQ(std::vector<std::string>(pieces.begin() + 1, pieces.end()), c.pieces)
            << c.text << " / " << c.width;
        EXPECT_EQ(text, c.text);
    }
}

// ----- File names ----------------------------------------------------------------

TEST(KUtilFileNames, TypeTestsByEnding) {
    const struct {
        std::string name;
        const char* kinds;  // m: IsMATLAB, p: IsPython, x: IsExcel
    } cases[] = {
        {"model.m", "m"},   {"model.M", ""},   {".m", "m"},     {"m", ""},
        {"model.mat", ""},  {"run.py", "p"},   {"RUN.PY", "p"}, {"run.Py", ""},
        {"run.pY", ""},     {".py", "p"},      {"py", ""},      {"sheet.kxl", "x"},
        {"SHEET.KXL", "x"}, {"sheet.Kxl", ""}, {".kxl", "x"},   {"kxl", ""},
        {"", ""},           {"a.py\0"s, ""},   {"\0.m"s, "m"},
    };
    for (const auto& c : cases) {
        std::string name = c.name;
        const std::string kinds = c.kinds;
        EXPECT_EQ(CKUtil::IsMATLAB(name), kinds == "m") << c.name;
        EXPECT_EQ(CKUtil::IsPython(name), kinds == "p") << c.name;
        EXPECT_EQ(CKUtil::IsExcel(name), kinds == "x") << c.name;
        EXPECT_EQ(name, c.name);
    }
}

TEST(KUtilFileNames, TrimFileName) {
    const std::string design = "/home/user/projects/wing/design.kdb";
    const std::string dos = "D:\\work\\models\\wing.kdb", slashed = "D:/work/models/wing.kdb";
    const std::string narrow = "a\\very\\long\\name";
    const struct {
        std::string name;
        int width;
        std::string result;
        std::string after = "";  // the caller's name afterwards, when changed
    } cases[] = {{design, 35, design},
                 {design, 34, "/.../design.kdb"},
                 {design, 15, "/.../design.kdb"},
                 {design, 14, ".../design.kdb"},
                 {design, 12, "...esign.kdb"},
                 {design, 4, "...b"},
                 {dos, 52, slashed, slashed},
                 {dos, 16, "D:/.../wing.kdb", slashed},
                 {dos, 12, ".../wing.kdb", slashed},
                 {"/abcdefghij", 6, "...hij"},
                 {"ab//cdefgh", 9, "...cdefgh"},
                 {"a\\b", 3, "a\\b"},
                 {narrow, 0, narrow}};  // widths of 3 and below leave the name as it is
    for (const auto& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(CKUtil::TrimFileName(name, c.width), c.result) << c.name << " / " << c.width;
        EXPECT_EQ(name, c.after.empty() ? c.name : c.after) << c.name << " / " << c.width;
    }
}

// ----- Log header ----------------------------------------------------------------

// The header's messages with the date line checked and taken out: the ctime()
// text of a second during the call. Every line printed is 80
// columns unless the task number is wider than its 5-column field.
std::vector<Message> Header(int nTask, std::string& strTaskName, std::string& strDbFile) {
    ClearMessages();
    const std::time_t before = std::time(nullptr);
    CKUtil::DumpLogFileHeader(nTask, strTaskName, strDbFile);
    const std::time_t after = std::time(nullptr);
    std::vector<Message> messages = RecordedMessages();
    const std::string text = PrintedText();
    EXPECT_EQ(text.substr(std::max<std::size_t>(text.size(), 2) - 2), "\n\n");
    for (std::size_t start = 0; start + 1 < text.size() && nTask > -10000 && nTask < 100000;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        EXPECT_EQ(end - start, 80u) << text.substr(start, end - start);
        start = end + 1;
    }
    if (messages.size() < 2) {
        return messages;
    }
    bool dated = false;
    for (std::time_t t = before; t <= after; ++t) {
        dated |=
            messages[1].text == "* Log File Generated On : " + std::string(std::ctime(&t), 24) +
                                    std::string(29, ' ') + "*\n";
    }
    EXPECT_TRUE(dated) << messages[1].text;
    messages.erase(messages.begin() + 1);
    return messages;
}

// The messages expected, date line apart: the name line is two calls, its
// lead and its first piece.
std::vector<Message> Expected(const std::string& number, const std::string& db,
                              const std::vector<std::string>& pieces) {
    const std::string rule(80, '=');
    const auto field = [](const std::string& text) {
        return (text.substr(0, 52) + std::string(52, ' ')).substr(0, 52);
    };
    std::vector<Message> expected = {
        Print(rule + "\n"), Print("*    Database File Name : " + field(db) + " *\n"),
        Print("*           Task Number : " + number + std::string(48, ' ') + "*\n"),
        Print("*             Task Name : ")};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        expected.push_back(
            Print((i == 0 ? "" : "*" + std::string(25, ' ')) + field(pieces[i]) + " *\n"));
    }
    expected.push_back(Print(rule + "\n\n"));
    return expected;
}

// Hand-made cases, random names wrapped as COSUtil::SplitLine cuts them at
// width 52, and a megabyte name. The caller's task name is emptied and its
// database name left as shown.
TEST(KUtilLogHeader, ExactLinesAndCallerStrings) {
    struct Case {
        int task;
        std::string name, db;
        std::string number;  // as its field shows it
        std::vector<std::string> pieces;
        std::string dbAfter;
    };
    const std::string longDb = "/very/long/directory/name/that/goes/on/and/on/for/ever/model.kdb";
    const std::string word52(52, 'w'), fortyOne = std::string(40, 'a') + " ";
    std::vector<Case> cases = {
        {7, "", "D:\\work\\wing.kdb", "7    ", {""}, "D:/work/wing.kdb"},
        {-42, "Wing sizing\t\r", longDb, "-42  ", {"Wing sizing\t\r"}, "/.../model.kdb"},
        {123456, "t", "x.kdb", "123456", {"t"}, "x.kdb"},
        {0, fortyOne + std::string(19, 'b'), "", "0    ", {fortyOne, std::string(19, 'b')}, ""},
        // An unbreakable first line is cut by the field, its rest lost, and a
        // line feed after it leaves an empty continuation line.
        {1, word52 + "xyz", "", "1    ", {word52 + "xyz"}, ""},
        {1, word52 + "xyz\nnext line", "", "1    ", {word52 + "xyz", "", "next line"}, ""},
        {2, "one\ntwo\n\nthree\n", "", "2    ", {"one", "two", "", "three"}, ""},
    };
    std::string megabyte;  // ten words to a line
    for (int i = 0; i < 200000; ++i) {
        megabyte += "abcd ";
    }
    cases.push_back({1, megabyte, "db", "1    ", {20000, megabyte.substr(0, 50)}, "db"});
    std::mt19937 random(12345);
    const std::string alphabet = "abcdefghij     \t\r\n\n";
    for (int round = 0; round < 200; ++round) {
        Case c = {5, "", "db", "5    ", {}, "db"};
        const int length = std::uniform_int_distribution<int>(0, 400)(random);
        for (int i = 0; i < length; ++i) {
            c.name += random() % 100 == 0 ? std::string(60, 'L')
                                          : std::string(1, alphabet[random() % alphabet.size()]);
        }
        std::string rest = c.name;
        do {
            c.pieces.emplace_back();
            COSUtil::SplitLine(rest, 52, c.pieces.back());
        } while (!rest.empty());
        cases.push_back(c);
    }
    for (const Case& c : cases) {
        std::string name = c.name, db = c.db;
        EXPECT_EQ(Header(c.task, name, db), Expected(c.number, c.dbAfter, c.pieces))
            << c.name.substr(0, 400);
        EXPECT_EQ(name, "");
        EXPECT_EQ(db, c.dbAfter);
    }
}

// ----- Integer combinatorics -----------------------------------------------------

TEST(KUtilCombinatorics, FactorialWrapsAs32BitProduct) {
    std::uint32_t product = 1;  // wraps modulo 2^32
    for (int n = 1; n <= 40; ++n) {
        product *= static_cast<std::uint32_t>(n);
        EXPECT_EQ(static_cast<std::uint32_t>(CKUtil::Factorial(n)), product) << n;
    }
    EXPECT_EQ(CKUtil::Factorial(13), 1932053504);  // 6227020800 - 2^32
    EXPECT_EQ(CKUtil::Factorial(INT_MAX), 0);
    for (int n : {0, -1, INT_MIN}) {
        EXPECT_EQ(CKUtil::Factorial(n), 1) << n;
    }
}

std::vector<int> Combo(int n, int k, int m, std::valarray<int> v = std::valarray<int>(7, 3)) {
    CKUtil::Combo(n, k, m, v);
    return {std::begin(v), std::end(v)};
}

// Every position for n <= 10 against stepping a membership mask 1..10..0
// through its previous permutations, which gives the subsets in order.
TEST(KUtilCombinatorics, ComboMatchesSteppingForEveryPosition) {
    for (int n = 0; n <= 10; ++n) {
        for (int k = 0; k <= n; ++k) {
            std::vector<bool> mask(static_cast<std::size_t>(n), false);
            std::fill(mask.begin(), mask.begin() + k, true);
            int m = 0;
            do {
                std::vector<int> expected = {-1};
                for (int i = 0; i < n; ++i) {
                    if (mask[static_cast<std::size_t>(i)]) {
                        expected.push_back(i);
                    }
                }
                ASSERT_EQ(Combo(n, k, m), expected) << n << ' ' << k << ' ' << m;
                if (m++ == 0) {
                    EXPECT_EQ(Combo(n, k, -1), expected);  // negative positions are 0
                }
            } while (std::prev_permutation(mask.begin(), mask.end()));
            EXPECT_THROW(Combo(n, k, m), std::out_of_range) << n << ' ' << k;
        }
    }
}

TEST(KUtilCombinatorics, ComboHandChecked) {
    using V = std::vector<int>;
    EXPECT_EQ(Combo(5, 3, 1), (V{-1, 0, 1, 3}));
    EXPECT_EQ(Combo(5, 3, 3), (V{-1, 0, 2, 3}));
    EXPECT_EQ(Combo(5, 3, 9), (V{-1, 2, 3, 4}));
    EXPECT_EQ(Combo(3, 0, INT_MIN), (V{-1}));
    // Old contents and sizes do not survive.
    EXPECT_EQ(Combo(5, 2, 0, std::valarray<int>(9, 10)), (V{-1, 0, 1}));
    EXPECT_EQ(Combo(5, 2, 4, std::valarray<int>()), (V{-1, 1, 2}));
    // Far positions: C(65536, 2) = 2147450880; C(INT_MAX, 1) = INT_MAX; the
    // first INT_MAX - 1 pairs of INT_MAX elements start with 0.
    EXPECT_EQ(Combo(65536, 2, 2147450879), (V{-1, 65534, 65535}));
    EXPECT_EQ(Combo(INT_MAX, 1, INT_MAX - 1), (V{-1, INT_MAX - 1}));
    EXPECT_EQ(Combo(INT_MAX, 2, INT_MAX), (V{-1, 1, 3}));
    EXPECT_EQ(Combo(100, 50, INT_MAX).size(), 51u);
}

// Random far positions for n up to 66 rank back: for each member, count the
// subsets with a smaller value in its place, by Pascal's triangle.
TEST(KUtilCombinatorics, ComboFarPositionsRankBack) {
    static std::uint64_t choose[67][67] = {};
    for (int a = 0; a < 67; ++a) {
        for (int b = 0; b <= a; ++b) {
            choose[a][b] = b == 0 ? 1 : choose[a - 1][b - 1] + choose[a - 1][b];
        }
    }
    std::mt19937 random(777);
    for (int round = 0; round < 500; ++round) {
        const int n = std::uniform_int_distribution<int>(20, 66)(random);
        const int k = std::uniform_int_distribution<int>(1, n)(random);
        const int m = std::uniform_int_distribution<int>(0, INT_MAX)(random);
        if (choose[n][k] <= static_cast<std::uint64_t>(m)) {
            continue;  // past the end: the stepping test covers the bound
        }
        const std::vector<int> combo = Combo(n, k, m);
        ASSERT_TRUE(combo.size() == static_cast<std::size_t>(k) + 1 && combo[0] == -1 &&
                    combo.back() < n &&
                    std::adjacent_find(combo.begin(), combo.end(), std::greater_equal<int>()) ==
                        combo.end())
            << n << ' ' << k << ' ' << m;
        std::uint64_t rank = 0;
        for (int j = 1; j <= k; ++j) {
            for (int y = combo[j - 1] + 1; y < combo[j]; ++y) {
                rank += choose[n - 1 - y][k - j];
            }
        }
        EXPECT_EQ(rank, static_cast<std::uint64_t>(m)) << n << ' ' << k << ' ' << m;
    }
}

// The exception names n, k and m, is reported once through LException, and
// leaves the caller's array alone.
TEST(KUtilCombinatorics, ComboOutOfRangeThrowsAndKeepsTheArray) {
    const struct {
        int n, k, m;
    } cases[] = {{5, 3, 10},           {5, 6, 0}, {5, -1, 0},
                 {INT_MIN, 0, 0},      {3, 0, 1}, {65536, 2, 2147450880},
                 {INT_MAX, 1, INT_MAX}};
    for (const auto& c : cases) {
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
            EXPECT_TRUE(report == Passed("../KUtil", report.line, what) && report.line > 0)
                << report;
        }
        EXPECT_EQ((std::vector<int>{std::begin(v), std::end(v)}), (std::vector<int>{4, 5, 6}));
    }
}

TEST(KUtilCombinatorics, SortUnique) {
    for (std::vector<int> values : std::vector<std::vector<int>>{
             {3, 1, 3, 2, 1}, {}, {5}, {INT_MAX, INT_MIN, 0, INT_MIN, -1, INT_MAX}, {2, 2, 2}}) {
        const std::set<int> distinct(values.begin(), values.end());
        CKUtil::SortUnique(values);
        EXPECT_EQ(values, std::vector<int>(distinct.begin(), distinct.end()));
    }
}

}  // namespace
