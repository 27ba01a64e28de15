// COSUtil: platform answers, directory checks, the repair block of a missing
// home, the temporary directory, and installation discovery with its
// executable search. The fuzz driver checks line splitting, the lock path's rule and
// the search path against models; the failure test the choice of the home, the
// login name, the preferences file's name, the pause and the Python set-up
// through interposed system calls.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Maybe = std::optional<std::string>;
using Messages = std::vector<Message>;
const Maybe unset;

// A temporary home directory, an installation (inst/bin/kolv) beside it, and
// the variables the library reads under the test's control.
class OSUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDir(home);
        MakeDir(inst);
        MakeDir(bin);
        WriteFile(bin + "/kolv", "#!/bin/sh\n", 0755);
        env.Unset("KHOME");
        env.Set("HOME", home);
        env.Set("PATH", "");
        ClearMessages();
    }

    TempDir top;
    const std::string home = top / "home";
    const std::string inst = top / "inst";
    const std::string bin = inst + "/bin";
    EnvGuard env;
};

TEST_F(OSUtilTest, PlatformAnswers) {
    EXPECT_EQ(COSUtil::IsWin9x(), 0);
    EXPECT_EQ(COSUtil::StartSockets(), 1);
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

// A missing KHOME, and a HOME without its owner's execute bit.
TEST_F(OSUtilTest, WithoutAHomeGetHomeDirSaysHowToRepairItAndThrows) {
    WriteFile(top / "rw-", "", 0600);
    env.Set("KHOME", top / "missing");
    env.Set("HOME", top / "rw-");
    EXPECT_THROW(COSUtil::GetHomeDir(), CFileNotReady);
    Messages got = RecordedMessages();
    for (Message& message : got) {
        message.line = 0;  // the library's own source lines
    }
    const Messages expected = {
        Error("Could not establish HOME directory in GetHomeDir function.\n"),
        Print("       Close Kolvane.\n"),
        Print("       Set KHOME environment variable to point to\n"),
        Print("       the directory of your choice and check that this\n"),
        Print("       directory has read/write/execute permissions.\n"),
        Print("       Start Kolvane again.\n"),
        Raised("../OSUtil", 0, "File not ready"),
        Passed("../OSUtil", 0, "File not ready"),
    };
    EXPECT_EQ(got, expected);
}

struct TmpCase {
    Maybe ktmp;
    Maybe tmpdir;
    Maybe tmp;
    std::string expected;
};

// KTMP, TMPDIR, TMP: the first that is not empty, '\' read as '/'. A set KTMP
// is announced, even an empty one.
TEST_F(OSUtilTest, GetTmpDirTakesTheFirstNonEmptyVariable) {
    const std::vector<TmpCase> cases = {
        {unset, "\\t\\d", "x", "/t/d"},
        {unset, "", "x\\y", "x/y"},
        {".\\k", "d", "x", "./k"},
        {"", "", unset, "/tmp"},
    };
    for (const TmpCase& row : cases) {
        SCOPED_TRACE(row.expected);
        env.Set("KTMP", row.ktmp);
        env.Set("TMPDIR", row.tmpdir);
        env.Set("TMP", row.tmp);
        ClearMessages();
        EXPECT_EQ(COSUtil::GetTmpDir(), row.expected);
        Messages announced;
        if (row.ktmp) {
            announced = {Print("\nINFO : KTMP already defined as an environment variable\n"),
                         Print("INFO : Defined value will be used:\n" + *row.ktmp + "\n")};
        }
        EXPECT_EQ(RecordedMessages(), announced);
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
    WriteFile(top / "d/kolv", "#!", 0655);
    const std::string no = "/none";
    const std::string at = top.Path();
    // Along the search path a program is skipped when empty or not executable by its owner;
    // a name is cut at its NUL.
    const std::string skipped = no + "::" + top / "e/bin" + ":" + top / "d";
    const std::vector<InstallationCase> cases = {
        {"\\kolv", no, no, at, "/", "/kolv"},
        {"bin\\kolv", inst, no, at, inst + "/", "bin/kolv"},
        {"bin/kolv", top / "e", skipped + ":" + bin, at, inst + "/", bin + "/kolv"},  // empty
        {"bin/kolv", top / "d", no + ":" + bin, at, inst + "/", bin + "/kolv"},       // a directory
        {"kolv\0x"s, no, bin, at, inst + "/", bin + "/kolv"},
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
        EXPECT_EQ(directory, row.directory);
        EXPECT_EQ(program, row.programAfter);
    }
}

}  // namespace
