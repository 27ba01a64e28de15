// KUtilTest.cpp: CKUtil against independent models: step-by-step wrapping, a
// 32-bit loop and std::set; the name kinds and trims against hand tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <set>

#include "KUtil.h"
#include "Messages.h"

using namespace std::string_literals;
using V = std::vector<int>;

// The kinds a name is taken for (m: IsMATLAB, p: IsPython, x: IsExcel);
// TrimFileName's result and the caller's name after it, where above a width of
// 3 each '\' became '/'. SplitName is proved by the fuzz driver's text group.
TEST(KUtilTest, NameOperations) {
    std::string kinds;
    for (std::string name : {"a.m"s, "a.M"s, "m"s, "a.py"s, "A.PY"s, "a.Py"s, "a.kxl"s, "A.KXL"s,
                             "a.Kxl"s, "a.py\0"s, ""s})
        kinds += std::string(CKUtil::IsMATLAB(name) ? "m" : "") +
                 (CKUtil::IsPython(name) ? "p" : "") + (CKUtil::IsExcel(name) ? "x" : "") + "|";
    EXPECT_EQ(kinds, "m|||p|p||x|x||||");
    const std::tuple<std::string, int, std::string> cases[] = {
        {"/aa/b/c", 7, "/aa/b/c /aa/b/c"}, {"/aa/b/c", 6, "/.../c /aa/b/c"},
        {"/aa/b/c", 5, ".../c /aa/b/c"},   {"/aa/b/c", 4, "...c /aa/b/c"},
        {"D:\\w\\x", 6, "D:/w/x D:/w/x"},  {"a\\b", 3, "a\\b a\\b"}};
    for (auto [name, width, expected] : cases)
        EXPECT_EQ(CKUtil::TrimFileName(name, width) + " " + name, expected);
}

// The task name wrapped step by step: a first line that fits in 52 columns (its
// line feed at index 52 or before) goes whole, line feed and all; a longer one
// breaks after its last white space (in the C locale) among the first 52
// characters, or else runs up to its line feed, which stays.
static std::vector<std::string> Wrap(std::string rest) {
    std::vector<std::string> pieces;
    do {
        const std::size_t feed = std::min(rest.find('\n'), rest.size()),
                          blank = rest.find_last_of(" \t\v\f\r", 51);
        const std::size_t cut = feed <= 52 || blank == std::string::npos ? feed : blank + 1;
        pieces.push_back(rest.substr(0, cut));
        rest.erase(0, cut + (feed <= 52 && feed < rest.size()));
    } while (!rest.empty());
    return pieces;
}

// A name with a line that fits, blanks, tabs, a CR, an unbreakable run longer
// than the field, a line feed after it and an empty line; each piece shows in a
// field of 52. The caller's name is emptied and its database name shortened to
// 52, '\' turned into '/'. The date is ctime()'s for a second of the call.
TEST(KUtilTest, LogHeaderLinesAndWrapping) {
    const std::string rule(80, '='), word = "abcdefghij\t";
    std::string name = "Wing sizing\r\n" + std::string(200, ' ') + std::string(60, 'L') + "\n\n",
                db = "C:\\k\\" + std::string(50, 'd') + "\\m.kdb";
    for (int i = 0; i < 30; ++i)
        name += word.substr(0, 1 + i % 11) + " ";
    const auto line = [](std::string lead, std::string text) {
        text.resize(52, ' ');
        return Print(lead + text + " *\n");
    };
    std::vector<Message> expected = {
        Print(rule + "\n"), Print(""), line("*    Database File Name : ", "C:/.../m.kdb"),
        line("*           Task Number : ", "-42"), Print("*             Task Name : ")};
    for (const std::string& piece : Wrap(name))
        expected.push_back(line(expected.size() == 5 ? "" : "*" + std::string(25, ' '), piece));
    expected.push_back(Print(rule + "\n\n"));
    ClearMessages();
    const std::time_t before = std::time(nullptr);
    CKUtil::DumpLogFileHeader(-42, name, db);
    for (std::time_t t = before; t <= std::time(nullptr) && RecordedMessages() != expected; ++t)
        expected[1] = Print("* Log File Generated On : " + std::string(std::ctime(&t), 24) +
                            std::string(29, ' ') + "*\n");
    EXPECT_EQ(RecordedMessages(), expected);
    EXPECT_EQ(name + db, "C:/.../m.kdb");
}

// n! as a product that wraps modulo 2^32, 1 for n <= 0; SortUnique as std::set orders.
TEST(KUtilTest, FactorialWrapsAndSortUniqueMatchesASet) {
    std::uint32_t product = 1;
    for (int n = 0; n <= 40; product *= static_cast<std::uint32_t>(++n))
        EXPECT_EQ(static_cast<std::uint32_t>(CKUtil::Factorial(n)), product) << n;
    EXPECT_EQ(CKUtil::Factorial(-1) + CKUtil::Factorial(INT_MIN), 2);
    V values = {5, INT_MAX, -3, 5, INT_MIN, 0, -3, INT_MAX, 7, 5};
    const std::set<int> distinct(values.begin(), values.end());
    CKUtil::SortUnique(values);
    EXPECT_EQ(values, V(distinct.begin(), distinct.end()));
}
