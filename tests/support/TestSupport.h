// TestSupport.h: guards that restore what a test changes, and small file
// helpers, for the tests, the fuzz driver and the benchmarks. A set-up step
// that fails throws, so that no test runs on a half-built fixture.

#pragma once

#include <Rand.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

inline void Require(bool done, const std::string& what) {
    if (!done) {
        throw std::runtime_error("cannot " + what);
    }
}

// The guards and TempDir own what they restore or remove: not copyable (a
// deleted move assignment deletes the copy operations as well).
struct NoCopy {
    NoCopy& operator=(NoCopy&&) = delete;
};

// Sets and unsets environment variables; restores every variable it touched
// to its earlier value (or unset) when it goes.
class EnvGuard : NoCopy {
    std::map<std::string, std::optional<std::string>> m_saved;

public:
    ~EnvGuard() {
        for (const auto& [name, value] : m_saved) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    // Sets the variable, or unsets it for std::nullopt.
    void Set(const std::string& name, const std::optional<std::string>& value) {
        const char* earlier = std::getenv(name.c_str());
        m_saved.emplace(name,
                        earlier != nullptr ? std::optional<std::string>(earlier) : std::nullopt);
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    void Unset(const std::string& name) { Set(name, std::nullopt); }
};

// The value of an environment variable, or "<unset>".
inline std::string EnvValue(const char* name) {
    return std::getenv(name) != nullptr ? std::getenv(name) : "<unset>";
}

// Changes the working directory and changes it back when it goes.
struct CwdGuard : NoCopy {
    const std::filesystem::path previous = std::filesystem::current_path();

    explicit CwdGuard(const std::string& dir) { std::filesystem::current_path(dir); }
    ~CwdGuard() { std::filesystem::current_path(previous); }  // ends the program if it cannot
};

// Restores CRand::lSeed when it goes.
struct SeedGuard : NoCopy {
    const decltype(CRand::lSeed) saved = CRand::lSeed;

    ~SeedGuard() { CRand::lSeed = saved; }
};

// A fresh temporary directory, removed with all its contents when it goes.
class TempDir : NoCopy {
    std::string m_path = std::filesystem::temp_directory_path() / "kolvtest.XXXXXX";

public:
    TempDir() { Require(mkdtemp(m_path.data()) != nullptr, "make a temporary directory"); }
    ~TempDir() {
        // Give every directory its owner bits back so that removal can enter it.
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
             it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_directory(error)) {
                chmod(it->path().c_str(), 0700);
            }
        }
        std::filesystem::remove_all(m_path, error);
    }
    const std::string& Path() const { return m_path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }
};

// Writes a file (creating parent directories is the caller's business) and
// sets its mode.
inline void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::ofstream out(path, std::ios::binary);
    Require(static_cast<bool>(out << content << std::flush), "write " + path);
    Require(chmod(path.c_str(), mode) == 0, "set the mode of " + path);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void MakeDir(const std::string& path, mode_t mode = 0700) {
    Require(mkdir(path.c_str(), 0700) == 0, "make " + path);
    Require(chmod(path.c_str(), mode) == 0, "set the mode of " + path);
}
