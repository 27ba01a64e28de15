// kolvenv doctor: runs the library's environment set-up in eight checks, each
// an item of the report with the library's messages next to it.

#include <InitFile.h>
#include <KolvErr.h>
#include <OSUtil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "Commands.h"
#include "LibraryMessages.h"
#include "PathText.h"
#include "Report.h"
#include "SystemFacts.h"

namespace kolvenv {

namespace {

// The value of an environment variable; null when it is not set.
Value EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? Value(std::string(value)) : Value(nullptr);
}

// The text, or null for the empty text by which the library says "none".
Value TextOrNull(const std::string& text) {
    return text.empty() ? Value(nullptr) : Value(text);
}

bool IsDirectory(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// Runs one call of the library with its messages recorded for the item. A
// CFileNotReady or any other exception becomes a problem of the item; false
// then.
template <class Step>
bool RunStep(Item& item, Step step) {
    MessageCapture capture;
    bool finished = false;
    try {
        step();
        finished = true;
    } catch (const CFileNotReady& error) {
        item.problems.push_back(std::string("the library raised CFileNotReady (") + error.what() +
                                "): no home directory could be established");
    } catch (const std::exception& error) {
        item.problems.push_back(std::string("the library raised an exception: ") + error.what());
    } catch (...) {
        item.problems.push_back("the library raised an exception of unknown type");
    }
    std::vector<LibraryMessage> messages = capture.Take();
    item.messages.insert(item.messages.end(), messages.begin(), messages.end());
    return finished;
}

// The fact check_dir, the library's verdict on dir as the kind directory: a
// problem when it rejects dir, else a warning when access() denies the
// current user what the owner's permission bits allow.
void AddDirectoryVerdict(Item& item, const std::string& dir, const char* kind, bool usable) {
    item.Add("check_dir", usable);
    if (!usable) {
        item.problems.push_back(std::string("the library's directory check rejects it as the ") +
                                kind + " directory");
    } else {
        item.Warn(DirectoryAccessWarning(dir));
    }
}

// ----- The checks ------------------------------------------------------------------

Item CheckVersion() {
    Item item("version", "library version and architecture");
    int major = 0;
    int minor = 0;
    int release = 0;
    GetKolvUtilVersion(&major, &minor, &release);
    const std::string arch = COSUtil::ArchName();
    item.Add("version",
             std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release));
    item.Add("architecture", arch);
    if (arch == "UNKNOWN") {
        item.Warn(
            "the system is not one the library knows: the Python platform directory "
            "is named UNKNOWN");
    }
    return item;
}

Item CheckLogin() {
    Item item("login", "login name");
    std::string name;
    const bool known = LoginName(name);
    item.Add("name", known ? Value(name) : Value(nullptr));
    item.Add("uid", static_cast<long long>(getuid()));
    if (!known) {
        item.Warn("the library finds no login name for user id " + std::to_string(getuid()) +
                  " (no password entry): it does without the preferences file");
    }
    return item;
}

// Why each candidate variable of the home directory is passed over; a
// problem for every candidate when none serves.
void ExplainHomeCandidates(Item& item, const std::string& chosen) {
    for (const char* variable : {"KHOME", "HOME"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && chosen == value) {
            return;  // the first candidate that serves ends the search
        }
        const std::string refusal =
            value == nullptr ? "it is not set" : value + std::string(": ") + HomeRuleRefusal(value);
        const std::string text = std::string(variable) + " is passed over: " + refusal;
        if (chosen.empty()) {
            item.problems.push_back(text);
        } else if (value != nullptr) {
            item.Warn(text);
        }
    }
}

// The repair advice when no home directory can be established: the home
// directory of the password entry, if the library would accept it.
void AdviseHome(Item& item) {
    const std::string passwdHome = PasswordHome();
    const std::string refusal = passwdHome.empty() ? "" : HomeRuleRefusal(passwdHome);
    const bool serves = !passwdHome.empty() && refusal.empty();
    item.Add("suggested_khome", serves ? Value(passwdHome) : Value(nullptr));
    if (serves) {
        item.repair.push_back("set KHOME to the home directory of your password entry:");
        item.repair.push_back("  export KHOME=" + passwdHome);
        return;
    }
    item.repair.push_back(passwdHome.empty()
                              ? "your user id has no password entry to take a home directory from"
                              : "the home directory of your password entry, " + passwdHome +
                                    ", would not serve either (" + refusal + ")");
    item.repair.push_back("create a directory with mode 0700 and set KHOME to it");
}

Item CheckHome(bool& established) {
    Item item("home", "home directory");
    item.Add("env_khome", EnvValue("KHOME"));
    item.Add("env_home", EnvValue("HOME"));
    std::string home;
    established = RunStep(item, [&] { home = COSUtil::GetHomeDir(); });
    item.Add("path", established ? Value(home) : Value(nullptr));
    ExplainHomeCandidates(item, home);
    if (!established) {
        item.Add("check_dir", nullptr);
        AdviseHome(item);
        return item;
    }
    int usable = 0;
    RunStep(item, [&] { usable = COSUtil::CheckDir(home, "home"); });
    AddDirectoryVerdict(item, home, "home", usable == 1);
    item.Add("suggested_khome", nullptr);
    return item;
}

Item CheckTmp() {
    Item item("tmp", "temporary directory");
    for (const char* variable : {"KTMP", "TMPDIR", "TMP"}) {
        std::string key = variable;
        std::transform(key.begin(), key.end(), key.begin(), ::tolower);
        item.Add("env_" + key, EnvValue(variable));
    }
    std::string tmp;
    int usable = 0;
    RunStep(item, [&] {
        tmp = COSUtil::GetTmpDir();
        usable = COSUtil::CheckDir(tmp, "temporary");
    });
    item.Add("path", tmp);
    AddDirectoryVerdict(item, tmp, "temporary", usable == 1);
    return item;
}

constexpr const char* kNeedsHome = "not established: it depends on the home directory";

// The preferences file the library names; none without a home directory (a
// problem) or without a login name (a warning).
std::optional<std::string> PreferencesPath(Item& item, bool homeEstablished) {
    if (!homeEstablished) {
        item.problems.push_back(kNeedsHome);
        return std::nullopt;
    }
    std::string path;
    RunStep(item, [&] { path = COSUtil::GetInitFile(); });
    if (!path.empty()) {
        return path;
    }
    if (item.problems.empty()) {
        item.Warn("no login name: the library does without the preferences file");
    }
    return std::nullopt;
}

// The key's setting in the file, none when no line sets it; read turns false
// when the file cannot be read.
std::optional<std::string> Setting(CInitFile& file, std::string key, bool& read) {
    // Get leaves the value alone when no line sets the key, and the values it
    // gives are trimmed: a lone line feed is never one of them.
    const std::string kUnset = "\n";
    std::string value = kUnset;
    read = file.Get(key, value);
    return value != kUnset ? std::optional(value) : std::nullopt;
}

bool Exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

// As the library sees it: it creates a missing or empty file.
bool HasContent(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && status.st_size != 0;
}

// Opens the preferences file as the library does and reads its PathList.
void ReadPreferences(Item& item, std::string path) {
    const bool existed = HasContent(path);
    std::optional<std::string> pathList;
    bool read = false;
    RunStep(item, [&] {
        CInitFile file(path, false);  // never forced: that would wipe the user's file
        pathList = Setting(file, "PathList", read);
    });
    const bool exists = Exists(path);
    item.Add("existed", existed);
    item.Add("path_list", OrNull(pathList));
    item.Add("created", !existed && exists);
    if (!exists) {
        item.problems.push_back("the file is missing and the library could not create it");
    } else if (!read) {
        item.problems.push_back("the library could not read the file");
    }
}

Item CheckPreferences(bool homeEstablished) {
    Item item("preferences", "preferences file");
    const std::optional<std::string> path = PreferencesPath(item, homeEstablished);
    item.Add("path", OrNull(path));
    if (path) {
        ReadPreferences(item, *path);
    } else {
        item.Add("existed", nullptr);
        item.Add("path_list", nullptr);
        item.Add("created", false);
    }
    return item;
}

// The search path the library composes; none when it cannot.
std::optional<std::string> ComposedSearchPath(Item& item, bool homeEstablished) {
    if (!homeEstablished) {
        item.problems.push_back(kNeedsHome + std::string(" (the preferences file comes first)"));
        return std::nullopt;
    }
    std::string searchPath;
    if (!RunStep(item, [&] { searchPath = COSUtil::GetUserPATH(); })) {
        return std::nullopt;
    }
    return searchPath;
}

// Where the library reads the search path otherwise than a shell would.
void WarnAboutSearchPath(Item& item, const List& entries) {
    if (entries.empty()) {
        item.Warn("the search path is empty: programs are found only by a path");
    }
    if (std::find(entries.begin(), entries.end(), "") != entries.end()) {
        item.Warn(
            "the search path holds an empty entry (from an empty PATH entry, a '/' entry "
            "or the preferences file): the library's search reads it as the root "
            "directory '/', a shell as the current directory");
    }
    const char* path = std::getenv("PATH");
    if (path != nullptr && kolv::EndsWith(path, ":")) {
        item.Warn(
            "PATH ends in ':': a shell reads the empty last entry as the current "
            "directory, the library drops it");
    }
}

Item CheckSearchPath(bool homeEstablished) {
    Item item("search_path", "search path");
    item.Add("env_path", EnvValue("PATH"));
    const std::optional<std::string> searchPath = ComposedSearchPath(item, homeEstablished);
    item.Add("value", OrNull(searchPath));
    if (!searchPath) {
        item.Add("entries", nullptr);
        return item;
    }
    const List entries = kolv::SplitList(*searchPath, COSUtil::GetSeparator());
    item.Add("entries", entries);
    WarnAboutSearchPath(item, entries);
    return item;
}

// Finds the installation from the working directory as the library does.
void LocateInstallation(Item& item, const std::string& program, std::string workingDir) {
    std::string foundAs = program;
    std::string dir;
    const bool finished =
        RunStep(item, [&] { dir = COSUtil::FindInstallation(foundAs, workingDir); });
    item.Add("found_as", finished ? Value(foundAs) : Value(nullptr));
    item.Add("directory", TextOrNull(dir));
    if (!finished) {
        return;
    }
    if (dir.empty()) {
        item.problems.push_back(
            "the program is found neither under the working directory nor along the search "
            "path: the library then takes the architecture name alone as the platform "
            "directory");
        return;
    }
    const std::string file = COSUtil::FromRoot(foundAs) ? foundAs : workingDir + "/" + foundAs;
    for (const std::string& warning : ProgramWarnings(file)) {
        item.Warn(warning);
    }
}

Item CheckInstallation(const std::string& program) {
    Item item("installation", "installation directory");
    item.Add("program", program);
    std::string workingDir;
    if (kolv::WorkingDirectory(workingDir)) {
        LocateInstallation(item, program, workingDir);
        return item;
    }
    // Without a working directory the library's Python set-up stops before
    // it looks for the installation.
    item.problems.push_back(std::string("the working directory cannot be had: ") +
                            std::strerror(errno));
    item.Add("found_as", nullptr);
    item.Add("directory", nullptr);
    return item;
}

Item CheckPython(const std::string& program) {
    Item item("python", "Python environment");
    item.Add("env_pythonpath", EnvValue("PYTHONPATH"));
    std::string programCopy = program;
    bool set = false;
    const bool finished = RunStep(item, [&] { set = COSUtil::SetupPython(programCopy); });
    item.Add("set", finished ? Value(set) : Value(nullptr));
    for (const char* variable : {"PYTHONPATH", "PYTHONHOME", "KPYTHON"}) {
        item.Add(variable, set ? EnvValue(variable) : Value(nullptr));
    }
    if (finished && !set) {
        item.problems.push_back(
            "the library could not set the variables (no working directory, or putenv failed)");
    }
    const char* pythonHome = std::getenv("PYTHONHOME");
    if (set && pythonHome != nullptr && !IsDirectory(pythonHome)) {
        item.Warn(std::string("no Python installation at PYTHONHOME ") + pythonHome);
    }
    return item;
}

// ----- The command -----------------------------------------------------------------

struct DoctorOptions {
    std::string program = StartedAs();
    bool json = false;
};

DoctorOptions ParseOptions(const Args& args) {
    DoctorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            options.json = true;
        } else if (args[i] == "--program") {
            if (i + 1 == args.size()) {
                throw UsageError("option '--program' needs a value PATH");
            }
            options.program = args[++i];
        } else if (IsOption(args[i])) {
            throw UsageError("unknown option '" + args[i] + "'");
        } else {
            throw UsageError("unexpected argument '" + args[i] + "'");
        }
    }
    return options;
}

// Every check, in the order of the library's own set-up.
std::vector<Item> CheckAll(const std::string& program) {
    bool homeEstablished = false;
    std::vector<Item> items;
    items.push_back(CheckVersion());
    items.push_back(CheckLogin());
    items.push_back(CheckHome(homeEstablished));
    items.push_back(CheckTmp());
    items.push_back(CheckPreferences(homeEstablished));
    items.push_back(CheckSearchPath(homeEstablished));
    items.push_back(CheckInstallation(program));
    items.push_back(CheckPython(program));
    return items;
}

}  // namespace

int Doctor(const Args& args) {
    const DoctorOptions options = ParseOptions(args);
    const std::vector<Item> items = CheckAll(options.program);
    const std::string report = options.json ? FormatJson(items) : FormatText(items);
    std::fputs(report.c_str(), stdout);
    return ExitStatus(items);
}

}  // namespace kolvenv
