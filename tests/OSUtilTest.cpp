// COSUtil: platform answers, directory checks, path strings, the lock probe,
// the executable search, the user's directories and files, setting the search
// path, installation discovery and the Python set-up. The fuzz driver checks
// line splitting, the lock path's rule and the search path against models; the
// kolvenv test the version, architecture, separator and login name the tool
// prints; the failure test the paths of failing system calls.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Maybe = std::optional<std::string>;
using Messages = std::vector<Message>;
const Maybe unset;
const std::string login = getpwuid(getuid())->pw_name;

// The messages since the last call, their lines (not compared) set to 0.
Messages TakeMessages() {
    Messages messages = RecordedMessages();
    for (Message& message : messages)
        message.line = 0;
    ClearMessages();
    return messages;
}

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
    EXPECT_EQ(std::make_pair(COSUtil::IsWin9x(), COSUtil::StartSockets()), std::make_pair(0, 1));
    COSUtil::mySleep(1);
    // The result, the buffer (a missing NUL shows as '#') and the length after.
    char buffer[256];
    const auto name = [&buffer](unsigned long length) {
        std::string(256, '#').copy(buffer, 256);
        return std::to_string(COSUtil::GetUserName(buffer, &length))
            .append(std::string(buffer, 256) + std::to_string(length));
    };
    const std::string size = std::to_string(login.size());
    EXPECT_EQ(name(login.size() + 1),
              "1" + login + '\0' + std::string(255 - login.size(), '#') + size);
    EXPECT_EQ(name(login.size()), "0" + std::string(256, '#') + size);  // no room for the NUL
    unsigned long length = 0;
    EXPECT_EQ(COSUtil::GetUserName(nullptr, &length) + COSUtil::GetUserName(buffer, nullptr), 0);
}

TEST_F(OSUtilTest, CheckDirWantsADirectoryWithOwnerBitsAndWordsItsBlockByKind) {
    const std::string yours = "       This is your work directory",
                      check = "       Check with your system administrator for a valid ";
    // Type and mode of the entry (0: none), the kind, the block (the path
    // follows its first text). The kolvenv test's doctor sees a usable one pass.
    const std::vector<std::tuple<mode_t, const char*, std::string, std::string, std::string>>
        cases = {
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
            {0, "Home", "", "", ""}};
    for (const auto& [mode, kind, first, second, third] : cases) {
        std::string path = top / std::to_string(mode);  // both missing ones the same
        if (mode != 0)
            S_ISDIR(mode) ? MakeDir(path, mode & 0777) : WriteFile(path, "", mode & 0777);
        EXPECT_EQ(COSUtil::CheckDir(path, kind), 0) << path;
        const Messages block = {Error(first + path + "\n"), Print(second), Print(third)};
        EXPECT_EQ(TakeMessages(), first.empty() ? Messages() : block) << path;
    }
}

TEST_F(OSUtilTest, PathStringsTheLockProbeAndTheExecutableSearch) {
    std::string text = "abc\0def\0"s;
    COSUtil::NoCStrings(text);
    EXPECT_EQ(text, "abc");
    for (std::string path : {"/"s, "/\0"s, ""s, "\\tmp"s, " /tmp"s})
        EXPECT_EQ(COSUtil::FromRoot(path), path.substr(0, 1) == "/") << path;
    // A lock directory or a lock file: either is a lock. The fuzz driver checks
    // the lock path's rule.
    CwdGuard cwd(top.Path());
    std::string database = "a.kdb", other = "b";
    EXPECT_FALSE(COSUtil::LockDirExist(database) || COSUtil::LockDirExist(other));
    MakeDir("a.lck");
    WriteFile("b.lck", "", 0);
    EXPECT_TRUE(COSUtil::LockDirExist(database) && COSUtil::LockDirExist(other));
    // The executable search, in the home and the installation's bin.
    const std::string a = home, b = bin;
    WriteFile(a + "/kolv", "", 0755);     // empty: passed over
    WriteFile(a + "/other", "#!", 0655);  // group and other bits do not count
    WriteFile("plain", "data", 0644);
    WriteFile(b + "/plain", "#!", 0700);
    WriteFile("empty", "", 0100);
    // The name, the list, the name afterwards ("" when not found). "plain" and
    // "empty" are found as given: no search, no size test.
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"kolv", a + "::" + b, b + "/kolv"}, {"other", a, ""}, {"kolv\0x"s, b, b + "/kolv"},
        {"", a + ":" + b, a + "/"},          {"plain", b, ""}, {"empty", "", "empty"}};
    for (const auto& [given, list, found] : cases) {
        std::string name = given, dirs = list;
        EXPECT_EQ(COSUtil::FindExeInStringPATH(name, dirs), !found.empty()) << given << list;
        EXPECT_EQ(name + "|" + dirs, (found.empty() ? given.c_str() : found) + "|"s + list);
    }
}

TEST_F(OSUtilTest, HomeTemporaryDirectoryAndPreferencesFileFromTheEnvironment) {
    MakeDir(top / "r-x", 0500);
    WriteFile(top / "file", "", 0700);
    WriteFile(top / "rw-", "", 0600);
    CwdGuard cwd(top.Path());
    // KHOME, HOME, the home directory ("": none).
    const std::vector<std::tuple<Maybe, Maybe, std::string>> cases = {
        {"r-x", inst, inst},    {"", inst, inst},   {"home", inst, "home"}, {unset, "file", "file"},
        {"", "home/", "home/"}, {unset, unset, ""}, {"", "", ""},           {"missing", "rw-", ""}};
    // The repair block, the raise, and the error passing one trace point.
    Messages noHome = {Error("Could not establish HOME directory in GetHomeDir function.\n"),
                       Print("       Close Kolvane.\n"),
                       Print("       Set KHOME environment variable to point to\n"),
                       Print("       the directory of your choice and check that this\n"),
                       Print("       directory has read/write/execute permissions.\n"),
                       Print("       Start Kolvane again.\n"),
                       Raised("../OSUtil", 0, "File not ready"),
                       Passed("../OSUtil", 0, "File not ready")};
    for (const auto& [khome, homeValue, expected] : cases) {
        env.Set("KHOME", khome).Set("HOME", homeValue);
        if (expected.empty())
            EXPECT_THROW(COSUtil::GetHomeDir(), CFileNotReady);
        else
            EXPECT_EQ(COSUtil::GetHomeDir(), expected);
        EXPECT_EQ(TakeMessages(), expected.empty() ? noHome : Messages());
    }
    std::string program = "kolv";
    EXPECT_THROW(COSUtil::SetupPython(program), CFileNotReady);
    // Passing GetInitFile, GetUserPATH, FindInstallation, SetupPython too.
    noHome.insert(noHome.end(), 4, noHome.back());
    EXPECT_EQ(TakeMessages(), noHome);
    // KTMP, TMPDIR, TMP, the temporary directory.
    const std::vector<std::tuple<Maybe, Maybe, Maybe, std::string>> tmpCases = {
        {unset, unset, unset, "/tmp"},      {unset, unset, "C:\\t\\x", "C:/t/x"},
        {unset, "", "/t/b", "/t/b"},        {unset, "/t/a", "/t/b", "/t/a"},
        {"k\\tmp", "/t/a", unset, "k/tmp"}, {"", "", "", "/tmp"}};
    for (const auto& [ktmp, tmpdir, tmp, expected] : tmpCases) {
        env.Set("KTMP", ktmp).Set("TMPDIR", tmpdir).Set("TMP", tmp);
        EXPECT_EQ(COSUtil::GetTmpDir(), expected);
        const Messages info = {
            Print("\nINFO : KTMP already defined as an environment variable\n"),
            Print("INFO : Defined value will be used:\n" + ktmp.value_or("") + "\n")};
        EXPECT_EQ(TakeMessages(), ktmp ? info : Messages());
    }
    env.Set("HOME", home + "/");
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    MakeDir(top / "b\\");
    env.Set("HOME", top / "b\\");
    EXPECT_EQ(COSUtil::GetInitFile(), top / "b\\kolv_" + login + ".ini");
}

// SetUserPATH first: PATH holds each entry twice, the last time with a
// trailing '/'; it grows to well over the lookup table's first size, and the
// environment reads every new text. Then the installation: an absolute program
// written with backslashes is the failure test's, as is the Python set-up
// after a PYTHONPATH unset; the kolvenv test's too. None of them says a thing.
TEST_F(OSUtilTest, SearchPathInstallationAndPythonVariables) {
    const auto set = [] { return COSUtil::SetUserPATH() ? EnvValue("PATH") : "<failed>"; };
    env.Set("PATH", "::");  // empty entries, one kept; no PathList yet
    ASSERT_EQ(set(), "");
    WriteFile(iniFile, "PathList = /a\n");
    env.Unset("PATH");    // then no PATH at all
    std::string entries;  // ":/d0:/d1:..."
    for (int n = 0; n <= 40; ++n) {
        ASSERT_EQ(set(), "/a" + entries);
        entries += ":/d" + std::to_string(n);
        env.Set("PATH", entries.substr(1) + entries + "/");
    }
    for (const char* dir : {"e", "e/bin", "d", "d/bin", "d/bin/kolv"})
        MakeDir(top / dir);
    WriteFile(top / "e/bin/kolv", "", 0755);
    const std::string no = "/none", at = top.Path();
    // The program, the base directory, PATH, the working directory, the
    // installation, the program afterwards.
    const std::vector<std::array<std::string, 6>> cases = {
        {"\\kolv", no, no, at, "/", "/kolv"},
        {"bin\\kolv", inst, no, at, inst + "/", "bin/kolv"},
        {"bin/kolv", top / "e", no + ":" + bin, at, inst + "/", bin + "/kolv"},
        {"bin/kolv", top / "d", no + ":" + bin, at, inst + "/", bin + "/kolv"},
        {"bin/kolv", no, no, at, "", "kolv"},
        {"kolv", no, "bin", inst, "./", "bin/kolv"},
        {"kolv", no, no, bin, "../", "kolv"}};
    for (const auto& [given, base, path, cwd, result, found] : cases) {
        CwdGuard in(cwd);
        env.Set("PATH", path);
        std::string program = given, baseDir = base;
        EXPECT_EQ(COSUtil::FindInstallation(program, baseDir).append("|" + program),  // in order
                  result + "|" + found);
    }
    // Found along the PathList, then not found: PYTHONPATH before, the program,
    // the platform directory, PYTHONPATH after.
    WriteFile(iniFile, "PathList = " + bin + "\n");
    CwdGuard cwd(top.Path());
    const std::string platform = inst + "/Linux_ix86";
    const std::vector<std::tuple<Maybe, std::string, std::string, std::string>> python = {
        {"\\home\\py", "kolv", platform, ".:" + platform + ":/home/py"},
        {"", "kolv", platform, ".:" + platform + ":"},
        {unset, "nowhere", "Linux_ix86", ".:Linux_ix86"}};
    for (const auto& [previous, given, dir, pythonPath] : python) {
        env.Set("PYTHONPATH", previous);
        std::string program = given;
        EXPECT_TRUE(COSUtil::SetupPython(program));
        EXPECT_EQ(EnvValue("PYTHONPATH") + "|" + EnvValue("PYTHONHOME") + "|" + EnvValue("KPYTHON"),
                  pythonPath + "|" + dir + "/Python|" + dir);
        const Messages info = {
            Print("\nINFO : PYTHONPATH already defined as an environment variable.\n"),
            Print("       Directory with Kolvane Python installation is prepended to it:\n"),
            Print("PYTHONPATH=" + pythonPath + "\n")};
        EXPECT_EQ(TakeMessages(), previous ? info : Messages());
    }
}

}  // namespace
