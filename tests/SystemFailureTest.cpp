// Paths that a healthy machine never takes, reached by interposing the system
// calls the library makes: this program defines getpwuid, putenv, ctime,
// gettimeofday and select itself, so the dynamic linker binds the library's
// calls to these wrappers. Each forwards to the real function unless
// the case being run tells it to fail, or to stand for another system.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>
#include <Rand.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/select.h>
#include <sys/time.h>
#include <unistd.h>

#include <optional>

#include "Messages.h"
#include "TestSupport.h"

// The call that the case being run makes fail, and how: "login" gives the
// argument as the login name, "getpwuid" finds no password entry, "putenv"
// fails for the variable named, "ctime" fails, "select" only records its
// timeout, "clock" stands still at 2147000000.999999 s.
static std::string failing, argument;
static timeval selected;  // the timeout of the last select() that "select" recorded

#define INTERPOSED __attribute__((visibility("default")))  // whatever the build's default
#define REAL(function) reinterpret_cast<decltype(&(function))>(dlsym(RTLD_NEXT, #function))

extern "C" {

INTERPOSED passwd* getpwuid(uid_t uid) {
    static passwd entry;
    entry.pw_name = argument.data();
    if (failing == "login") {
        return &entry;
    }
    return failing == "getpwuid" ? nullptr : REAL(getpwuid)(uid);
}

INTERPOSED int putenv(char* text) {
    const bool fails = failing == "putenv" && std::string(text).rfind(argument + "=", 0) == 0;
    return fails ? -1 : REAL(putenv)(text);
}

INTERPOSED char* ctime(const time_t* when) {
    return failing == "ctime" ? nullptr : REAL(ctime)(when);
}

INTERPOSED int gettimeofday(timeval* now, void* zone) {
    if (failing != "clock") {
        return REAL(gettimeofday)(now, zone);
    }
    now->tv_sec = 2147000000;
    now->tv_usec = 999999;
    return 0;
}

INTERPOSED int select(int count, fd_set* in, fd_set* out, fd_set* other, timeval* timeout) {
    if (failing != "select") {
        return REAL(select)(count, in, out, other, timeout);
    }
    selected = *timeout;
    return 0;
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

// A home of its own, the search path composed into PATH (for putenv to fail
// after it), no Python variable set.
class SystemFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Unset("KHOME");
        env.Set("HOME", top.Path());
        env.Set("PATH", "/usr/bin/:/bin:");
        env.Unset("PYTHONPATH");
        env.Unset("PYTHONHOME");
        env.Unset("KPYTHON");
        ASSERT_TRUE(COSUtil::SetUserPATH());
        ClearMessages();
    }

    TempDir top;
    const std::string ini = top / "kolv.ini";
    EnvGuard env;
};

struct LoginCase {
    const char* call;  // "login" names the login, "getpwuid" finds no password entry
    std::string login;
    std::optional<std::string> khome;
    std::optional<std::string> home;
    std::string file;  // the preferences file named; "": none
};

// The home is the first of KHOME and HOME whose owner bits serve, a file's
// too, as the variable holds it; the file is named in it whether or not it or
// the home's trailing '/' is there.
TEST_F(SystemFailureTest, TheLoginNameNamesThePreferencesFileInTheHome) {
    WriteFile(top / "file", "", 0700);
    MakeDir(top / "dir");
    MakeDir(top / "r-x", 0500);
    const CwdGuard cwd(top.Path());
    const std::string k255(255, 'k');
    const std::vector<LoginCase> cases = {
        {"login", "", std::nullopt, top.Path(), top / "kolv.ini"},
        {"login", "k", "", top.Path() + "/", top / "kolv_k.ini"},
        {"login", "k", "r-x", "file", "file/kolv_k.ini"},
        {"login", k255, "dir/", std::nullopt, "dir/kolv_" + k255 + ".ini"},
        {"login", k255 + "k", "dir/", std::nullopt, ""},
        {"getpwuid", "", "dir/", std::nullopt, ""},
    };
    for (const LoginCase& row : cases) {
        SCOPED_TRACE(row.login + " in " + row.home.value_or("<unset>"));
        env.Set("KHOME", row.khome);
        env.Set("HOME", row.home);
        const Failing failure(row.call, row.login);
        EXPECT_EQ(COSUtil::GetInitFile(), row.file);
    }
}

TEST_F(SystemFailureTest, GetUserNameWritesTheLoginAndItsNulOnlyWhereBothFit) {
    const Failing failure("login", "kolv");
    std::string buffer(8, '#');
    unsigned long length = 4;
    EXPECT_EQ(COSUtil::GetUserName(buffer.data(), &length), 0);
    EXPECT_EQ(buffer, "########");
    length = 5;
    EXPECT_EQ(COSUtil::GetUserName(nullptr, &length), 0);
    EXPECT_EQ(COSUtil::GetUserName(buffer.data(), &length), 1);
    EXPECT_EQ(buffer, "kolv\0###"s);
    EXPECT_EQ(length, 4UL);
}

// Seconds and microseconds both count.
TEST_F(SystemFailureTest, MySleepHandsSelectItsTime) {
    const Failing failure("select", "");
    COSUtil::mySleep(2001);
    EXPECT_EQ(selected.tv_sec, 2);
    EXPECT_EQ(selected.tv_usec, 1000);
}

struct Construction {
    const char* name;
    void (*construct)();
    std::int32_t seed;  // the seed it leaves after the initial one
};

// From the initial seed: CRand(n) seeds with any n, CRand(true, n) with n
// above 1, CRand(false[, n]) with the clock's seconds plus microseconds read
// as a 32-bit integer, CRand(true) never. From any other seed, none of them
// seeds.
TEST_F(SystemFailureTest, ConstructorsSeedOnlyTheInitialSeed) {
    const SeedGuard guard;
    const Failing failure("clock", "");
    const auto clock = static_cast<std::int32_t>(2147000000U + 999999U);
    const std::vector<Construction> constructions = {
        {"CRand(-5)", [] { const CRand rand(-5); }, -5},
        {"CRand(true, 2)", [] { const CRand rand(true, 2); }, 2},
        {"CRand(true, 1)", [] { const CRand rand(true, 1); }, 234567890},
        {"CRand(true)", [] { const CRand rand(true); }, 234567890},
        {"CRand(false)", [] { const CRand rand(false); }, clock},
        {"CRand(false, 3)", [] { const CRand rand(false, 3); }, clock},
    };
    for (const Construction& row : constructions) {
        SCOPED_TRACE(row.name);
        CRand::lSeed = 234567890;
        row.construct();
        EXPECT_EQ(CRand::lSeed, row.seed);
        CRand::lSeed = 5;
        row.construct();
        EXPECT_EQ(CRand::lSeed, 5);
    }
}

struct PythonCase {
    const char* failing;                // the variable putenv fails for; "": none
    std::optional<std::string> before;  // PYTHONPATH before the call
    std::string pythonPath;
    std::string pythonHome;
    std::string kPython;
};

// The previous PYTHONPATH comes last, announced; the texts put before a
// failing one stay, and stay readable.
TEST_F(SystemFailureTest, SetupPythonPutsThePlatformDirectoryFirst) {
    const std::string platform = "/opt/kolv/Linux_ix86";
    const std::string path = ".:" + platform;
    const std::string home = platform + "/Python";
    const std::vector<PythonCase> cases = {
        {"", "\\lib:x", path + ":/lib:x", home, platform},
        {"", "", path + ":", home, platform},
        {"PYTHONPATH", std::nullopt, "<unset>", "<unset>", "<unset>"},
        {"PYTHONHOME", std::nullopt, path, "<unset>", "<unset>"},
        {"KPYTHON", std::nullopt, path, home, "<unset>"},
    };
    for (const PythonCase& row : cases) {
        SCOPED_TRACE(row.failing + (" after " + row.before.value_or("<unset>")));
        env.Set("PYTHONPATH", row.before);
        env.Unset("PYTHONHOME");
        env.Unset("KPYTHON");
        ClearMessages();
        std::string program = R"(\opt\kolv\bin\kolv)";
        const Failing failure("putenv", row.failing);
        EXPECT_EQ(COSUtil::SetupPython(program), *row.failing == '\0');
        EXPECT_EQ(program, "/opt/kolv/bin/kolv");
        EXPECT_EQ(EnvValue("PYTHONPATH"), row.pythonPath);
        EXPECT_EQ(EnvValue("PYTHONHOME"), row.pythonHome);
        EXPECT_EQ(EnvValue("KPYTHON"), row.kPython);
        std::vector<Message> announced;
        if (row.before) {
            announced = {
                Print("\nINFO : PYTHONPATH already defined as an environment variable.\n"),
                Print("       Directory with Kolvane Python installation is prepended to it:\n"),
                Print("PYTHONPATH=" + row.pythonPath + "\n")};
        }
        EXPECT_EQ(RecordedMessages(), announced);
    }
}

// A program under the working directory, whose '\\' reads as '/'.
TEST_F(SystemFailureTest, SetupPythonReadsTheWorkingDirectoryWithSlashes) {
    for (const char* dir : {"w", "w/d", "w/d/bin", "w\\d"}) {
        MakeDir(top / dir);
    }
    WriteFile(top / "w/d/bin/kolv", "#!", 0755);
    const CwdGuard cwd(top / "w\\d");
    std::string program = "bin/kolv";
    EXPECT_TRUE(COSUtil::SetupPython(program));
    EXPECT_EQ(EnvValue("KPYTHON"), top / "w/d/Linux_ix86");
}

// The earlier text: PATH without its trailing separator and '/'.
TEST_F(SystemFailureTest, SetUserPATHWithAFailingPutenvKeepsTheEarlierText) {
    const Failing failure("putenv", "PATH");
    EXPECT_FALSE(COSUtil::SetUserPATH());
    EXPECT_EQ(EnvValue("PATH"), "/usr/bin:/bin");
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
