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

// Whether `got` is the banner dated with the ctime() text of a second
// from `since` to now.
bool IsBanner(const std::string& got, std::time_t since) {
    for (std::time_t t = since; t <= std::time(nullptr); ++t)
        if (got == "#\n#\tKolvane user preferences file\n#\tCreated on: "s + std::ctime(&t) + "#\n")
            return true;
    return false;
}

// Creation, then lookup: every stream closed, no message.
TEST(InitFileTest, BannerWhenMissingEmptyOrForcedThenTheFirstLineSettingTheKey) {
    ClearMessages();
    TempDir top;
    const std::time_t since = std::time(nullptr);
    std::string path = top / "kolv.ini", quoted = "\"" + path + "\"", odd = top / "a\"b";
    const auto open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    // The name, the file it names, its content before (none: missing), forced.
    const std::vector<std::tuple<std::string, std::string, std::optional<std::string>, bool>>
        creations = {{path, path, std::nullopt, false},  {path, path, "", false},
                     {path, path, "Key = v\n", false},   {path, path, "Key = v\n", true},
                     {quoted, path, "Key = v\n", false}, {odd, odd, std::nullopt, false}};
    for (auto [name, file, before, force] : creations) {
        before ? WriteFile(file, *before) : void(unlink(file.c_str()));
        const bool kept = before && !before->empty() && !force;
        std::string key = "Key", value;
        EXPECT_TRUE(CInitFile(name, force).Get(key, value) && value == (kept ? "v" : "")) << name;
        EXPECT_TRUE(kept ? ReadFile(file) == *before : IsBanner(ReadFile(file), since)) << name;
    }
    const std::string none = "(none)";  // the value when no line matches
    const std::vector<std::tuple<std::string, std::string, std::string>> lookups = {
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
    for (auto [content, key, expected] : lookups) {
        WriteFile(path, content);
        std::string value = none;
        EXPECT_TRUE(CInitFile(path, false).Get(key, value)) << content;
        EXPECT_EQ(value, expected) << content.substr(0, 40);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), open);
    EXPECT_TRUE(RecordedMessages().empty());
}

}  // namespace
