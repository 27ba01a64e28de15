// TestSupport.h: guards that restore what a test changes, and small file
// helpers. Every test that changes the environment, the working directory or
// the random seed does it through one of these.

#ifndef KOLV_TEST_SUPPORT_H
#define KOLV_TEST_SUPPORT_H

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Sets and unsets environment variables; restores every variable it touched
// to its earlier value (or unset) when it goes.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard();

    EnvGuard& Set(const std::string& name, const std::string& value);
    EnvGuard& Unset(const std::string& name);

private:
    void Remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> m_saved;
};

// The value of an environment variable, or "<unset>".
std::string EnvValue(const char* name);

// Changes the working directory and changes it back when it goes.
class CwdGuard {
public:
    explicit CwdGuard(const std::string& dir);
    CwdGuard(const CwdGuard&) = delete;
    CwdGuard& operator=(const CwdGuard&) = delete;
    ~CwdGuard();

private:
    std::string m_previous;
};

// Restores CRand::lSeed when it goes.
class SeedGuard {
public:
    SeedGuard();
    SeedGuard(const SeedGuard&) = delete;
    SeedGuard& operator=(const SeedGuard&) = delete;
    ~SeedGuard();

private:
    std::int32_t m_saved;
};

// A fresh temporary directory, removed with all its contents when it goes.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::string& Path() const { return m_path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

private:
    std::string m_path;
};

// Writes a file (creating parent directories is the caller's business) and
// sets its mode.
void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644);
std::string ReadFile(const std::string& path);
void MakeDir(const std::string& path, mode_t mode = 0700);

#endif  // KOLV_TEST_SUPPORT_H
