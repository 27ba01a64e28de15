// SystemFacts.h: what the system says, next to what the library decides.
//
// The library accepts a directory by its owner's permission bits and a
// program by its owner-execute bit. These helpers ask the system what the
// current user can really do, so that kolvenv can warn where the two differ.

#ifndef KOLVENV_SYSTEMFACTS_H
#define KOLVENV_SYSTEMFACTS_H

#include <string>
#include <vector>

namespace kolvenv {

// The login name as the library has it (COSUtil::getusername); false when the
// library cannot get one.
bool LoginName(std::string& name);

// The home directory of the current user's password entry; "" when there is
// no entry.
std::string PasswordHome();

// Why the library's home-directory rule (the entry exists and its owner may
// read, write and enter it) passes over path, e.g. "its mode 0500 lacks the
// owner's write bit"; "" when the rule accepts it.
std::string HomeRuleRefusal(const std::string& path);

// A warning when access() denies the current user reading, writing or
// entering the directory that the library accepted; "" otherwise.
std::string DirectoryAccessWarning(const std::string& dir);

// Warnings about the program file at path, which the library accepted: it
// does not exist, is a directory, or the current user may not run it.
std::vector<std::string> ProgramWarnings(const std::string& path);

}  // namespace kolvenv

#endif  // KOLVENV_SYSTEMFACTS_H
