// Failure paths that a healthy machine never takes, reached by interposing
// the system calls the library makes: this program defines getpwuid, putenv,
// fopen, fgets and ctime itself, so the dynamic linker binds the library's
// calls to these wrappers. Each forwards to the real function unless the case
// being run tells it to fail. A missing password entry and a working directory
// that is gone are KolvenvTest's: kolvenv doctor shows them.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "Messages.h"
#include "TestSupport.h"

// The call that the case being run makes fail, and how: "login" gives the
// argument as the login name, "putenv" fails for the variable named, "fopen"
// for the mode named, "fgets" meets a read error after its first read, "ctime"
// fails.
static std::string failing, argument;

#define INTERPOSED __attribute__((visibility("default")))  // whatever the build's default
#define REAL(function) reinterpret_cast<decltype(&(function))>(dlsym(RTLD_NEXT, #function))

extern "C" {

INTERPOSED passwd* getpwuid(uid_t uid) {
    passwd* entry = REAL(getpwuid)(uid);
    if (entry != nullptr && failing == "login") {
        entry->pw_name = argument.data();  // the next call fills the static entry afresh
    }
    return entry;
}

INTERPOSED int putenv(char* text) {
    const bool fails = failing == "putenv" && std::string(text).rfind(argument + "=", 0) == 0;
    return fails ? -1 : REAL(putenv)(text);
}

INTERPOSED FILE* fopen(const char* path, const char* mode) {
    return failing == "fopen" && argument == mode ? nullptr : REAL(fopen)(path, mode);
}

INTERPOSED char* fgets(char* buffer, int size, FILE* stream) {
    char* line = REAL(fgets)(buffer, size, stream);
    if (failing == "fgets") {
        close(fileno(stream));  // the next read from the closed descriptor fails
    }
    return line;
}

INTERPOSED char* ctime(const time_t* when) {
    return failing == "ctime" ? nullptr : REAL(ctime)(when);
}

}  // extern "C"

namespace {

using namespace std::string_literals;

// Makes `call` fail as `how` says while it lives.
class Failing : NoCopy {
public:
    Failing(const std::string& call, const std::string& how) {
        failing = call;
        argument = how;
    }
    ~Failing() { failing.clear(); }
};

// A home of its own with the login's preferences file listing /pref, PATH
// set and its text in the environment (for putenv to fail after it), no
// Python variable set.
class SystemFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Unset("KHOME").Set("HOME", top.Path()).Set("PATH", "/usr/bin:/bin");
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        ASSERT_TRUE(COSUtil::SetUserPATH());
        WriteFile(COSUtil::GetInitFile(), "PathList = /pref\n");
        ClearMessages();
    }

    TempDir top;
    const std::string ini = top / "kolv.ini";
    EnvGuard env;
};

struct LoginCase {
    std::string login;
    std::string file;  // the preferences file it names, in the home
};

TEST_F(SystemFailureTest, TheLoginNameNamesThePreferencesFile) {
    const std::vector<LoginCase> cases = {
        {"", "kolv.ini"},
        {"k", "kolv_k.ini"},
    };
    for (const LoginCase& row : cases) {
        SCOPED_TRACE(row.login);
        const Failing failure("login", row.login);
        EXPECT_EQ(COSUtil::GetInitFile(), top / row.file);
    }
}

struct PutenvCase {
    const char* variable;  // the one putenv fails for
    std::string pythonPath;
    std::string pythonHome;
    std::string kPython;
};

// The texts put before the failing one stay, and stay readable.
TEST_F(SystemFailureTest, SetupPythonStopsAtTheFirstFailingPutenv) {
    const std::string platform = "/opt/kolv/Linux_ix86";
    const std::vector<PutenvCase> cases = {
        {"PYTHONPATH", "<unset>", "<unset>", "<unset>"},
        {"PYTHONHOME", ".:" + platform, "<unset>", "<unset>"},
        {"KPYTHON", ".:" + platform, platform + "/Python", "<unset>"},
    };
    for (const PutenvCase& row : cases) {
        SCOPED_TRACE(row.variable);
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        std::string program = R"(\opt\kolv\bin\kolv)";
        const Failing failure("putenv", row.variable);
        EXPECT_FALSE(COSUtil::SetupPython(program));
        EXPECT_EQ(program, "/opt/kolv/bin/kolv");
        EXPECT_EQ(
            std::make_tuple(EnvValue("PYTHONPATH"), EnvValue("PYTHONHOME"), EnvValue("KPYTHON")),
            std::make_tuple(row.pythonPath, row.pythonHome, row.kPython));
    }
}

TEST_F(SystemFailureTest, SetUserPATHWithAFailingPutenvKeepsTheEarlierText) {
    const Failing failure("putenv", "PATH");
    EXPECT_FALSE(COSUtil::SetUserPATH());
    EXPECT_EQ(EnvValue("PATH"), "/usr/bin:/bin");
}

TEST_F(SystemFailureTest, ACreationThatCannotOpenTheFileWritesNothing) {
    std::string name = ini;
    const Failing failure("fopen", "w");
    const CInitFile settings(name, /*bForceCreate=*/false);
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_TRUE(RecordedMessages().empty());
}

// A file read in several pieces: fopen failing, or fgets after its first read.
TEST_F(SystemFailureTest, AFailedReadIsReportedAndSetsNothing) {
    std::string name = top / "read.ini";
    WriteFile(name, std::string(std::size_t{64} * 1024, '#') + "\nKey = v\n");
    CInitFile settings(name, /*bForceCreate=*/false);
    for (const char* call : {"fopen", "fgets"}) {
        SCOPED_TRACE(call);
        ClearMessages();
        std::string key = "Key";
        std::string value = "kept";
        const Failing failure(call, "r");  // fgets ignores the mode
        const bool read = settings.Get(key, value);
        EXPECT_EQ(std::make_tuple(read, value), std::make_tuple(false, "kept"s));
        const std::vector<Message> error = {
            Error("ERROR: Getting initialization file parameter: Key\n")};
        EXPECT_EQ(RecordedMessages(), error);
    }
}

TEST_F(SystemFailureTest, WithoutCtimeTheHeaderAndTheBannerShowNoDate) {
    const Failing failure("ctime", "");
    std::string task;
    std::string database = "model.kdb";
    CKUtil::DumpLogFileHeader(1, task, database);
    const std::string date = std::string(24, '?') + std::string(29, ' ');
    EXPECT_EQ(RecordedMessages().at(1), Print("* Log File Generated On : " + date + "*\n"));
    std::string name = ini;
    const CInitFile settings(name, /*bForceCreate=*/true);
    EXPECT_EQ(ReadFile(ini), "#\n#\tKolvane user preferences file\n#\tCreated on: (unknown)\n#\n");
}

}  // namespace
