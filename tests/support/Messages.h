// Messages.h: the test programs' own message library. Every test program
// defines the five message functions itself (Messages.cpp); the dynamic linker
// binds the library's calls to them, and each call is recorded in order.

#pragma once

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

struct Message {
    std::string function;  // "LPrint", "LError", "LException", ...
    std::string tag;       // source tag of the exception reports, else ""
    int line = 0;          // line of the exception reports, else 0
    std::string text;      // formatted text, what(), or the new error's message

    auto Fields() const { return std::tie(function, tag, line, text); }
    bool operator==(const Message& other) const { return Fields() == other.Fields(); }
    bool operator!=(const Message& other) const { return Fields() != other.Fields(); }
    friend std::ostream& operator<<(std::ostream& os, const Message& m) {
        return os << m.function << "(" << m.tag << ":" << m.line << ", \"" << m.text << "\")";
    }
};

// The calls recorded since the last ClearMessages(), oldest first.
const std::vector<Message>& RecordedMessages();
void ClearMessages();

// The expected message of one function: Print(text) and Error(text) for the
// formatted calls, Passed(tag, line, what), PassedOther(tag, line) and
// Raised(tag, line, message) for the exception reports.
struct ExpectedCall {
    const char* function;
    Message operator()(const std::string& text) const { return {function, "", 0, text}; }
    Message operator()(const std::string& tag, int line, const std::string& text = "") const {
        return {function, tag, line, text};
    }
};
inline constexpr ExpectedCall Print{"LPrint"};
inline constexpr ExpectedCall Error{"LError"};
inline constexpr ExpectedCall Passed{"LException"};
inline constexpr ExpectedCall PassedOther{"LGenException"};
inline constexpr ExpectedCall Raised{"LNewException"};
