#include "TestSupport.h"

#include <Rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

EnvGuard::~EnvGuard() {
    for (const auto& [name, value] : m_saved) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}

void EnvGuard::Remember(const std::string& name) {
    if (m_saved.count(name) == 0) {
        const char* value = std::getenv(name.c_str());
        m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
}

EnvGuard& EnvGuard::Set(const std::string& name, const std::string& value) {
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
    return *this;
}

EnvGuard& EnvGuard::Unset(const std::string& name) {
    Remember(name);
    unsetenv(name.c_str());
    return *this;
}

std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "<unset>";
}

CwdGuard::CwdGuard(const std::string& dir) {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr || chdir(dir.c_str()) != 0) {
        throw std::runtime_error("cannot change the working directory to " + dir);
    }
    m_previous = buffer;
}

CwdGuard::~CwdGuard() {
    if (chdir(m_previous.c_str()) != 0) {
        std::abort();
    }
}

SeedGuard::SeedGuard() : m_saved(CRand::lSeed) {}
SeedGuard::~SeedGuard() {
    CRand::lSeed = m_saved;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kolvtest.XXXXXX").string();
    if (mkdtemp(&pattern[0]) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
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

void WriteFile(const std::string& path, const std::string& content, mode_t mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out || chmod(path.c_str(), mode) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void MakeDir(const std::string& path, mode_t mode) {
    if (mkdir(path.c_str(), 0700) != 0 || chmod(path.c_str(), mode) != 0) {
        throw std::runtime_error("cannot make directory " + path);
    }
}
