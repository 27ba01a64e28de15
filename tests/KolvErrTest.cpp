// The exception family, the trace point and the message library stand-in.

#include <KolvErr.h>
#include <OSUtil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "Messages.h"
#include "TestSupport.h"
#include "TracePoint.h"

namespace {

constexpr const char* kTestTag = "../TraceTest";

struct NotAStdException {
    int code;
};

// Two nested traced operations, as the library writes them. The line
// constants name the lines of their KOLV_TRACE_END and of the raise.
constexpr int kRaiseLine = __LINE__ + 6;
constexpr int kInnerTraceLine = __LINE__ + 8;
void TracedInner(int what) {
    KOLV_TRACE_BEGIN
    std::string local = "destroyed before the handlers run";
    if (what == 0) {
        throw CEngErr(kTestTag, __LINE__, "engine failure");
    }
    throw NotAStdException{what};
    KOLV_TRACE_END(kTestTag)
}

constexpr int kOuterTraceLine = __LINE__ + 4;
void TracedOuter(int what) {
    KOLV_TRACE_BEGIN
    TracedInner(what);
    KOLV_TRACE_END(kTestTag)
}

class TracePointTest : public ::testing::Test {
protected:
    void SetUp() override { ClearMessages(); }
};

TEST_F(TracePointTest, ReportsRaiseThenEachOperationInnermostFirst) {
    try {
        TracedOuter(0);
        FAIL() << "no exception";
    } catch (const CFileNotReady&) {
        FAIL() << "caught as the wrong type";
    } catch (const CEngErr& error) {
        EXPECT_STREQ(error.what(), "engine failure");
        EXPECT_EQ(error.nLine, kRaiseLine);
        EXPECT_STREQ(error.pszFile, kTestTag);
    }
    const std::vector<Message> expected = {
        Raised(kTestTag, kRaiseLine, "engine failure"),
        Passed(kTestTag, kInnerTraceLine, "engine failure"),
        Passed(kTestTag, kOuterTraceLine, "engine failure"),
    };
    EXPECT_EQ(RecordedMessages(), expected);
}

TEST_F(TracePointTest, OtherExceptionTypesPassWithTypeAndValueIntact) {
    try {
        TracedOuter(42);
        FAIL() << "no exception";
    } catch (const NotAStdException& error) {
        EXPECT_EQ(error.code, 42);
    }
    const std::vector<Message> expected = {PassedOther(kTestTag, kInnerTraceLine),
                                           PassedOther(kTestTag, kOuterTraceLine)};
    EXPECT_EQ(RecordedMessages(), expected);
}

TEST_F(TracePointTest, RethrowsTheVeryObjectWithoutCopying) {
    const void* seenInside = nullptr;
    try {
        KOLV_TRACE_BEGIN
        try {
            throw std::out_of_range("the standard library's text");
        } catch (const std::out_of_range& error) {
            seenInside = &error;
            throw;
        }
        KOLV_TRACE_END(kTestTag)
    } catch (const std::out_of_range& error) {
        EXPECT_EQ(&error, seenInside);
    }
    ASSERT_EQ(RecordedMessages().size(), 1u);
    EXPECT_EQ(RecordedMessages()[0].function, "LException");
    EXPECT_EQ(RecordedMessages()[0].text, "the standard library's text");
}

TEST(KolvErrTest, MessageIsCutAt511CharactersButReportedWhole) {
    for (const std::size_t length : {0u, 1u, 510u, 511u, 512u, 2000u}) {
        ClearMessages();
        std::string message;
        for (std::size_t i = 0; i < length; ++i) {
            message += static_cast<char>('a' + i % 26);
        }
        const CKolvErr error("../Tag", 7, message.c_str());
        EXPECT_EQ(std::string(error.what()), message.substr(0, 511)) << length;
        EXPECT_EQ(error.szMessage[511], '\0');
        const std::vector<Message> expected = {Raised("../Tag", 7, message)};
        EXPECT_EQ(RecordedMessages(), expected);
    }
}

TEST(KolvErrTest, NullTagAndMessageCountAsEmpty) {
    ClearMessages();
    const CFileNotReady error(nullptr, 3, nullptr);
    EXPECT_STREQ(error.what(), "");
    EXPECT_STREQ(error.pszFile, "");
    const std::vector<Message> expected = {Raised("", 3, "")};
    EXPECT_EQ(RecordedMessages(), expected);
}

TEST(KolvErrTest, FamilyCatchesByEachBase) {
    auto raise = [] { throw CFileNotReady("../OSUtil", 1, "File not ready"); };
    EXPECT_THROW(raise(), CFileNotReady);
    EXPECT_THROW(raise(), CEngErr);
    EXPECT_THROW(raise(), CKolvErr);
    EXPECT_THROW(raise(), std::exception);
}

TEST(MessageLibraryTest, TheProgramsOwnFunctionsReplaceTheStandIn) {
    // The library's calls land in this program's recorder, not in the stand-in.
    ClearMessages();
    std::string missing = "/nonexistent/kolvutil/dir";
    EXPECT_EQ(COSUtil::CheckDir(missing, "home"), 0);
    ASSERT_EQ(RecordedMessages().size(), 3u);
    EXPECT_EQ(RecordedMessages()[0].function, "LError");
}

// Runs `call` with standard output and standard error redirected to files,
// and returns what reached each.
template <class Call>
std::pair<std::string, std::string> Captured(Call call) {
    TempDir dir;
    std::fflush(nullptr);
    const int savedOut = dup(1), savedErr = dup(2);
    const int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    call();
    std::fflush(nullptr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    for (const int fd : {out, err, savedOut, savedErr}) {
        close(fd);
    }
    return {ReadFile(dir / "out"), ReadFile(dir / "err")};
}

TEST(MessageLibraryTest, StandInWritesPrintToStdoutAndTheRestToStderr) {
    void* library = dlopen(SCRIVANE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Print = void (*)(const char*, ...);
    using Report = void (*)(const char*, int, const char*);
    using GenReport = void (*)(const char*, int);
    const auto print = reinterpret_cast<Print>(dlsym(library, "LPrint"));
    const auto error = reinterpret_cast<Print>(dlsym(library, "LError"));
    const auto passed = reinterpret_cast<Report>(dlsym(library, "LException"));
    const auto passedOther = reinterpret_cast<GenReport>(dlsym(library, "LGenException"));
    const auto raised = reinterpret_cast<Report>(dlsym(library, "LNewException"));
    ASSERT_TRUE(print && error && passed && passedOther && raised);

    const auto [out, err] = Captured([&] {
        print("INFO : %-5d|", 7);
        print("%s\n", "follows on");
        error("ERROR: %s\n", "bad");
        passed("../OSUtil", 12, "File not ready");
        passedOther("../KUtil", 34);
        raised("../OSUtil", 56, "File not ready");
    });
    EXPECT_EQ(out, "INFO : 7    |follows on\n");
    const std::string expectedErr = "ERROR: bad\n";
    EXPECT_EQ(err.substr(0, expectedErr.size()), expectedErr);
    for (const char* fragment : {"../OSUtil", "12", "../KUtil", "34", "56", "File not ready"}) {
        EXPECT_NE(err.find(fragment), std::string::npos) << fragment;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4);  // one line per report
    dlclose(library);
}

}  // namespace
