// CInitFile: creation with the banner, and lookup of settings by key.

#include <InitFile.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

const std::regex kBanner(
    "#\n#\tKolvane user preferences file\n#\tCreated on: "
    "(Mon|Tue|Wed|Thu|Fri|Sat|Sun) [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n#\n");

class InitFileTest : public ::testing::Test {
protected:
    void SetUp() override { ClearMessages(); }

    // Get on a file holding `content`; `value` starts as "preset".
    bool Lookup(const std::string& content, std::string key, std::string& value) {
        WriteFile(path, content);
        CInitFile settings(path, false);
        value = "preset";
        return settings.Get(key, value);
    }

    TempDir top;
    std::string path = top / "kolv_ann.ini";
};

TEST_F(InitFileTest, CreatesTheBannerWhenMissingEmptyOrForced) {
    { CInitFile missing(path, false); }
    EXPECT_TRUE(std::regex_match(ReadFile(path), kBanner)) << ReadFile(path);

    WriteFile(path, "");
    { CInitFile empty(path, false); }
    EXPECT_TRUE(std::regex_match(ReadFile(path), kBanner));

    WriteFile(path, "PathList = /x\n");
    { CInitFile kept(path, false); }
    EXPECT_EQ(ReadFile(path), "PathList = /x\n");

    { CInitFile forced(path, true); }
    EXPECT_TRUE(std::regex_match(ReadFile(path), kBanner));
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(InitFileTest, QuotedNameNamesTheFileWithoutQuotes) {
    WriteFile(path, "Key = v\n");
    std::string quoted = "\"" + path + "\"";
    CInitFile settings(quoted, false);
    EXPECT_EQ(ReadFile(path), "Key = v\n");
    std::string key = "Key", value;
    EXPECT_TRUE(settings.Get(key, value));
    EXPECT_EQ(value, "v");
}

TEST_F(InitFileTest, LookupRules) {
    struct Case {
        std::string content, key;
        std::string value;  // "preset" when nothing matched
    };
    const std::vector<Case> cases = {
        {"  PathList = /opt/a:/opt/b   # mine\n", "PathList", "/opt/a:/opt/b"},
        {"Name = a = b\n", "Name", "a = b"},
        {"Name =\n", "Name", ""},
        {"Name\nName = x\n", "Name", ""},  // a bare key ends the search
        {"# Name = x\n", "Name", "preset"},
        {"#\n#\tKolvane user preferences file\n", "Kolvane", "preset"},
        {"PathListOld = /x\nPathList = /y\n", "PathList", "/x"},
        {"Value = x\r\n", "Value", "x"},
        {"Name = first\nName = second\n", "Name", "first"},
        {"Other = Name\nName = y\n", "Name", "y"},  // key only in a value
        {"name = lower\n", "Name", "preset"},
        {"Name = v # c = d\n", "Name", "v"},
        {"Name # x = y\n", "Name", "y"},
        {"Name = \xe9t\xe9\xa0 \n", "Name", "\xe9t\xe9\xa0"},
        {"Name = last line without line feed", "Name", "last line without line feed"},
        {"Na\0me = x\nName = y\n"s, "Name", "y"},  // text after NUL takes no part
        {"", "Name", "preset"},
    };
    for (const Case& c : cases) {
        std::string value;
        EXPECT_TRUE(Lookup(c.content, c.key, value)) << c.content;
        EXPECT_EQ(value, c.value) << c.content;
    }
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(InitFileTest, LongLinesAreReadInPiecesOf8191Characters) {
    std::string value;
    // The key lies beyond the first piece: it starts a "line" of its own.
    EXPECT_TRUE(Lookup(std::string(8191, 'x') + "Key = tail\n", "Key", value));
    EXPECT_EQ(value, "tail");
    // A value longer than a piece is cut at the piece's end.
    EXPECT_TRUE(Lookup("Key = " + std::string(9000, 'v') + "\n", "Key", value));
    EXPECT_EQ(value, std::string(8191 - 6, 'v'));
    // A key split across two pieces is not found.
    EXPECT_TRUE(Lookup(std::string(8189, ' ') + "Key = v\n", "Key", value));
    EXPECT_EQ(value, "preset");
}

TEST_F(InitFileTest, UnreadableFileReportsAndLeavesTheValue) {
    const Message readError = Error("ERROR: Getting initialization file parameter: Key\n");
    for (const std::string& bad : {top / "dir", top / "missing/kolv.ini"}) {
        if (bad == top / "dir") {
            MakeDir(bad);  // opens, but reading fails
        }
        std::string name = bad, key = "Key", value = "preset";
        ClearMessages();
        CInitFile settings(name, false);  // creation fails: nothing is written
        EXPECT_FALSE(settings.Get(key, value));
        EXPECT_EQ(value, "preset");
        EXPECT_EQ(RecordedMessages(), std::vector<Message>{readError}) << bad;
    }
    struct stat status;
    EXPECT_NE(stat((top / "missing").c_str(), &status), 0);
}

}  // namespace
