// kolvclient: a client of the installed KolvUtil that calls it and catches the
// exception family by type across the library boundary; exits 0 when all holds.

#include <KolvUtil.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

static int failures = 0;

static void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "kolvclient: FAILED: %s\n", what);
        ++failures;
    }
}

int main() {
    int major = 0, minor = 0, release = -1;
    GetKolvUtilVersion(&major, &minor, &release);
    // KOLVUTIL_VERSION: the version of the package the build found.
    Check(std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release) ==
              KOLVUTIL_VERSION,
          "the version of the package found");
    Check(COSUtil::GetSeparator() == ':', "list separator");

    // With no usable home directory the library raises CFileNotReady; each
    // level of the family catches it by type.
    unsetenv("KHOME");
    unsetenv("HOME");
    try {
        COSUtil::GetHomeDir();
        Check(false, "GetHomeDir throws without a home directory");
    } catch (const CFileNotReady& e) {
        Check(std::string(e.what()) == "File not ready", "CFileNotReady::what()");
    }
    try {
        COSUtil::GetInitFile();
        Check(false, "GetInitFile throws without a home directory");
    } catch (const CEngErr&) {
    }
    try {
        COSUtil::GetUserPATH();
        Check(false, "GetUserPATH throws without a home directory");
    } catch (const CKolvErr& e) {
        Check(e.nLine > 0 && std::string(e.pszFile) == "../OSUtil", "raise site recorded");
    }
    try {
        COSUtil::GetHomeDir();
    } catch (const std::exception&) {
    }

    std::printf("kolvclient: %s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures == 0 ? 0 : 1;
}
