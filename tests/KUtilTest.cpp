// KUtilTest.cpp: CKUtil against independent models: a 32-bit loop and
// std::set; file name trimming and the log header against hand tables. The
// fuzz driver proves SplitLine, SplitName, the trims, the case changes and
// the name kinds against its models, and Combo at every position.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <set>

#include "KUtil.h"
#include "Messages.h"

namespace {

struct TrimCase {
    std::string name;
    int width;
    std::string trimmed;
    std::string nameAfter;  // above a width of 3 each '\' became '/'
};

TEST(KUtilTest, TrimFileNameKeepsTheHeadAndTheLastPartWithinTheWidth) {
    const std::vector<TrimCase> cases = {
        {"/aa/b/c", 7, "/aa/b/c", "/aa/b/c"},  // fits
        {"/aa/b/c", 6, "/.../c", "/aa/b/c"},   // the head, "..." and the last part
        {"/aa/b/c", 5, ".../c", "/aa/b/c"},    // no room for the head
        {"/aa/b/c", 4, "...c", "/aa/b/c"},     // the last part's end
        {"D:\\w\\x", 6, "D:/w/x", "D:/w/x"},   // '\' becomes '/'
        {"a\\b", 3, "a\\b", "a\\b"},           // not at a width of 3
    };
    for (const TrimCase& row : cases) {
        SCOPED_TRACE(row.name + " in " + std::to_string(row.width));
        std::string name = row.name;
        const std::string trimmed = CKUtil::TrimFileName(name, row.width);
        EXPECT_EQ(trimmed, row.trimmed);
        EXPECT_EQ(name, row.nameAfter);
    }
}

Message DateLine(std::time_t t) {
    return Print("* Log File Generated On : " + std::string(std::ctime(&t), 24) +
                 std::string(29, ' ') + "*\n");
}

// Each piece of the task name in a field of 52: a first line that fits goes
// without its line feed; a longer one breaks after its last white space within
// 52, or runs whole to its line feed, which stays (an empty piece follows);
// the field shows its first 52. The fuzz driver proves the rule at every
// width. The caller's name is emptied, its database name shortened to 52 with
// '\' turned into '/'. The date is ctime()'s for a second of the call.
TEST(KUtilTest, LogHeaderShowsEachPieceOfTheTaskNameInAFieldOf52) {
    std::string name =
        "Wing sizing\n" + std::string(60, 'L') + "\n" + std::string(50, 'w') + " and more\n";
    // 53 characters: one too many for the field.
    std::string db = "C:\\k\\" + std::string(42, 'd') + "\\m.kdb";
    const std::string rule(80, '=');
    const std::string lead = "*" + std::string(25, ' ');
    const auto field = [](std::string text) {
        text.resize(52, ' ');
        return text + " *\n";
    };
    std::vector<Message> expected = {
        Print(rule + "\n"),
        Print(""),
        Print("*    Database File Name : " + field("C:/.../m.kdb")),
        Print("*           Task Number : " + field("-42")),
        Print("*             Task Name : "),
        Print(field("Wing sizing")),
        Print(lead + field(std::string(52, 'L'))),
        Print(lead + field("")),
        Print(lead + field(std::string(50, 'w') + " ")),
        Print(lead + field("and more")),
        Print(rule + "\n\n"),
    };
    ClearMessages();
    const std::time_t before = std::time(nullptr);
    CKUtil::DumpLogFileHeader(-42, name, db);
    const std::time_t after = std::time(nullptr);
    std::time_t t = before;
    while (t < after && RecordedMessages().at(1) != DateLine(t)) {
        ++t;
    }
    expected[1] = DateLine(t);
    EXPECT_EQ(RecordedMessages(), expected);
    EXPECT_EQ(name, "");
    EXPECT_EQ(db, "C:/.../m.kdb");
}

// n! as a product that wraps modulo 2^32; 1 for n <= 0.
TEST(KUtilTest, FactorialWrapsModulo2To32) {
    std::uint32_t product = 1;
    for (int n = 0; n <= 40; ++n) {
        product *= static_cast<std::uint32_t>(std::max(n, 1));
        EXPECT_EQ(static_cast<std::uint32_t>(CKUtil::Factorial(n)), product) << n;
    }
    EXPECT_EQ(CKUtil::Factorial(-1), 1);
    EXPECT_EQ(CKUtil::Factorial(INT_MIN), 1);
}

TEST(KUtilTest, SortUniqueOrdersAsASet) {
    std::vector<int> values = {5, INT_MAX, -3, 5, INT_MIN, 0, -3, INT_MAX, 7, 5};
    const std::set<int> distinct(values.begin(), values.end());
    CKUtil::SortUnique(values);
    EXPECT_EQ(values, std::vector<int>(distinct.begin(), distinct.end()));
}

}  // namespace
