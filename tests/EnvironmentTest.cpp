// COSUtil on the user's environment: home and temporary directories, the
// preferences-file location, the search path, installation discovery and the
// Python set-up.

#include <OSUtil.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "Messages.h"
#include "SourceLines.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

std::string Login() {
    return getpwuid(getuid())->pw_name;
}

// A temporary home directory with the environment variables the library
// reads under the test's control.
class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDir(home);
        env.Unset("KHOME").Set("HOME", home).Unset("KTMP").Unset("TMPDIR").Unset("TMP");
        env.Set("PATH", "").Unset("PYTHONPATH").Unset("PYTHONHOME").Unset("KPYTHON");
        ClearMessages();
    }
    void WritePreferences(const std::string& content) { WriteFile(iniFile, content); }

    TempDir top;
    const std::string home = top / "home";
    const std::string iniFile = home + "/kolv_" + Login() + ".ini";
    EnvGuard env;
};

// ----- Home directory --------------------------------------------------------

TEST_F(EnvironmentTest, HomeComesFromKHomeThenHomeByOwnerBits) {
    const std::string other = top / "other";
    MakeDir(other);
    MakeDir(top / "r-x", 0500);
    WriteFile(top / "file", "", 0700);
    const std::vector<std::tuple<std::optional<std::string>, std::string, std::string>> table = {
        {home, other, home},                         // KHOME wins
        {top / "missing", other, other},             // unusable KHOME: HOME, silently
        {top / "r-x", other, other},                 // KHOME of mode 0500
        {"", other, other},                          // empty KHOME
        {std::nullopt, home + "/", home + "/"},      // returned as set, '/' included
        {std::nullopt, top / "file", top / "file"},  // a file of mode 0700 passes
        {"home\0x"s, other, other},                  // relative, and cut at NUL
    };
    for (const auto& [khome, homeValue, expected] : table) {
        if (khome) {
            env.Set("KHOME", *khome);
        } else {
            env.Unset("KHOME");
        }
        env.Set("HOME", homeValue);
        ClearMessages();
        EXPECT_EQ(COSUtil::GetHomeDir(), expected) << khome.value_or("<unset>");
        EXPECT_TRUE(RecordedMessages().empty());
    }
}

TEST_F(EnvironmentTest, HomeRelativeToTheWorkingDirectoryIsReturnedAsIs) {
    CwdGuard cwd(top.Path());
    env.Set("HOME", "home");
    EXPECT_EQ(COSUtil::GetHomeDir(), "home");
}

std::vector<Message> RepairBlock() {
    return {Error("Could not establish HOME directory in GetHomeDir function.\n"),
            Print("       Close Kolvane.\n"),
            Print("       Set KHOME environment variable to point to\n"),
            Print("       the directory of your choice and check that this\n"),
            Print("       directory has read/write/execute permissions.\n"),
            Print("       Start Kolvane again.\n")};
}

// The reports of a failed home directory that crossed the given operations,
// innermost first.
std::vector<Message> NoHomeReports(const std::vector<std::string>& crossed) {
    std::vector<Message> expected = RepairBlock();
    const int raise = SourceLine("OSUtil.cpp", "COSUtil::GetHomeDir()", "throw CFileNotReady");
    expected.push_back(Raised("../OSUtil", raise, "File not ready"));
    for (const std::string& function : crossed) {
        expected.push_back(
            Passed("../OSUtil", TraceLine("OSUtil.cpp", function), "File not ready"));
    }
    return expected;
}

TEST_F(EnvironmentTest, NoUsableHomeRaisesFileNotReadyThroughEveryTracePoint) {
    MakeDir(top / "r-x", 0500);
    env.Set("KHOME", top / "r-x").Set("HOME", top / "missing");
    const int raise = SourceLine("OSUtil.cpp", "COSUtil::GetHomeDir()", "throw CFileNotReady");
    ASSERT_GT(raise, 0);
    try {
        COSUtil::GetInitFile();
        FAIL() << "no exception";
    } catch (const CFileNotReady& error) {
        EXPECT_STREQ(error.what(), "File not ready");
        EXPECT_STREQ(error.pszFile, "../OSUtil");
        EXPECT_EQ(error.nLine, raise);
    }
    EXPECT_EQ(RecordedMessages(),
              NoHomeReports({"COSUtil::GetHomeDir()", "COSUtil::GetInitFile()"}));

    ClearMessages();
    std::string program = "kolv";
    env.Unset("KHOME").Unset("HOME");
    EXPECT_THROW(COSUtil::SetupPython(program), CFileNotReady);
    EXPECT_EQ(
        RecordedMessages(),
        NoHomeReports({"COSUtil::GetHomeDir()", "COSUtil::GetInitFile()", "COSUtil::GetUserPATH()",
                       "COSUtil::FindInstallation(", "COSUtil::SetupPython("}));
}

TEST_F(EnvironmentTest, EmptyRelativeOrUnusableHomeValuesAllFail) {
    WriteFile(top / "file", "", 0600);
    MakeDir(top / "rw-", 0600);
    CwdGuard cwd(top.Path());
    for (const std::string& value : {""s, "missing"s, "file"s, top / "rw-", top / "file"}) {
        env.Set("KHOME", value).Set("HOME", value);
        ClearMessages();
        EXPECT_THROW(COSUtil::GetHomeDir(), CFileNotReady) << value;
        EXPECT_EQ(RecordedMessages(), NoHomeReports({"COSUtil::GetHomeDir()"})) << value;
    }
}

// ----- Temporary directory ---------------------------------------------------

TEST_F(EnvironmentTest, TemporaryDirectoryByPrecedence) {
    struct Case {
        std::optional<std::string> ktmp, tmpdir, tmp;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{}, {}, {}, "/tmp"},
        {{}, {}, "C:\\temp\\x", "C:/temp/x"},
        {{}, "", "/from/tmp", "/from/tmp"},
        {{}, "/from/tmpdir", "/from/tmp", "/from/tmpdir"},
        {"/k\\tmp", "/from/tmpdir", {}, "/k/tmp"},
        {"", "/from/tmpdir", {}, "/from/tmpdir"},
        {"", "", "", "/tmp"},
        {"relative/dir/", {}, {}, "relative/dir/"},
    };
    for (const Case& c : cases) {
        const std::pair<const char*, const std::optional<std::string>*> variables[] = {
            {"KTMP", &c.ktmp}, {"TMPDIR", &c.tmpdir}, {"TMP", &c.tmp}};
        for (const auto& [name, value] : variables) {
            if (*value) {
                env.Set(name, **value);
            } else {
                env.Unset(name);
            }
        }
        ClearMessages();
        EXPECT_EQ(COSUtil::GetTmpDir(), c.expected);
        std::vector<Message> expected;
        if (c.ktmp) {
            expected = {Print("\nINFO : KTMP already defined as an environment variable\n"),
                        Print("INFO : Defined value will be used:\n" + *c.ktmp + "\n")};
        }
        EXPECT_EQ(RecordedMessages(), expected) << c.expected;
    }
}

// ----- Preferences-file location -----------------------------------------------

TEST_F(EnvironmentTest, PreferencesFileLiesInTheHomeDirectory) {
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    env.Set("HOME", home + "/");
    EXPECT_EQ(COSUtil::GetInitFile(), iniFile);
    MakeDir(top / "back\\");
    env.Set("HOME", top / "back\\");
    EXPECT_EQ(COSUtil::GetInitFile(), top / "back\\kolv_" + Login() + ".ini");
    EXPECT_TRUE(RecordedMessages().empty());
}

// ----- Search path -----------------------------------------------------------

TEST_F(EnvironmentTest, SearchPathFromPreferencesThenPath) {
    struct Case {
        std::optional<std::string> pathList;  // unset: no PathList line
        std::string path;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"/opt/a/bin: /opt/b/ :/opt/a/bin", "/usr/bin:/opt/b:/usr/bin/",
         "/opt/a/bin:/opt/b:/opt/a/bin:/usr/bin"},
        {{}, "/usr/bin:/bin", "/usr/bin:/bin"},
        {{}, "/usr/bin::/bin", "/usr/bin::/bin"},
        {{}, "::/bin", ":/bin"},
        {{}, "/:/usr/bin", ":/usr/bin"},
        {{}, "/usr/bin:", "/usr/bin"},
        {{}, ":/usr/bin", ":/usr/bin"},
        {"a::b", "", "a::b"},
        {{}, " /usr/bin:/usr/bin", " /usr/bin:/usr/bin"},
        {{}, "/Opt:/opt", "/Opt:/opt"},
        {"\\opt\\tools\\", "\\opt\\tools:\\usr\\bin", "/opt/tools:/usr/bin"},
        {"/opt//", "/opt/", "/opt/:/opt"},
        {"", "/usr/bin", "/usr/bin"},
        {{}, "", ""},
        {{}, "/usr/bin\0/junk"s, "/usr/bin"},
        {"\xe9t\xe9 :\t/x\xa0", "/x\xa0", "\xe9t\xe9:/x\xa0"},
    };
    for (const Case& c : cases) {
        WritePreferences(c.pathList ? "# mine\nPathList = " + *c.pathList + "  # dirs\n" : "");
        setenv("PATH", c.path.c_str(), 1);
        EXPECT_EQ(COSUtil::GetUserPATH(), c.expected)
            << c.pathList.value_or("<none>") << " | " << c.path;
    }
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(EnvironmentTest, SearchPathWithoutPreferencesUsesPathAlone) {
    env.Set("PATH", "/usr/bin:/bin");
    EXPECT_EQ(COSUtil::GetUserPATH(), "/usr/bin:/bin");
    // The missing preferences file has been created with its banner.
    const std::string banner = "#\n#\tKolvane user preferences file\n";
    EXPECT_EQ(ReadFile(iniFile).substr(0, banner.size()), banner);

    MakeDir(iniFile.substr(0, iniFile.size() - 4));  // unrelated directory
    unlink(iniFile.c_str());
    MakeDir(iniFile);  // the preferences path is a directory: the read fails
    ClearMessages();
    EXPECT_EQ(COSUtil::GetUserPATH(), "/usr/bin:/bin");
    const std::vector<Message> expected = {
        Error("ERROR: Getting initialization file parameter: PathList\n")};
    EXPECT_EQ(RecordedMessages(), expected);
}

// An independent oracle for long lists: the first occurrence of each entry,
// found by a quadratic search.
std::string FirstOccurrences(const std::vector<std::string>& entries) {
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        if (std::find(kept.begin(), kept.end(), entry) == kept.end()) {
            kept.push_back(entry);
        }
    }
    std::string joined;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        joined += (i ? ":" : "") + kept[i];
    }
    return joined;
}

TEST_F(EnvironmentTest, LongPathsKeepTheFirstOccurrenceOfEachEntry) {
    std::mt19937 random(7);
    std::vector<std::string> entries;
    std::string path;
    for (int i = 0; i < 10000; ++i) {
        entries.push_back("/d" + std::to_string(random() % 3000));
        path += (i ? ":" : "") + entries.back() + (random() % 2 ? "/" : "");
    }
    env.Set("PATH", path);
    EXPECT_EQ(COSUtil::GetUserPATH(), FirstOccurrences(entries));

    const std::string megabyte(1 << 20, 'p');
    env.Set("PATH", megabyte + ":" + megabyte + ":/bin");
    EXPECT_EQ(COSUtil::GetUserPATH(), megabyte + ":/bin");
}

TEST_F(EnvironmentTest, SetUserPathKeepsTheEnvironmentValidOverManyCalls) {
    WritePreferences("PathList = /opt/kolv/bin\n");
    for (int i = 0; i < 5000; ++i) {
        // Alternate short texts (held inside a string object) and long ones.
        const std::string path = i % 2 ? "/b" : "/usr/local/bin:/usr/bin:/bin/" + std::to_string(i);
        env.Set("PATH", path);
        ASSERT_TRUE(COSUtil::SetUserPATH());
        const std::string composed = COSUtil::GetUserPATH();
        ASSERT_EQ(EnvValue("PATH"), composed);
        ASSERT_EQ(composed, "/opt/kolv/bin:" + path.substr(0, path.find_last_not_of('/') + 1));
    }
}

// ----- Installation discovery ----------------------------------------------------

class InstallationTest : public EnvironmentTest {
protected:
    void SetUp() override {
        EnvironmentTest::SetUp();
        MakeDir(kolv);
        MakeDir(kolv + "/bin");
        WriteFile(kolv + "/bin/kolv", "#!/bin/sh\n", 0755);
    }
    std::string Find(std::string& program, std::string base) {
        return COSUtil::FindInstallation(program, base);
    }
    const std::string kolv = top / "inst";
};

TEST_F(InstallationTest, AbsoluteProgramPathsNeedNoDisk) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"/opt/kolv/bin/kolv", "/opt/kolv/", "/opt/kolv/bin/kolv"},
        {"/kolv", "/", "/kolv"},
        {"/bin/kolv", "/", "/bin/kolv"},
        {"\\opt\\kolv\\bin\\kolv", "/opt/kolv/", "/opt/kolv/bin/kolv"},
    };
    for (const auto& [given, expected, rewritten] : cases) {
        std::string program = given;
        EXPECT_EQ(Find(program, "/nowhere"), expected) << given;
        EXPECT_EQ(program, rewritten);
    }
}

TEST_F(InstallationTest, RelativeProgramUnderTheBaseDirectory) {
    std::string program = "bin/kolv";
    EXPECT_EQ(Find(program, kolv), kolv + "/");
    EXPECT_EQ(program, "bin/kolv");

    program = "bin\\kolv";
    EXPECT_EQ(Find(program, kolv), kolv + "/");
    EXPECT_EQ(program, "bin/kolv");
}

TEST_F(InstallationTest, EmptyOrDirectoryCandidatesFallBackToTheSearchPath) {
    MakeDir(top / "base");
    MakeDir(top / "base/bin");
    env.Set("PATH", "/nonexistent:" + kolv + "/bin");
    for (const bool asDirectory : {false, true}) {
        if (asDirectory) {
            unlink((top / "base/bin/kolv").c_str());
            MakeDir(top / "base/bin/kolv");
        } else {
            WriteFile(top / "base/bin/kolv", "", 0755);
        }
        std::string program = "bin/kolv";
        EXPECT_EQ(Find(program, top / "base"), kolv + "/");
        EXPECT_EQ(program, kolv + "/bin/kolv");
    }
    std::string program = "bin/kolv";  // no candidate at all
    EXPECT_EQ(Find(program, top / "missing"), kolv + "/");
}

TEST_F(InstallationTest, PreferencesPathListIsSearchedFirst) {
    WritePreferences("PathList = " + kolv + "/bin/\n");
    env.Set("PATH", "/usr/bin");
    std::string program = "kolv";
    EXPECT_EQ(Find(program, top / "missing"), kolv + "/");
    EXPECT_EQ(program, kolv + "/bin/kolv");
}

TEST_F(InstallationTest, NotFoundLeavesTheBareName) {
    env.Set("PATH", "/nonexistent");
    std::string program = "bin/kolv";
    EXPECT_EQ(Find(program, top / "missing"), "");
    EXPECT_EQ(program, "kolv");
}

TEST_F(InstallationTest, DirectoriesWithoutSlashAreRelativeToTheWorkingDirectory) {
    CwdGuard cwd(kolv);
    // Relative search-path entries: the program's directory has no parent in
    // the text, so the working directory stands for it.
    for (const std::string entry : {"bin", "./bin"}) {
        env.Set("PATH", entry);
        std::string program = "kolv";
        EXPECT_EQ(Find(program, top / "missing"), "./") << entry;
        EXPECT_EQ(program, entry + "/kolv");
    }
    // A bare name accepted as it stands, in the working directory.
    CwdGuard inBin(kolv + "/bin");
    env.Set("PATH", "/nonexistent");
    std::string program = "kolv";
    EXPECT_EQ(Find(program, top / "missing"), "../");
    EXPECT_EQ(program, "kolv");
}

// ----- Python set-up -----------------------------------------------------------

TEST_F(InstallationTest, PythonVariablesForAnInstallationFoundFromARelativeName) {
    WritePreferences("PathList = " + kolv + "/bin\n");
    CwdGuard cwd(top.Path());
    const std::string platform = kolv + "/Linux_ix86";
    for (const auto& [previous, expectedPath] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{
             {std::nullopt, ".:" + platform},
             {"/home/ann/py", ".:" + platform + ":/home/ann/py"},
             {"\\home\\ann\\py", ".:" + platform + ":/home/ann/py"},
             {"", ".:" + platform + ":"},
         }) {
        if (previous) {
            env.Set("PYTHONPATH", *previous);
        } else {
            env.Unset("PYTHONPATH");
        }
        ClearMessages();
        std::string program = "kolv";
        EXPECT_TRUE(COSUtil::SetupPython(program));
        EXPECT_EQ(program, kolv + "/bin/kolv");
        EXPECT_EQ(EnvValue("PYTHONPATH"), expectedPath);
        EXPECT_EQ(EnvValue("PYTHONHOME"), platform + "/Python");
        EXPECT_EQ(EnvValue("KPYTHON"), platform);
        std::vector<Message> expected;
        if (previous) {
            expected = {
                Print("\nINFO : PYTHONPATH already defined as an environment variable.\n"),
                Print("       Directory with Kolvane Python installation is prepended to it:\n"),
                Print("PYTHONPATH=" + expectedPath + "\n")};
        }
        EXPECT_EQ(RecordedMessages(), expected);
    }
}

TEST_F(InstallationTest, PythonWithoutInstallationUsesTheArchitectureNameAlone) {
    CwdGuard cwd(top.Path());
    env.Set("PATH", "/nonexistent");
    std::string program = "nowhere";
    EXPECT_TRUE(COSUtil::SetupPython(program));
    EXPECT_EQ(EnvValue("PYTHONPATH"), ".:Linux_ix86");
    EXPECT_EQ(EnvValue("PYTHONHOME"), "Linux_ix86/Python");
    EXPECT_EQ(EnvValue("KPYTHON"), "Linux_ix86");
}

TEST_F(InstallationTest, RepeatedPythonSetUpPrependsAgainAndStaysValid) {
    std::string program = kolv + "/bin/kolv";
    const std::string platform = kolv + "/Linux_ix86";
    std::string expectedPath = ".:" + platform;
    for (int i = 0; i < 2000; ++i) {
        if (i % 50 == 0) {
            env.Unset("PYTHONPATH");  // keep the text from growing without end
            expectedPath = ".:" + platform;
        }
        ASSERT_TRUE(COSUtil::SetupPython(program));
        ASSERT_EQ(EnvValue("PYTHONPATH"), expectedPath);
        ASSERT_EQ(EnvValue("PYTHONHOME"), platform + "/Python");
        ASSERT_EQ(EnvValue("KPYTHON"), platform);
        expectedPath = ".:" + platform + ":" + expectedPath;
    }
}

TEST_F(InstallationTest, PythonSetUpFailsQuietlyWithoutAWorkingDirectory) {
    const std::string gone = top / "gone";
    MakeDir(gone);
    CwdGuard cwd(gone);
    rmdir(gone.c_str());
    std::string program = "bin\\kolv";
    EXPECT_FALSE(COSUtil::SetupPython(program));
    EXPECT_EQ(program, "bin\\kolv");
    EXPECT_EQ(EnvValue("PYTHONPATH"), "<unset>");
    EXPECT_EQ(EnvValue("KPYTHON"), "<unset>");
    EXPECT_TRUE(RecordedMessages().empty());
}

}  // namespace
