// kolvenv doctor: runs the library's environment set-up item by item and
// reports what it found, with the library's own messages next to the item
// they belong to.

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
#include <variant>

#include "Commands.h"
#include "Json.h"
#include "LibraryMessages.h"
#include "PathText.h"
#include "SystemFacts.h"

namespace kolvenv {

namespace {

enum class Status { kOk, kWarning, kProblem };

const char* StatusName(Status status) {
    switch (status) {
        case Status::kOk:
            return "OK";
        case Status::kWarning:
            return "WARNING";
        case Status::kProblem:
            return "PROBLEM";
    }
    return "PROBLEM";
}

using List = std::vector<std::string>;
// A fact's value: absent (null), a yes/no, a number, a text or a list of texts.
using Value = std::variant<std::nullptr_t, bool, long long, std::string, List>;

struct Fact {
    std::string key;
    Value value;
};

// The value of an environment variable; null when it is not set.
Value EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? Value(std::string(value)) : Value(nullptr);
}

// The text, or null for an empty one.
Value TextOrNull(const std::string& text) {
    return text.empty() ? Value(nullptr) : Value(text);
}

// One item of the report.
struct Item {
    Item(const char* itemKey, const char* itemTitle) : key(itemKey), title(itemTitle) {}

    const char* key;
    const char* title;
    std::vector<Fact> facts;
    List problems;
    List warnings;
    List repair;  // lines of advice on how to put a problem right
    std::vector<LibraryMessage> messages;

    Status GetStatus() const {
        return !problems.empty()   ? Status::kProblem
               : !warnings.empty() ? Status::kWarning
                                   : Status::kOk;
    }
    void Add(const std::string& factKey, Value value) {
        facts.push_back({factKey, std::move(value)});
    }
    void Warn(const std::string& text) {
        if (!text.empty()) {
            warnings.push_back(text);
        }
    }
};

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

// ----- The items -------------------------------------------------------------------

Item CheckVersion() {
    Item item("version", "library version and architecture");
    int major = 0, minor = 0, release = 0;
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
    item.Add("check_dir", usable == 1);
    item.Add("suggested_khome", nullptr);
    if (usable != 1) {
        item.problems.push_back("the library's directory check rejects it as the home directory");
    } else {
        item.Warn(DirectoryAccessWarning(home));
    }
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
    item.Add("check_dir", usable == 1);
    if (usable != 1) {
        item.problems.push_back(
            "the library's directory check rejects it as the temporary directory");
    } else {
        item.Warn(DirectoryAccessWarning(tmp));
    }
    return item;
}

constexpr const char* kNeedsHome = "not established: it depends on the home directory";

Item CheckPreferences(bool homeEstablished) {
    Item item("preferences", "preferences file");
    std::string path;
    if (!homeEstablished) {
        item.problems.push_back(kNeedsHome);
    } else {
        RunStep(item, [&] { path = COSUtil::GetInitFile(); });
    }
    item.Add("path", TextOrNull(path));
    if (path.empty()) {
        item.Add("existed", nullptr);
        item.Add("path_list", nullptr);
        item.Add("created", false);
        if (homeEstablished && item.problems.empty()) {
            item.Warn("no login name: the library does without the preferences file");
        }
        return item;
    }
    // The library counts a missing or empty file as absent and creates it.
    struct stat status;
    const bool existed = stat(path.c_str(), &status) == 0 && status.st_size != 0;
    item.Add("existed", existed);
    // A line feed never survives in a value, so it marks "no PathList line".
    const std::string kNoSetting = "\n";
    std::string value = kNoSetting;
    bool read = false;
    RunStep(item, [&] {
        CInitFile file(path, false);
        std::string key = "PathList";
        read = file.Get(key, value);
    });
    item.Add("path_list", value == kNoSetting ? Value(nullptr) : Value(value));
    const bool exists = stat(path.c_str(), &status) == 0;
    item.Add("created", !existed && exists);
    if (!exists) {
        item.problems.push_back("the file is missing and the library could not create it");
    } else if (!read) {
        item.problems.push_back("the library could not read the file");
    }
    return item;
}

Item CheckSearchPath(bool homeEstablished) {
    Item item("search_path", "search path");
    item.Add("env_path", EnvValue("PATH"));
    std::string searchPath;
    if (!homeEstablished) {
        item.problems.push_back(kNeedsHome + std::string(" (the preferences file comes first)"));
    } else {
        homeEstablished = RunStep(item, [&] { searchPath = COSUtil::GetUserPATH(); });
    }
    if (!homeEstablished) {
        item.Add("value", nullptr);
        item.Add("entries", nullptr);
        return item;
    }
    const List entries = kolv::SplitList(searchPath, COSUtil::GetSeparator());
    item.Add("value", searchPath);
    item.Add("entries", entries);
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
    if (path != nullptr && *path != '\0' && path[std::strlen(path) - 1] == ':') {
        item.Warn(
            "PATH ends in ':': a shell reads the empty last entry as the current "
            "directory, the library drops it");
    }
    return item;
}

Item CheckInstallation(const std::string& program) {
    Item item("installation", "installation directory");
    std::string foundAs = program;
    std::string workingDir;
    std::string dir;
    // Without a working directory the library's Python set-up stops before
    // it looks for the installation.
    const bool hasWorkingDir = kolv::WorkingDirectory(workingDir);
    if (!hasWorkingDir) {
        item.problems.push_back(std::string("the working directory cannot be had: ") +
                                std::strerror(errno));
    }
    const bool finished = hasWorkingDir && RunStep(item, [&] {
                              dir = COSUtil::FindInstallation(foundAs, workingDir);
                          });
    item.Add("program", program);
    item.Add("found_as", finished ? Value(foundAs) : Value(nullptr));
    item.Add("directory", TextOrNull(dir));
    if (!finished) {
        return item;
    }
    if (dir.empty()) {
        item.problems.push_back(
            "the program is found neither under the working directory nor along the search "
            "path: the library then takes the architecture name alone as the platform "
            "directory");
        return item;
    }
    const std::string file = COSUtil::FromRoot(foundAs) ? foundAs : workingDir + "/" + foundAs;
    for (const std::string& warning : ProgramWarnings(file)) {
        item.Warn(warning);
    }
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
    struct stat status;
    if (set && pythonHome != nullptr &&
        (stat(pythonHome, &status) != 0 || !S_ISDIR(status.st_mode))) {
        item.Warn(std::string("no Python installation at PYTHONHOME ") + pythonHome);
    }
    return item;
}

// ----- Output --------------------------------------------------------------------

// How the values of facts are spelled in one output form.
struct Spelling {
    const char* null;
    const char* yes;
    const char* no;
    std::string (*text)(const std::string&);
    const char* listOpen;
    const char* listFirst;      // before the first element
    const char* listSeparator;  // before each later element
    const char* listClose;
};

std::string AsIs(const std::string& text) {
    return text;
}

const Spelling kJsonSpelling = {"null", "true", "false", JsonString, "[", "", ", ", "]"};
const Spelling kTextSpelling = {"(none)", "yes", "no", AsIs, "", "\n      - ", "\n      - ", ""};

std::string Spell(const Value& value, const Spelling& spelling) {
    if (std::holds_alternative<std::nullptr_t>(value)) {
        return spelling.null;
    }
    if (const bool* flag = std::get_if<bool>(&value)) {
        return *flag ? spelling.yes : spelling.no;
    }
    if (const long long* number = std::get_if<long long>(&value)) {
        return std::to_string(*number);
    }
    if (const std::string* text = std::get_if<std::string>(&value)) {
        return spelling.text(*text);
    }
    std::string out = spelling.listOpen;
    const List& texts = std::get<List>(value);
    for (const std::string& text : texts) {
        out += &text == &texts.front() ? spelling.listFirst : spelling.listSeparator;
        out += spelling.text(text);
    }
    return out + spelling.listClose;
}

std::string JsonValue(const Value& value) {
    return Spell(value, kJsonSpelling);
}

std::string JsonList(const List& texts) {
    return JsonValue(Value(texts));
}

void PrintJson(const std::vector<Item>& items, Status worst, int exitStatus) {
    std::printf("{\n  \"status\": \"%s\",\n  \"exit_status\": %d,\n  \"items\": {",
                StatusName(worst), exitStatus);
    for (const Item& item : items) {
        std::printf("%s\n    %s: {\n      \"status\": \"%s\",\n      \"title\": %s,",
                    &item == &items.front() ? "" : ",", JsonString(item.key).c_str(),
                    StatusName(item.GetStatus()), JsonString(item.title).c_str());
        for (const Fact& fact : item.facts) {
            std::printf("\n      %s: %s,", JsonString(fact.key).c_str(),
                        JsonValue(fact.value).c_str());
        }
        std::printf("\n      \"problems\": %s,\n      \"warnings\": %s,\n      \"repair\": %s,",
                    JsonList(item.problems).c_str(), JsonList(item.warnings).c_str(),
                    JsonList(item.repair).c_str());
        std::printf("\n      \"messages\": [");
        for (const LibraryMessage& message : item.messages) {
            std::printf("%s\n        {\"function\": %s, \"text\": %s}",
                        &message == &item.messages.front() ? "" : ",",
                        JsonString(message.function).c_str(), JsonString(message.text).c_str());
        }
        std::printf("%s]\n    }", item.messages.empty() ? "" : "\n      ");
    }
    std::printf("\n  }\n}\n");
}

std::string TextValue(const Value& value) {
    return Spell(value, kTextSpelling);
}

// Prints each line of text after the prefix.
void PrintLines(const char* prefix, const std::string& text) {
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::printf("%s%s\n", prefix, text.substr(start, end - start).c_str());
        start = end + 1;
    }
}

void PrintText(const std::vector<Item>& items, Status worst, int exitStatus) {
    std::size_t problems = 0, warnings = 0;
    for (const Item& item : items) {
        std::printf("%-9s %s\n", (std::string("[") + StatusName(item.GetStatus()) + "]").c_str(),
                    item.title);
        for (const Fact& fact : item.facts) {
            const std::string text = TextValue(fact.value);
            const char* gap = !text.empty() && text[0] == '\n' ? "" : " ";
            std::printf("    %s:%s%s\n", fact.key.c_str(), gap, text.c_str());
        }
        if (!item.messages.empty()) {
            std::printf("    library messages:\n");
            std::string text;
            for (const LibraryMessage& message : item.messages) {
                text += message.text;
            }
            PrintLines("      | ", text);
        }
        for (const std::string& problem : item.problems) {
            std::printf("    PROBLEM: %s\n", problem.c_str());
        }
        for (const std::string& warning : item.warnings) {
            std::printf("    WARNING: %s\n", warning.c_str());
        }
        for (const std::string& line : item.repair) {
            std::printf("    REPAIR: %s\n", line.c_str());
        }
        problems += item.problems.empty() ? 0 : 1;
        warnings += item.problems.empty() && !item.warnings.empty() ? 1 : 0;
    }
    std::printf("\n%s: %zu item(s) with problems, %zu with warnings (exit status %d)\n",
                StatusName(worst), problems, warnings, exitStatus);
}

}  // namespace

int Doctor(const Args& args) {
    std::string program = StartedAs();
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--program") {
            if (i + 1 == args.size()) {
                throw UsageError("option '--program' needs a value PATH");
            }
            program = args[++i];
        } else if (IsOption(args[i])) {
            throw UsageError("unknown option '" + args[i] + "'");
        } else {
            throw UsageError("unexpected argument '" + args[i] + "'");
        }
    }
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

    Status worst = Status::kOk;
    for (const Item& item : items) {
        worst = std::max(worst, item.GetStatus());
    }
    const int exitStatus = worst == Status::kProblem ? kProblem : kOk;
    if (json) {
        PrintJson(items, worst, exitStatus);
    } else {
        PrintText(items, worst, exitStatus);
    }
    return exitStatus;
}

}  // namespace kolvenv
