// The exception family and the trace point.

#include <KolvErr.h>
#include <gtest/gtest.h>

#include "Messages.h"
#include "TracePoint.h"

// An error that fails the test when copied: a trace point passes on the very
// object thrown.
struct Engine : CEngErr {
    Engine() : CEngErr("../Tag", 77, "engine") {}
    Engine(const Engine& other) : CEngErr(other) { ADD_FAILURE() << "copied"; }
};

// Two nested trace points around `body`; their lines, as the compiler numbers
// them, go to innerLine and outerLine when it returns.
static int innerLine = 0;
static int outerLine = 0;
static void Nested(void (*body)()) {
    KOLV_TRACE_BEGIN
    KOLV_TRACE_BEGIN
    body();
    KOLV_TRACE_END("../Tag") innerLine = __LINE__;
    KOLV_TRACE_END("../Tag") outerLine = __LINE__;
}

TEST(KolvErrTest, TracePointsAnnounceEachPassageOfTheVeryObjectThrown) {
    Nested([] {});
    ClearMessages();
    EXPECT_THROW(Nested([] { throw Engine(); }), Engine);
    EXPECT_THROW(Nested([] { throw 42; }), int);
    const std::vector<Message> expected = {
        Raised("../Tag", 77, "engine"), Passed("../Tag", innerLine, "engine"),
        Passed("../Tag", outerLine, "engine"), PassedOther("../Tag", innerLine),
        PassedOther("../Tag", outerLine)};
    EXPECT_EQ(RecordedMessages(), expected);
}

// The array holds the message kept, then zeros; the report the whole message.
TEST(KolvErrTest, ALongMessageIsCutAt511CharactersInTheErrorOnly) {
    for (const std::size_t length : {0, 511, 512, 2000}) {
        SCOPED_TRACE(length);
        ClearMessages();
        const std::string message(length, 'm');
        const std::string kept = message.substr(0, 511);
        const CFileNotReady error("../Tag", 7, message.c_str());
        EXPECT_EQ(std::string(error.szMessage, 512), kept + std::string(512 - kept.size(), '\0'));
        EXPECT_EQ(error.what(), kept);
        EXPECT_EQ(RecordedMessages(), std::vector<Message>{Raised("../Tag", 7, message)});
    }
}

TEST(KolvErrTest, ANullTagOrMessageReadsAsEmpty) {
    ClearMessages();
    const CKolvErr empty(nullptr, 3, nullptr);
    EXPECT_STREQ(empty.pszFile, "");
    EXPECT_STREQ(empty.what(), "");
    EXPECT_EQ(RecordedMessages(), std::vector<Message>{Raised("", 3, "")});
}
