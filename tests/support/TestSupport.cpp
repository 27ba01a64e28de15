// TestSupport.cpp: the guards and file helpers of TestSupport.h. A set-up
// step that fails throws, so that no test runs on a half-built fixture.

#include "TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Require(bool done, const std::string& what) {
    if (!done)
        throw std::runtime_error("cannot " + what);
}

}  // namespace

EnvGuard::~EnvGuard() {
    for (const auto& [name, value] : m_saved)
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
}

EnvGuard& EnvGuard::Set(const std::string& name, const std::optional<std::string>& value) {
    const char* earlier = std::getenv(name.c_str());
    m_saved.emplace(name, earlier ? std::optional<std::string>(earlier) : std::nullopt);
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    return *this;
}

std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "<unset>";
}

CwdGuard::CwdGuard(const std::string& dir) {
    Require(chdir(dir.c_str()) == 0, "change the working directory to " + dir);
}

TempDir::TempDir() : m_path(std::filesystem::temp_directory_path() / "kolvtest.XXXXXX") {
    Require(mkdtemp(&m_path[0]) != nullptr, "make a temporary directory");
}

TempDir::~TempDir() {
    // Give every directory its owner bits back so that removal can enter it.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error))
            chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(m_path, error);
}

void WriteFile(const std::string& path, const std::string& content, mode_t mode) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    out.close();
    Require(out && chmod(path.c_str(), mode) == 0, "write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void MakeDir(const std::string& path, mode_t mode) {
    Require(mkdir(path.c_str(), 0700) == 0 && chmod(path.c_str(), mode) == 0, "make " + path);
}
