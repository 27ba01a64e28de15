// kolvenv's report printers, in-process: an item made by hand, and the text form kolvenv prints
// for it. (KolvenvTest reads the JSON form back from the doctor.)

#include <gtest/gtest.h>

#include "Report.h"

namespace {

// A PROBLEM item with a fact of every kind, a problem, a warning, a repair line and library
// messages that run a line across two calls.
kolvenv::Item FullItem() {
    kolvenv::Item item("one", "first");
    item.facts = {{"none", nullptr},
                  {"yes", true},
                  {"count", -7LL},
                  {"text", std::string("as it is")},
                  {"empty", kolvenv::List{}},
                  {"pair", kolvenv::List{"a", "b"}}};
    item.problems = {"p"};
    item.warnings = {"w"};
    item.repair = {"r"};
    item.messages = {{"LError", "first line\nsecond "}, {"LPrint", "line\n"}};
    return item;
}

// Each fact on a line of its own (a list one element a line), the messages cut into lines, then
// the problems, warnings and repair lines; a summary last.
TEST(Report, TextShowsEveryPartOfAnItem) {
    EXPECT_EQ(kolvenv::FormatText({FullItem()}),
              "[PROBLEM] first\n    none: (none)\n    yes: yes\n    count: -7\n"
              "    text: as it is\n    empty: \n    pair:\n      - a\n      - b\n"
              "    library messages:\n      | first line\n      | second line\n"
              "    PROBLEM: p\n    WARNING: w\n    REPAIR: r\n"
              "\nPROBLEM: 1 item(s) with problems, 0 with warnings (exit status 1)\n");
}

}  // namespace
