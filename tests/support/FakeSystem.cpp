// FakeSystem.cpp: a system that kolvenv's tests preload into kolvenv (LD_PRELOAD) to show how
// the doctor reports what no healthy machine of ours shows: a user id without a password entry,
// a system the library does not know, and access() denying the current user everything.

#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

struct passwd;

extern "C" {

__attribute__((visibility("default"))) passwd* getpwuid(uid_t /*uid*/) {
    return nullptr;
}

__attribute__((visibility("default"))) int uname(utsname* names) {
    std::memset(names, 0, sizeof *names);
    std::strcpy(names->sysname, "Elsewhere");
    return 0;
}

__attribute__((visibility("default"))) int access(const char* /*path*/, int /*mode*/) {
    errno = EACCES;
    return -1;
}

}  // extern "C"
