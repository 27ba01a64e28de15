// CInitFile: creation with the banner, and lookup of settings by key.

#include <InitFile.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

// Whether `got` is the banner dated with the ctime() text of a second
// from `since` to now.
bool IsBanner(const std::string& got, std::time_t since) {
    const std::string head = "#\n#\tKolvane user preferences file\n#\tCreated on: ";
    for (std::time_t t = since; t <= std::time(nullptr); ++t) {
        if (got == head + std::ctime(&t) + "#\n") {
            return true;
        }
    }
    return false;
}

struct CreationCase {
    std::string name;                   // as given
    std::string file;                   // the file it names
    std::optional<std::string> before;  // std::nullopt: missing
    bool force;
    bool kept;  // false: the banner replaces it
};

TEST(InitFileTest, CreatesTheBannerWhenTheFileIsMissingEmptyOrForced) {
    TempDir top;
    const std::time_t since = std::time(nullptr);
    const std::string path = top / "kolv.ini";
    const std::string odd = top / "a\"b";
    const std::vector<CreationCase> cases = {
        {path, path, std::nullopt, false, false},
        {path, path, "", false, false},
        {path, path, "Key = v\n", false, true},
        {path, path, "Key = v\n", true, false},
        {"\"" + path + "\"", path, "Key = v\n", false, true},
        {odd, odd, std::nullopt, false, false},
    };
    for (const CreationCase& row : cases) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(row.file);
        if (row.before) {
            WriteFile(row.file, *row.before);
        }
        std::string name = row.name;
        CInitFile settings(name, row.force);
        std::string key = "Key";
        std::string value = "(none)";
        EXPECT_TRUE(settings.Get(key, value));  // from the file named
        EXPECT_EQ(value, row.kept ? "v" : "(none)");
        const std::string content = ReadFile(row.file);
        EXPECT_TRUE(row.kept ? content == row.before : IsBanner(content, since)) << content;
    }
}

struct LookupCase {
    std::string content;
    std::string key;
    std::string value;
};

// The value of the first line that sets the key, trimmed; every stream
// closed, nothing reported.
TEST(InitFileTest, GetTakesTheFirstLineThatSetsTheKey) {
    ClearMessages();
    TempDir top;
    std::string path = top / "kolv.ini";
    const auto open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    const std::string none = "(none)";  // the value when no line matches
    const std::vector<LookupCase> cases = {
        {"  PathList = /opt/a:/opt/b   # mine\n", "PathList", "/opt/a:/opt/b"},
        {"Name = a = \xe9t\xe9\xa0 ", "Name", "a = \xe9t\xe9\xa0"},  // no line feed at the end
        {"Name\nName = x\n", "Name", ""},                            // a bare key ends the search
        {"PathListOld = /x\nPathList = /y\n", "PathList", "/x"},
        {"name = lower\nName = first\r\nName = second\n", "Name", "first"},
        {"Name #= y\n", "Name", "y"},
        {"#Key = x\n", "#Key", none},  // the key at the '#' stands in the comment
        {"=Key = x\n", "=Key", none},  // and at the first '=' only in a value
        // A line's text ends at its NUL, and a key holding one is in no line.
        {"Na\0me = x\nNa = y\n"s, "Na\0me"s, none},
        {std::string(8191, 'x') + "Key = tail\n", "Key", "tail"},  // read in pieces of 8191
        {"Key = " + std::string(9000, 'v') + "\n", "Key", std::string(8191 - 6, 'v')},
    };
    for (const LookupCase& row : cases) {
        SCOPED_TRACE(row.content.substr(0, 40));
        WriteFile(path, row.content);
        std::string key = row.key;
        std::string value = none;
        EXPECT_TRUE(CInitFile(path, /*bForceCreate=*/false).Get(key, value));
        EXPECT_EQ(value, row.value);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), open);
    EXPECT_TRUE(RecordedMessages().empty());
}

}  // namespace
