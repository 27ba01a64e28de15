// The subcommands of kolvenv, apart from the doctor.

#include "Commands.h"

#include <KUtil.h>
#include <OSUtil.h>
#include <Rand.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "LibraryMessages.h"
#include "PathText.h"
#include "SystemFacts.h"

namespace kolvenv {

namespace {

std::string g_startedAs;

}  // namespace

void SetStartedAs(const std::string& path) {
    g_startedAs = path;
}
const std::string& StartedAs() {
    return g_startedAs;
}

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && std::isdigit(static_cast<unsigned char>(arg[1])) == 0;
}

void ExpectAtMost(const Args& args, std::size_t most) {
    for (const std::string& arg : args) {
        if (IsOption(arg)) {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (args.size() > most) {
        throw UsageError("unexpected argument '" + args[most] + "'");
    }
}

void ExpectExactly(const Args& args, std::initializer_list<const char*> names) {
    ExpectAtMost(args, names.size());
    if (args.size() < names.size()) {
        throw UsageError(std::string("missing argument ") + names.begin()[args.size()]);
    }
}

long ParseInteger(const std::string& text, const char* name, long low, long high) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    const bool spelled = !text.empty() && !kolv::IsSpace(text[0]) && *end == '\0' && errno == 0;
    if (!spelled || value < low || value > high) {
        throw UsageError(std::string("invalid ") + name + " '" + text +
                         "': expected an integer from " + std::to_string(low) + " to " +
                         std::to_string(high));
    }
    return value;
}

namespace {

int Info(const Args& args) {
    ExpectAtMost(args, 0);
    std::string login;
    LoginName(login);
    std::printf("architecture: %s\n", COSUtil::ArchName().c_str());
    std::printf("login name:   %s\n", login.c_str());
    std::printf("separator:    %c\n", COSUtil::GetSeparator());
    return kOk;
}

int Path(const Args& args) {
    const bool lines = !args.empty() && args[0] == "--lines";
    ExpectAtMost(Args(args.begin() + (lines ? 1 : 0), args.end()), 0);
    const std::string searchPath = COSUtil::GetUserPATH();
    if (!lines) {
        std::printf("%s\n", searchPath.c_str());
        return kOk;
    }
    for (const std::string& dir : kolv::SplitList(searchPath, COSUtil::GetSeparator())) {
        std::printf("%s\n", dir.c_str());
    }
    return kOk;
}

int Which(const Args& args) {
    ExpectExactly(args, {"NAME"});
    std::string name = args[0];
    std::string searchPath = COSUtil::GetUserPATH();
    if (!COSUtil::FindExeInStringPATH(name, searchPath)) {
        std::fprintf(stderr, "kolvenv which: %s: not found along the search path\n",
                     args[0].c_str());
        return kProblem;
    }
    std::printf("%s\n", name.c_str());
    for (const std::string& warning : ProgramWarnings(name)) {
        std::fprintf(stderr, "kolvenv which: warning: %s\n", warning.c_str());
    }
    return kOk;
}

constexpr const char* kPythonVariables[] = {"PYTHONPATH", "PYTHONHOME", "KPYTHON"};

int Python(const Args& args) {
    const auto dashes = std::find(args.begin(), args.end(), "--");
    ExpectExactly(Args(args.begin(), dashes), {"PROGRAM"});
    const Args command(dashes == args.end() ? args.end() : dashes + 1, args.end());
    if (dashes != args.end() && command.empty()) {
        throw UsageError("missing COMMAND after '--'");
    }
    std::string program = args[0];
    if (!COSUtil::SetupPython(program)) {
        std::fprintf(stderr,
                     "kolvenv python: the library could not set the Python environment "
                     "(no working directory, or putenv failed)\n");
        return kProblem;
    }
    if (command.empty()) {
        for (const char* variable : kPythonVariables) {
            const char* value = std::getenv(variable);
            std::printf("%s=%s\n", variable, value != nullptr ? value : "");
        }
        return kOk;
    }
    // Run the command as env does: searched along PATH, with the environment
    // as the library left it.
    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    execvp(argv[0], argv.data());
    const int error = errno;
    std::fprintf(stderr, "kolvenv python: cannot run '%s': %s\n", argv[0], std::strerror(error));
    return error == ENOENT ? 127 : 126;
}

int Lock(const Args& args) {
    ExpectExactly(args, {"DBFILE"});
    std::string dbFile = args[0];
    const std::string lockPath = kolv::LockPathOf(dbFile);
    if (!COSUtil::LockDirExist(dbFile)) {
        std::fprintf(stderr, "kolvenv lock: %s is not locked (no %s)\n", args[0].c_str(),
                     lockPath.c_str());
        return kProblem;
    }
    std::printf("%s\n", lockPath.c_str());
    return kOk;
}

int Header(const Args& args) {
    ExpectExactly(args, {"TASK", "NAME", "DBFILE"});
    const long task = ParseInteger(args[0], "TASK", INT_MIN, INT_MAX);
    std::string name = args[1];
    std::string dbFile = args[2];
    CKUtil::DumpLogFileHeader(static_cast<int>(task), name, dbFile);
    return kOk;
}

int Combo(const Args& args) {
    ExpectExactly(args, {"N", "K", "M"});
    const int n = static_cast<int>(ParseInteger(args[0], "N", 0, INT_MAX));
    const int k = static_cast<int>(ParseInteger(args[1], "K", 0, n));
    const int m = static_cast<int>(ParseInteger(args[2], "M", 0, INT_MAX));
    std::valarray<int> combo;
    try {
        MessageCapture quiet;  // the library's report of a position past the end
        CKUtil::Combo(n, k, m, combo);
    } catch (const std::out_of_range&) {
        throw UsageError("invalid M '" + args[2] + "': there are fewer subsets of " + args[1] +
                         " out of " + args[0] + " elements");
    }
    // Element 0 is the library's sentinel -1; the members follow.
    std::vector<std::string> members;
    for (std::size_t i = 1; i < combo.size(); ++i) {
        members.push_back(std::to_string(combo[i]));
    }
    std::printf("%s\n", kolv::JoinList(members, " ").c_str());
    return kOk;
}

int Rand(const Args& args) {
    Args rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--seed") {
            rest.push_back(args[i]);
        } else if (i + 1 == args.size()) {
            throw UsageError("option '--seed' needs a value S");
        } else {
            const long seed = ParseInteger(args[++i], "S", INT_MIN, INT_MAX);
            CRand seeded(static_cast<int>(seed));
        }
    }
    ExpectAtMost(rest, 1);
    const long count = rest.empty() ? 1 : ParseInteger(rest[0], "COUNT", 0, INT_MAX);
    for (long i = 0; i < count; ++i) {
        std::printf("%.17g\n", CRand::Random());
    }
    return kOk;
}

}  // namespace

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"doctor", "[--program PATH] [--json]",
         "report every environment fact the library establishes, and what is wrong",
         "  --program PATH  the program whose installation to find (default: the path\n"
         "                  kolvenv was started under)\n"
         "  --json          print one JSON object with the same facts\n",
         Doctor},
        {"path", "[--lines]", "print the composed search path", "  --lines  one directory a line\n",
         Path},
        {"which", "NAME", "print where the library finds the program NAME along the search path",
         "", Which},
        {"python", "PROGRAM [-- COMMAND ARGS...]",
         "print the Python variables the library sets for PROGRAM, or run COMMAND with them",
         "  -- COMMAND ARGS...  run COMMAND (searched along PATH) with the variables set\n",
         Python},
        {"lock", "DBFILE", "print the lock path of DBFILE and exit 0 when it is locked, 1 if not",
         "", Lock},
        {"header", "TASK NAME DBFILE", "print the boxed log header of task number TASK", "",
         Header},
        {"combo", "N K M",
         "print the M-th (from 0) K-element subset of {0, ..., N-1} in lexicographic order", "",
         Combo},
        {"rand", "[--seed S] [COUNT]", "print COUNT (default 1) numbers of the random generator",
         "  --seed S  seed the generator with the integer S first\n", Rand},
        {"info", "", "print the architecture name, the login name and the list separator", "",
         Info},
    };
    return commands;
}

}  // namespace kolvenv
