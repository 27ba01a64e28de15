// COSUtil: platform answers, directory checks, path strings, the lock probe,
// the executable search, the user's directories and files, setting the search
// path, installation discovery and the Python set-up. The fuzz driver checks
// line splitting, the lock path's rule and the search path against models.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Maybe = std::optional<std::string>;
const Maybe unset;
const std::string login = getpwuid(getuid())->pw_name;

// A temporary home directory, an installation (inst/bin/kolv) beside it, and
// the variables the library reads under the test's control.
class OSUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string& dir : {home, inst, bin})
            MakeDir(dir);
        WriteFile(bin + "/kolv", "#!/bin/sh\n", 0755);
        env.Unset("KHOME").Set("HOME", home).Unset("KTMP").Unset("TMPDIR").Unset("TMP");
        env.Set("PATH", "").Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        ClearMessages();
    }

    TempDir top;
    const std::string home = top / "home", inst = top / "inst", bin = inst + "/bin";
    const std::string iniFile = home + "/kolv_" + login + ".ini";
    EnvGuard env;
};

TEST_F(OSUtilTest, PlatformAnswersAndTheUserNameWithItsNulOrNothing) {
    int version[3] = {-1, -1, -1};
    GetKolvUtilVersion(&version[0], &version[1], &version[2]);
    EXPECT_EQ(std::vector<int>(version, version + 3),
              (std::vector<int>{KOLV_VERSION_MAJOR, KOLV_VERSION_MINOR, KOLV_VERSION_PATCH}));
    EXPECT_EQ(std::make_tuple(COSUtil::IsWin9x(), COSUtil::StartSockets(), COSUtil::GetSeparator(),
                              COSUtil::ArchName()),
              std::make_tuple(0, 1, ':', "Linux_ix86"s));
    COSUtil::mySleep(1);
    char buffer[256];
    unsigned long length = 0;
    for (const unsigned long capacity : {login.size() + 1, login.size()}) {
        std::fill(buffer, buffer + sizeof buffer, '#');  // a missing NUL shows
        length = capacity;
        const std::string written = capacity > login.size() ? login + '\0' : "";
        EXPECT_EQ(COSUtil::GetUserName(buffer, &length), written.empty() ? 0 : 1);
        EXPECT_EQ(std::string(buffer, 256) + std::to_string(length),
                  written + std::string(256 - written.size(), '#') +
                      std::to_string(written.empty() ? capacity : login.size()));
    }
    EXPECT_EQ(COSUtil::GetUserName(nullptr, &length) + COSUtil::GetUserName(buffer, nullptr), 0);
}

TEST_F(OSUtilTest, CheckDirWantsADirectoryWithOwnerBitsAndWordsItsBlockByKind) {
    const std::string yours = "       This is your work directory",
                      check = "       Check with your system administrator for a valid ";
    // Type and mode of the entry (0: none), the kind, the block (the path
    // follows its first text).
    const std::vector<std::tuple<mode_t, const char*, std::string, std::string, std::string>>
        cases = {
            {S_IFDIR | 0700, "work", "", "", ""},
            {S_IFDIR | 0077, "work", "You do not have read permission in\n\t", yours + "\n",
             check + "work directory\n"},
            {S_IFDIR | 0500, "work", "You do not have write permission in\n\t", yours + "\n",
             check + "work directory\n"},
            {S_IFDIR | 0600, "work", "You do not have execute permission in\n\t",
             yours + " on your system\n", check + "work directory\n"},
            {0, "temporary", "The TMPDIR or TMP environment variable is set to:\n\t",
             "       This is not a valid directory (i.e., does not exist or is not a directory\n",
             check + "TMPDIR/TMP value\n"},
            {S_IFREG | 0700, "home", "Your home directory appears to be,\n",
             "       however, either this directory does not exist or is not a directory!\n",
             check + "home directory\n"},
            {0, "Home", "", "", ""},
        };
    int n = 0;
    for (const auto& [mode, kind, first, second, third] : cases) {
        std::string path = top / std::to_string(n++);
        if (mode != 0)
            S_ISDIR(mode) ? MakeDir(path, mode & 0777) : WriteFile(path, "", mode & 0777);
        ClearMessages();
        EXPECT_EQ(COSUtil::CheckDir(path, kind), n == 1 ? 1 : 0) << n;
        std::vector<Message> block = {Error(first + path + "\n"), Print(second), Print(third)};
        EXPECT_EQ(RecordedMessages(), first.empty() ? std::vector<Message>() : block) << n;
    }
}

TEST_F(OSUtilTest, PathStringsAndTheLockProbe) {
    std::string text = "abc\0def\0"s, nul = "\0abc"s;
    COSUtil::NoCStrings(text);
    COSUtil::NoCStrings(nul);
    EXPECT_EQ(text + "|" + nul, "abc|");
    for (std::string path : {"/"s, "/\0"s, ""s, "\\tmp"s, " /tmp"s, "tmp/"s})
        EXPECT_EQ(COSUtil::FromRoot(path), path.substr(0, 1) == "/") << path;
    // A lock directory or a lock file: either is a lock. The fuzz driver checks
    // the lock path's rule; here its edges: ".kdb" alone, an upper-case ending.
    CwdGuard cwd(top.Path());
    std::string database = ".kdb", other = "b.KDB";
    EXPECT_FALSE(COSUtil::LockDirExist(database) || COSUtil::LockDirExist(other));
    MakeDir(".lck");
    WriteFile("b.KDB.lck", "", 0);
    EXPECT_TRUE(COSUtil::LockDirExist(database) && COSUtil::LockDirExist(other));
}

TEST_F(OSUtilTest, FindExeTakesTheFirstExecutableAlongTheList) {
    CwdGuard cwd(top.Path());
    const std::string a = top / "a", b = bin;
    MakeDir(a);
    MakeDir(a + "/dir", 0700);            // a directory is a hit
    WriteFile(a + "/kolv", "", 0755);     // empty: passed over
    WriteFile(a + "/other", "#!", 0655);  // group and other bits do not count
    WriteFile(top / "plain", "data", 0644);
    WriteFile(b + "/plain", "#!", 0700);
    WriteFile(top / "empty", "", 0100);
    // The name, the list, the name afterwards ("" when not found).
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"kolv", a + "::" + b, b + "/kolv"}, {"kolv", a, ""},  {"other", a, ""},
        {"dir", b + ":" + a, a + "/dir"},    {"kolv", "", ""}, {"kolv\0x"s, b, b + "/kolv"},
        {"", a + ":" + b, a + "/"},          {"plain", b, ""}, {"empty", "", "empty"},
    };  // "plain" and "empty" are found as given: no search, no size test
    for (const auto& [given, list, found] : cases) {
        std::string name = given, dirs = list;
        EXPECT_EQ(COSUtil::FindExeInStringPATH(name, dirs), !found.empty()) << given << list;
        EXPECT_EQ(name + "|" + dirs, (found.empty() ? given.c_str() : found) + "|"s + list);
    }
}

TEST_F(OSUtilTest, HomeIsKHomeElseHomeByOwnerBitsElseFileNotReady) {
    MakeDir(top / "r-x", 0500);
    WriteFile(top / "file", "", 0700);
    WriteFile(top / "rw-", "", 0600);
    CwdGuard cwd(top.Path());
    // KHOME, HOME, the home directory ("": none).
    const std::vector<std::tuple<Maybe, Maybe, std::string>> cases = {
        {home, inst, home},
        {top / "r-x", inst, inst},
        {"", inst, inst},
        {"home", inst, "home"},
        {unset, home + "/", home + "/"},
        {unset, top / "file", top / "file"},
        {unset, unset, ""},
        {"", "", ""},
        {"missing", top / "rw-", ""},
    };
    // The repair block, the raise, and the error passing `passes` trace points;
    // the lines of the library's reports are not compared.
    const auto noHome = [](int passes) {
        std::vector<Message> expected = {
            Error("Could not establish HOME directory in GetHomeDir function.\n"),
            Print("       Close Kolvane.\n"),
            Print("       Set KHOME environment variable to point to\n"),
            Print("       the directory of your choice and check that this\n"),
            Print("       directory has read/write/execute permissions.\n"),
            Print("       Start Kolvane again.\n"),
            Raised("../OSUtil", 0, "File not ready")};
        expected.insert(expected.end(), passes, Passed("../OSUtil", 0, "File not ready"));
        return expected;
    };
    const auto unnumbered = [] {
        std::vector<Message> messages = RecordedMessages();
        for (Message& message : messages)
            message.line = 0;
        return messages;
    };
    for (const auto& [khome, homeValue, expected] : cases) {
        env.Set("KHOME", khome).Set("HOME", homeValue);
        ClearMessages();
        if (expected.empty())
            EXPECT_THROW(COSUtil::GetHomeDir(), CFileNotReady);
        else
            EXPECT_EQ(COSUtil::GetHomeDir(), expected);
        EXPECT_EQ(unnumbered(), expected.empty() ? noHome(1) : std::vector<Message>());
    }
    ClearMessages();
    std::string program = "kolv";
    EXPECT_THROW(COSUtil::SetupPython(program), CFileNotReady);
    // GetHomeDir, GetInitFile, GetUserPATH, FindInstallation, SetupPython.
    EXPECT_EQ(unnumbered(), noHome(5));
}

TEST_F(OSUtilTest, TemporaryDirectoryByPrecedenceAndThePreferencesFileInTheHome) {
    // KTMP, TMPDIR, TMP, the temporary directory.
    const std::vector<std::tuple<Maybe, Maybe, Maybe, std::string>> cases = {
        {unset, unset, unset, "/tmp"},      {unset, unset, "C:\\t\\x", "C:/t/x"},
        {unset, "", "/t/b", "/t/b"},        {unset, "/t/a", "/t/b", "/t/a"},
        {"k\\tmp", "/t/a", unset, "k/tmp"}, {"", "", "", "/tmp"},
    };
    for (const auto& [ktmp, tmpdir, tmp, expected] : cases) {
        env.Set("KTMP", ktmp).Set("TMPDIR", tmpdir).Set("TMP", tmp);
        ClearMessages();
        EXPECT_EQ(COSUtil::GetTmpDir(), expected);
        std::vector<Message> info;
        if (ktmp)
            info = {Print("\nINFO : KTMP already defined as an environment variable\n"),
                    Print("INFO : Defined value will be used:\n" + *ktmp + "\n")};
        EXPECT_EQ(RecordedMessages(), info);
    }
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    env.Set("HOME", home + "/");
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    MakeDir(top / "b\\");
    env.Set("HOME", top / "b\\");
    EXPECT_EQ(COSUtil::GetInitFile(), top / "b\\kolv_" + login + ".ini");
}

// PATH holds each entry twice, the last time with a trailing '/'; it grows
// to well over the lookup table's first size, and the environment reads every
// new text.
TEST_F(OSUtilTest, SetUserPathPutsTheSearchPathEveryTime) {
    env.Set("PATH", "::");  // empty entries, one kept; no PathList yet
    ASSERT_TRUE(COSUtil::SetUserPATH());
    ASSERT_EQ(EnvValue("PATH"), "");
    WriteFile(iniFile, "PathList = /a\n");
    env.Unset("PATH");    // then no PATH at all
    std::string entries;  // ":/d0:/d1:..."
    for (int n = 0; n <= 40; ++n) {
        ASSERT_TRUE(COSUtil::SetUserPATH());
        ASSERT_EQ(EnvValue("PATH"), "/a" + entries);
        entries += ":/d" + std::to_string(n);
        env.Set("PATH", entries.substr(1) + entries + "/");
    }
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(OSUtilTest, InstallationIsTheParentOfTheProgramsDirectory) {
    for (const char* dir : {"e", "e/bin", "d", "d/bin", "d/bin/kolv"})
        MakeDir(top / dir);
    WriteFile(top / "e/bin/kolv", "", 0755);
    const std::string no = "/none", at = top.Path();
    // The program, the base directory, PATH, PathList, the working directory,
    // the installation, the program afterwards.
    const std::vector<std::array<std::string, 7>> cases = {
        {"/opt/kolv/bin/kolv", no, no, "", at, "/opt/kolv/", "/opt/kolv/bin/kolv"},
        {"\\kolv", no, no, "", at, "/", "/kolv"},
        {"bin\\kolv", inst, no, "", at, inst + "/", "bin/kolv"},
        {"bin/kolv", top / "e", no + ":" + bin, "", at, inst + "/", bin + "/kolv"},
        {"bin/kolv", top / "d", no + ":" + bin, "", at, inst + "/", bin + "/kolv"},
        {"kolv", no, "/usr/bin", bin + "/", at, inst + "/", bin + "/kolv"},
        {"bin/kolv", no, no, "", at, "", "kolv"},
        {"kolv", no, "bin", "", inst, "./", "bin/kolv"},
        {"kolv", no, no, "", bin, "../", "kolv"},
    };
    for (const auto& [given, base, path, pathList, cwd, result, found] : cases) {
        CwdGuard in(cwd);
        WriteFile(iniFile, "PathList = " + pathList + "\n");
        env.Set("PATH", path);
        std::string program = given, baseDir = base;
        EXPECT_EQ(COSUtil::FindInstallation(program, baseDir).append("|" + program),  // in order
                  result + "|" + found);
    }
}

TEST_F(OSUtilTest, PythonVariablesNameThePlatformDirectory) {
    WriteFile(iniFile, "PathList = " + bin + "\n");
    CwdGuard cwd(top.Path());
    const std::string platform = inst + "/Linux_ix86";
    // PYTHONPATH before, the program, the platform directory, PYTHONPATH after.
    const std::vector<std::tuple<Maybe, std::string, std::string, std::string>> cases = {
        {unset, "kolv", platform, ".:" + platform},
        {"\\home\\py", "kolv", platform, ".:" + platform + ":/home/py"},
        {"", "kolv", platform, ".:" + platform + ":"},
        {unset, "nowhere", "Linux_ix86", ".:Linux_ix86"},
    };
    for (const auto& [previous, given, dir, pythonPath] : cases) {
        env.Set("PYTHONPATH", previous);
        ClearMessages();
        std::string program = given;
        EXPECT_TRUE(COSUtil::SetupPython(program));
        EXPECT_EQ(EnvValue("PYTHONPATH") + "|" + EnvValue("PYTHONHOME") + "|" + EnvValue("KPYTHON"),
                  pythonPath + "|" + dir + "/Python|" + dir);
        std::vector<Message> info;
        if (previous)
            info = {
                Print("\nINFO : PYTHONPATH already defined as an environment variable.\n"),
                Print("       Directory with Kolvane Python installation is prepended to it:\n"),
                Print("PYTHONPATH=" + pythonPath + "\n")};
        EXPECT_EQ(RecordedMessages(), info);
    }
}

}  // namespace
