// The exception family, the trace point and the stand-in message library.

#include <KolvErr.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "Messages.h"
#include "TracePoint.h"

namespace {

constexpr const char* kTag = "../TraceTest";

// Errors that remember where they were thrown, so that a copy shows.
struct Engine : CEngErr {
    Engine() : CEngErr(kTag, 77, "engine failure") {}
    const Engine* origin = this;
};
struct Opaque {
    int code;
    const Opaque* origin = this;
};

// Two nested trace points around `body`; each returns its trace point's line
// as the compiler numbers it.
int Inner(const std::function<void()>& body) {
    KOLV_TRACE_BEGIN
    body();
    KOLV_TRACE_END(kTag) return __LINE__;
}

int Outer(const std::function<void()>& body) {
    KOLV_TRACE_BEGIN
    Inner(body);
    KOLV_TRACE_END(kTag) return __LINE__;
}

TEST(TracePointTest, ReportsEveryPassageInOrderAndRethrowsTheVeryObject) {
    ClearMessages();
    const int inner = Inner([] {}), outer = Outer([] {});
    try {
        Outer([] { throw Engine(); });
    } catch (const Engine& error) {
        EXPECT_EQ(error.origin, &error);
    }
    try {
        Outer([] { throw Opaque{42}; });
    } catch (const Opaque& error) {
        EXPECT_EQ(error.origin, &error);
        EXPECT_EQ(error.code, 42);
    }
    EXPECT_EQ(RecordedMessages(),
              (std::vector<Message>{Raised(kTag, 77, "engine failure"),
                                    Passed(kTag, inner, "engine failure"),
                                    Passed(kTag, outer, "engine failure"), PassedOther(kTag, inner),
                                    PassedOther(kTag, outer)}));
}

TEST(KolvErrTest, KeepsAt511CharactersReportsTheWholeMessageAndReadsNullAsEmpty) {
    for (const std::size_t length : {0, 511, 512, 2000}) {
        std::string message;
        while (message.size() < length) {
            message += static_cast<char>('a' + message.size() % 26);
        }
        ClearMessages();
        const CFileNotReady error("../Tag", 7, message.c_str());
        EXPECT_STREQ(error.what(), message.substr(0, 511).c_str());
        EXPECT_EQ(std::string(error.szMessage, 512),
                  (message.substr(0, 511) + std::string(512, '\0')).substr(0, 512));
        EXPECT_EQ(error.pszFile + std::to_string(error.nLine), "../Tag7");
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
    using Format = void (*)(const char*, ...);
    using Report = void (*)(const char*, int, const char*);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    reinterpret_cast<Format>(dlsym(library, "LPrint"))("INFO : %-5d|", 7);
    reinterpret_cast<Format>(dlsym(library, "LError"))("ERROR: %s\n", "bad");
    reinterpret_cast<Format>(dlsym(library, "LPrint"))("%s\n", "follows on");
    reinterpret_cast<Report>(dlsym(library, "LException"))("../OSUtil", 12, "File not ready");
    reinterpret_cast<void (*)(const char*, int)>(dlsym(library, "LGenException"))("../KUtil", 34);
    reinterpret_cast<Report>(dlsym(library, "LNewException"))("../Tag", 56, "Raised here");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "INFO : 7    |follows on\n");
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
