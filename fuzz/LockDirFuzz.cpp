// COSUtil::LockDirExist on a fuzzed path, often inside a temporary directory
// that holds a lock directory, a lock file and a dangling link. The result
// must be whether the lock path (the path cut at its first NUL, with a ".kdb"
// ending replaced by ".lck", else with ".lck" appended) exists, and the
// caller's path must be left as it was.

#include <OSUtil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "FuzzSupport.h"
#include "TestSupport.h"

namespace {

struct Setup {
    TempDir dir;

    Setup() {
        MakeDir(dir / "model.lck");
        WriteFile(dir / "data.lck", "");
        if (symlink((dir / "gone").c_str(), (dir / "dangling.lck").c_str()) != 0) {
            kolvfuzz::Fail("symlink", __FILE__, __LINE__);
        }
    }
};

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    static Setup setup;
    const bool inside = (input.Byte() & 1) == 0;
    const std::string original = inside ? setup.dir / input.Rest() : input.Rest();
    std::string path = original;
    const bool exists = COSUtil::LockDirExist(path);
    FUZZ_CHECK(path == original);

    std::string lock = original.substr(0, original.find('\0'));
    if (lock.size() >= 4 && lock.compare(lock.size() - 4, 4, ".kdb") == 0) {
        lock.erase(lock.size() - 4);
    }
    lock += ".lck";
    struct stat status;
    FUZZ_CHECK(exists == (stat(lock.c_str(), &status) == 0));
}
