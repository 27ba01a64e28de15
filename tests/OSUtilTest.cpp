// COSUtil: platform answers, directory checks, path-string helpers, the lock
// probe, line splitting and the executable search.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <random>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

TEST(PlatformTest, ConstantAnswers) {
    EXPECT_EQ(COSUtil::IsWin9x(), 0);
    EXPECT_EQ(COSUtil::StartSockets(), 1);
    EXPECT_EQ(COSUtil::GetSeparator(), ':');
    int major = -1, minor = -1, release = -1;
    GetKolvUtilVersion(&major, &minor, &release);
    EXPECT_EQ(major, KOLV_VERSION_MAJOR);
    EXPECT_EQ(minor, KOLV_VERSION_MINOR);
    EXPECT_EQ(release, KOLV_VERSION_PATCH);
    EXPECT_EQ(COSUtil::ArchName(), "Linux_ix86");
}

TEST(PlatformTest, SleepWaitsAtLeastTheGivenTime) {
    COSUtil::mySleep(0);
    const auto start = std::chrono::steady_clock::now();
    COSUtil::mySleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST(PlatformTest, UserNameFitsOrNothingIsWritten) {
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    const std::string expected = entry->pw_name;

    for (const unsigned long capacity : {256ul, static_cast<unsigned long>(expected.size() + 1)}) {
        char buffer[256];
        unsigned long length = capacity;
        EXPECT_EQ(COSUtil::GetUserName(buffer, &length), 1);
        EXPECT_EQ(length, expected.size());
        EXPECT_EQ(std::string(buffer), expected);
        length = capacity;
        EXPECT_EQ(COSUtil::getusername(buffer, &length), 1);
        EXPECT_EQ(std::string(buffer, length), expected);
    }
    // One character short of the NUL: nothing is written, not even the length.
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    unsigned long length = expected.size();
    EXPECT_EQ(COSUtil::GetUserName(buffer, &length), 0);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(COSUtil::GetUserName(nullptr, &length), 0);
    EXPECT_EQ(COSUtil::GetUserName(buffer, nullptr), 0);
}

TEST(CheckDirTest, OwnerBitsDecideInReadWriteExecuteOrder) {
    struct Case {
        mode_t mode;
        const char* kind;
        std::vector<Message> block;  // %s of the first line is the directory
    };
    const std::vector<Case> cases = {
        {0700, "home", {}},
        {0777, "anything", {}},
        {0500,
         "home",
         {Error("You do not have write permission in\n\t%s\n"),
          Print("       This is your home directory\n"),
          Print("       Check with your system administrator for a valid home directory\n")}},
        {0300,
         "temporary",
         {Error("You do not have read permission in\n\t%s\n"),
          Print("       This is your temporary directory\n"),
          Print("       Check with your system administrator for a valid temporary directory\n")}},
        {0077,
         "home",
         {Error("You do not have read permission in\n\t%s\n"),
          Print("       This is your home directory\n"),
          Print("       Check with your system administrator for a valid home directory\n")}},
        {0600,
         "scratch",
         {Error("You do not have execute permission in\n\t%s\n"),
          Print("       This is your scratch directory on your system\n"),
          Print("       Check with your system administrator for a valid scratch directory\n")}},
    };
    for (const Case& c : cases) {
        TempDir top;
        std::string dir = top / "d";
        MakeDir(dir, c.mode);
        std::vector<Message> expected = c.block;
        if (!expected.empty()) {
            const std::string::size_type at = expected[0].text.find("%s");
            expected[0].text.replace(at, 2, dir);
        }
        ClearMessages();
        EXPECT_EQ(COSUtil::CheckDir(dir, c.kind), expected.empty() ? 1 : 0) << std::oct << c.mode;
        EXPECT_EQ(RecordedMessages(), expected) << std::oct << c.mode;
    }
}

TEST(CheckDirTest, MissingOrNotADirectoryIsWordedByKind) {
    TempDir top;
    WriteFile(top / "file", "x", 0700);
    for (std::string path : {top / "file", top / "missing", std::string()}) {
        ClearMessages();
        EXPECT_EQ(COSUtil::CheckDir(path, "home"), 0);
        const std::vector<Message> home = {
            Error("Your home directory appears to be,\n" + path + "\n"),
            Print("       however, either this directory does not exist or is not a directory!\n"),
            Print("       Check with your system administrator for a valid home directory\n")};
        EXPECT_EQ(RecordedMessages(), home);

        ClearMessages();
        EXPECT_EQ(COSUtil::CheckDir(path, "temporary"), 0);
        const std::vector<Message> temporary = {
            Error("The TMPDIR or TMP environment variable is set to:\n\t" + path + "\n"),
            Print("       This is not a valid directory (i.e., does not exist or is not a "
                  "directory\n"),
            Print("       Check with your system administrator for a valid TMPDIR/TMP value\n")};
        EXPECT_EQ(RecordedMessages(), temporary);

        ClearMessages();
        EXPECT_EQ(COSUtil::CheckDir(path, "Home"), 0);
        EXPECT_TRUE(RecordedMessages().empty());
    }
}

TEST(PathStringTest, NoCStringsCutsAtFirstNul) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"abc\0def\0"s, "abc"}, {"", ""}, {"\0abc"s, ""}, {"plain", "plain"}, {"a\0"s, "a"}};
    for (auto [text, expected] : cases) {
        COSUtil::NoCStrings(text);
        EXPECT_EQ(text, expected);
    }
}

TEST(PathStringTest, FromRootOnlyLooksAtTheFirstCharacter) {
    for (std::string path : {"/tmp"s, "/"s, "//x"s, "/\0"s}) {
        EXPECT_TRUE(COSUtil::FromRoot(path)) << path;
    }
    for (std::string path : {"tmp", ".", "./x", "~/x", "", "\\tmp", " /tmp"}) {
        EXPECT_FALSE(COSUtil::FromRoot(path)) << path;
    }
}

TEST(LockDirTest, ProbesTheLockPathOfTheDatabase) {
    TempDir top;
    CwdGuard cwd(top.Path());
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"model.kdb", "model.lck"},
        {"model", "model.lck"},
        {"model.txt", "model.txt.lck"},
        {"MODEL.KDB", "MODEL.KDB.lck"},
        {".kdb", ".lck"},
        {"kdb", "kdb.lck"},
        {"sub/model.kdb", "sub/model.lck"},
        {"nul\0.kdb"s, "nul.lck"},
    };
    MakeDir("sub");
    for (auto [database, lock] : cases) {
        EXPECT_FALSE(COSUtil::LockDirExist(database)) << lock;
        MakeDir(lock);
        EXPECT_TRUE(COSUtil::LockDirExist(database)) << lock;
        rmdir(lock.c_str());
        WriteFile(lock, "", 0);  // any kind of entry counts
        EXPECT_TRUE(COSUtil::LockDirExist(database)) << lock;
        unlink(lock.c_str());
    }
    std::string absolute = top / "sub/model.kdb";
    MakeDir(top / "sub/model.lck");
    EXPECT_TRUE(COSUtil::LockDirExist(absolute));
}

// The wrapping rule written out plainly, step by step, as an oracle.
void ReferenceSplitLine(std::string& text, int width, std::string& piece) {
    const std::string::size_type lineFeed = text.find('\n');
    const std::string firstLine = text.substr(0, lineFeed);
    if (static_cast<unsigned>(width) < firstLine.size()) {
        std::string::size_type k = static_cast<unsigned>(width);
        while (k > 0 && !std::isspace(static_cast<unsigned char>(firstLine[k - 1]))) {
            --k;
        }
        if (k == 0) {
            k = firstLine.size();
        }
        piece = text.substr(0, k);
        text = text.substr(k);
    } else {
        piece = firstLine;
        text = lineFeed == std::string::npos ? "" : text.substr(lineFeed + 1);
    }
}

TEST(SplitLineTest, Examples) {
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {"aaaa bbbb cccc", 10, {"aaaa bbbb ", "cccc"}},
        {"aaaa bbbbbb cc", 10, {"aaaa ", "bbbbbb cc"}},
        {"abcdefghijklmn\nxy", 10, {"abcdefghijklmn", "", "xy"}},
        {"short\nrest", 10, {"short", "rest"}},
        {"0123456789\nab", 10, {"0123456789", "ab"}},
        {"one\ntwo\n", 10, {"one", "two"}},
        {"line\r\nnext", 10, {"line\r", "next"}},
        {"abc def\r\n", 5, {"abc ", "def\r"}},
        {"whole line here\nx", -1, {"whole line here", "x"}},
        {"ab cd\nx", 0, {"ab cd", "", "x"}},
        {"\nx", 0, {"", "x"}},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        std::vector<std::string> pieces;
        for (int calls = 0; !text.empty() && calls < 100; ++calls) {
            std::string piece = "stale";
            COSUtil::SplitLine(text, c.width, piece);
            pieces.push_back(piece);
        }
        EXPECT_EQ(pieces, c.pieces) << c.text << " / " << c.width;
    }
    std::string empty, piece = "stale";
    COSUtil::SplitLine(empty, 10, piece);
    EXPECT_EQ(piece, "");
    EXPECT_EQ(empty, "");
}

TEST(SplitLineTest, AgreesWithTheStepByStepRuleOnRandomTexts) {
    std::mt19937 random(12345);
    const std::string alphabet = "ab \t\n\r\v\f\xa0\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        const int width = static_cast<int>(random() % 14) - 2;
        std::string ours = text, reference = text;
        for (int calls = 0; !reference.empty(); ++calls) {
            ASSERT_LE(calls, 41);
            std::string ourPiece, referencePiece;
            COSUtil::SplitLine(ours, width, ourPiece);
            ReferenceSplitLine(reference, width, referencePiece);
            ASSERT_EQ(ourPiece, referencePiece) << "width " << width;
            ASSERT_EQ(ours, reference) << "width " << width;
        }
    }
}

class FindExeTest : public ::testing::Test {
protected:
    TempDir top;
    std::string Dir(const std::string& name) {
        MakeDir(top / name);
        return top / name;
    }
};

TEST_F(FindExeTest, DirectHitDecidesByOwnerExecuteBitAlone) {
    std::string list = Dir("bin");
    WriteFile(top / "bin/prog", "#!", 0700);
    WriteFile(top / "plain", "data", 0644);
    WriteFile(top / "empty", "", 0100);

    std::string name = top / "plain";  // exists, not executable: no search
    EXPECT_FALSE(COSUtil::FindExeInStringPATH(name, list));
    EXPECT_EQ(name, top / "plain");
    for (const std::string& path : {top / "empty", top.Path()}) {  // no size or type test
        name = path;
        EXPECT_TRUE(COSUtil::FindExeInStringPATH(name, list));
        EXPECT_EQ(name, path);
    }
}

TEST_F(FindExeTest, WalksTheListInOrder) {
    const std::string a = Dir("a"), b = Dir("b"), c = Dir("c");
    WriteFile(b + "/prog", "#!", 0744);
    WriteFile(c + "/prog", "#!", 0744);
    WriteFile(a + "/prog", "", 0755);     // empty: skipped
    WriteFile(a + "/other", "#!", 0655);  // group/other bits do not count
    MakeDir(c + "/tool", 0700);           // a directory is a hit

    struct Case {
        std::string name, list;
        bool found;
        std::string result;
    };
    const std::vector<Case> cases = {
        {"prog", a + "::" + b + ":" + c, true, b + "/prog"},
        {"prog", ":" + c, true, c + "/prog"},
        {"prog", c + ":" + b, true, c + "/prog"},
        {"prog", a, false, "prog"},
        {"other", a + ":" + b, false, "other"},
        {"tool", a + ":" + c, true, c + "/tool"},
        {"prog", "", false, "prog"},
        {"prog\0junk"s, b, true, b + "/prog"},
        {"nothing\0prog"s, b, false, "nothing"},
        {"", a + ":" + c, true, a + "/"},
    };
    for (const Case& c : cases) {
        std::string name = c.name, list = c.list;
        EXPECT_EQ(COSUtil::FindExeInStringPATH(name, list), c.found) << c.name << " in " << c.list;
        EXPECT_EQ(name, c.result);
        EXPECT_EQ(list, c.list);
    }
}

TEST_F(FindExeTest, HugeListsAreWalkedWithoutTrouble) {
    const std::string bin = Dir("bin");
    WriteFile(bin + "/prog", "#!", 0700);
    std::string list;
    for (int i = 0; i < 10000; ++i) {
        list += top / ("none" + std::to_string(i)) + ":";
    }
    list += bin;
    std::string name = "prog";
    EXPECT_TRUE(COSUtil::FindExeInStringPATH(name, list));
    EXPECT_EQ(name, bin + "/prog");
    std::string megabyte(1 << 20, 'x');
    name = "prog";
    EXPECT_FALSE(COSUtil::FindExeInStringPATH(name, megabyte));
}

}  // namespace
