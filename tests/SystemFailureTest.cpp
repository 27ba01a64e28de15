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

#include <functional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

// The call that the case being run makes fail, and how: "getpwuid" finds no
// entry, "login" gives the argument as the login name, "getcwd" fails,
// "putenv" fails for the variable named, "fopen" for the mode named, "fgets"
// meets a read error after its first read, "ctime" fails.
std::string failing, argument;

}  // namespace

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

namespace {

TEST(SystemFailureTest, EachFailingCallTakesItsPath) {
    TempDir top;
    std::string home = top / "home", ini = top / "kolv.ini";
    MakeDir(home);
    // The calls of the cases, what comes of them summed up in a text (by append:
    // the call is made before the rest is read).
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
    const auto lookup = [&] {
        WriteFile(ini, std::string(64 * 1024, '#') + "\nKey = v\n");  // read in several pieces
        std::string key = "Key", value = "kept";
        return std::to_string(CInitFile(ini, false).Get(key, value))
            .append(value + "|" + PrintedText());
    };
    const std::string failedLookup = "0kept|ERROR: Getting initialization file parameter: Key\n",
                      platform = "/opt/kolv/Linux_ix86";
    // The failing call, its argument, the calls made, what comes of them.
    using Case = std::tuple<std::string, std::string, std::function<std::string()>, std::string>;
    const std::vector<Case> cases = {
        {"getpwuid", "",
         [] {
             char buffer[8] = "kept";
             unsigned long length = sizeof buffer;
             return std::to_string(COSUtil::GetUserName(buffer, &length))
                 .append(buffer + std::to_string(length) + "|" + COSUtil::GetInitFile() + "|" +
                         COSUtil::GetUserPATH());  // no preferences file read: PATH alone
         },
         "0kept8||/usr/bin:/bin"},
        {"login", "", COSUtil::GetInitFile, home + "/kolv.ini"},
        {"login", "k", COSUtil::GetInitFile, home + "/kolv_k.ini"},
        {"getcwd", "", python, "0\\opt\\kolv\\bin\\kolv|<unset>|<unset>|<unset>"},
        // The texts put before the failing one stay, and stay readable.
        {"putenv", "PYTHONPATH", python, "0/opt/kolv/bin/kolv|<unset>|<unset>|<unset>"},
        {"putenv", "PYTHONHOME", python, "0/opt/kolv/bin/kolv|.:" + platform + "|<unset>|<unset>"},
        {"putenv", "KPYTHON", python,
         "0/opt/kolv/bin/kolv|.:" + platform + "|" + platform + "/Python|<unset>"},
        {"putenv", "PATH",
         [] { return std::to_string(COSUtil::SetUserPATH()).append(EnvValue("PATH")); },
         "0/usr/bin:/bin"},
        {"fopen", "w", create, "(none)"},
        {"fopen", "r", lookup, failedLookup},
        {"fgets", "", lookup, failedLookup},
        {"ctime", "", create, "#\n#\tKolvane user preferences file\n#\tCreated on: (unknown)\n#\n"},
        {"ctime", "",
         [] {
             std::string task = "task", database = "model.kdb";
             CKUtil::DumpLogFileHeader(1, task, database);
             return RecordedMessages().at(1).text;
         },
         "* Log File Generated On : " + std::string(24, '?') + std::string(29, ' ') + "*\n"},
    };
    for (const auto& [call, how, calls, expected] : cases) {
        unlink(ini.c_str());
        EnvGuard env;
        env.Unset("KHOME").Set("HOME", home).Set("PATH", "/usr/bin:/bin");
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        ASSERT_TRUE(COSUtil::SetUserPATH());  // a PATH text in place, for putenv to fail after it
        ClearMessages();
        std::tie(failing, argument) = std::tie(call, how);
        const std::string result = calls();
        failing.clear();
        EXPECT_EQ(result, expected) << call << " " << how;
    }
}

}  // namespace
