// kolvenv: runs the library's environment logic from the command line and
// says what it found.

#include <OSUtil.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "Commands.h"

namespace {

using kolvenv::AllCommands;
using kolvenv::Command;

void PrintUsage(std::FILE* stream) {
    std::fprintf(stream,
                 "usage: kolvenv [--version | --help] SUBCOMMAND [ARGS...]\n"
                 "       kolvenv SUBCOMMAND --help\n\nsubcommands:\n");
    for (const Command& command : AllCommands()) {
        std::fprintf(stream, "  %-8s %s\n", command.name, command.summary);
    }
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: kolvenv %s%s%s\n  %s\n", command.name, *command.synopsis != '\0' ? " " : "",
                command.synopsis, command.summary);
    if (*command.options != '\0') {
        std::printf("\noptions:\n%s", command.options);
    }
}

// A usage error: one line naming the bad argument.
int UsageFailure(const std::string& problem) {
    std::fprintf(stderr, "kolvenv: %s (see 'kolvenv --help')\n", problem.c_str());
    return kolvenv::kUsage;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : AllCommands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

static int Run(int argc, char** argv) {
    kolvenv::SetStartedAs(argc > 0 ? argv[0] : "kolvenv");
    if (argc < 2) {
        return UsageFailure("no subcommand given");
    }
    const std::string first = argv[1];
    if (first == "--version") {
        int major = 0;
        int minor = 0;
        int release = 0;
        GetKolvUtilVersion(&major, &minor, &release);
        std::printf("kolvenv %d.%d.%d\n", major, minor, release);
        return kolvenv::kOk;
    }
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return kolvenv::kOk;
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) {
        return UsageFailure("unknown subcommand '" + first + "'");
    }
    const kolvenv::Args args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            PrintCommandHelp(*command);
            return kolvenv::kOk;
        }
    }
    try {
        return command->run(args);
    } catch (const kolvenv::UsageError& error) {
        std::fprintf(stderr, "kolvenv %s: %s (see 'kolvenv %s --help')\n", command->name,
                     error.what(), command->name);
        return kolvenv::kUsage;
    } catch (const CFileNotReady& error) {
        std::fprintf(stderr,
                     "kolvenv %s: no home directory could be established (%s); "
                     "run 'kolvenv doctor'\n",
                     command->name, error.what());
        return kolvenv::kProblem;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kolvenv %s: %s\n", command->name, error.what());
        return kolvenv::kProblem;
    }
}

// A report that could not be written (a full disk, a closed pipe) is no
// report: say so on standard error and fail, whatever the command found.
int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    std::fflush(stdout);  // a failure here sets the error indicator too
    if (std::ferror(stdout) != 0) {
        std::fprintf(stderr, "kolvenv: cannot write to standard output: %s\n",
                     std::strerror(errno));
        return kolvenv::kOutputLost;
    }
    return status;
}
