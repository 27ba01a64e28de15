// LibraryMessages.h: kolvenv's own message library.
//
// kolvenv defines the five message functions of Scrivane.h itself; the
// dynamic linker binds the library's calls to these instead of the
// stand-in's. Normally they write as the stand-in does: LPrint text to
// standard output, everything else to standard error, flushed after each
// call. While a MessageCapture is alive they record the text instead, so that
// the doctor can show each message with the item it belongs to.

#ifndef KOLVENV_LIBRARYMESSAGES_H
#define KOLVENV_LIBRARYMESSAGES_H

#include <string>
#include <vector>

namespace kolvenv {

struct LibraryMessage {
    std::string function;  // "LPrint", "LError", "LException", "LGenException", "LNewException"
    std::string text;      // the formatted text; exception reports worded as the stand-in does
};

// Records the library's messages from construction to destruction. Captures
// nest: the innermost one records.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // The messages recorded so far, oldest first; recording goes on afresh.
    std::vector<LibraryMessage> Take();

private:
    std::vector<LibraryMessage> m_messages;
    std::vector<LibraryMessage>* m_previous;
};

}  // namespace kolvenv

#endif  // KOLVENV_LIBRARYMESSAGES_H
