// The exception family, the trace point and the stand-in message library.

#include <KolvErr.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>

#include "Messages.h"
#include "TracePoint.h"

// An error that fails the test when copied: a trace point passes on the very
// object thrown.
struct Engine : CEngErr {
    Engine() : CEngErr("../Tag", 77, "engine") {}
    Engine(const Engine& other) : CEngErr(other) { ADD_FAILURE() << "copied"; }
};

// Two nested trace points around `body`; their lines, as the compiler numbers them, go to
// lines[0] (inner) and lines[1] (outer) when it returns.
static int lines[2];
static void Nested(void (*body)()) {
    KOLV_TRACE_BEGIN
    KOLV_TRACE_BEGIN
    body();
    KOLV_TRACE_END("../Tag") lines[0] = __LINE__;
    KOLV_TRACE_END("../Tag") lines[1] = __LINE__;
}

// Trace points report every passage, inner first, and rethrow the very object; every error
// raised is reported whole, keeps its first 511 characters, and reads a null tag or message as "".
TEST(KolvErrTest, TracePointsReportEachPassageAndErrorsKeep511CharactersAndReadNullAsEmpty) {
    Nested([] {});
    EXPECT_THROW(Nested([] { throw Engine(); }), Engine);
    EXPECT_THROW(Nested([] { throw 42; }), int);
    const CKolvErr empty(nullptr, 3, nullptr);
    EXPECT_EQ(empty.pszFile + std::string("|") + empty.what(), "|");
    std::vector<Message> expected{
        Raised("../Tag", 77, "engine"),       Passed("../Tag", lines[0], "engine"),
        Passed("../Tag", lines[1], "engine"), PassedOther("../Tag", lines[0]),
        PassedOther("../Tag", lines[1]),      Raised("", 3, "")};
    for (const std::size_t length : {0, 511, 512, 2000}) {
        const std::string message(length, 'm'), kept = message.substr(0, 511);
        const CFileNotReady error("../Tag", 7, message.c_str());
        // The whole array: the message kept, then zeros.
        EXPECT_EQ(std::string(error.szMessage, 512) + error.what(),
                  kept + std::string(512 - kept.size(), '\0') + kept);
        expected.push_back(Raised("../Tag", 7, message));
    }
    EXPECT_EQ(RecordedMessages(), expected);
}

TEST(MessageLibraryTest, StandInWritesPrintToStdoutAndEachReportAsOneLineToStderr) {
    void* library = dlopen(SCRIVANE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
// The stand-in's own function of that name.
#define STAND_IN(function) reinterpret_cast<decltype(&function)>(dlsym(library, #function))
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    STAND_IN(LPrint)("INFO : %-5d|", 7);
    STAND_IN(LError)("ERROR: %s\n", "bad");
    STAND_IN(LException)("../OSUtil", 12, "File not ready");
    STAND_IN(LGenException)("../KUtil", 34);
    STAND_IN(LNewException)("../Tag", 56, "Raised here");
    // Standard output, "#", standard error: each report names its tag, its line and its text on
    // a line of its own.
    const std::string out =
        testing::internal::GetCapturedStdout() + "#" + testing::internal::GetCapturedStderr();
    const std::regex pattern(
        "INFO : 7    \\|#ERROR: bad\n[^\n]*\\.\\./OSUtil\\D+12\\D[^\n]*File not ready\n"
        "[^\n]*\\.\\./KUtil\\D+34\\D[^\n]*\n"
        "[^\n]*\\.\\./Tag\\D+56\\D[^\n]*Raised here\n");
    EXPECT_TRUE(std::regex_match(out, pattern)) << out;
}
