// The system's own answers on logins, directories and programs (SystemFacts.h).

#include "SystemFacts.h"

#include <OSUtil.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "PathText.h"

namespace kolvenv {

namespace {

// The words of the accesses among modes (R_OK, W_OK, X_OK) that access()
// denies, joined by " or "; "" when all are granted.
std::string DeniedAccesses(const std::string& path, int modes, const char* executeWord) {
    const struct {
        int mode;
        const char* word;
    } kAccesses[] = {{R_OK, "read"}, {W_OK, "write to"}, {X_OK, executeWord}};
    std::vector<std::string> denied;
    for (const auto& access_ : kAccesses) {
        if ((modes & access_.mode) != 0 && access(path.c_str(), access_.mode) != 0) {
            denied.push_back(access_.word + std::string(" (") + std::strerror(errno) + ")");
        }
    }
    return kolv::JoinList(denied, " or ");
}

}  // namespace

bool LoginName(std::string& name) {
    char buffer[256];
    unsigned long length = sizeof buffer;
    if (COSUtil::getusername(buffer, &length) != 1) {
        return false;
    }
    name.assign(buffer, length);
    return true;
}

std::string PasswordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string HomeRuleRefusal(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return std::string("stat fails (") + std::strerror(errno) + ")";
    }
    std::vector<const char*> missing;
    for (const auto& [bit, word] : {std::pair<mode_t, const char*>{S_IRUSR, "read"},
                                    {S_IWUSR, "write"},
                                    {S_IXUSR, "execute"}}) {
        if ((status.st_mode & bit) == 0) {
            missing.push_back(word);
        }
    }
    if (missing.empty()) {
        return "";
    }
    char mode[8];
    // Four octal digits and the NUL fit.
    (void)std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    return std::string("its mode ") + mode + " lacks the owner's " + kolv::JoinList(missing, ", ") +
           " permission";
}

std::string DirectoryAccessWarning(const std::string& dir) {
    const std::string denied = DeniedAccesses(dir, R_OK | W_OK | X_OK, "enter");
    if (denied.empty()) {
        return "";
    }
    return "the library accepts it by its owner's permission bits, but the current user may "
           "not " +
           denied;
}

std::vector<std::string> ProgramWarnings(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return {"the program " + path + " cannot be examined (" + std::strerror(errno) +
                "): the library derives the installation from the path text alone"};
    }
    std::vector<std::string> warnings;
    if (S_ISDIR(status.st_mode)) {
        warnings.push_back(path + " is a directory, not a program");
    }
    const std::string denied = DeniedAccesses(path, X_OK, "run it");
    if (!denied.empty() && !S_ISDIR(status.st_mode)) {
        warnings.push_back("the library accepts " + path +
                           " by its owner-execute bit, but the current user may not " + denied);
    }
    return warnings;
}

}  // namespace kolvenv
