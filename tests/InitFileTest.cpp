// CInitFile: creation with the banner, and lookup of settings by key.

#include <InitFile.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>

#include "Messages.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

// Whether the text is the banner dated with the ctime() text of a second
// from `since` to now.
bool IsBanner(const std::string& text, std::time_t since) {
    bool dated = false;
    for (std::time_t t = since; t <= std::time(nullptr); ++t) {
        dated |= text ==
                 "#\n#\tKolvane user preferences file\n#\tCreated on: "s + std::ctime(&t) + "#\n";
    }
    return dated;
}

TEST(InitFileTest, WritesTheBannerWhenMissingEmptyOrForcedElseKeepsTheBytes) {
    ClearMessages();
    TempDir top;
    const std::time_t since = std::time(nullptr);
    const std::string path = top / "kolv.ini", quoted = "\"" + path + "\"", odd = top / "a\"b";
    // The name, the file it names, its content before (none: missing), forced.
    const std::vector<std::tuple<std::string, std::string, std::optional<std::string>, bool>>
        cases = {{path, path, std::nullopt, false},   {path, path, "", false},
                 {path, path, "Key = v\n", false},    {path, path, "Key = v\n", true},
                 {quoted, path, std::nullopt, false}, {quoted, path, "Key = v\n", false},
                 {odd, odd, std::nullopt, false}};
    for (auto [name, file, before, force] : cases) {
        unlink(file.c_str());
        if (before)
            WriteFile(file, *before);
        CInitFile settings(name, force);
        const bool kept = before && !before->empty() && !force;
        EXPECT_TRUE(kept ? ReadFile(file) == *before : IsBanner(ReadFile(file), since)) << name;
        std::string key = "Key", value;
        EXPECT_TRUE(settings.Get(key, value));
        EXPECT_EQ(value, kept ? "v" : "") << name;
    }
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST(InitFileTest, LookupTakesTheFirstLineSettingTheKey) {
    ClearMessages();
    TempDir top;
    std::string path = top / "kolv.ini";
    const std::string none = "(none)";  // the value when no line matches
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"  PathList = /opt/a:/opt/b   # mine\n", "PathList", "/opt/a:/opt/b"},
        {"Name = a = b\n", "Name", "a = b"},
        {"Name =\n", "Name", ""},
        {"Name\nName = x\n", "Name", ""},  // a bare key ends the search
        {"# Name = x\n", "Name", none},
        {"PathListOld = /x\nPathList = /y\n", "PathList", "/x"},
        {"Value = x\r\n", "Value", "x"},
        {"Name = first\nName = second\n", "Name", "first"},
        {"Other = Name\nName = y\n", "Name", "y"},  // the key only in a value
        {"name = lower\n", "Name", none},
        {"Name = v # c = d\n", "Name", "v"},
        {"Name #= y\n", "Name", "y"},
        {"#Key = x\n", "#Key", none},  // the key at the '#' stands in the comment
        {"=Key = x\n", "=Key", none},  // and at the first '=' in no name
        {"Name = \xe9t\xe9\xa0 \n", "Name", "\xe9t\xe9\xa0"},
        {"Name = no line feed", "Name", "no line feed"},
        {"Na\0me = x\nName = y\n"s, "Name", "y"},  // a line's text ends at its NUL
        {"Name = x\nNa = y\n", "Na\0me"s, none},   // so a key holding one is in no line
        {"", "Name", none},
        {std::string(8191, 'x') + "Key = tail\n", "Key", "tail"},  // read in pieces of 8191
        {"Key = " + std::string(9000, 'v') + "\n", "Key", std::string(8191 - 6, 'v')},
        {std::string(8189, ' ') + "Key = v\n", "Key", none},  // split across two pieces
    };
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = openFiles();
    for (auto [content, key, expected] : cases) {
        WriteFile(path, content);
        CInitFile settings(path, false);
        std::string value = none;
        EXPECT_TRUE(settings.Get(key, value)) << content;
        EXPECT_EQ(value, expected) << content.substr(0, 40);
    }
    EXPECT_EQ(openFiles(), before);  // every stream closed
    EXPECT_TRUE(RecordedMessages().empty());
}

}  // namespace
