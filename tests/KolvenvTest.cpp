// Runs the built kolvenv as a user would, each run in a sandbox directory of its own that
// support/kolvenv-sandbox.sh lays out, and checks its exit status, output and errors. The doctor
// is checked by its decisions (which items have problems or warnings, the repair advice); what
// every report must satisfy is checked once, for all of them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"

namespace {

using Json = nlohmann::ordered_json;
using Line = std::vector<std::string>;
using testing::HasSubstr;
using testing::StartsWith;

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

// Runs kolvenv with args in a fresh sandbox, after setup: the script's options and
// VARIABLE=VALUE settings, in any order. Its exit status, output and errors.
std::tuple<int, std::string, std::string> RunInSandbox(Line setup, const Line& args) {
    const TempDir box;
    setup.insert(setup.begin(), {KOLVENV_SANDBOX, box.Path()});
    setup.push_back(KOLVENV_PATH);
    setup.insert(setup.end(), args.begin(), args.end());
    std::string command = "/bin/sh";
    for (const std::string& word : setup) {
        command += " '" + word + "'";  // no word holds a quote
    }
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), ReadFile(box / "out"), ReadFile(box / "err")};
}

// The doctor's JSON report on the program inst/bin/prog, found along the search path, after
// checking what every report satisfies: each item's status follows from its problems and warnings,
// the report's is the worst of them, the exit status is 1 exactly when an item has a problem, and a
// home directory established is nowhere reported missing.
Json Doctor(const Line& setup) {
    const auto [status, out, err] = RunInSandbox(setup, {"doctor", "--json", "--program", "prog"});
    Json report = Json::parse(out);
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
    EXPECT_EQ(status, worst == 2 ? 1 : 0);
    EXPECT_EQ(report.at("exit_status"), status);
    EXPECT_EQ(err, "");
    const Json& home = report.at("items").at("home");
    const bool homeEstablished = !home.at("path").is_null();
    EXPECT_EQ(home.at("repair").empty(), homeEstablished);
    EXPECT_EQ(out.find("not established") == std::string::npos, homeEstablished);
    return report;
}

// What a command cannot do: its exit status, and one line on standard error that says why;
// nothing on standard output. A usage error (status 2) has a row for each kind and for each check
// that raises one; its line names the problem, and where to read more.
TEST(Kolvenv, SaysWhatFails) {
    struct Row {
        Line args;
        int status;
        std::string says;
        Line setup = {};  // the script's options
    };
    const std::vector<Row> rows = {
        {{}, 2, "kolvenv: no subcommand given (see 'kolvenv --help')"},
        {{"nosuch"}, 2, "kolvenv: unknown subcommand 'nosuch'"},
        {{"doctor", "x"}, 2, "unexpected argument 'x'"},
        {{"doctor", "--bogus"}, 2, "unknown option '--bogus'"},
        {{"doctor", "--program"}, 2, "option '--program' needs a value PATH"},
        {{"path", "--lines", "x"}, 2, "unexpected argument 'x'"},
        {{"path", "-x"}, 2, "kolvenv path: unknown option '-x' (see 'kolvenv path --help')"},
        {{"python", "prog", "--"}, 2, "missing COMMAND after '--'"},
        {{"combo", "5", "3"}, 2, "missing argument M"},
        {{"combo", " 5", "3", "1"}, 2, "invalid N ' 5': expected an integer from 0 to 2147483647"},
        {{"combo", "3", "4", "0"}, 2, "invalid K '4': expected an integer from 0 to 3"},
        {{"combo", "5", "3", "10"}, 2, "invalid M '10': there are fewer subsets of 3 out of 5"},
        {{"rand", "--seed"}, 2, "option '--seed' needs a value S"},
        {{"rand", "1", "2"}, 2, "unexpected argument '2'"},
        {{"rand", ""}, 2, "invalid COUNT ''"},
        {{"which", "-"}, 1, "kolvenv which: -: not found along the search path"},
        {{"python", "prog", "--", "nosuch"}, 127, "cannot run 'nosuch': No such file or directory"},
        {{"python", "prog", "--", "other/bin/plain"}, 126, "Permission denied"},
        {{"python", "prog"}, 1, "the library could not set the Python environment", {"--gone"}},
        {{"lock", "x.kdb"}, 1, "kolvenv lock: x.kdb is not locked (no x.lck)"},
        {{"--version"}, 3, "cannot write to standard output: No space left on device", {"--full"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const auto [status, out, err] = RunInSandbox(row.setup, row.args);
        EXPECT_EQ(status, row.status);
        EXPECT_THAT(err, HasSubstr(row.says));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
        EXPECT_EQ(out, "");
    }
}

// The usage text starts with kolvenv's own line and names every subcommand, whose own usage
// text --help gives.
TEST(Kolvenv, HelpNamesEverySubcommand) {
    const auto [status, out, err] = RunInSandbox({}, {"-h"});
    EXPECT_EQ(status, 0);
    EXPECT_THAT(out, StartsWith("usage: kolvenv [--version | --help] SUBCOMMAND [ARGS...]\n"));
    for (const std::string name :
         {"doctor", "path", "which", "python", "lock", "header", "combo", "rand", "info"}) {
        EXPECT_THAT(out, HasSubstr("\n  " + name + " "));
        EXPECT_THAT(std::get<1>(RunInSandbox({}, {name, "--help"})),
                    StartsWith("usage: kolvenv " + name));
    }
}

// The generator's numbers as kolvenv prints them (%.17g), by the standard library's generator of
// the same sequence (48271 * seed modulo 2^31 - 1), each scaled as the library scales it: times
// the double nearest to 1 / (2^31 - 1).
TEST(Kolvenv, RandDrawsAsTheGenerator) {
    const auto [status, out, err] = RunInSandbox({}, {"rand", "--seed", "12345", "2000"});
    std::minstd_rand generator(12345);
    std::ostringstream expected;
    expected.precision(17);
    for (int i = 0; i < 2000; ++i) {
        expected << static_cast<double>(generator()) * (1.0 / 2147483647) << "\n";
    }
    EXPECT_EQ(out, expected.str());
}

// The doctor's decisions, one scenario a row, each in a fresh sandbox: which items have
// problems and which warnings, and the home item's repair advice.
TEST(Kolvenv, DoctorDecides) {
    // A system whose access() denies everything, and whose password entry has FAKE_PASSWD_HOME
    // for its home directory, or which has none.
    const std::string preload = std::string("LD_PRELOAD=") + FAKE_SYSTEM;
    const std::string createKhome = "create a directory with mode 0700 and set KHOME to it";
    struct Row {
        Line setup;  // the script's options and VARIABLE=VALUE settings
        Line problems;
        Line warnings;
        Line repair = {};
    };
    const std::vector<Row> rows = {
        {{}, {}, {}},
        {{preload, "--gone", "HOME=/none", "KHOME=rel/x", "TMPDIR=ro", "FAKE_PASSWD_HOME=/"},
         {"home", "tmp", "preferences", "search_path", "installation", "python"},
         {},
         {"set KHOME to the home directory of your password entry:", "  export KHOME=/"}},
        {{preload, "HOME=/none", "FAKE_PASSWD_HOME=ro"},
         {"home", "preferences", "search_path", "installation", "python"},
         {"tmp"},
         {"the home directory of your password entry, ro, would not serve either (its mode 0500 "
          "lacks the owner's write permission)",
          createKhome}},
        {{preload, "HOME=/none"},
         {"home", "preferences", "search_path", "installation", "python"},
         {"login", "tmp"},
         {"your user id has no password entry to take a home directory from", createKhome}},
        {{preload}, {}, {"login", "home", "tmp", "preferences", "installation"}},
        {{"HOME=fresh", "KHOME=ro", "PATH=inst/bin::/bin"}, {}, {"home", "search_path"}},
        {{"KHOME=unreadable/", "HOME=/none", "PATH="},
         {"preferences", "installation"},
         {"search_path", "python"}},
        {{"KHOME=", "HOME=dangling", "PATH=inst/bin:"}, {"preferences"}, {"home", "search_path"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.setup));
        const Json report = Doctor(row.setup);
        EXPECT_EQ(ItemsWith(report, "problems"), row.problems);
        EXPECT_EQ(ItemsWith(report, "warnings"), row.warnings);
        EXPECT_EQ(report.at("items").at("home").at("repair"), Json(row.repair));
    }
}

}  // namespace
