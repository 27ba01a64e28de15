// Report.h: the doctor's report, item by item with facts, problems, warnings,
// repair advice and the library's messages, and its text and JSON forms.

#ifndef KOLVENV_REPORT_H
#define KOLVENV_REPORT_H

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "LibraryMessages.h"

namespace kolvenv {

// An item's status: PROBLEM makes the doctor exit 1, WARNING does not.
enum class Status { kOk, kWarning, kProblem };

using List = std::vector<std::string>;
// A fact's value: absent (null), a yes/no, a number, a text or a list of texts.
using Value = std::variant<std::nullptr_t, bool, long long, std::string, List>;

// The value, or null when there is none.
template <class T>
Value OrNull(const std::optional<T>& value) {
    return value ? Value(*value) : Value(nullptr);
}

struct Fact {
    std::string key;
    Value value;
};

// One item of the report.
struct Item {
    Item(const char* itemKey, const char* itemTitle) : key(itemKey), title(itemTitle) {}

    // PROBLEM with a problem, else WARNING with a warning, else OK.
    Status GetStatus() const;
    void Add(const std::string& factKey, Value value);
    // Adds the warning; an empty text is none.
    void Warn(const std::string& text);

    const char* key;    // the item's name in the JSON form
    const char* title;  // its heading in the text form
    std::vector<Fact> facts;
    List problems;
    List warnings;
    List repair;  // lines of advice on how to put a problem right
    std::vector<LibraryMessage> messages;
};

// The doctor's exit status: kProblem when an item has a problem, else kOk.
int ExitStatus(const std::vector<Item>& items);

// The report for a reader: each item's status and title, its facts, library
// messages, problems, warnings and repair lines, then a summary line.
std::string FormatText(const std::vector<Item>& items);

// The report as one JSON object: the worst status, the exit status and an
// object for each item holding the same facts.
std::string FormatJson(const std::vector<Item>& items);

}  // namespace kolvenv

#endif  // KOLVENV_REPORT_H
