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

#include <cstring>
#include <filesystem>
#include <functional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

// What the wrappers are told to do; reset before every case.
struct Failures {
    bool noPasswordEntry = false, getcwd = false, ctime = false;
    char* login = nullptr;                  // the login name getpwuid gives, when set
    std::string putenvPrefix, fopenMode;    // putenv of a text so starting, fopen in this mode fail
    int fgetsCalls = 0, fgetsErrorAt = -1;  // the fgets call of this index meets a read error
} failures;

}  // namespace

#define INTERPOSED __attribute__((visibility("default")))  // whatever the build's default
#define REAL(function) reinterpret_cast<decltype(&function)>(dlsym(RTLD_NEXT, #function))

extern "C" {

INTERPOSED passwd* getpwuid(uid_t uid) {
    passwd* entry = failures.noPasswordEntry ? nullptr : REAL(getpwuid)(uid);
    if (entry != nullptr && failures.login != nullptr) {
        entry->pw_name = failures.login;  // the next call fills the static entry afresh
    }
    return entry;
}

INTERPOSED char* getcwd(char* buffer, size_t size) {
    return failures.getcwd ? nullptr : REAL(getcwd)(buffer, size);
}

INTERPOSED int putenv(char* text) {
    const std::string& prefix = failures.putenvPrefix;
    const bool fails = !prefix.empty() && std::strncmp(text, prefix.c_str(), prefix.size()) == 0;
    return fails ? -1 : REAL(putenv)(text);
}

INTERPOSED FILE* fopen(const char* path, const char* mode) {
    return failures.fopenMode == mode ? nullptr : REAL(fopen)(path, mode);
}

INTERPOSED char* fgets(char* buffer, int size, FILE* stream) {
    if (failures.fgetsCalls++ == failures.fgetsErrorAt) {
        close(fileno(stream));  // reading a closed descriptor sets the error indicator
    }
    return REAL(fgets)(buffer, size, stream);
}

INTERPOSED char* ctime(const time_t* when) {
    return failures.ctime ? nullptr : REAL(ctime)(when);
}

}  // extern "C"

namespace {

using namespace std::string_literals;

// A failed lookup: false, the value kept, the error reported.
void ExpectFailedLookup(CInitFile& settings) {
    std::string key = "Key", value = "kept";
    EXPECT_FALSE(settings.Get(key, value));
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(RecordedMessages(),
              std::vector<Message>{Error("ERROR: Getting initialization file parameter: Key\n")});
}

TEST(SystemFailureTest, EachFailingCallTakesItsPath) {
    TempDir top;
    std::string home = top / "home", ini = top / "kolv.ini", program;
    const char* python[] = {"PYTHONPATH", "PYTHONHOME", "KPYTHON"};
    const std::string platform = "/opt/kolv/Linux_ix86";
    const std::string values[] = {".:" + platform, platform + "/Python", platform};
    const auto pythonSetting = [&] {
        return EnvValue(python[0]) + "|" + EnvValue(python[1]) + "|" + EnvValue(python[2]);
    };
    std::vector<std::pair<std::string, std::function<void()>>> cases = {
        {"no password entry",
         [&] {
             failures.noPasswordEntry = true;
             char buffer[8] = "kept";
             unsigned long length = sizeof buffer;
             EXPECT_EQ(COSUtil::GetUserName(buffer, &length), 0);
             EXPECT_EQ(buffer + std::to_string(length), "kept8");
             EXPECT_EQ(COSUtil::GetInitFile() + COSUtil::GetUserPATH(), "/usr/bin:/bin");
             EXPECT_TRUE(std::filesystem::is_empty(home));  // no preferences file was made
         }},
        {"empty and one-letter login",
         [&] {
             char empty[] = "", letter[] = "k";
             failures.login = empty;
             EXPECT_EQ(COSUtil::GetInitFile(), home + "/kolv.ini");
             failures.login = letter;
             EXPECT_EQ(COSUtil::GetInitFile(), home + "/kolv_k.ini");
         }},
        {"getcwd",
         [&] {
             failures.getcwd = true;
             program = "\\opt\\kolv\\bin\\kolv";
             EXPECT_FALSE(COSUtil::SetupPython(program));
             EXPECT_EQ(program + pythonSetting(), "\\opt\\kolv\\bin\\kolv<unset>|<unset>|<unset>");
         }},
        {"putenv of PATH",
         [&] {
             ASSERT_TRUE(COSUtil::SetUserPATH());
             failures.putenvPrefix = "PATH=";
             EXPECT_FALSE(COSUtil::SetUserPATH());
             EXPECT_EQ(EnvValue("PATH"), "/usr/bin:/bin");  // the earlier text, still valid
         }},
        {"fopen for creating",
         [&] {
             failures.fopenMode = "w";
             CInitFile settings(ini, false);
             EXPECT_NE(access(ini.c_str(), F_OK), 0);
         }},
        {"fopen for reading",
         [&] {
             CInitFile settings(ini, false);
             failures.fopenMode = "r";
             ExpectFailedLookup(settings);
         }},
        {"fgets in the middle of the file",
         [&] {
             WriteFile(ini, std::string(64 * 1024, '#') + "\nKey = v\n");  // several buffers
             CInitFile settings(ini, false);
             failures.fgetsErrorAt = failures.fgetsCalls + 1;
             ExpectFailedLookup(settings);
         }},
        {"ctime for the banner",
         [&] {
             failures.ctime = true;
             CInitFile settings(ini, true);
             EXPECT_EQ(ReadFile(ini),
                       "#\n#\tKolvane user preferences file\n#\tCreated on: (unknown)\n#\n");
         }},
        {"ctime for the log header",
         [&] {
             failures.ctime = true;
             std::string task = "task", database = "model.kdb";
             CKUtil::DumpLogFileHeader(1, task, database);
             ASSERT_GE(RecordedMessages().size(), 2u);
             EXPECT_EQ(RecordedMessages()[1].text,
                       "* Log File Generated On : " + std::string(24, '?') + std::string(29, ' ') +
                           "*\n");
         }},
    };
    // putenv failing for each Python text: those before it are set (and
    // readable), the rest not.
    for (int failing = 0; failing < 3; ++failing) {
        cases.push_back({"putenv of "s + python[failing], [&, failing] {
                             failures.putenvPrefix = python[failing] + "="s;
                             program = "/opt/kolv/bin/kolv";
                             EXPECT_FALSE(COSUtil::SetupPython(program));
                             std::string expected;
                             for (int i = 0; i < 3; ++i)
                                 expected +=
                                     (i ? "|" : "") + (i < failing ? values[i] : "<unset>"s);
                             EXPECT_EQ(pythonSetting(), expected);
                         }});
    }
    for (const auto& [name, check] : cases) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(home);
        MakeDir(home);
        unlink(ini.c_str());
        EnvGuard env;
        env.Unset("KHOME").Set("HOME", home).Set("PATH", "/usr/bin:/bin");
        env.Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        failures = Failures();
        ClearMessages();
        check();
        failures = Failures();
    }
}

}  // namespace
