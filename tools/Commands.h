// Commands.h: the subcommands of kolvenv.
//
// A subcommand is one function taking its arguments (after the subcommand's
// name) and returning the exit status, plus one row in the table of
// Commands.cpp. Usage errors throw UsageError; main prints it on one line and
// exits 2.

#ifndef KOLVENV_COMMANDS_H
#define KOLVENV_COMMANDS_H

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace kolvenv {

using Args = std::vector<std::string>;

// Exit statuses.
constexpr int kOk = 0;
constexpr int kProblem = 1;
constexpr int kUsage = 2;
constexpr int kOutputLost = 3;  // standard output could not be written

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

// The path under which kolvenv was started (argv[0]); main sets it.
void SetStartedAs(const std::string& path);
const std::string& StartedAs();

// True for an argument that is an option: "-" followed by anything but a
// digit (so that negative numbers are arguments).
bool IsOption(const std::string& arg);

// Throws UsageError unless args holds no more than `most` arguments and no
// option other than --help.
void ExpectAtMost(const Args& args, std::size_t most);

// Throws UsageError unless args holds exactly one argument per name and no
// option; the message names the missing or surplus argument.
void ExpectExactly(const Args& args, std::initializer_list<const char*> names);

// The integer that text spells, from low to high; throws UsageError naming
// the argument otherwise.
long ParseInteger(const std::string& text, const char* name, long low, long high);

// The doctor (Doctor.cpp).
int Doctor(const Args& args);

}  // namespace kolvenv

#endif  // KOLVENV_COMMANDS_H
