// Failure paths that a healthy machine never takes, reached by interposing
// the system calls the library makes: this program defines getpwuid, getcwd,
// putenv, fopen, fgets and ctime itself, so the dynamic linker binds the
// library's calls to these wrappers. Each forwards to the real function unless
// the case being run tells it to fail.

#include <InitFile.h>
#include <KUtil.h>
#include <OSUtil.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "Messages.h"
#include "TestSupport.h"

// The call that the case being run makes fail, and how: "getpwuid" finds no
// entry, "login" gives the argument as the login name, "getcwd" fails,
// "putenv" fails for the variable named, "fopen" for the mode named, "fgets"
// meets a read error after its first read, "ctime" fails.
static std::string failing, argument;

#define INTERPOSED __attribute__((visibility("default")))  // whatever the build's default
#define REAL(function) reinterpret_cast<decltype(&function)>(dlsym(RTLD_NEXT, #function))

extern "C" {

INTERPOSED passwd* getpwuid(uid_t uid) {
    passwd* entry = failing == "getpwuid" ? nullptr : REAL(getpwuid)(uid);
    if (entry != nullptr && failing == "login")
        entry->pw_name = &argument[0];  // the next call fills the static entry afresh
    return entry;
}

INTERPOSED char* getcwd(char* buffer, size_t size) {
    return failing == "getcwd" ? nullptr : REAL(getcwd)(buffer, size);
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
    if (failing == "fgets")
        close(fileno(stream));  // the next read from the closed descriptor fails
    return line;
}

INTERPOSED char* ctime(const time_t* when) {
    return failing == "ctime" ? nullptr : REAL(ctime)(when);
}

}  // extern "C"

TEST(SystemFailureTest, EachFailingCallTakesItsPath) {
    TempDir top;
    std::string ini = top / "kolv.ini";
    EnvGuard env;
    env.Unset("KHOME").Set("HOME", top.Path()).Set("PATH", "/usr/bin:/bin");
    // What comes of `calls`, made while `call` fails as `how` says (failing no more once they
    // return), with no Python variable set and a PATH text in place for putenv to fail after it.
    const auto failed = [&](const std::string& call, const std::string& how, auto calls) {
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        EXPECT_TRUE(COSUtil::SetUserPATH());
        ClearMessages();
        std::tie(failing, argument) = std::tie(call, how);
        const std::string result = calls();
        failing.clear();
        return result;
    };
    // The calls of the cases, what comes of them summed up in a text (by append: the call is
    // made before the rest is read).
    const auto python = [] {
        std::string program = "\\opt\\kolv\\bin\\kolv";
        return std::to_string(COSUtil::SetupPython(program))
            .append(program + "|" + EnvValue("PYTHONPATH") + "|" + EnvValue("PYTHONHOME") + "|" +
                    EnvValue("KPYTHON"));
    };
    const auto create = [&] {
        CInitFile settings(ini, false);
        return access(ini.c_str(), F_OK) == 0 ? ReadFile(ini) : "(none)";
    };
    // A file of its own, read in several pieces; the one error reported, its function named.
    const auto lookup = [&] {
        std::string file = top / "read.ini", key = "Key", value = "kept";
        WriteFile(file, std::string(64 * 1024, '#') + "\nKey = v\n");
        return std::to_string(CInitFile(file, false).Get(key, value))
            .append(value + testing::PrintToString(RecordedMessages()));
    };
    const auto user = [] {
        char buffer[8] = "kept";
        unsigned long length = sizeof buffer;
        return std::to_string(COSUtil::GetUserName(buffer, &length))
            .append(buffer + std::to_string(length) + "|" + COSUtil::GetInitFile() + "|" +
                    COSUtil::GetUserPATH());  // no preferences file read: PATH alone
    };
    // SetUserPATH, then the PATH it leaves.
    const auto set = [] { return std::to_string(COSUtil::SetUserPATH()).append(EnvValue("PATH")); };
    // The log header, then the preferences file created.
    const auto header = [&] {
        std::string task = "task", database = "model.kdb";
        CKUtil::DumpLogFileHeader(1, task, database);
        return RecordedMessages().at(1).text + create();
    };
    EXPECT_EQ(failed("getpwuid", "", user), "0kept8||/usr/bin:/bin");
    EXPECT_EQ(failed("login", "", COSUtil::GetInitFile), ini);
    EXPECT_EQ(failed("login", "k", COSUtil::GetInitFile), top / "kolv_k.ini");
    EXPECT_EQ(failed("getcwd", "", python), "0\\opt\\kolv\\bin\\kolv|<unset>|<unset>|<unset>");
    // The texts put before the failing one stay, and stay readable.
    const std::string program = "0/opt/kolv/bin/kolv|", path = program + ".:/opt/kolv/Linux_ix86|";
    EXPECT_EQ(failed("putenv", "PYTHONPATH", python), program + "<unset>|<unset>|<unset>");
    EXPECT_EQ(failed("putenv", "PYTHONHOME", python), path + "<unset>|<unset>");
    EXPECT_EQ(failed("putenv", "KPYTHON", python), path + "/opt/kolv/Linux_ix86/Python|<unset>");
    EXPECT_EQ(failed("putenv", "PATH", set), "0/usr/bin:/bin");
    EXPECT_EQ(failed("fopen", "w", create), "(none)");
    EXPECT_EQ(failed("fopen", "r", lookup),
              "0kept{ LError(:0, \"ERROR: Getting initialization file parameter: Key\n\") }");
    EXPECT_EQ(failed("fgets", "", lookup), failed("fopen", "r", lookup));
    EXPECT_EQ(failed("ctime", "", header),
              "* Log File Generated On : " + std::string(24, '?') + std::string(29, ' ') +
                  "*\n#\n#\tKolvane user preferences file\n#\tCreated on: (unknown)\n#\n");
}
