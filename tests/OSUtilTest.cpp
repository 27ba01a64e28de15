// COSUtil: platform answers, the login name, the pause, directory checks, the
// executable search, the search path and installation discovery. The fuzz
// driver checks line splitting, the lock path's rule and the search path
// against models; the failure test the paths of failing system calls.
// KolvenvTest proves through kolvenv doctor's facts what the library makes of
// the environment (the home and temporary directories, the preferences file,
// the Python set-up), and the lock probe.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <tuple>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Maybe = std::optional<std::string>;
using Messages = std::vector<Message>;
const Maybe unset;
const std::string login = getpwuid(getuid())->pw_name;

// A temporary home directory, an installation (inst/bin/kolv) beside it, and
// the variables the library reads under the test's control.
class OSUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDir(home);
        MakeDir(inst);
        MakeDir(bin);
        WriteFile(bin + "/kolv", "#!/bin/sh\n", 0755);
        env.Unset("KHOME").Set("HOME", home).Set("PATH", "");
        ClearMessages();
    }

    TempDir top;
    const std::string home = top / "home";
    const std::string inst = top / "inst";
    const std::string bin = inst + "/bin";
    const std::string iniFile = home + "/kolv_" + login + ".ini";
    EnvGuard env;
};

TEST_F(OSUtilTest, PlatformAnswers) {
    EXPECT_EQ(COSUtil::IsWin9x(), 0);
    EXPECT_EQ(COSUtil::StartSockets(), 1);
}

// The result, the buffer (64 '#' where nothing was written) and the length
// GetUserName leaves for a capacity.
std::tuple<int, std::string, unsigned long> UserName(unsigned long capacity) {
    std::array<char, 64> buffer;
    buffer.fill('#');
    unsigned long length = capacity;
    const int result = COSUtil::GetUserName(buffer.data(), &length);
    return {result, std::string(buffer.data(), buffer.size()), length};
}

TEST_F(OSUtilTest, GetUserNameWritesTheLoginAndItsNulOnlyWhereBothFit) {
    const std::string untouched(64, '#');
    const std::string written = login + '\0' + untouched.substr(login.size() + 1);
    EXPECT_EQ(UserName(login.size() + 1), std::make_tuple(1, written, login.size()));
    EXPECT_EQ(UserName(login.size()), std::make_tuple(0, untouched, login.size()));
}

TEST_F(OSUtilTest, MySleepWaitsAtLeastItsTime) {
    const auto start = std::chrono::steady_clock::now();
    COSUtil::mySleep(1000);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(OSUtilTest, GetUserNameWithoutABufferReturnsZero) {
    unsigned long length = 64;
    EXPECT_EQ(COSUtil::GetUserName(nullptr, &length), 0);
}

// A failed check writes a block of three lines: an error naming the path,
// then two lines worded for the kind.
struct CheckDirCase {
    mode_t mode;  // type and mode of the entry; 0: none
    const char* kind;
    int result;
    std::string error;  // the error's text before the path; "": no block
    std::string which;
    std::string ask;  // the last line: what to ask the administrator for
};

TEST_F(OSUtilTest, CheckDirRefusesWithABlockWordedForTheKind) {
    const std::string yours = "       This is your work directory";
    const std::vector<CheckDirCase> cases = {
        {S_IFDIR | 0700, "home", 1, "", "", ""},
        {S_IFDIR | 0077, "work", 0, "You do not have read permission in\n\t", yours + "\n",
         "work directory"},
        {S_IFDIR | 0500, "work", 0, "You do not have write permission in\n\t", yours + "\n",
         "work directory"},
        {S_IFDIR | 0600, "work", 0, "You do not have execute permission in\n\t",
         yours + " on your system\n", "work directory"},
        {0, "temporary", 0, "The TMPDIR or TMP environment variable is set to:\n\t",
         "       This is not a valid directory (i.e., does not exist or is not a directory\n",
         "TMPDIR/TMP value"},
        {S_IFREG | 0700, "home", 0, "Your home directory appears to be,\n",
         "       however, either this directory does not exist or is not a directory!\n",
         "home directory"},
        {0, "Home", 0, "", "", ""},
    };
    for (const CheckDirCase& row : cases) {
        std::string path = top / std::to_string(row.mode);
        SCOPED_TRACE(path + " " + row.kind);
        if (S_ISDIR(row.mode)) {
            MakeDir(path, row.mode & 0777);
        }
        if (S_ISREG(row.mode)) {
            WriteFile(path, "", row.mode & 0777);
        }
        EXPECT_EQ(COSUtil::CheckDir(path, row.kind), row.result);
        Messages block;
        if (!row.error.empty()) {
            block.push_back(Error(row.error + path + "\n"));
            block.push_back(Print(row.which));
            block.push_back(
                Print("       Check with your system administrator for a valid " + row.ask + "\n"));
        }
        EXPECT_EQ(RecordedMessages(), block);
        ClearMessages();
    }
}

struct ExecutableCase {
    std::string name;
    std::string dirs;
    std::string found;  // the name afterwards; "": not found, the name unchanged
};

// In the home: an empty executable, one with only group and other bits; in
// the installation's bin: kolv and plain. "plain" and "empty" in the working
// directory are taken as given: no search, no size test.
TEST_F(OSUtilTest, FindExeInStringPATHTakesTheFirstNonEmptyOwnerExecutable) {
    CwdGuard cwd(top.Path());
    WriteFile(home + "/kolv", "", 0755);
    WriteFile(home + "/other", "#!", 0655);
    WriteFile("plain", "data", 0644);
    WriteFile(bin + "/plain", "#!", 0700);
    WriteFile("empty", "", 0100);
    const std::vector<ExecutableCase> cases = {
        {"kolv", home + "::" + bin, bin + "/kolv"},
        {"other", home, ""},
        {"kolv\0x"s, bin, bin + "/kolv"},
        {"", home + ":" + bin, home + "/"},
        {"plain", bin, ""},
        {"empty", "", "empty"},
    };
    for (const ExecutableCase& row : cases) {
        SCOPED_TRACE(row.name + " in " + row.dirs);
        std::string name = row.name;
        std::string dirs = row.dirs;
        const bool found = COSUtil::FindExeInStringPATH(name, dirs);
        const std::string after = row.found.empty() ? row.name : row.found;
        EXPECT_EQ(std::make_tuple(found, name, dirs),
                  std::make_tuple(!row.found.empty(), after, row.dirs));
    }
}

struct HomeCase {
    Maybe khome;
    Maybe home;
    std::string expected;  // "": none, CFileNotReady
};

// KolvenvTest shows the choice between usable and unusable variables, and the
// repair block; here the owner bits of a file serve, and neither variable set.
TEST_F(OSUtilTest, GetHomeDirGoesByTheOwnerBitsAlone) {
    WriteFile(top / "file", "", 0700);
    WriteFile(top / "rw-", "", 0600);
    CwdGuard cwd(top.Path());
    const std::vector<HomeCase> cases = {
        {unset, "file", "file"},
        {"missing", "rw-", ""},
        {unset, unset, ""},
        {"", "", ""},
    };
    for (const HomeCase& row : cases) {
        SCOPED_TRACE(row.khome.value_or("<unset>") + " " + row.home.value_or("<unset>"));
        env.Set("KHOME", row.khome).Set("HOME", row.home);
        if (row.expected.empty()) {
            EXPECT_THROW(COSUtil::GetHomeDir(), CFileNotReady);
        } else {
            EXPECT_EQ(COSUtil::GetHomeDir(), row.expected);
        }
    }
}

struct SearchPathCase {
    Maybe pathList;  // unset: no preferences file
    Maybe path;
    std::string expected;
};

// A separator ends an entry: a leading or doubled one makes an empty entry,
// a trailing one none; one trailing '/' goes. PATH's entries follow the
// PathList's unless listed already. The fuzz driver proves the trims and
// '\' against its model; SetUserPATH puts each value into the environment.
TEST_F(OSUtilTest, SetUserPATHListsPathListThenNewPATHEntries) {
    const std::vector<SearchPathCase> cases = {
        {unset, ":a::b/:", ":a:b"},
        {"/p", "", "/p"},
        {"/p", ":", "/p:"},
        {"/p/::/p", "/p/:c:c/", "/p::/p:c"},
    };
    for (const SearchPathCase& row : cases) {
        SCOPED_TRACE(row.pathList.value_or("<none>") + " and " + row.path.value_or("<unset>"));
        std::filesystem::remove(iniFile);
        if (row.pathList) {
            WriteFile(iniFile, "PathList = " + *row.pathList + "\n");
        }
        env.Set("PATH", row.path);
        EXPECT_TRUE(COSUtil::SetUserPATH());
        EXPECT_EQ(EnvValue("PATH"), row.expected);
    }
}

struct InstallationCase {
    std::string program;
    std::string base;
    std::string path;
    std::string cwd;
    std::string directory;  // "": not found
    std::string programAfter;
};

// An absolute program written with backslashes is the failure test's.
TEST_F(OSUtilTest, FindInstallationIsTheParentOfTheProgramsDirectory) {
    for (const char* dir : {"e", "e/bin", "d", "d/bin", "d/bin/kolv"}) {
        MakeDir(top / dir);
    }
    WriteFile(top / "e/bin/kolv", "", 0755);
    const std::string no = "/none";
    const std::string at = top.Path();
    const std::vector<InstallationCase> cases = {
        {"\\kolv", no, no, at, "/", "/kolv"},
        {"bin\\kolv", inst, no, at, inst + "/", "bin/kolv"},
        {"bin/kolv", top / "e", no + ":" + bin, at, inst + "/", bin + "/kolv"},  // empty: search
        {"bin/kolv", top / "d", no + ":" + bin, at, inst + "/", bin + "/kolv"},  // a directory
        {"bin/kolv", no, no, at, "", "kolv"},
        {"kolv", no, "bin", inst, "./", "bin/kolv"},
        {"kolv", no, no, bin, "../", "kolv"},
    };
    for (const InstallationCase& row : cases) {
        SCOPED_TRACE(row.program + " under " + row.base + " in " + row.cwd);
        CwdGuard in(row.cwd);
        env.Set("PATH", row.path);
        std::string program = row.program;
        std::string base = row.base;
        const std::string directory = COSUtil::FindInstallation(program, base);
        EXPECT_EQ(std::make_tuple(directory, program),
                  std::make_tuple(row.directory, row.programAfter));
    }
}

}  // namespace
