// Runs the built kolvenv as a user would, each run in a sandbox directory of its own that
// support/kolvenv-sandbox.sh lays out, and checks its exit status, output and errors. The doctor
// is checked by its decisions (which items have problems or warnings, the repair advice); what
// every report must satisfy is checked once, for all of them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using Json = nlohmann::ordered_json;
using Line = std::vector<std::string>;
using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;

// The generator's next count draws as kolvenv prints them (%.17g), by the standard library's
// generator of the same sequence (48271 * seed modulo 2^31 - 1), each scaled as the library
// scales it: times the double nearest to 1 / (2^31 - 1).
std::string Draws(std::minstd_rand generator, int count) {
    const double scale = 1.0 / 2147483647;
    std::ostringstream out;
    out.precision(17);
    for (int i = 0; i < count; ++i) {
        out << static_cast<double>(generator()) * scale << "\n";
    }
    return out.str();
}

// The items whose list ("problems" or "warnings") holds any text.
Line ItemsWith(const Json& report, const char* list) {
    Line items;
    for (const auto& [key, item] : report.at("items").items()) {
        if (!item.at(list).empty()) {
            items.push_back(key);
        }
    }
    return items;
}

struct Result {
    int status;
    std::string out;
    std::string err;
};

// The user's own preferences file in a fresh sandbox for every run; each run must leave it as
// it was.
class Kolvenv : public testing::Test {
protected:
    const std::string content = "# the user's own\nPathList = extra\nOther = 1\n";
    std::string login;

    void SetUp() override {
        const passwd* entry = getpwuid(getuid());
        Require(entry != nullptr, "run without a password entry for user id " +
                                      std::to_string(getuid()) + " (its login names files)");
        login = entry->pw_name;
    }

    // Runs kolvenv with args in a fresh sandbox, after setup: the script's options and
    // VARIABLE=VALUE settings in any order, passed to the script options first.
    Result Run(Line setup, const Line& args) const {
        const TempDir box;
        const std::string preferences = box / ("kolv_" + login + ".ini");
        WriteFile(preferences, content);
        std::stable_partition(setup.begin(), setup.end(),
                              [](const std::string& word) { return word.rfind("--", 0) == 0; });
        const std::vector<Line> parts = {
            {"/bin/sh", KOLVENV_SANDBOX, box.Path()}, setup, {KOLVENV_PATH}, args};
        std::vector<char*> argv;
        for (const Line& part : parts) {
            for (const std::string& word : part) {
                argv.push_back(const_cast<char*>(word.c_str()));
            }
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        Require(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0,
                "start the sandbox script");
        int status = 0;
        Require(waitpid(child, &status, 0) == child && WIFEXITED(status), "run the sandbox script");
        EXPECT_EQ(ReadFile(preferences), content);
        return {WEXITSTATUS(status), ReadFile(box / "out"), ReadFile(box / "err")};
    }

    // The doctor's JSON report of program ("" for none given), after checking what every report
    // satisfies: each item's status follows from its problems and warnings, the report's is the
    // worst of them, the exit status is 1 exactly when an item has a problem, and a home
    // directory established is nowhere reported missing.
    Json Doctor(const Line& setup, const std::string& program) const {
        Line args = {"doctor", "--json"};
        if (!program.empty()) {
            args.insert(args.end(), {"--program", program});
        }
        const Result result = Run(setup, args);
        const Json report = Json::parse(result.out);
        const Line names = {"OK", "WARNING", "PROBLEM"};
        std::size_t worst = 0;
        for (const auto& [key, item] : report.at("items").items()) {
            const std::size_t rank = !item.at("problems").empty()   ? 2
                                     : !item.at("warnings").empty() ? 1
                                                                    : 0;
            EXPECT_EQ(item.at("status"), names[rank]) << key;
            worst = std::max(worst, rank);
        }
        EXPECT_EQ(report.at("status"), names[worst]);
        EXPECT_EQ(result.status, worst == 2 ? 1 : 0);
        EXPECT_EQ(report.at("exit_status"), result.status);
        EXPECT_EQ(result.err, "");
        const bool homeEstablished = !report.at("items").at("home").at("path").is_null();
        EXPECT_EQ(report.at("items").at("home").at("repair").empty(), homeEstablished);
        EXPECT_EQ(result.out.find("not established") == std::string::npos, homeEstablished);
        return report;
    }
};

// One row for each kind of usage error and each check that raises one: a line on standard
// error naming the problem, exit status 2.
TEST_F(Kolvenv, UsageErrorIsOneLineAndStatus2) {
    struct Row {
        Line args;
        std::string problem;
    };
    const std::vector<Row> rows = {
        {{"doctor", "x"}, "unexpected argument 'x'"},
        {{"doctor", "--bogus"}, "unknown option '--bogus'"},
        {{"doctor", "--program"}, "option '--program' needs a value PATH"},
        {{"path", "--lines", "x"}, "unexpected argument 'x'"},
        {{"path", "-x"}, "unknown option '-x'"},
        {{"python", "prog", "--"}, "missing COMMAND after '--'"},
        {{"combo", "5", "3"}, "missing argument M"},
        {{"combo", " 5", "3", "1"}, "invalid N ' 5': expected an integer from 0 to 2147483647"},
        {{"combo", "3", "4", "0"}, "invalid K '4': expected an integer from 0 to 3"},
        {{"combo", "5", "3", "10"},
         "invalid M '10': there are fewer subsets of 3 out of 5 elements"},
        {{"rand", "--seed"}, "option '--seed' needs a value S"},
        {{"rand", "1x"}, "invalid COUNT '1x': expected an integer from 0 to 2147483647"},
        {{"rand", "-1"}, "invalid COUNT '-1': expected an integer from 0 to 2147483647"},
        {{"rand", ""}, "invalid COUNT '': expected an integer from 0 to 2147483647"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const std::string& name = row.args[0];
        const Result result = Run({}, row.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "kolvenv " + name + ": " + row.problem + " (see 'kolvenv " + name +
                                  " --help')\n");
        EXPECT_EQ(result.out, "");
    }
}

// The usage text starts with kolvenv's own line and names every subcommand.
TEST_F(Kolvenv, HelpNamesEverySubcommand) {
    const Result help = Run({}, {"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith("usage: kolvenv [--version | --help] SUBCOMMAND [ARGS...]\n"));
    for (const std::string name :
         {"doctor", "path", "which", "python", "lock", "header", "combo", "rand", "info"}) {
        EXPECT_THAT(help.out, HasSubstr("\n  " + name + " "));
    }
}

// What each command gives, and what it cannot do: its exit status, output and errors.
TEST_F(Kolvenv, AnswersEachCommand) {
    struct Row {
        Line args;
        std::string out;
        std::string err = "";
        int status = 0;
        Line setup = {};  // the script's options
    };
    const std::vector<Row> rows = {
        {{"--version"},
         "kolvenv " + std::to_string(KOLV_VERSION_MAJOR) + "." +
             std::to_string(KOLV_VERSION_MINOR) + "." + std::to_string(KOLV_VERSION_PATCH) + "\n"},
        {{"rand", "5", "--help"},
         "usage: kolvenv rand [--seed S] [COUNT]\n"
         "  print COUNT (default 1) numbers of the random generator\n\noptions:\n"
         "  --seed S  seed the generator with the integer S first\n"},
        {{"info"}, "architecture: Linux_ix86\nlogin name:   " + login + "\nseparator:    :\n"},
        {{"path", "--lines"}, "extra\ninst/bin\n/usr/bin\n/bin\n"},
        {{"which", "adir"},
         "inst/bin/adir\n",
         "kolvenv which: warning: inst/bin/adir is a directory, not a program\n"},
        {{"python", "prog"},
         "PYTHONPATH=.:inst/Linux_ix86\nPYTHONHOME=inst/Linux_ix86/Python\nKPYTHON=inst/"
         "Linux_ix86\n"},
        {{"python", "prog", "--", "echo", "-h"}, "-h\n"},
        {{"lock", "m.kdb"}, "m.lck\n"},
        {{"combo", "5", "3", "9"}, "2 3 4\n"},
        {{"rand", "--seed", "12345", "2000"}, Draws(std::minstd_rand(12345), 2000)},
        {{}, "", "kolvenv: no subcommand given (see 'kolvenv --help')\n", 2},
        {{"nosuch"}, "", "kolvenv: unknown subcommand 'nosuch' (see 'kolvenv --help')\n", 2},
        {{"which", "-"}, "", "kolvenv which: -: not found along the search path\n", 1},
        {{"python", "prog", "--", "nosuch"},
         "",
         "kolvenv python: cannot run 'nosuch': No such file or directory\n",
         127},
        {{"python", "prog", "--", "other/bin/plain"},
         "",
         "kolvenv python: cannot run 'other/bin/plain': Permission denied\n",
         126},
        {{"python", "prog"},
         "",
         "kolvenv python: the library could not set the Python environment (no working directory, "
         "or putenv failed)\n",
         1,
         {"--gone"}},
        {{"lock", "x.kdb"}, "", "kolvenv lock: x.kdb is not locked (no x.lck)\n", 1},
        {{"--version"},
         "",
         "kolvenv: cannot write to standard output: No space left on device\n",
         3,
         {"--full"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.setup) + testing::PrintToString(row.args));
        const Result result = Run(row.setup, row.args);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, row.out);
        EXPECT_EQ(result.err, row.err);
    }
}

// Outside the doctor the library's messages go out as the message library would print them,
// in order with kolvenv's own; without a home directory a command then says so last and names
// the doctor. (The option after the setting is taken all the same.)
TEST_F(Kolvenv, HomelessCommandNamesTheDoctor) {
    const Result result = Run({"HOME=/none", "--merged"}, {"path"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.out, StartsWith("Could not establish HOME directory in GetHomeDir"));
    EXPECT_THAT(result.out, EndsWith("\nkolvenv path: no home directory could be established "
                                     "(File not ready); run 'kolvenv doctor'\n"));
}

// The doctor's decisions, one scenario a row, each in a fresh sandbox: which items have
// problems and which warnings, and the facts (by JSON pointer) in which a decision of its own
// shows, the home item's repair advice among them.
TEST_F(Kolvenv, DoctorDecides) {
    // A system the library does not know, whose access() denies everything, and whose password
    // entry has FAKE_PASSWD_HOME for its home directory, or which has none.
    const std::string preload = std::string("LD_PRELOAD=") + FAKE_SYSTEM;
    const std::string createKhome = "create a directory with mode 0700 and set KHOME to it";
    struct Row {
        Line setup;  // the script's options and VARIABLE=VALUE settings
        Line problems;
        Line warnings;
        std::map<std::string, Json> facts;
        std::string program = "prog";  // "" for kolvenv itself, by default
    };
    const std::vector<Row> rows = {
        {{}, {}, {}, {{"/items/preferences/existed", true}}},
        {{"--gone", preload, "HOME=/none", "KHOME=rel/x", "TMPDIR=ro", "FAKE_PASSWD_HOME=/"},
         {"home", "tmp", "preferences", "search_path", "installation", "python"},
         {"version"},
         {{"/items/home/repair",
           {"set KHOME to the home directory of your password entry:", "  export KHOME=/"}}}},
        {{preload, "HOME=/none", "FAKE_PASSWD_HOME=ro"},
         {"home", "preferences", "search_path", "installation", "python"},
         {"version", "tmp"},
         {{"/items/home/repair",
           {"the home directory of your password entry, ro, would not "
            "serve either (its mode 0500 lacks the owner's write permission)",
            createKhome}}}},
        {{preload, "HOME=/none"},
         {"home", "preferences", "search_path"},
         {"version", "login", "tmp", "installation", "python"},
         {{"/items/home/repair",
           {"your user id has no password entry to take a home directory from", createKhome}}},
         "inst/bin/prog"},
        // kolvenv itself, whose build tree holds no Python.
        {{preload},
         {},
         {"version", "login", "home", "tmp", "preferences", "installation", "python"},
         {},
         ""},
        {{"HOME=fresh", "KHOME=ro", "PATH=/usr/bin::/bin:"},
         {},
         {"home", "search_path", "installation", "python"},
         {{"/items/search_path/warnings/1",
           "PATH ends in ':': a shell reads the empty last entry as the current directory, the "
           "library drops it"},
          {"/items/preferences/created", true}},
         "other/bin/plain"},
        {{"KHOME=unreadable/", "HOME=/none", "PATH="},
         {"preferences", "installation"},
         {"search_path", "python"},
         {{"/items/preferences/existed", true}}},
        {{"KHOME=", "HOME=dangling"},
         {"preferences"},
         {"home"},
         {{"/items/preferences/existed", false}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.setup) + " --program " + row.program);
        const Json report = Doctor(row.setup, row.program);
        EXPECT_EQ(ItemsWith(report, "problems"), row.problems);
        EXPECT_EQ(ItemsWith(report, "warnings"), row.warnings);
        for (const auto& [pointer, value] : row.facts) {
            EXPECT_EQ(report.at(Json::json_pointer(pointer)), value) << pointer;
        }
    }
}

}  // namespace
