// The subcommands of kolvenv.

#include "Commands.h"

#include <OSUtil.h>

#include <cstdio>

namespace kolvenv {

void ExpectAtMost(const Args& args, std::size_t most) {
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (args.size() > most) {
        throw UsageError("unexpected argument '" + args[most] + "'");
    }
}

namespace {

std::string LoginName() {
    char name[256];
    unsigned long length = sizeof name;
    return COSUtil::getusername(name, &length) == 1 ? std::string(name, length) : std::string();
}

int Info(const Args& args) {
    ExpectAtMost(args, 0);
    std::printf("architecture: %s\n", COSUtil::ArchName().c_str());
    std::printf("login name:   %s\n", LoginName().c_str());
    std::printf("separator:    %c\n", COSUtil::GetSeparator());
    return kOk;
}

}  // namespace

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"info", "", "print the architecture name, the login name and the list separator", "",
         Info},
    };
    return commands;
}

}  // namespace kolvenv
