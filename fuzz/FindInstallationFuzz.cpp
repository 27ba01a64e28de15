// COSUtil::FindInstallation with a fuzzed program path and base directory,
// in a temporary home directory with a fixed PATH that leads to an installed
// program. The result is empty or ends in '/'; the caller's program path
// holds no backslash afterwards; an absolute program gives the parent of its
// directory without looking at the disk; a program not found leaves its bare
// name behind; the installed program is found along PATH when the base
// directory does not hold it.

#include <OSUtil.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "TestSupport.h"

namespace {

// What stands before the last '/': the empty text when there is none.
std::string Cut(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

bool Exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

bool IsNonEmptyFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && status.st_size != 0 && !S_ISDIR(status.st_mode);
}

struct Setup {
    TempDir dir;
    std::string home = dir / "home";
    std::string path;

    // The program "kolv" installed in <dir>/kolv/bin, an empty one and a
    // directory beside it, and a PATH that holds that directory, a missing
    // one, an empty entry and a relative one.
    Setup() {
        MakeDir(home);
        MakeDir(dir / "kolv");
        MakeDir(dir / "kolv/bin");
        MakeDir(dir / "kolv/bin/lib");
        WriteFile(dir / "kolv/bin/kolv", "#!/bin/sh\n", 0755);
        WriteFile(dir / "kolv/bin/empty", "", 0755);
        path = dir / "missing:" + dir / "kolv/bin::bin";
    }
};

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    static Setup setup;
    const std::uint8_t choice = input.Byte();
    std::string baseDir = input.Text();
    const std::string original = input.Rest();
    switch (choice & 3) {
        case 0:
            baseDir = setup.dir.Path() + baseDir;
            break;
        case 1:
            baseDir = setup.home;
            break;
        case 2:
            baseDir = "/";
            break;
        default:
            break;  // the fuzzed text as it stands
    }

    EnvGuard env;
    env.Set("HOME", setup.home).Unset("KHOME").Set("PATH", setup.path);
    std::string program = original;
    const std::string base = baseDir;
    const std::string result = COSUtil::FindInstallation(program, baseDir);

    FUZZ_CHECK(baseDir == base);
    FUZZ_CHECK(result.empty() || result.back() == '/');
    FUZZ_CHECK(program.find('\\') == std::string::npos);
    std::string slashed = original;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const bool absolute = !slashed.empty() && slashed[0] == '/';
    if (absolute) {
        FUZZ_CHECK(program == slashed);
        FUZZ_CHECK(result == Cut(Cut(slashed)) + "/");
    }
    std::string bare = slashed.substr(slashed.rfind('/') + 1);
    bare.erase(std::min(bare.size(), bare.find('\0')));
    if (result.empty()) {
        FUZZ_CHECK(program == bare);
    }
    // "kolv" that is neither a file under the base directory nor in the
    // working directory is found along PATH.
    if (!absolute && bare == "kolv" && !IsNonEmptyFile(base + "/" + slashed) && !Exists("kolv")) {
        FUZZ_CHECK(program == setup.dir / "kolv/bin/kolv");
        FUZZ_CHECK(result == setup.dir / "kolv/");
    }
}
