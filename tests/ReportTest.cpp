// kolvenv's report printers, in-process: an item made by hand, and the text and JSON forms
// kolvenv prints for it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "Report.h"

namespace {

constexpr char kText[] = "q\"b\\ \x01\x1f\b\f\r\t\xc3\xa9";

// A PROBLEM item with a fact of every kind, a problem, a warning, a repair line and library
// messages that run a line across two calls.
kolvenv::Item FullItem() {
    kolvenv::Item item("one", "first");
    item.facts = {{"none", nullptr},
                  {"yes", true},
                  {"no", false},
                  {"count", -7LL},
                  {"text", kText},
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
              "[PROBLEM] first\n    none: (none)\n    yes: yes\n    no: no\n    count: -7\n"
              "    text: " +
                  std::string(kText) +
                  "\n    empty: \n    pair:\n      - a\n"
                  "      - b\n    library messages:\n      | first line\n      | second line\n"
                  "    PROBLEM: p\n    WARNING: w\n    REPAIR: r\n"
                  "\nPROBLEM: 1 item(s) with problems, 0 with warnings (exit status 1)\n");
}

// The JSON form reads back as the item was made, every text as it was (control characters,
// quotes, backslashes, bytes of 0x80 and above), each message an object of its own.
TEST(Report, JsonReadsBackAsMade) {
    const auto report = nlohmann::json::parse(kolvenv::FormatJson({FullItem()}));
    EXPECT_EQ(report, nlohmann::json::parse(R"({"status": "PROBLEM", "exit_status": 1, "items": {
        "one": {"status": "PROBLEM", "title": "first", "none": null, "yes": true, "no": false,
                "count": -7, "text": "q\"b\\ \u0001\u001f\b\f\r\té", "empty": [],
                "pair": ["a", "b"], "problems": ["p"], "warnings": ["w"], "repair": ["r"],
                "messages": [{"function": "LError", "text": "first line\nsecond "},
                             {"function": "LPrint", "text": "line\n"}]}}})"));
}

}  // namespace
