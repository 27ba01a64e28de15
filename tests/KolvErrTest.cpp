// The exception family, the trace point and the stand-in message library.

#include <KolvErr.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>

#include "Messages.h"
#include "TracePoint.h"

namespace {

constexpr const char* kTag = "../TraceTest";

// An error that fails the test when copied: a trace point passes on the very
// object thrown.
struct Engine : CEngErr {
    Engine() : CEngErr(kTag, 77, "engine failure") {}
    Engine(const Engine& other) : CEngErr(other) { ADD_FAILURE() << "copied"; }
};

// Two nested trace points around `body`; each returns its trace point's line
// as the compiler numbers it.
int Inner(void (*body)()) {
    KOLV_TRACE_BEGIN
    body();
    KOLV_TRACE_END(kTag) return __LINE__;
}

int Outer(void (*body)()) {
    KOLV_TRACE_BEGIN
    Inner(body);
    KOLV_TRACE_END(kTag) return __LINE__;
}

TEST(TracePointTest, ReportsEveryPassageInOrderAndRethrowsTheVeryObject) {
    ClearMessages();
    const int inner = Inner([] {}), outer = Outer([] {});
    EXPECT_THROW(Outer([] { throw Engine(); }), Engine);
    EXPECT_THROW(Outer([] { throw 42; }), int);
    EXPECT_EQ(RecordedMessages(),
              (std::vector<Message>{Raised(kTag, 77, "engine failure"),
                                    Passed(kTag, inner, "engine failure"),
                                    Passed(kTag, outer, "engine failure"), PassedOther(kTag, inner),
                                    PassedOther(kTag, outer)}));
}

TEST(KolvErrTest, KeepsAt511CharactersReportsTheWholeMessageAndReadsNullAsEmpty) {
    for (const std::size_t length : {0, 511, 512, 2000}) {
        const std::string message(length, 'm'), kept = message.substr(0, 511);
        ClearMessages();
        const CFileNotReady error("../Tag", 7, message.c_str());
        // The whole array: the message kept, then zeros.
        EXPECT_EQ(std::string(error.szMessage, 512) + error.what(),
                  kept + std::string(512 - kept.size(), '\0') + kept);
        EXPECT_EQ(RecordedMessages(), std::vector<Message>{Raised("../Tag", 7, message)});
    }
    ClearMessages();
    const CKolvErr empty(nullptr, 3, nullptr);
    EXPECT_EQ(empty.pszFile + std::string("|") + empty.what(), "|");
    EXPECT_EQ(RecordedMessages(), std::vector<Message>{Raised("", 3, "")});
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
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "INFO : 7    |");
    // Each report names its tag, its line and its text on a line of its own.
    EXPECT_TRUE(
        std::regex_match(err, std::regex("ERROR: bad\n"
                                         "[^\n]*\\.\\./OSUtil\\D+12\\D[^\n]*File not ready\n"
                                         "[^\n]*\\.\\./KUtil\\D+34\\D[^\n]*\n"
                                         "[^\n]*\\.\\./Tag\\D+56\\D[^\n]*Raised here\n")))
        << err;
    dlclose(library);
}

}  // namespace
