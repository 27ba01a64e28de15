// Runs the built kolvenv as a user would: from a shell in a sandbox directory, with an
// environment of its own, checking its exit status, output and errors.

#include <fnmatch.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <tuple>

#include "TestSupport.h"

// The generator's next count draws as kolvenv prints them (%.17g), by the standard library's
// generator of the same sequence: 48271 * seed modulo 2^31 - 1, scaled by 1 / (2^31 - 1).
static std::string Draws(std::minstd_rand generator, int count) {
    std::ostringstream out;
    for (out.precision(17); count-- > 0;)
        out << generator() * (1.0 / 2147483647) << "\n";
    return out.str();
}

// Run before each command line, in the sandbox, which is the home directory: it lays out a
// user's world (tmp/, ro/ which may not be written, the installation inst/ with its program and
// Python directory, a bare other/ holding a data file) and sends no input, the output and errors
// to files. $E runs a command with exactly the sandbox's variables (changes may follow), as
// `kolvenv` does; `gone` leaves the shell in a removed directory; `json` runs a command and reads
// its output back with python3, an "item.key=value" line a leaf (texts bare, the rest as JSON).
const char* const kSetUp = R"(R=$PWD K=')" KOLVENV_PATH R"('
mkdir -p tmp inst/bin/adir inst/Linux_ix86/Python other/bin m.lck && mkdir -pm 500 ro
echo >other/bin/plain && echo >inst/bin/prog && chmod 755 inst/bin/prog
E="env -i HOME=. TMPDIR=tmp PATH=inst/bin:/usr/bin:/bin" && exec </dev/null >out 2>err
kolvenv() { $E "$K" "$@"; } && gone() { mkdir gone && cd gone && rmdir ../gone; }
json() { "$@" >"$R/json"; s=$?; cd "$R" && python3 -c '
import json, sys
def walk(k, v):
    kids = v.items() if type(v) == dict else enumerate(v) if type(v) == list else None
    if kids is None: return print(k[1:] + "=" + (v if type(v) == str else json.dumps(v)))
    for i, x in kids: walk(f"{k}.{i}", x)
walk("", dict(r := json.load(sys.stdin), **r.pop("items")))' <json; return $s; }
)";

// Each case, in turn in one sandbox: a shell command line, its exit status, errors and output
// (fnmatch patterns). A usage error is one line on standard error and exit status 2. The doctor's
// facts are read back from its JSON report. The preferences file sets a PathList and comes
// through every run untouched.
TEST(Kolvenv, StatusErrorsAndOutput) {
    TempDir box;
    const std::string login = getpwuid(getuid())->pw_name;
    const std::string content = "# the user's own\nPathList = extra\nOther = 1\n";
    WriteFile(box / "kolv_" + login + ".ini", content);
    const std::string version = std::to_string(KOLV_VERSION_MAJOR) + "." +
                                std::to_string(KOLV_VERSION_MINOR) + "." +
                                std::to_string(KOLV_VERSION_PATCH);
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"kolvenv info -h && kolvenv rand 5 --help && for c in doctor path which python lock "
         "header combo; do kolvenv $c --help | grep -c \"^usage: kolvenv $c \"; done",
         0, "",
         "usage: kolvenv info\n  print the architecture*separator\nusage: kolvenv rand *\n\n"
         "options:\n  --seed S  seed*\n1\n1\n1\n1\n1\n1\n1\n"},
        {"kolvenv info", 0, "",
         "architecture: Linux_ix86\nlogin name:   " + login + "\nseparator:    :\n"},
        {"kolvenv path --lines", 0, "", "extra\ninst/bin\n/usr/bin\n/bin\n"},
        {"kolvenv which adir", 0,
         "kolvenv which: warning: inst/bin/adir is a directory, not a program\n",
         "inst/bin/adir\n"},
        {"kolvenv which -", 1, "kolvenv which: -: not found along the search path\n", ""},
        {"kolvenv python prog -- env | LC_ALL=C sort", 0, "",
         "HOME=.\nKPYTHON=inst/Linux_ix86\nPATH=inst/bin:/usr/bin:/bin\n"
         "PYTHONHOME=inst/Linux_ix86/Python\nPYTHONPATH=.:inst/Linux_ix86\nTMPDIR=tmp\n"},
        {"kolvenv python prog -- nosuch", 127,
         "kolvenv python: cannot run 'nosuch': No such file or directory\n", ""},
        {"kolvenv python prog -- other/bin/plain", 126, "*'other/bin/plain': Permission denied\n",
         ""},
        {"gone && kolvenv python prog", 1,
         "kolvenv python: the library could not set the Python environment*\n", ""},
        {"kolvenv --version && kolvenv lock m.kdb && kolvenv combo 5 3 9 && kolvenv header 7 tn db",
         0, "", "kolvenv " + version + "\nm.lck\n2 3 4\n*Name : db *Number : 7 *Name : tn *"},
        {"kolvenv rand 0 && kolvenv rand && kolvenv rand --seed 12345 3", 0, "",
         Draws(std::minstd_rand(234567890), 1) + Draws(std::minstd_rand(12345), 3)},
        {"$E HOME=/none $K path", 1,
         "*\nkolvenv path: no home directory could be established (File not ready); run*", "*"},
        {"kolvenv", 2, "kolvenv: no subcommand given (see 'kolvenv --help')\n", ""},
        {"kolvenv nosuch", 2, "kolvenv: unknown subcommand 'nosuch' (see 'kolvenv --help')\n", ""},
        {"kolvenv doctor --bogus", 2,
         "kolvenv doctor: unknown option '--bogus' (see 'kolvenv doctor --help')\n", ""},
        {"kolvenv python prog x", 2, "*unexpected argument 'x'*", ""},
        {"kolvenv combo 5 3 10", 2,
         "*invalid M '10': there are fewer subsets of 3 out of 5 elements*", ""},
        {"kolvenv rand --seed 1x", 2, "*invalid S '1x'*", ""},
        {"kolvenv rand 1 2", 2, "*unexpected argument '2'*", ""},
        {"kolvenv doctor --program", 2, "*option '--program' needs a value PATH*", ""},
        {"kolvenv combo 0 0 0", 0, "", "\n"},
        {"json kolvenv doctor --program prog --json", 0, "",
         "status=OK\n*version.version=" + version + "\n*login.uid=" + std::to_string(getuid()) +
             "\n*home.check_dir=true\n*tmp.path=tmp\ntmp.check_dir=true\n*preferences.existed="
             "true\n"
             "preferences.path_list=extra\npreferences.created=false\n*"
             "search_path.env_path=inst/bin:/usr/bin:/bin\n"
             "search_path.value=extra:inst/bin:/usr/bin:/bin\nsearch_path.entries.0=extra\n*"
             "installation.program=prog\ninstallation.found_as=inst/bin/prog\n"
             "installation.directory=inst/\n*python.PYTHONPATH=.:inst/Linux_ix86\n*"},
        {"gone && json $E HOME=/none KHOME=rel/x TMPDIR=ro $K doctor --json --program prog", 1, "",
         "status=PROBLEM\n*home.check_dir=null\n*home.problems.0=the library raised CFileNotReady "
         "(File not ready): no home directory could be established\nhome.problems.1=KHOME is "
         "passed over: rel/x: stat fails (No such file or directory)\n*"
         "home.messages.6.function=LNewException\n*"
         "tmp.check_dir=false\n*"
         "tmp.messages.0.text=The TMPDIR or TMP environment variable is set to:\n\tro\n*"
         "search_path.entries=null\n*installation.directory=null\n"
         "installation.problems.0=the working directory cannot be had: *python.set=false\n*"},
        {"$E HOME=tmp KHOME=ro PATH=/usr/bin::/bin: $K doctor --program other/bin/plain", 0, "",
         "*KHOME is passed over: ro: its mode 0500 lacks the owner's write permission\n*"
         "created: yes\n*the search path holds an empty entry*PATH ends in ':'*"
         "the library accepts /*"
         "/other/bin/plain by its owner-execute bit, but the current user may not run it "
         "(Permission denied)\n*PYTHONPATH: .:/*/other/Linux_ix86\n*"
         "no Python installation at PYTHONHOME /*\n\n"
         "WARNING: 0 item(s) with problems, 4 with warnings (exit status 0)\n"},
        {"mkdir other/kolv_" + login + ".ini && $E HOME=other PATH= $K doctor --program prog", 1,
         "",
         "*PROBLEM: the library could not read the file\n*"
         "WARNING: the search path is empty: programs are found only by a path\n*"},
        {"cat kolv_*.ini", 0, "", content},  // after every run above
    };
    for (const auto& [line, status, err, out] : cases) {
        // Run in the sandbox directory.
        const int gotStatus = std::system(("cd '" + box.Path() + "' && " + kSetUp + line).c_str());
        const std::string gotOut = ReadFile(box / "out"), gotErr = ReadFile(box / "err");
        EXPECT_EQ(WEXITSTATUS(gotStatus), status) << line;
        EXPECT_EQ(fnmatch(err.c_str(), gotErr.c_str(), 0), 0) << line << "\n" << gotErr;
        EXPECT_EQ(fnmatch(out.c_str(), gotOut.c_str(), 0), 0) << line << "\n" << gotOut;
        EXPECT_TRUE(status != 2 || gotErr.find('\n') + 1 == gotErr.size()) << line;
    }
}
