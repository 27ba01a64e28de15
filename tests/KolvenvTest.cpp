// Runs the built kolvenv as a user would, one command a row, in a sandbox directory that
// support/kolvenv-sandbox.sh lays out, and checks its exit status, output and errors. The
// doctor's facts are read back from its JSON report.

#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using Line = std::vector<std::string>;
using Facts = std::map<std::string, std::string>;

// The generator's next count draws as kolvenv prints them (%.17g), by the standard library's
// generator of the same sequence: 48271 * seed modulo 2^31 - 1, scaled by 1 / (2^31 - 1).
std::string Draws(std::minstd_rand generator, int count) {
    std::ostringstream out;
    out.precision(17);
    for (int i = 0; i < count; ++i) {
        out << static_cast<double>(generator()) / 2147483647 << "\n";
    }
    return out.str();
}

// The JSON text that starts at pos, decoded; pos moves past it. Of the escapes, the reports
// read here hold only these. (Reading past the end throws: the test fails, whatever came out.)
std::string ReadText(const std::string& json, std::size_t& pos) {
    const std::map<char, char> decoded = {{'"', '"'}, {'\\', '\\'}, {'n', '\n'}, {'t', '\t'}};
    std::string text;
    for (++pos; json.at(pos) != '"'; ++pos) {
        if (json.at(pos) == '\\') {
            ++pos;
            text += decoded.at(json.at(pos));
        } else {
            text += json.at(pos);
        }
    }
    ++pos;
    return text;
}

// Reads the JSON value at pos into facts under key, pos moving past it: a text decoded; null,
// true, false and numbers as written; an object's members under key.member; an array's length
// under key and its elements under key.0, key.1, ...
// NOLINTNEXTLINE(misc-no-recursion): the reader nests as the JSON it reads does.
void ReadJson(const std::string& json, std::size_t& pos, const std::string& key, Facts& facts) {
    pos = json.find_first_not_of(" \n", pos);
    const char first = json.at(pos);
    if (first == '"') {
        facts[key] = ReadText(json, pos);
        return;
    }
    if (first != '{' && first != '[') {
        const std::size_t end = json.find_first_of(",}]\n", pos);
        facts[key] = json.substr(pos, end - pos);
        pos = end;
        return;
    }
    // The items' members stand at the top, beside status and exit_status.
    const std::string prefix = key.empty() || key == "items" ? "" : key + ".";
    int count = 0;
    for (pos = json.find_first_not_of(" \n", pos + 1); json.at(pos) != '}' && json.at(pos) != ']';
         pos = json.find_first_not_of(" \n,", pos)) {
        std::string member = std::to_string(count);
        if (first == '{') {
            member = ReadText(json, pos);
            pos = json.find(':', pos) + 1;
        }
        ReadJson(json, pos, prefix + member, facts);
        ++count;
    }
    ++pos;
    if (first == '[') {
        facts[key] = std::to_string(count);
    }
}

// The doctor's JSON report read back (ReadJson).
Facts ReadReport(const std::string& json) {
    Facts facts;
    std::size_t pos = 0;
    ReadJson(json, pos, "", facts);
    return facts;
}

// The fact under key; "(absent)" for a key the report does not hold.
std::string FactOf(const Facts& report, const std::string& key) {
    const auto found = report.find(key);
    return found != report.end() ? found->second : "(absent)";
}

// A sandbox with the user's own preferences file in it, the home directory. Every test ends by
// checking that the file came through all its runs untouched.
class Kolvenv : public testing::Test {
protected:
    const TempDir box;
    const std::string login = getpwuid(getuid())->pw_name;
    const std::string preferences = box / ("kolv_" + login + ".ini");
    const std::string content = "# the user's own\nPathList = extra\nOther = 1\n";
    const std::string version = std::to_string(KOLV_VERSION_MAJOR) + "." +
                                std::to_string(KOLV_VERSION_MINOR) + "." +
                                std::to_string(KOLV_VERSION_PATCH);
    // Where kolvenv finds itself working (no symbolic link on the way).
    const std::string sandbox = std::filesystem::canonical(box.Path());

    Kolvenv() { WriteFile(preferences, content); }
    void TearDown() override { EXPECT_EQ(ReadFile(preferences), content); }

    // Runs kolvenv in the sandbox; its exit status. The command line's leading VARIABLE=VALUE
    // settings and the script's options (--gone, --full, --merged) come before kolvenv, the rest
    // are kolvenv's arguments.
    int Run(const Line& line) const {
        Line words = {"/bin/sh", KOLVENV_SANDBOX, box.Path()};
        auto arg = line.begin();
        const auto isSetting = [](const std::string& word) {
            const bool option = word == "--gone" || word == "--full" || word == "--merged";
            return option || word.find('=') != std::string::npos;
        };
        while (arg != line.end() && isSetting(*arg)) {
            words.push_back(*arg);
            ++arg;
        }
        words.push_back(KOLVENV_PATH);
        words.insert(words.end(), arg, line.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        Require(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0,
                "start the sandbox script");
        int status = 0;
        Require(waitpid(child, &status, 0) == child && WIFEXITED(status), "run the sandbox script");
        return WEXITSTATUS(status);
    }
    std::string Out() const { return ReadFile(box / "out"); }
    std::string Err() const { return ReadFile(box / "err"); }
};

// Every subcommand with one argument too many and, where it takes arguments, one too few, and
// each kind of bad value: one line on standard error naming the problem, exit status 2.
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
        {{"which", "a", "b"}, "unexpected argument 'b'"},
        {{"which"}, "missing argument NAME"},
        {{"python", "prog", "x"}, "unexpected argument 'x'"},
        {{"python"}, "missing argument PROGRAM"},
        {{"python", "prog", "--"}, "missing COMMAND after '--'"},
        {{"lock", "a", "b"}, "unexpected argument 'b'"},
        {{"lock"}, "missing argument DBFILE"},
        {{"header", "1", "n", "d", "x"}, "unexpected argument 'x'"},
        {{"header", "1", "n"}, "missing argument DBFILE"},
        {{"header", " 7", "n", "d"},
         "invalid TASK ' 7': expected an integer from -2147483648 to 2147483647"},
        {{"combo", "5", "3", "1", "x"}, "unexpected argument 'x'"},
        {{"combo", "5", "3"}, "missing argument M"},
        {{"combo", "3", "4", "0"}, "invalid K '4': expected an integer from 0 to 3"},
        {{"combo", "5", "3", "10"},
         "invalid M '10': there are fewer subsets of 3 out of 5 elements"},
        {{"rand", "1", "2"}, "unexpected argument '2'"},
        {{"rand", "--seed"}, "option '--seed' needs a value S"},
        {{"rand", "--seed", "1x"},
         "invalid S '1x': expected an integer from -2147483648 to 2147483647"},
        {{"rand", "-1"}, "invalid COUNT '-1': expected an integer from 0 to 2147483647"},
        {{"rand", "2147483648"},
         "invalid COUNT '2147483648': expected an integer from 0 to 2147483647"},
        {{"rand", ""}, "invalid COUNT '': expected an integer from 0 to 2147483647"},
        {{"info", "x"}, "unexpected argument 'x'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const std::string& name = row.args[0];
        EXPECT_EQ(Run(row.args), 2);
        std::string expected = "kolvenv " + name + ": " + row.problem;
        expected += " (see 'kolvenv " + name + " --help')\n";
        EXPECT_EQ(Err(), expected);
        EXPECT_EQ(Out(), "");
    }
}

// Each subcommand's results, and kolvenv's own options: exit status 0, nothing on standard error
// but what a row names.
TEST_F(Kolvenv, PrintsWhatEachCommandGives) {
    struct Row {
        Line args;
        std::string out;
        std::string err{};  // none unless a row names it
    };
    const std::vector<Row> rows = {
        {{"--version"}, "kolvenv " + version + "\n"},
        {{"-h"},
         "usage: kolvenv [--version | --help] SUBCOMMAND [ARGS...]\n"
         "       kolvenv SUBCOMMAND --help\n"
         "\n"
         "subcommands:\n"
         "  doctor   report every environment fact the library establishes, and what is wrong\n"
         "  path     print the composed search path\n"
         "  which    print where the library finds the program NAME along the search path\n"
         "  python   print the Python variables the library sets for PROGRAM, or run COMMAND "
         "with them\n"
         "  lock     print the lock path of DBFILE and exit 0 when it is locked, 1 if not\n"
         "  header   print the boxed log header of task number TASK\n"
         "  combo    print the M-th (from 0) K-element subset of {0, ..., N-1} in lexicographic "
         "order\n"
         "  rand     print COUNT (default 1) numbers of the random generator\n"
         "  info     print the architecture name, the login name and the list separator\n"},
        {{"rand", "5", "--help"},
         "usage: kolvenv rand [--seed S] [COUNT]\n"
         "  print COUNT (default 1) numbers of the random generator\n\noptions:\n"
         "  --seed S  seed the generator with the integer S first\n"},
        {{"info"}, "architecture: Linux_ix86\nlogin name:   " + login + "\nseparator:    :\n"},
        {{"path"}, "extra:inst/bin:/usr/bin:/bin\n"},
        {{"path", "--lines"}, "extra\ninst/bin\n/usr/bin\n/bin\n"},
        {{"which", "adir"},
         "inst/bin/adir\n",
         "kolvenv which: warning: inst/bin/adir is a directory, not a program\n"},
        {{"python", "prog"},
         "PYTHONPATH=.:inst/Linux_ix86\n"
         "PYTHONHOME=inst/Linux_ix86/Python\n"
         "KPYTHON=inst/Linux_ix86\n"},
        {{"python", "prog", "--", "echo", "-h"}, "-h\n"},
        {{"lock", "m.kdb"}, "m.lck\n"},
        {{"lock", "f.kdb"}, "f.lck\n"},
        {{"combo", "5", "3", "9"}, "2 3 4\n"},
        {{"combo", "0", "0", "0"}, "\n"},
        {{"rand"}, Draws(std::minstd_rand(234567890), 1)},
        {{"rand", "--seed", "12345", "3"}, Draws(std::minstd_rand(12345), 3)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        EXPECT_EQ(Run(row.args), 0);
        EXPECT_EQ(Out(), row.out);
        EXPECT_EQ(Err(), row.err);
    }
}

// What a command cannot do: its exit status and one line on standard error, nothing on
// standard output.
TEST_F(Kolvenv, SaysWhatFails) {
    struct Row {
        Line line;  // --gone or --full, then kolvenv's arguments
        int status;
        std::string err;
    };
    const std::vector<Row> rows = {
        {{}, 2, "kolvenv: no subcommand given (see 'kolvenv --help')\n"},
        {{"nosuch"}, 2, "kolvenv: unknown subcommand 'nosuch' (see 'kolvenv --help')\n"},
        {{"which", "-"}, 1, "kolvenv which: -: not found along the search path\n"},
        {{"python", "prog", "--", "nosuch"},
         127,
         "kolvenv python: cannot run 'nosuch': No such file or directory\n"},
        {{"python", "prog", "--", "other/bin/plain"},
         126,
         "kolvenv python: cannot run 'other/bin/plain': Permission denied\n"},
        {{"--gone", "python", "prog"},
         1,
         "kolvenv python: the library could not set the Python environment (no working "
         "directory, or putenv failed)\n"},
        {{"lock", "x.kdb"}, 1, "kolvenv lock: x.kdb is not locked (no x.lck)\n"},
        {{"--full", "--version"},
         3,
         "kolvenv: cannot write to standard output: No space left on device\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.line));
        EXPECT_EQ(Run(row.line), row.status);
        EXPECT_EQ(Err(), row.err);
        EXPECT_EQ(Out(), "");
    }
}

// Outside the doctor the library's messages go out as the message library would print them, the
// repair block on standard output and the reports on standard error; without a home directory a
// command then says so last and names the doctor.
TEST_F(Kolvenv, HomelessCommandNamesTheDoctor) {
    EXPECT_EQ(Run({"--merged", "HOME=/none", "path"}), 1);
    // The source lines that the library's exception reports name are its own.
    EXPECT_EQ(std::regex_replace(Out(), std::regex("[0-9]+"), "N"),
              "Could not establish HOME directory in GetHomeDir function.\n"
              "       Close Kolvane.\n"
              "       Set KHOME environment variable to point to\n"
              "       the directory of your choice and check that this\n"
              "       directory has read/write/execute permissions.\n"
              "       Start Kolvane again.\n"
              "NEW EXCEPTION: ../OSUtil(N): File not ready\n"
              "EXCEPTION: ../OSUtil(N): File not ready\n"
              "EXCEPTION: ../OSUtil(N): File not ready\n"
              "EXCEPTION: ../OSUtil(N): File not ready\n"
              "kolvenv path: no home directory could be established (File not ready); run "
              "'kolvenv doctor'\n");
}

// The boxed header names the database, the task's number and its name under the date line,
// which is the clock's.
TEST_F(Kolvenv, HeaderBoxesTheTask) {
    EXPECT_EQ(Run({"header", "7", "tn", "db"}), 0);
    const std::string out = Out();
    EXPECT_EQ(out.substr(out.find("*    Database")),
              "*    Database File Name : db                                                   *\n"
              "*           Task Number : 7                                                    *\n"
              "*             Task Name : tn                                                   *\n" +
                  std::string(80, '=') + "\n\n");
    EXPECT_EQ(Err(), "");
}

// The doctor's report read back from its JSON form, one run a row: the exit status, which the
// report gives as well, the worst status and the facts, problems, warnings and library messages
// of the items. The first row gives every fact; the others what they change.
TEST_F(Kolvenv, DoctorReportsEveryFact) {
    const std::string inOther = sandbox + "/other/";
    // With no home directory the doctor suggests for KHOME the password entry's home when the
    // library would take it (its owner may read, write and enter it), or says that none is there.
    const std::string passwdHome = getpwuid(getuid())->pw_dir;
    struct stat status = {};
    const bool serves =
        stat(passwdHome.c_str(), &status) == 0 && (status.st_mode & S_IRWXU) == S_IRWXU;
    const Line advice = serves ? Line{"set KHOME to the home directory of your password entry:",
                                      "  export KHOME=" + passwdHome}
                               : Line{"the home directory of your password entry, " + passwdHome +
                                          ", would not serve either (stat fails (No such file "
                                          "or directory))",
                                      "create a directory with mode 0700 and set KHOME to it"};
    // A system with no password entry for the user, of a kind the library does not know, and whose
    // access() denies everything.
    const std::string preload = std::string("LD_PRELOAD=") + FAKE_SYSTEM;
    struct Row {
        Line line;  // VARIABLE=VALUE settings and the script's options, then kolvenv's arguments
        int status;
        Facts facts;  // as ReadJson gives them
    };
    const std::vector<Row> rows = {
        {{"doctor", "--program", "prog", "--json"},
         0,
         {
             {"status", "OK"},
             {"version.version", version},
             {"version.architecture", "Linux_ix86"},
             {"login.name", login},
             {"login.uid", std::to_string(getuid())},
             {"home.env_khome", "null"},
             {"home.env_home", "."},
             {"home.path", "."},
             {"home.check_dir", "true"},
             {"home.suggested_khome", "null"},
             {"tmp.env_ktmp", "null"},
             {"tmp.env_tmpdir", "tmp"},
             {"tmp.env_tmp", "null"},
             {"tmp.path", "tmp"},
             {"tmp.check_dir", "true"},
             {"preferences.path", "./kolv_" + login + ".ini"},
             {"preferences.existed", "true"},
             {"preferences.path_list", "extra"},
             {"preferences.created", "false"},
             {"search_path.env_path", "inst/bin:/usr/bin:/bin"},
             {"search_path.value", "extra:inst/bin:/usr/bin:/bin"},
             {"search_path.entries", "4"},
             {"search_path.entries.0", "extra"},
             {"search_path.entries.1", "inst/bin"},
             {"search_path.entries.2", "/usr/bin"},
             {"search_path.entries.3", "/bin"},
             {"installation.program", "prog"},
             {"installation.found_as", "inst/bin/prog"},
             {"installation.directory", "inst/"},
             {"python.env_pythonpath", "null"},
             {"python.set", "true"},
             {"python.PYTHONPATH", ".:inst/Linux_ix86"},
             {"python.PYTHONHOME", "inst/Linux_ix86/Python"},
             {"python.KPYTHON", "inst/Linux_ix86"},
         }},
        {{"--gone", "HOME=/none", "KHOME=rel/x", "TMPDIR=ro", "doctor", "--json", "--program",
          "prog"},
         1,
         {
             {"status", "PROBLEM"},
             {"home.env_khome", "rel/x"},
             {"home.env_home", "/none"},
             {"home.path", "null"},
             {"home.check_dir", "null"},
             {"home.suggested_khome", serves ? passwdHome : "null"},
             {"home.repair", "2"},
             {"home.repair.0", advice[0]},
             {"home.repair.1", advice[1]},
             {"home.problems", "3"},
             {"home.problems.0",
              "the library raised CFileNotReady (File not ready): no home directory could be "
              "established"},
             {"home.problems.1",
              "KHOME is passed over: rel/x: stat fails (No such file or directory)"},
             {"home.problems.2",
              "HOME is passed over: /none: stat fails (No such file or directory)"},
             {"home.messages.6.function", "LNewException"},
             {"tmp.check_dir", "false"},
             {"tmp.problems.0",
              "the library's directory check rejects it as the temporary directory"},
             {"tmp.messages.0.text", "The TMPDIR or TMP environment variable is set to:\n\tro\n"},
             {"preferences.path", "null"},
             {"preferences.existed", "null"},
             {"preferences.path_list", "null"},
             {"preferences.created", "false"},
             {"preferences.problems.0", "not established: it depends on the home directory"},
             {"search_path.entries", "null"},
             {"search_path.problems.0",
              "not established: it depends on the home directory (the preferences file comes "
              "first)"},
             {"installation.found_as", "null"},
             {"installation.directory", "null"},
             {"installation.problems.0",
              "the working directory cannot be had: No such file or directory"},
             {"python.set", "false"},
             {"python.problems.0",
              "the library could not set the variables (no working directory, or putenv failed)"},
         }},
        {{"HOME=fresh", "KHOME=ro", "KTMP=.\\tmp", "PATH=/usr/bin::/bin:", "doctor", "--json",
          "--program", "other/bin/plain"},
         0,
         {
             {"status", "WARNING"},
             {"home.path", "fresh"},
             {"home.warnings.0",
              "KHOME is passed over: ro: its mode 0500 lacks the owner's write permission"},
             {"tmp.env_ktmp", ".\\tmp"},
             {"tmp.path", "./tmp"},
             {"tmp.messages.0.text", "\nINFO : KTMP already defined as an environment variable\n"},
             {"tmp.messages.1.text", "INFO : Defined value will be used:\n.\\tmp\n"},
             {"preferences.path", "fresh/kolv_" + login + ".ini"},
             {"preferences.existed", "false"},
             {"preferences.path_list", "null"},
             {"preferences.created", "true"},
             {"search_path.entries.1", ""},
             {"search_path.warnings.0",
              "the search path holds an empty entry (from an empty PATH entry, a '/' entry or the "
              "preferences file): the library's search reads it as the root directory '/', a "
              "shell as the current directory"},
             {"search_path.warnings.1",
              "PATH ends in ':': a shell reads the empty last entry as the current directory, the "
              "library drops it"},
             {"installation.directory", inOther},
             {"installation.warnings.0", "the library accepts " + inOther +
                                             "bin/plain by its owner-execute bit, but the current "
                                             "user may not run it (Permission denied)"},
             {"python.warnings.0",
              "no Python installation at PYTHONHOME " + inOther + "Linux_ix86/Python"},
         }},
        {{"KHOME=unreadable/", "HOME=/none", "TMPDIR=", "TMP=tmp", "PATH=", "PYTHONPATH=\\lib",
          "doctor", "--json", "--program", "prog"},
         1,
         {
             {"status", "PROBLEM"},
             {"home.status", "OK"},
             {"home.path", "unreadable/"},
             {"tmp.env_tmpdir", ""},
             {"tmp.env_tmp", "tmp"},
             {"tmp.path", "tmp"},
             {"preferences.path", "unreadable/kolv_" + login + ".ini"},
             {"preferences.existed", "true"},
             {"preferences.problems.0", "the library could not read the file"},
             {"search_path.value", ""},
             {"search_path.entries", "0"},
             {"search_path.warnings.0",
              "the search path is empty: programs are found only by a path"},
             {"installation.found_as", "prog"},
             {"installation.directory", "null"},
             {"installation.problems.0",
              "the program is found neither under the working directory nor along the search "
              "path: the library then takes the architecture name alone as the platform directory"},
             {"python.env_pythonpath", "\\lib"},
             {"python.PYTHONPATH", ".:Linux_ix86:/lib"},
             // Set-up reads the preferences file again.
             {"python.messages.0.text", "ERROR: Getting initialization file parameter: PathList\n"},
             {"python.messages.1.text",
              "\nINFO : PYTHONPATH already defined as an environment variable.\n"},
             {"python.messages.2.text",
              "       Directory with Kolvane Python installation is prepended to it:\n"},
             {"python.messages.3.text", "PYTHONPATH=.:Linux_ix86:/lib\n"},
         }},
        {{preload, "doctor", "--json", "--program", "prog"},
         0,
         {
             {"status", "WARNING"},
             {"version.architecture", "UNKNOWN"},
             {"version.warnings.0",
              "the system is not one the library knows: the Python platform directory is named "
              "UNKNOWN"},
             {"login.name", "null"},
             {"login.warnings.0", "the library finds no login name for user id " +
                                      std::to_string(getuid()) +
                                      " (no password entry): it does without the preferences file"},
             {"home.warnings.0",
              "the library accepts it by its owner's permission bits, but the current user may not "
              "read (Permission denied) or write to (Permission denied) or enter (Permission "
              "denied)"},
             {"preferences.path", "null"},
             {"preferences.warnings.0",
              "no login name: the library does without the preferences file"},
             {"search_path.value", "inst/bin:/usr/bin:/bin"},
             {"python.PYTHONHOME", "inst/UNKNOWN/Python"},
         }},
        {{preload, "HOME=/none", "doctor", "--json", "--program", "prog"},
         1,
         {
             {"home.repair.0", "your user id has no password entry to take a home directory from"},
             {"home.repair.1", "create a directory with mode 0700 and set KHOME to it"},
         }},
        {{"KHOME=", "HOME=dangling", "KTMP=", "TMPDIR=", "PYTHONPATH=", "doctor", "--json",
          "--program", "prog"},
         1,
         {
             {"home.path", "dangling"},
             {"tmp.path", "/tmp"},
             {"tmp.messages.1.text", "INFO : Defined value will be used:\n\n"},
             {"preferences.existed", "false"},
             {"preferences.created", "false"},
             {"preferences.problems.0", "the file is missing and the library could not create it"},
             {"python.PYTHONPATH", ".:inst/Linux_ix86:"},
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.line));
        EXPECT_EQ(Run(row.line), row.status);
        const Facts report = ReadReport(Out());
        EXPECT_EQ(FactOf(report, "exit_status"), std::to_string(row.status));
        for (const auto& [key, value] : row.facts) {
            SCOPED_TRACE(key);
            EXPECT_EQ(FactOf(report, key), value);
        }
    }
}

// Without --program the doctor examines kolvenv itself, whose build tree holds no Python
// installation: one warning, which the text report's summary counts last.
TEST_F(Kolvenv, DoctorTextEndsInItsSummary) {
    EXPECT_EQ(Run({"doctor"}), 0);
    const std::string out = Out();
    const std::string summary =
        "\nWARNING: 0 item(s) with problems, 1 with warnings (exit status 0)\n";
    EXPECT_EQ(out.substr(out.size() - summary.size()), summary);
}

}  // namespace
