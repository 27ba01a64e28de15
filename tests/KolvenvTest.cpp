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
#include <map>
#include <sstream>

#include "TestSupport.h"

namespace {

struct Outcome {
    int status = -1;  // the exit status, or -1 when the child did not exit
    std::string out, err;
};

// Runs argv[0] (searched along the test's own PATH) with exactly the
// variables of env, in the directory cwd, with no input.
Outcome RunProcess(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& env, const std::string& cwd) {
    TempDir capture;
    const std::string outFile = capture / "out", errFile = capture / "err";
    std::vector<std::string> envText;
    for (const auto& [name, value] : env) {
        envText.push_back(name + "=" + value);
    }
    std::vector<char*> args, envp;  // all made before fork
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    for (std::string& entry : envText) {
        envp.push_back(&entry[0]);
    }
    args.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in >= 0 && out >= 0 && err >= 0 && dup2(in, 0) == 0 && dup2(out, 1) == 1 &&
            dup2(err, 2) == 2 && chdir(cwd.c_str()) == 0) {
            execvpe(args[0], args.data(), envp.data());
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
        for (const char* dir :
             {"home", "tmp", "inst", "inst/bin", "inst/Linux_ix86", "inst/Linux_ix86/Python"}) {
            MakeDir(root / dir);
        }
        WriteFile(program, "#!/bin/sh\necho prog\n", 0755);
    }

    Outcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), KOLVENV_PATH);
        return RunProcess(args, env, root.Path());
    }

    TempDir root;
    const std::string home = root / "home", tmp = root / "tmp", program = root / "inst/bin/prog";
    const std::string platformDir = root / "inst/" + COSUtil::ArchName();
    std::map<std::string, std::string> env = {
        {"HOME", home}, {"TMPDIR", tmp}, {"PATH", root / "inst/bin" + ":/usr/bin:/bin"}};
};

// ----- doctor ----------------------------------------------------------------------

TEST(KolvenvDoctor, ReportsEachFactWithItsStatus) {
    // The advice for a missing home: the password entry's home directory when
    // its owner may read, write and enter it.
    const passwd* entry = getpwuid(getuid());
    struct stat home;
    const std::string repair =
        entry != nullptr && stat(entry->pw_dir, &home) == 0 && (home.st_mode & S_IRWXU) == S_IRWXU
            ? std::string("REPAIR:   export KHOME=") + entry->pw_dir + "\n"
            : "REPAIR: ";
    const std::string ok = "[OK]      ";
    const struct {
        std::map<std::string, std::string> env;  // changes to the sandbox's
        mode_t tmpMode;
        int status;
        std::vector<std::string> expected;  // texts the report holds
    } cases[] = {
        {{},
         0700,
         0,
         {ok + "home directory", ok + "temporary directory", ok + "preferences file",
          ok + "search path", ok + "installation directory", ok + "Python environment",
          "\nOK: 0 item(s) with problems"}},
        // No usable home: the items that need none are still reported.
        {{{"HOME", "/nonexistent/kolvenv-home"}, {"KHOME", "relative/nowhere"}},
         0700,
         1,
         {"[PROBLEM] home directory", "Could not establish HOME directory in GetHomeDir function.",
          "NEW EXCEPTION: ../OSUtil(", "PROBLEM: KHOME is passed over: relative/nowhere",
          "PROBLEM: HOME is passed over: /nonexistent/kolvenv-home", repair,
          ok + "temporary directory", "[PROBLEM] preferences file", "[PROBLEM] search path",
          ok + "installation directory", ok + "Python environment"}},
        {{}, 0500, 1, {ok + "home directory", "[PROBLEM] temporary directory", "write permission"}},
        {{{"KHOME", "/nonexistent"}},
         0700,
         0,
         {"[WARNING] home directory", "KHOME is passed over"}},
        {{{"PATH", "/usr/bin::/bin"}}, 0700, 0, {"[WARNING] search path", "root directory '/'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Sandbox sandbox;
        chmod(sandbox.tmp.c_str(), c.tmpMode);
        for (const auto& [name, value] : c.env) {
            sandbox.env[name] = value;
        }
        const Outcome outcome = sandbox.Run({"doctor", "--program", sandbox.program});
        EXPECT_EQ(outcome.status, c.status) << outcome.out;
        for (const std::string& text : c.expected) {
            EXPECT_TRUE(Contains(outcome.out, text)) << "missing: " << text << "\n" << outcome.out;
        }
        EXPECT_EQ(outcome.err, "");
    }
}

// The JSON report, parsed back by python3's json module and flattened to
// "dotted.key=text" lines, holds the facts of the sandbox and of the text
// report.
TEST(KolvenvDoctor, JsonHoldsTheSameFacts) {
    Sandbox sandbox;
    const std::string home = sandbox.root / "h\"o\\m\x01e \xc3\xa9";  // JSON escapes, UTF-8
    MakeDir(home);
    sandbox.env["HOME"] = home;
    const Outcome report = sandbox.Run({"doctor", "--program", sandbox.program, "--json"});
    const Outcome text = sandbox.Run({"doctor", "--program", sandbox.program});
    ASSERT_EQ(report.status, 0) << report.out << report.err;
    WriteFile(sandbox.root / "report.json", report.out);
    const Outcome parsed = RunProcess({"python3", "-c", R"(
import json, sys
def walk(prefix, value):
    if isinstance(value, (dict, list)):
        for key, inner in (value.items() if isinstance(value, dict) else enumerate(value)):
            walk(prefix + str(key) + ".", inner)
    else:
        text = value if isinstance(value, str) else json.dumps(value)
        sys.stdout.buffer.write((prefix[:-1] + "=" + text + "\n").encode("utf-8"))
walk("", json.load(open("report.json", "rb")))
)"},
                                      {}, sandbox.root.Path());
    if (parsed.status == 121) {
        GTEST_SKIP() << "python3 is not available";
    }
    ASSERT_EQ(parsed.status, 0) << parsed.err;
    std::map<std::string, std::string> facts;
    for (const std::string& line : Lines(parsed.out)) {
        facts[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    const std::string python = sandbox.platformDir;
    for (const auto& [key, value] : std::map<std::string, std::string>{
             {"status", "OK"},
             {"exit_status", "0"},
             {"items.home.path", home},
             {"items.tmp.path", sandbox.tmp},
             {"items.preferences.path", home + "/kolv_" + LoginName() + ".ini"},
             {"items.search_path.value", sandbox.env["PATH"]},
             {"items.search_path.entries.0", sandbox.root / "inst/bin"},
             {"items.installation.directory", sandbox.root / "inst/"},
             {"items.python.PYTHONPATH", ".:" + python},
             {"items.python.PYTHONHOME", python + "/Python"},
             {"items.python.KPYTHON", python},
             {"items.login.name", LoginName()}}) {
        EXPECT_EQ(facts[key], value) << key;
    }
    // Every item's status, in order, is the one the text report gives it.
    std::vector<std::string> jsonStatuses, textStatuses;
    for (const std::string& line : Lines(parsed.out)) {
        if (line.find("items.") == 0 && Contains(line, ".status=")) {
            jsonStatuses.push_back("[" + line.substr(line.find('=') + 1) + "]");
        }
    }
    for (const std::string& line : Lines(text.out)) {
        if (line[0] == '[') {
            textStatuses.push_back(line.substr(0, line.find(']') + 1));
        }
    }
    EXPECT_EQ(jsonStatuses.size(), 8u);
    EXPECT_EQ(jsonStatuses, textStatuses);
}

// ----- the other subcommands ---------------------------------------------------------

// As env: the command runs with exactly the sandbox's variables and the three.
TEST(KolvenvPython, SetsTheThreeVariablesForTheCommand) {
    Sandbox sandbox;
    const std::string dir = sandbox.platformDir;
    std::vector<std::string> want = {"PYTHONPATH=.:" + dir, "PYTHONHOME=" + dir + "/Python",
                                     "KPYTHON=" + dir};
    const Outcome ran = sandbox.Run({"python", sandbox.program, "--", "env"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    std::vector<std::string> lines = Lines(ran.out);
    for (const auto& [name, value] : sandbox.env) {
        want.push_back(name + "=" + value);
    }
    std::sort(lines.begin(), lines.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(lines, want);
}

// Each subcommand's status and exact output (or its start, where the row ends
// in "..."), and on stderr one line holding err, or nothing when err is "".
// Usage errors exit 2 and name the bad argument.
TEST(KolvenvCommands, StatusOutputAndErrors) {
    Sandbox sandbox;
    const std::string bin = sandbox.root / "inst/bin", prog = sandbox.program;
    WriteFile(sandbox.home + "/kolv_" + LoginName() + ".ini",
              "PathList = " + bin + " :: /usr/bin/\n");
    sandbox.env["PATH"] = "/usr/bin:/bin/:" + bin;
    MakeDir(bin + "/adir", 0755);
    WriteFile(bin + "/plain", "data", 0644);
    MakeDir(sandbox.root / "model.lck");
    const std::string dir = sandbox.platformDir;
    int major = 0, minor = 0, release = 0;
    GetKolvUtilVersion(&major, &minor, &release);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err = "";
    } cases[] = {
        {{"--version"},
         0,
         "kolvenv " + std::to_string(major) + "." + std::to_string(minor) + "." +
             std::to_string(release) + "\n"},
        {{"--help"}, 0, "usage: kolvenv [--version | --help] SUBCOMMAND..."},
        {{"path"}, 0, bin + "::/usr/bin:/bin\n"},
        {{"path", "--lines"}, 0, bin + "\n\n/usr/bin\n/bin\n"},
        {{"which", "prog"}, 0, prog + "\n"},
        {{"which", "plain"}, 1, "", "plain: not found along the search path"},
        {{"which", "adir"}, 0, bin + "/adir\n", "is a directory"},
        {{"python", prog},
         0,
         "PYTHONPATH=.:" + dir + "\nPYTHONHOME=" + dir + "/Python\nKPYTHON=" + dir + "\n"},
        {{"python", prog, "--", "no-such-command"}, 127, "", "no-such-command"},
        {{"lock", sandbox.root / "model.kdb"}, 0, sandbox.root / "model.lck\n"},
        {{"lock", sandbox.root / "MODEL.KDB"}, 1, "", "MODEL.KDB.lck"},
        {{"header", "7", "name", "db"}, 0, std::string(80, '=') + "\n* Log File Generated On..."},
        {{"combo", "5", "3", "9"}, 0, "2 3 4\n"},
        {{"combo", "4", "0", "0"}, 0, "\n"},
        {{"rand"}, 0, "0.60202144393791512\n"},
        {{"rand", "--seed", "1", "2"}, 0, "2.2477936010098986e-05\n0.085032449143488176\n"},
        {{}, 2, "", "no subcommand"},
        {{"nosuch"}, 2, "", "'nosuch'"},
        {{"doctor", "--bogus"}, 2, "", "'--bogus'"},
        {{"path", "x"}, 2, "", "'x'"},
        {{"which"}, 2, "", "NAME"},
        {{"python", "prog", "--"}, 2, "", "COMMAND"},
        {{"header", "x", "name", "db"}, 2, "", "'x'"},
        {{"combo", "5", "6", "0"}, 2, "", "'6'"},
        {{"combo", "5", "3", "10"}, 2, "", "'10'"},
        {{"rand", "--seed"}, 2, "", "'--seed'"},
        {{"rand", "--seed", "1x"}, 2, "", "'1x'"},
        {{"rand", "99999999999"}, 2, "", "'99999999999'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Outcome outcome = sandbox.Run(c.args);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        const bool start = c.out.size() > 3 && c.out.substr(c.out.size() - 3) == "...";
        EXPECT_EQ(start ? outcome.out.substr(0, c.out.size() - 3) : outcome.out,
                  start ? c.out.substr(0, c.out.size() - 3) : c.out);
        EXPECT_EQ(Lines(outcome.err).size(), c.err.empty() ? 0u : 1u) << outcome.err;
        EXPECT_TRUE(Contains(outcome.err, c.err)) << outcome.err;
    }
    sandbox.env["HOME"] = "/nonexistent/kolvenv-home";
    const Outcome noHome = sandbox.Run({"path"});
    EXPECT_EQ(noHome.status, 1);
    EXPECT_TRUE(Contains(noHome.err, "kolvenv path: no home directory")) << noHome.err;
}

}  // namespace
