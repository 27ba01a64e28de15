// Failure paths that a healthy machine never takes, reached by interposing
// the system calls the library makes: this program defines getpwuid, getcwd,
// putenv, fopen, fgets and ctime itself, so the dynamic linker binds the
// library's calls to these wrappers. Each wrapper forwards to the real
// function unless a test has told it to fail.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "Messages.h"
#include "TestSupport.h"

namespace {

// What the wrappers are told to do; reset before every test.
struct Failures {
    bool getpwuid = false;
    bool getcwd = false;
    bool ctime = false;
    std::string putenvPrefix;  // putenv of a text starting with this fails
    std::string fopenMode;     // fopen with this mode fails
    int fgetsErrorAfter = -1;  // the fgets call with this index (from 0) fails
    int fgetsCalls = 0;
};
Failures failures;

template <class Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// The wrappers must be visible to the dynamic linker, whatever the build's
// default visibility.
#define INTERPOSED __attribute__((visibility("default")))

extern "C" {

INTERPOSED passwd* getpwuid(uid_t uid) {
    static const auto real = Real<passwd* (*)(uid_t)>("getpwuid");
    return failures.getpwuid ? nullptr : real(uid);
}

INTERPOSED char* getcwd(char* buffer, size_t size) {
    static const auto real = Real<char* (*)(char*, size_t)>("getcwd");
    if (failures.getcwd) {
        errno = ERANGE;
        return nullptr;
    }
    return real(buffer, size);
}

INTERPOSED int putenv(char* text) {
    static const auto real = Real<int (*)(char*)>("putenv");
    const std::string& prefix = failures.putenvPrefix;
    if (!prefix.empty() && std::strncmp(text, prefix.c_str(), prefix.size()) == 0) {
        errno = ENOMEM;
        return -1;
    }
    return real(text);
}

INTERPOSED FILE* fopen(const char* path, const char* mode) {
    static const auto real = Real<FILE* (*)(const char*, const char*)>("fopen");
    if (!failures.fopenMode.empty() && failures.fopenMode == mode) {
        errno = EACCES;
        return nullptr;
    }
    return real(path, mode);
}

INTERPOSED char* fgets(char* buffer, int size, FILE* stream) {
    static const auto real = Real<char* (*)(char*, int, FILE*)>("fgets");
    if (failures.fgetsCalls++ == failures.fgetsErrorAfter) {
        // A read error: reading from a descriptor that is no longer open
        // sets the stream's error indicator.
        close(fileno(stream));
    }
    return real(buffer, size, stream);
}

INTERPOSED char* ctime(const time_t* when) {
    static const auto real = Real<char* (*)(const time_t*)>("ctime");
    return failures.ctime ? nullptr : real(when);
}

}  // extern "C"

namespace {

const Message kReadError = Error("ERROR: Getting initialization file parameter: Key\n");

class SystemFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        failures = Failures();
        MakeDir(home);
        env.Unset("KHOME").Set("HOME", home).Set("PATH", "/usr/bin:/bin");
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        ClearMessages();
    }
    void TearDown() override { failures = Failures(); }

    TempDir top;
    const std::string home = top / "home";
    EnvGuard env;
};

TEST_F(SystemFailureTest, NoPasswordEntryMeansNoLoginAndNoPreferencesFile) {
    failures.getpwuid = true;
    char buffer[256] = "untouched";
    unsigned long length = sizeof buffer;
    EXPECT_EQ(COSUtil::GetUserName(buffer, &length), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(length, sizeof buffer);
    EXPECT_EQ(COSUtil::GetInitFile(), "");
    EXPECT_EQ(COSUtil::GetUserPATH(), "/usr/bin:/bin");
    EXPECT_EQ(ReadFile(home + "/kolv.ini"), "");  // nothing was created
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(SystemFailureTest, NoWorkingDirectoryChangesNothing) {
    failures.getcwd = true;
    std::string program = "\\opt\\kolv\\bin\\kolv";
    EXPECT_FALSE(COSUtil::SetupPython(program));
    EXPECT_EQ(program, "\\opt\\kolv\\bin\\kolv");
    EXPECT_EQ(EnvValue("PYTHONPATH"), "<unset>");
    EXPECT_EQ(EnvValue("PYTHONHOME"), "<unset>");
    EXPECT_EQ(EnvValue("KPYTHON"), "<unset>");
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(SystemFailureTest, PutenvFailureStopsThePythonSetUpAtThatText) {
    const std::string platform = "/opt/kolv/Linux_ix86";
    const char* names[] = {"PYTHONPATH", "PYTHONHOME", "KPYTHON"};
    const std::string values[] = {".:" + platform, platform + "/Python", platform};
    for (int failing = 0; failing < 3; ++failing) {
        for (const char* name : names) {
            unsetenv(name);
        }
        failures.putenvPrefix = std::string(names[failing]) + "=";
        std::string program = "/opt/kolv/bin/kolv";
        EXPECT_FALSE(COSUtil::SetupPython(program)) << names[failing];
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(EnvValue(names[i]), i < failing ? values[i] : "<unset>") << names[failing];
        }
    }
    // The texts set before the failure stay valid once putenv works again.
    failures.putenvPrefix.clear();
    std::string program = "/opt/kolv/bin/kolv";
    unsetenv("PYTHONPATH");
    EXPECT_TRUE(COSUtil::SetupPython(program));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(EnvValue(names[i]), values[i]);
    }
}

TEST_F(SystemFailureTest, PutenvFailureOfTheSearchPathKeepsTheEarlierText) {
    ASSERT_TRUE(COSUtil::SetUserPATH());
    const std::string before = EnvValue("PATH");
    failures.putenvPrefix = "PATH=";
    env.Set("PATH", "/changed");
    EXPECT_FALSE(COSUtil::SetUserPATH());
    EXPECT_EQ(EnvValue("PATH"), "/changed");
    failures.putenvPrefix.clear();
    EXPECT_TRUE(COSUtil::SetUserPATH());
    EXPECT_EQ(EnvValue("PATH"), "/changed");
    EXPECT_EQ(before, "/usr/bin:/bin");
}

TEST_F(SystemFailureTest, PreferencesFileThatCannotBeCreatedOrOpened) {
    std::string path = top / "kolv.ini", key = "Key", value = "preset";
    failures.fopenMode = "w";
    CInitFile settings(path, false);  // creation fails silently
    EXPECT_NE(access(path.c_str(), F_OK), 0);

    WriteFile(path, "Key = v\n");
    failures.fopenMode = "r";
    EXPECT_FALSE(settings.Get(key, value));
    EXPECT_EQ(value, "preset");
    EXPECT_EQ(RecordedMessages(), std::vector<Message>{kReadError});
}

TEST_F(SystemFailureTest, ReadErrorInTheMiddleOfThePreferencesFile) {
    std::string path = top / "kolv.ini", key = "Key", value = "preset";
    std::string content;
    while (content.size() < 256 * 1024) {  // more than one buffer of the stream
        content += "# a comment line that does not hold the key\n";
    }
    WriteFile(path, content + "Key = v\n");
    CInitFile settings(path, false);
    failures.fgetsCalls = 0;
    failures.fgetsErrorAfter = 1;
    EXPECT_FALSE(settings.Get(key, value));
    EXPECT_EQ(value, "preset");
    EXPECT_EQ(RecordedMessages(), std::vector<Message>{kReadError});
}

TEST_F(SystemFailureTest, NoClockTextStillWritesTheBanner) {
    failures.ctime = true;
    std::string path = top / "kolv.ini";
    CInitFile settings(path, true);
    const std::string content = ReadFile(path);
    EXPECT_EQ(content.substr(0, 34), "#\n#\tKolvane user preferences file\n");
    EXPECT_EQ(content.substr(content.size() - 2), "#\n");
}

TEST_F(SystemFailureTest, NoClockTextStillWritesTheLogHeader) {
    failures.ctime = true;
    std::string task = "task", database = "model.kdb";
    CKUtil::DumpLogFileHeader(1, task, database);
    ASSERT_GE(RecordedMessages().size(), 2u);
    EXPECT_EQ(RecordedMessages()[1].text,
              "* Log File Generated On : " + std::string(24, '?') + std::string(29, ' ') + "*\n");
}

}  // namespace
