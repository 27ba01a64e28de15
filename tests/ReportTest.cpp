// kolvenv's report printers, in-process: an item made by hand, and the text and JSON forms
// kolvenv prints for it.

#include <gtest/gtest.h>

#include "Report.h"

// A PROBLEM item with a fact of every kind, a warning and library messages that run a line
// across two calls.
TEST(Report, TextAndJson) {
    kolvenv::Item item("one", "first");
    item.facts = {{"none", nullptr},
                  {"yes", true},
                  {"no", false},
                  {"count", -7LL},
                  {"text", std::string("q\"b\\ \x01\x1f\b\f\r\t\xc3\xa9")},
                  {"empty", kolvenv::List{}},
                  {"pair", kolvenv::List{"a", "b"}}};
    item.problems = {"p"};
    item.warnings = {"w"};
    item.repair = {"r"};
    item.messages = {{"LError", "first line\nsecond "}, {"LPrint", "line\n"}};
    EXPECT_EQ(kolvenv::FormatText({item}),
              "[PROBLEM] first\n    none: (none)\n    yes: yes\n    no: no\n    count: -7\n"
              "    text: q\"b\\ \x01\x1f\b\f\r\t\xc3\xa9\n    empty: \n    pair:\n      - a\n"
              "      - b\n    library messages:\n      | first line\n      | second line\n"
              "    PROBLEM: p\n    WARNING: w\n    REPAIR: r\n"
              "\nPROBLEM: 1 item(s) with problems, 0 with warnings (exit status 1)\n");
    EXPECT_EQ(kolvenv::FormatJson({item}), R"({
  "status": "PROBLEM",
  "exit_status": 1,
  "items": {
    "one": {
      "status": "PROBLEM",
      "title": "first",
      "none": null,
      "yes": true,
      "no": false,
      "count": -7,
      "text": "q\"b\\ \u0001\u001f\b\f\r\té",
      "empty": [],
      "pair": ["a", "b"],
      "problems": ["p"],
      "warnings": ["w"],
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
