// FakeSystem.cpp: a system that kolvenv's tests preload into kolvenv (LD_PRELOAD) to show how
// the doctor reports what no healthy machine of ours shows: access() denying the current user
// everything, and a password entry of the test's choosing: none, unless FAKE_PASSWD_HOME names
// its home directory.

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern "C" {

__attribute__((visibility("default"))) passwd* getpwuid(uid_t /*uid*/) {
    static char name[] = "tester";
    static passwd entry = {};
    entry.pw_name = name;
    entry.pw_dir = std::getenv("FAKE_PASSWD_HOME");
    return entry.pw_dir != nullptr ? &entry : nullptr;
}

__attribute__((visibility("default"))) int access(const char* /*path*/, int /*mode*/) {
    errno = EACCES;
    return -1;
}

}  // extern "C"
