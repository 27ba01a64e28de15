// TestSupport.h: guards that restore what a test changes, and small file
// helpers. Every test that changes the environment, the working directory or
// the random seed does it through one of these.

#ifndef KOLV_TEST_SUPPORT_H
#define KOLV_TEST_SUPPORT_H

#include <Rand.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

// The guards and TempDir own what they restore or remove: not copyable.
struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// Sets and unsets environment variables; restores every variable it touched
// to its earlier value (or unset) when it goes.
class EnvGuard : NoCopy {
public:
    ~EnvGuard();
    // Sets the variable, or unsets it for std::nullopt.
    EnvGuard& Set(const std::string& name, const std::optional<std::string>& value);
    EnvGuard& Unset(const std::string& name) { return Set(name, std::nullopt); }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

// The value of an environment variable, or "<unset>".
std::string EnvValue(const char* name);

// Changes the working directory and changes it back when it goes.
class CwdGuard : NoCopy {
public:
    explicit CwdGuard(const std::string& dir);
    ~CwdGuard() { std::filesystem::current_path(m_previous); }  // ends the program if it cannot

private:
    std::filesystem::path m_previous = std::filesystem::current_path();
};

// Restores CRand::lSeed when it goes.
class SeedGuard : NoCopy {
public:
    SeedGuard() : m_saved(CRand::lSeed) {}
    ~SeedGuard() { CRand::lSeed = m_saved; }

private:
    std::int32_t m_saved;
};

// A fresh temporary directory, removed with all its contents when it goes.
class TempDir : NoCopy {
public:
    TempDir();
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
