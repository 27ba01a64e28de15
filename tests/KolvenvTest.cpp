// Runs the built kolvenv as a user would: in a child process with an
// environment of its own (a temporary HOME, TMPDIR and installation, a chosen
// PATH), checking its output and exit status.

#include <OSUtil.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "TestSupport.h"

extern char** environ;

namespace {

struct Outcome {
    int status = -1;  // the exit status, or -1 when the child did not exit
    std::string out;
    std::string err;
};

// Runs argv[0] (searched along the test's PATH) with exactly the variables of
// env, or with the test's own environment when env is null, in the working
// directory cwd, standard input read from inFile.
Outcome RunProcess(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>* env, const std::string& cwd,
                   const std::string& inFile = "/dev/null") {
    TempDir capture;
    const std::string outFile = capture / "out", errFile = capture / "err";
    std::vector<std::string> envText;
    if (env != nullptr) {
        for (const auto& [name, value] : *env) {
            envText.push_back(name + "=" + value);
        }
    }
    // Every pointer the child needs is made before fork.
    std::vector<char*> args, envp;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    for (std::string& entry : envText) {
        envp.push_back(&entry[0]);
    }
    envp.push_back(nullptr);
    char** childEnv = env != nullptr ? envp.data() : environ;

    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(inFile.c_str(), O_RDONLY);
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) {
            _exit(120);
        }
        if (env != nullptr) {
            execve(args[0], args.data(), childEnv);
        } else {
            execvp(args[0], args.data());
        }
        _exit(121);
    }
    Outcome outcome;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        outcome.status = WEXITSTATUS(status);
    }
    outcome.out = ReadFile(outFile);
    outcome.err = ReadFile(errFile);
    return outcome;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string LoginName() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr ? entry->pw_name : "";
}

// A user's world: a home directory, a temporary directory and an
// installation <root>/inst with its program bin/prog and Python directory.
struct Sandbox {
    Sandbox() {
        MakeDir(home);
        MakeDir(tmp);
        for (const char* dir : {"inst", "inst/bin", "inst/Linux_ix86", "inst/Linux_ix86/Python"}) {
            MakeDir(root / dir);
        }
        WriteFile(program, "#!/bin/sh\necho prog\n", 0755);
    }

    // Runs kolvenv with args in the sandbox's environment and directory.
    Outcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), KOLVENV_PATH);
        return RunProcess(args, &env, root.Path());
    }

    TempDir root;
    const std::string home = root / "home";
    const std::string tmp = root / "tmp";
    const std::string program = root / "inst/bin/prog";
    const std::string platformDir = root / "inst/" + COSUtil::ArchName();
    std::map<std::string, std::string> env = {
        {"HOME", home}, {"TMPDIR", tmp}, {"PATH", root / "inst/bin" + ":/usr/bin:/bin"}};
};

// ----- doctor ----------------------------------------------------------------------

// The advice for a missing home: the password entry's home directory when
// its owner may read, write and enter it.
std::string HomeRepair() {
    const passwd* entry = getpwuid(getuid());
    struct stat status;
    if (entry == nullptr || stat(entry->pw_dir, &status) != 0 ||
        (status.st_mode & S_IRWXU) != S_IRWXU) {
        return "REPAIR: ";
    }
    return std::string("REPAIR:   export KHOME=") + entry->pw_dir + "\n";
}

struct DoctorCase {
    const char* name;
    std::function<void(Sandbox&)> arrange;
    int status;
    std::vector<std::string> expected;  // texts the report holds
    const char* programArg = nullptr;   // --program; the sandbox's program when null
};

TEST(KolvenvDoctor, ReportsEachFactWithItsStatus) {
    const std::vector<DoctorCase> cases = {
        {"healthy",
         [](Sandbox&) {},
         0,
         {"[OK]      home directory", "[OK]      temporary directory", "[OK]      preferences file",
          "[OK]      search path", "[OK]      installation directory",
          "[OK]      Python environment", "\nOK: 0 item(s) with problems"}},
        {"no usable home",
         [](Sandbox& s) {
             s.env["HOME"] = "/nonexistent/kolvenv-home";
             s.env["KHOME"] = "relative/nowhere";
         },
         1,
         {"[PROBLEM] home directory", "Could not establish HOME directory in GetHomeDir function.",
          "      |        Set KHOME environment variable to point to", "NEW EXCEPTION: ../OSUtil(",
          "PROBLEM: KHOME is passed over: relative/nowhere",
          "PROBLEM: HOME is passed over: /nonexistent/kolvenv-home", HomeRepair(),
          "[OK]      temporary directory", "[PROBLEM] preferences file", "[PROBLEM] search path",
          "[OK]      installation directory", "[OK]      Python environment"}},
        {"temporary directory of mode 0500",
         [](Sandbox& s) { chmod(s.tmp.c_str(), 0500); },
         1,
         {"[OK]      home directory", "[PROBLEM] temporary directory",
          "You do not have write permission in", "This is your temporary directory"}},
        {"missing temporary directory",
         [](Sandbox& s) { s.env["TMPDIR"] = "/nonexistent/kolvenv-tmp"; },
         1,
         {"[PROBLEM] temporary directory", "This is not a valid directory"}},
        {"KHOME passed over for HOME",
         [](Sandbox& s) { s.env["KHOME"] = "/nonexistent/kolvenv-khome"; },
         0,
         {"[WARNING] home directory", "WARNING: KHOME is passed over"}},
        {"empty PATH entry",
         [](Sandbox& s) { s.env["PATH"] = "/usr/bin::/bin"; },
         0,
         {"[WARNING] search path", "root directory '/'"}},
        {"program not found",
         [](Sandbox& s) { s.env["PATH"] = "/nonexistent"; },
         1,
         {"[PROBLEM] installation directory"},
         "prog"},
        {"PathList from the preferences file",
         [](Sandbox& s) {
             WriteFile(s.home + "/kolv_" + LoginName() + ".ini", "PathList = /opt/a : /opt/b/\n");
         },
         0,
         {"path_list: /opt/a : /opt/b/", "value: /opt/a:/opt/b:", "existed: yes"}},
    };
    for (const DoctorCase& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox sandbox;
        c.arrange(sandbox);
        const std::string program = c.programArg != nullptr ? c.programArg : sandbox.program;
        const Outcome outcome = sandbox.Run({"doctor", "--program", program});
        EXPECT_EQ(outcome.status, c.status) << outcome.out;
        for (const std::string& text : c.expected) {
            EXPECT_TRUE(Contains(outcome.out, text)) << "missing: " << text << "\n" << outcome.out;
        }
        EXPECT_EQ(outcome.err, "");
    }
}

// The JSON report, parsed back by python3's json module and flattened to
// "dotted.key=hex of the UTF-8 text" lines, holds the same facts as the
// sandbox and as the text report.
TEST(KolvenvDoctor, JsonHoldsTheSameFacts) {
    Sandbox sandbox;
    // Quote, backslash, a control character and a non-ASCII letter.
    const std::string home = sandbox.root / "h\"o\\m\x01e \xc3\xa9";
    MakeDir(home);
    sandbox.env["HOME"] = home;
    const Outcome report = sandbox.Run({"doctor", "--program", sandbox.program, "--json"});
    const Outcome text = sandbox.Run({"doctor", "--program", sandbox.program});
    ASSERT_EQ(report.status, 0) << report.out << report.err;
    WriteFile(sandbox.root / "report.json", report.out);

    const char* kFlatten = R"(
import json, sys
def walk(prefix, value):
    if isinstance(value, dict):
        for key, inner in value.items():
            walk(prefix + key + ".", inner)
    elif isinstance(value, list):
        for index, inner in enumerate(value):
            walk(prefix + str(index) + ".", inner)
    else:
        text = value if isinstance(value, str) else json.dumps(value)
        print(prefix[:-1] + "=" + text.encode("utf-8").hex())
walk("", json.loads(sys.stdin.buffer.read()))
)";
    const Outcome parsed = RunProcess({"python3", "-c", kFlatten}, nullptr, sandbox.root.Path(),
                                      sandbox.root / "report.json");
    if (parsed.status == 121) {
        GTEST_SKIP() << "python3 is not available";
    }
    ASSERT_EQ(parsed.status, 0) << parsed.err;
    std::map<std::string, std::string> facts;
    for (const std::string& line : Lines(parsed.out)) {
        const std::string::size_type equals = line.find('=');
        std::string value;
        for (std::size_t i = equals + 1; i + 1 < line.size(); i += 2) {
            value += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
        }
        facts[line.substr(0, equals)] = value;
    }
    EXPECT_EQ(facts["status"], "OK");
    EXPECT_EQ(facts["exit_status"], "0");
    EXPECT_EQ(facts["items.home.path"], home);
    EXPECT_EQ(facts["items.home.check_dir"], "true");
    EXPECT_EQ(facts["items.home.suggested_khome"], "null");
    EXPECT_EQ(facts["items.tmp.path"], sandbox.tmp);
    EXPECT_EQ(facts["items.tmp.env_ktmp"], "null");
    EXPECT_EQ(facts["items.preferences.path"], home + "/kolv_" + LoginName() + ".ini");
    EXPECT_EQ(facts["items.preferences.existed"], "false");
    EXPECT_EQ(facts["items.search_path.value"], sandbox.env["PATH"]);
    EXPECT_EQ(facts["items.search_path.entries.0"], sandbox.root / "inst/bin");
    EXPECT_EQ(facts["items.installation.directory"], sandbox.root / "inst/");
    EXPECT_EQ(facts["items.python.PYTHONPATH"], ".:" + sandbox.platformDir);
    EXPECT_EQ(facts["items.python.PYTHONHOME"], sandbox.platformDir + "/Python");
    EXPECT_EQ(facts["items.python.KPYTHON"], sandbox.platformDir);
    EXPECT_EQ(facts["items.login.name"], LoginName());
    // Every item's status is the one the text report gives it.
    for (const auto& [key, title] :
         std::map<std::string, std::string>{{"version", "library version and architecture"},
                                            {"login", "login name"},
                                            {"home", "home directory"},
                                            {"tmp", "temporary directory"},
                                            {"preferences", "preferences file"},
                                            {"search_path", "search path"},
                                            {"installation", "installation directory"},
                                            {"python", "Python environment"}}) {
        const std::string status = facts["items." + key + ".status"];
        EXPECT_TRUE(Contains(
            text.out, "[" + status + "]" + std::string(9 - status.size() - 2, ' ') + " " + title))
            << key << ": " << status;
    }
}

// ----- which, path, python, lock ----------------------------------------------------

TEST(KolvenvWhich, FindsProgramsAlongTheSearchPath) {
    Sandbox sandbox;
    MakeDir(sandbox.root / "inst/bin/adir", 0755);
    WriteFile(sandbox.root / "inst/bin/plain", "data", 0644);
    const struct {
        const char* name;
        int status;
        std::string out;
        const char* err;  // a text of the one stderr line, "" for none
    } cases[] = {
        {"prog", 0, sandbox.program + "\n", ""},
        {"plain", 1, "", "plain: not found along the search path"},
        {"no-such-program", 1, "", "no-such-program: not found"},
        {"adir", 0, sandbox.root / "inst/bin/adir\n", "is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = sandbox.Run({"which", c.name});
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(Lines(outcome.err).size(), *c.err ? 1u : 0u) << outcome.err;
        EXPECT_TRUE(Contains(outcome.err, c.err)) << outcome.err;
    }
}

TEST(KolvenvPath, ComposesPreferencesAndPATH) {
    Sandbox sandbox;
    WriteFile(sandbox.home + "/kolv_" + LoginName() + ".ini", "PathList = /opt/a :: /usr/bin/\n");
    sandbox.env["PATH"] = "/usr/bin:/bin/:/opt/a";
    const Outcome joined = sandbox.Run({"path"});
    EXPECT_EQ(joined.status, 0);
    EXPECT_EQ(joined.out, "/opt/a::/usr/bin:/bin\n");
    const Outcome lines = sandbox.Run({"path", "--lines"});
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.out, "/opt/a\n\n/usr/bin\n/bin\n");

    sandbox.env["HOME"] = "/nonexistent/kolvenv-home";
    const Outcome noHome = sandbox.Run({"path"});
    EXPECT_EQ(noHome.status, 1);
    EXPECT_TRUE(Contains(noHome.err, "Could not establish HOME directory")) << noHome.err;
    EXPECT_TRUE(Contains(noHome.err, "kolvenv path: no home directory")) << noHome.err;
}

TEST(KolvenvPython, SetsTheThreeVariablesForTheCommand) {
    Sandbox sandbox;
    const std::string expected = "PYTHONPATH=.:" + sandbox.platformDir +
                                 "\nPYTHONHOME=" + sandbox.platformDir +
                                 "/Python\nKPYTHON=" + sandbox.platformDir + "\n";
    const Outcome printed = sandbox.Run({"python", sandbox.program});
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out, expected);

    // As env: the command runs with exactly the sandbox's variables and the three.
    const Outcome ran = sandbox.Run({"python", sandbox.program, "--", "/usr/bin/env"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    std::vector<std::string> lines = Lines(ran.out);
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> want = Lines(expected);
    for (const auto& [name, value] : sandbox.env) {
        want.push_back(name + "=" + value);
    }
    std::sort(want.begin(), want.end());
    EXPECT_EQ(lines, want);

    // A previous PYTHONPATH stays behind the installation's, announced first.
    sandbox.env["PYTHONPATH"] = "/user/py";
    const Outcome prepended = sandbox.Run({"python", sandbox.program, "--", "/usr/bin/env"});
    EXPECT_TRUE(Contains(prepended.out, "INFO : PYTHONPATH already defined")) << prepended.out;
    EXPECT_TRUE(Contains(prepended.out, "\nPYTHONPATH=.:" + sandbox.platformDir + ":/user/py\n"));

    const Outcome missing = sandbox.Run({"python", sandbox.program, "--", "no-such-command"});
    EXPECT_EQ(missing.status, 127);
    EXPECT_EQ(Lines(missing.err).size(), 1u);
}

TEST(KolvenvLock, ReportsTheLockPath) {
    Sandbox sandbox;
    MakeDir(sandbox.root / "model.lck");
    WriteFile(sandbox.root / "notes.txt.lck", "");
    const struct {
        std::string dbFile;
        int status;
        std::string lockPath;
    } cases[] = {
        {sandbox.root / "model.kdb", 0, sandbox.root / "model.lck"},
        {sandbox.root / "model", 0, sandbox.root / "model.lck"},
        {sandbox.root / "notes.txt", 0, sandbox.root / "notes.txt.lck"},
        {sandbox.root / "MODEL.KDB", 1, sandbox.root / "MODEL.KDB.lck"},
        {"other.kdb", 1, "other.lck"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dbFile);
        const Outcome outcome = sandbox.Run({"lock", c.dbFile});
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_TRUE(Contains(c.status == 0 ? outcome.out : outcome.err, c.lockPath));
    }
}

// ----- rand --------------------------------------------------------------------------

// The generator against the standard library's engine with the same
// multiplier and modulus.
TEST(KolvenvRand, MatchesTheMinimalStandardEngine) {
    Sandbox sandbox;
    for (const int seed : {234567890, 1, 42, 2147483646}) {
        SCOPED_TRACE(seed);
        const Outcome outcome = sandbox.Run({"rand", "--seed", std::to_string(seed), "5"});
        ASSERT_EQ(outcome.status, 0);
        std::minstd_rand engine(static_cast<std::minstd_rand::result_type>(seed));
        const std::vector<std::string> lines = Lines(outcome.out);
        ASSERT_EQ(lines.size(), 5u);
        for (const std::string& line : lines) {
            EXPECT_EQ(std::strtod(line.c_str(), nullptr), engine() * 4.656612875245797e-10);
        }
    }
    EXPECT_EQ(sandbox.Run({"rand"}).out, sandbox.Run({"rand", "--seed", "234567890"}).out);
    EXPECT_EQ(sandbox.Run({"rand", "0"}).out, "");
}

// ----- header and combo --------------------------------------------------------------

TEST(KolvenvHeader, PrintsTheBoxedHeader) {
    Sandbox sandbox;
    const Outcome outcome =
        sandbox.Run({"header", "7", "Optimise the wing spar: a task name that wraps\nsecond line",
                     "model.kdb"});
    EXPECT_EQ(outcome.status, 0);
    const std::vector<std::string> lines = Lines(outcome.out);
    ASSERT_EQ(lines.size(), 8u) << outcome.out;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].size(), 80u) << lines[i];
    }
    EXPECT_EQ(lines[0], std::string(80, '='));
    EXPECT_EQ(lines[2].substr(0, 33), "*    Database File Name : model.k");
    EXPECT_EQ(lines[3].substr(0, 32), "*           Task Number : 7     ");
    EXPECT_EQ(lines[4].substr(26, 52), "Optimise the wing spar: a task name that wraps      ");
    EXPECT_EQ(lines[5].substr(26, 11), "second line");
    EXPECT_EQ(lines[6], lines[0]);
    EXPECT_EQ(lines[7], "");
}

// Every position against an independent enumeration: the k-subsets of n in
// lexicographic order are the k-of-n masks in descending order.
TEST(KolvenvCombo, EnumeratesSubsetsInLexicographicOrder) {
    Sandbox sandbox;
    const int n = 6;
    for (int k = 0; k <= n; ++k) {
        std::vector<bool> mask(n, false);
        std::fill(mask.begin(), mask.begin() + k, true);
        int m = 0;
        do {
            std::string expected;
            for (int i = 0; i < n; ++i) {
                if (mask[static_cast<std::size_t>(i)]) {
                    expected += (expected.empty() ? "" : " ") + std::to_string(i);
                }
            }
            SCOPED_TRACE("k = " + std::to_string(k) + ", m = " + std::to_string(m));
            const Outcome outcome =
                sandbox.Run({"combo", std::to_string(n), std::to_string(k), std::to_string(m++)});
            EXPECT_EQ(outcome.status, 0);
            EXPECT_EQ(outcome.out, expected + "\n");
        } while (std::prev_permutation(mask.begin(), mask.end()));
        const Outcome past =
            sandbox.Run({"combo", std::to_string(n), std::to_string(k), std::to_string(m)});
        EXPECT_EQ(past.status, 2);
        EXPECT_EQ(Lines(past.err).size(), 1u) << past.err;
    }
}

// ----- usage -------------------------------------------------------------------------

TEST(KolvenvUsage, BadArgumentsGiveOneLineAndExitTwo) {
    Sandbox sandbox;
    const struct {
        std::vector<std::string> args;
        const char* named;  // the bad argument, as the line names it
    } cases[] = {
        {{}, "no subcommand"},
        {{"nosuch"}, "'nosuch'"},
        {{"doctor", "--bogus"}, "'--bogus'"},
        {{"doctor", "extra"}, "'extra'"},
        {{"doctor", "--program"}, "'--program'"},
        {{"path", "x"}, "'x'"},
        {{"which"}, "NAME"},
        {{"which", "a", "b"}, "'b'"},
        {{"python"}, "PROGRAM"},
        {{"python", "prog", "--"}, "COMMAND"},
        {{"lock"}, "DBFILE"},
        {{"header", "x", "name", "db"}, "'x'"},
        {{"header", "1", "name"}, "DBFILE"},
        {{"combo", "5", "6", "0"}, "'6'"},
        {{"combo", "5", "3", "10"}, "'10'"},
        {{"combo", "5", "3", "-1"}, "'-1'"},
        {{"rand", "--seed"}, "'--seed'"},
        {{"rand", "--seed", "1x"}, "'1x'"},
        {{"rand", "-3"}, "'-3'"},
        {{"rand", "99999999999"}, "'99999999999'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const Outcome outcome = sandbox.Run(c.args);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
        EXPECT_TRUE(Contains(outcome.err, c.named)) << outcome.err;
    }
}

TEST(KolvenvUsage, HelpListsEveryOption) {
    Sandbox sandbox;
    const struct {
        const char* command;
        std::vector<std::string> options;
    } cases[] = {
        {"doctor", {"--program PATH", "--json"}}, {"path", {"--lines"}}, {"which", {}},
        {"python", {"-- COMMAND ARGS..."}},       {"lock", {}},          {"rand", {"--seed S"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const Outcome outcome = sandbox.Run({c.command, "--help"});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_TRUE(Contains(outcome.out, std::string("usage: kolvenv ") + c.command));
        for (const std::string& option : c.options) {
            EXPECT_TRUE(Contains(outcome.out, "\n  " + option)) << outcome.out;
        }
        EXPECT_TRUE(Contains(sandbox.Run({"--help"}).out, std::string("  ") + c.command + " "));
    }
}

}  // namespace
