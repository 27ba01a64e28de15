// Commands.h: the subcommands of kolvenv.
//
// A subcommand is one function taking its arguments (after the subcommand's
// name) and returning the exit status, plus one row in the table of
// Commands.cpp. Usage errors throw UsageError; main prints it and exits 2.

#ifndef KOLVENV_COMMANDS_H
#define KOLVENV_COMMANDS_H

#include <stdexcept>
#include <string>
#include <vector>

namespace kolvenv {

using Args = std::vector<std::string>;

// Exit statuses.
constexpr int kOk = 0;
constexpr int kProblem = 1;
constexpr int kUsage = 2;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Command {
    const char* name;
    const char* synopsis;  // the arguments, for the usage text
    const char* summary;   // one line
    const char* options;   // one line per option, or "" when it has none
    int (*run)(const Args& args);
};

// Every subcommand, in the order of the usage text.
const std::vector<Command>& AllCommands();

// Throws UsageError unless args holds no more than `most` arguments and no
// option other than --help.
void ExpectAtMost(const Args& args, std::size_t most);

}  // namespace kolvenv

#endif  // KOLVENV_COMMANDS_H
