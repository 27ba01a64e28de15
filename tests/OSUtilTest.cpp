// COSUtil: platform answers, directory checks, path strings, the lock probe,
// line splitting, the executable search, the user's directories and files,
// the search path, installation discovery and the Python set-up.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <set>
#include <sstream>

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
    const unsigned long size = login.size();
    for (const auto get : {&COSUtil::GetUserName, &COSUtil::getusername}) {
        char buffer[256];
        unsigned long length;
        for (const unsigned long capacity : {size + 1, size}) {
            std::fill(buffer, buffer + sizeof buffer, '#');  // a missing NUL shows
            length = capacity;
            const bool fits = capacity > size;
            EXPECT_EQ(get(buffer, &length), fits ? 1 : 0);
            EXPECT_EQ(std::string(buffer, 256) + std::to_string(length),
                      (fits ? login + '\0' + std::string(255 - size, '#') : std::string(256, '#')) +
                          std::to_string(fits ? size : capacity));
        }
        EXPECT_EQ(get(nullptr, &length) + get(buffer, nullptr), 0);
    }
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
    CwdGuard cwd(top.Path());
    // The database and its lock; a lock directory for the even ones, a file else.
    const std::vector<std::pair<std::string, std::string>> locks = {
        {"a.kdb", "a.lck"},
        {"a.txt", "a.txt.lck"},
        {"A.KDB", "A.KDB.lck"},
        {".kdb", ".lck"},
        {"kdb", "kdb.lck"},
        {"n\0.kdb"s, "n.lck"},
        {top / "b.kdb", top / "b.lck"},
    };
    for (std::size_t i = 0; i < locks.size(); ++i) {
        auto [database, lock] = locks[i];
        EXPECT_FALSE(COSUtil::LockDirExist(database)) << lock;
        i % 2 ? WriteFile(lock, "", 0) : MakeDir(lock);
        EXPECT_TRUE(COSUtil::LockDirExist(database)) << lock;
    }
}

// The wrapping rule step by step: a first line that fits (any, for a negative
// width) goes whole with its line feed; a longer one breaks after its last
// white space within the width, else goes whole and leaves its line feed.
void ReferenceSplitLine(std::string& text, int width, std::string& piece) {
    const std::string::size_type lineFeed = text.find('\n');
    const std::string firstLine = text.substr(0, lineFeed);
    if (width >= 0 && static_cast<std::size_t>(width) < firstLine.size()) {
        std::string::size_type k = width;
        while (k > 0 && !std::isspace(static_cast<unsigned char>(firstLine[k - 1])))
            --k;
        piece = text.substr(0, k > 0 ? k : firstLine.size());
        text.erase(0, piece.size());
    } else {
        piece = firstLine;
        text = lineFeed == std::string::npos ? "" : text.substr(lineFeed + 1);
    }
}

TEST_F(OSUtilTest, SplitLineAgreesWithTheStepByStepRuleOnRandomTexts) {
    std::mt19937 random(12345);
    const std::string alphabet = "ab \t\n\r\v\f\xa0\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int length = random() % 40; length > 0; --length)
            text += alphabet[random() % alphabet.size()];
        const int width = static_cast<int>(random() % 14) - 2;
        std::string ours = text, reference = text;
        do {
            std::string ourPiece = "stale", referencePiece;
            COSUtil::SplitLine(ours, width, ourPiece);
            ReferenceSplitLine(reference, width, referencePiece);
            ASSERT_EQ(ourPiece + "|" + ours, referencePiece + "|" + reference) << width;
        } while (!reference.empty());
    }
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
    EXPECT_NE(access(iniFile.c_str(), F_OK), 0);  // the path only
    env.Set("HOME", home + "/");
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    MakeDir(top / "b\\");
    env.Set("HOME", top / "b\\");
    EXPECT_EQ(COSUtil::GetInitFile(), top / "b\\kolv_" + login + ".ini");
}

// The search path by its rules, with a set: '\' read as '/', the PathList
// entries trimmed and all kept, then each PATH entry not listed yet; one
// trailing '/' dropped from each entry.
std::string ModelSearchPath(std::string pathList, std::string path) {
    const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto trim = [&](std::string text) {
        text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), space));
        text.erase(std::find_if_not(text.rbegin(), text.rend(), space).base(), text.end());
        return text;
    };
    std::set<std::string> seen;
    std::string joined;
    for (std::string* list : {&pathList, &path}) {
        std::replace(list->begin(), list->end(), '\\', '/');
        std::istringstream in(list == &pathList ? trim(pathList) : path);
        for (std::string entry; std::getline(in, entry, ':');) {
            entry = list == &pathList ? trim(entry) : entry;
            if (!entry.empty() && entry.back() == '/')
                entry.pop_back();
            if (seen.insert(entry).second || list == &pathList)
                joined += ":" + entry;
        }
    }
    return joined.substr(joined.empty() ? 0 : 1);
}

TEST_F(OSUtilTest, SearchPathAgreesWithTheModelAndSetUserPathPutsIt) {
    std::mt19937 random(7);
    // Lists of up to 40 entries: awkward ones, and numbered ones that make the
    // set of seen entries grow.
    const std::vector<std::string> pieces = {"",    " ",   "/a",    "/a/",    "/a//",
                                             " /a", "/a ", "\\a\\", "\t/a/ ", "/\xe9"};
    const auto list = [&] {
        std::string text;
        for (int n = random() % 40, i = 0; i < n; ++i) {
            const std::size_t k = random() % (pieces.size() + 30);
            text += (i ? ":" : "") + (k < pieces.size()
                                          ? pieces[k]
                                          : "/d" + std::to_string(k) + (random() % 2 ? "/" : ""));
        }
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        const std::string pathList = list();
        const Maybe path = random() % 8 != 0 ? Maybe(list()) : unset;
        const bool listed = random() % 4 != 0;
        WriteFile(iniFile, listed ? "# mine\nPathList = " + pathList + "  # dirs\n" : "# none\n");
        env.Set("PATH", path);
        const std::string expected = ModelSearchPath(listed ? pathList : "", path.value_or(""));
        ASSERT_EQ(COSUtil::GetUserPATH(), expected) << pathList << " | " << path.value_or("-");
        ASSERT_TRUE(COSUtil::SetUserPATH());
        ASSERT_EQ(EnvValue("PATH"), expected);
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
        EXPECT_EQ(COSUtil::FindInstallation(program, baseDir) + "|" + program,
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
