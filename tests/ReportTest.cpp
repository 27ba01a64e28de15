// The doctor's report in its text and JSON forms, built from items made by
// hand and compared with the texts kolvenv prints for them.

#include <gtest/gtest.h>

#include "Report.h"

namespace {

using kolvenv::Item;
using kolvenv::List;

// An OK item with a value of every kind, a WARNING item and a PROBLEM item
// whose library messages run a line across two calls.
std::vector<Item> Items() {
    Item ok("one", "first");
    ok.Add("none", nullptr);
    ok.Add("flag", true);
    ok.Add("count", -7LL);
    ok.Add("text", std::string("q\"b\\c\x01r\xc3\xa9"));
    ok.Add("empty", List{});
    ok.Add("pair", List{"a", "b"});
    Item warning("two", "second");
    warning.Warn("w");
    warning.Warn("");  // no warning
    Item problem("three", "third");
    problem.Add("flag", false);
    problem.problems = {"p"};
    problem.repair = {"r"};
    problem.messages = {{"LError", "first line\nsecond "}, {"LPrint", "line\n"}};
    return {ok, warning, problem};
}

TEST(Report, Text) {
    EXPECT_EQ(kolvenv::FormatText(Items()),
              "[OK]      first\n    none: (none)\n    flag: yes\n    count: -7\n"
              "    text: q\"b\\c\x01r\xc3\xa9\n    empty: \n    pair:\n      - a\n      - b\n"
              "[WARNING] second\n    WARNING: w\n[PROBLEM] third\n    flag: no\n"
              "    library messages:\n      | first line\n      | second line\n"
              "    PROBLEM: p\n    REPAIR: r\n"
              "\nPROBLEM: 1 item(s) with problems, 1 with warnings (exit status 1)\n");
}

// Without the WARNING item: each line of it is a line of the others.
TEST(Report, Json) {
    std::vector<Item> items = Items();
    items.erase(items.begin() + 1);
    EXPECT_EQ(kolvenv::FormatJson(items), R"({
  "status": "PROBLEM",
  "exit_status": 1,
  "items": {
    "one": {
      "status": "OK",
      "title": "first",
      "none": null,
      "flag": true,
      "count": -7,
      "text": "q\"b\\c\u0001ré",
      "empty": [],
      "pair": ["a", "b"],
      "problems": [],
      "warnings": [],
      "repair": [],
      "messages": []
    },
    "three": {
      "status": "PROBLEM",
      "title": "third",
      "flag": false,
      "problems": ["p"],
      "warnings": [],
      "repair": ["r"],
      "messages": [
        {"function": "LError", "text": "first line\nsecond "},
        {"function": "LPrint", "text": "line\n"}
      ]
    }
  }
}
)");
}

// Warnings alone: the summary names WARNING, and the doctor exits 0.
TEST(Report, WarningsAloneExitZero) {
    std::vector<Item> items = Items();
    items.pop_back();
    const std::string text = kolvenv::FormatText(items);
    EXPECT_EQ(text.substr(text.find("\n\n")),
              "\n\nWARNING: 0 item(s) with problems, 1 with warnings (exit status 0)\n");
    EXPECT_EQ(kolvenv::ExitStatus(items), 0);
}

}  // namespace
