// Messages.h: the test programs' own message library. Every test program
// defines the five message functions itself (Messages.cpp); the dynamic linker
// binds the library's calls to them, and each call is recorded in order.

#ifndef KOLV_TEST_MESSAGES_H
#define KOLV_TEST_MESSAGES_H

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

struct Message {
    std::string function;  // "LPrint", "LError", "LException", ...
    std::string tag;       // source tag of the exception reports, else ""
    int line = 0;          // line of the exception reports, else 0
    std::string text;      // formatted text, what(), or the new error's message

    bool operator==(const Message& o) const {
        return std::tie(function, tag, line, text) == std::tie(o.function, o.tag, o.line, o.text);
    }
};

std::ostream& operator<<(std::ostream& os, const Message& message);

// The calls recorded since the last ClearMessages(), oldest first.
const std::vector<Message>& RecordedMessages();
void ClearMessages();

// The texts of the recorded LPrint and LError calls, concatenated.
std::string PrintedText();

// Shorthands for expected messages.
inline Message Print(const std::string& text) {
    return {"LPrint", "", 0, text};
}
inline Message Error(const std::string& text) {
    return {"LError", "", 0, text};
}
inline Message Passed(const std::string& tag, int line, const std::string& what) {
    return {"LException", tag, line, what};
}
inline Message PassedOther(const std::string& tag, int line) {
    return {"LGenException", tag, line, ""};
}
inline Message Raised(const std::string& tag, int line, const std::string& message) {
    return {"LNewException", tag, line, message};
}

#endif  // KOLV_TEST_MESSAGES_H
