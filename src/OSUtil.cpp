// COSUtil: the platform, the user's directories and files, the search path,
// the installation and the Python environment.

#include "OSUtil.h"

#include <pwd.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "InitFile.h"
#include "KUtil.h"
#include "LineSplit.h"
#include "PathText.h"
#include "TracePoint.h"

namespace {

constexpr const char* kSourceTag = "../OSUtil";

// The mode of the entry at path (following links); false when stat fails.
bool StatMode(const std::string& path, struct stat& status) {
    return stat(path.c_str(), &status) == 0;
}

bool OwnerMayReadWriteEnter(const std::string& path) {
    struct stat status;
    return StatMode(path, status) && (status.st_mode & S_IRWXU) == S_IRWXU;
}

// The value of an environment variable cut at its first NUL; false if unset.
bool ReadEnv(const char* name, std::string& value) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        return false;
    }
    value = text;
    COSUtil::NoCStrings(value);
    return true;
}

// The directory that holds `path`, textually: what stands before its last
// '/'. A bare name lies in the working directory ("."), whose parent is "..";
// the empty text stays empty.
std::string DirectoryOf(const std::string& path) {
    if (path.find('/') != std::string::npos || path.empty()) {
        return kolv::BeforeLastSlash(path);
    }
    if (path == ".") {
        return "..";
    }
    if (path == "..") {
        return "../..";
    }
    return ".";
}

// The installation directory of a program path: the parent of the directory
// that holds the program, with '/' appended.
std::string InstallationOf(const std::string& program) {
    return DirectoryOf(DirectoryOf(program)) + "/";
}

// The directories that the preferences file lists under "PathList", in order:
// '\' turned into '/', each trimmed and without one trailing '/'. Empty and
// repeated entries stay. None without a preferences file or setting.
std::vector<std::string> PreferredEntries() {
    std::string preferences;
    std::string initFile = COSUtil::GetInitFile();
    if (!initFile.empty()) {
        CInitFile settings(initFile, false);
        std::string key = "PathList";
        settings.Get(key, preferences);  // a failed read leaves it empty
    }
    kolv::ForwardSlashes(preferences);
    std::vector<std::string> entries = kolv::SplitList(preferences, COSUtil::GetSeparator());
    for (std::string& entry : entries) {
        CKUtil::TrimLeft(entry);
        CKUtil::TrimRight(entry);
        entry.resize(kolv::WithoutTrailingSlash(entry).size());
    }
    return entries;
}

// A set of texts held as views (the texts outlive it): an open-addressing
// table of hashes and positions, sized up front for the number of texts it
// will hold, so that a look-up touches one small slot or a few and never
// allocates.
class ViewSet {
public:
    explicit ViewSet(std::size_t capacity) {
        std::size_t slots = 16;
        while (slots < 2 * capacity) {
            slots *= 2;
        }
        m_slots.resize(slots);
        m_views.reserve(capacity);
    }

    // Adds the text; false when an equal text (same bytes) is there already.
    bool Insert(std::string_view text) {
        const std::size_t hash = std::hash<std::string_view>()(text);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.position == 0) {
                m_views.push_back(text);
                slot = {hash, m_views.size()};
                return true;
            }
            if (slot.hash == hash && m_views[slot.position - 1] == text) {
                return false;
            }
        }
    }

private:
    struct Slot {
        std::size_t hash = 0;
        std::size_t position = 0;  // 1 + index into m_views; 0 for a free slot
    };
    std::vector<Slot> m_slots;
    std::vector<std::string_view> m_views;
};

// Appends each entry of the list text, without one trailing '/', unless an
// equal entry (same bytes) is in the list already: the first occurrence wins.
void AppendNewEntries(std::string_view text, char separator, std::vector<std::string_view>& list) {
    const auto pieces = static_cast<std::size_t>(std::count(text.begin(), text.end(), separator));
    ViewSet seen(list.size() + pieces + 1);
    for (const std::string_view entry : list) {
        seen.Insert(entry);
    }
    list.reserve(list.size() + pieces + 1);
    kolv::ListSplitter entries(text, separator);
    for (std::string_view entry; entries.Next(entry);) {
        entry = kolv::WithoutTrailingSlash(entry);
        if (seen.Insert(entry)) {
            list.push_back(entry);
        }
    }
}

// A text handed to putenv(). The environment keeps the pointer, not a copy,
// so every text lives in heap storage of its own (a short string's characters
// would otherwise move with the string object) and the text handed over
// before is released only after a newer one has taken its place. Instances
// are never destroyed, so the environment stays valid until the process ends.
class EnvText {
public:
    // Hands "NAME=value" to putenv; false, with the earlier text kept, when
    // putenv fails.
    bool Put(std::string assignment) {
        auto next = std::make_unique<std::string>(std::move(assignment));
        if (putenv(next->data()) == -1) {
            return false;
        }
        m_current = std::move(next);
        return true;
    }

private:
    std::unique_ptr<std::string> m_current;
};

}  // namespace

// ----- Platform basics -------------------------------------------------------

int COSUtil::IsWin9x() {
    return 0;
}

int COSUtil::StartSockets() {
    return 1;
}

char COSUtil::GetSeparator() {
    return ':';
}

void GetKolvUtilVersion(int* pnMajor, int* pnMinor, int* pnRelease) {
    *pnMajor = KOLVUTIL_VERSION_MAJOR;
    *pnMinor = KOLVUTIL_VERSION_MINOR;
    *pnRelease = KOLVUTIL_VERSION_PATCH;
}

void COSUtil::mySleep(unsigned int nMilliseconds) {
    KOLV_TRACE_BEGIN
    timeval timeout;
    timeout.tv_sec = nMilliseconds / 1000;
    timeout.tv_usec = static_cast<suseconds_t>(nMilliseconds % 1000) * 1000;
    select(0, nullptr, nullptr, nullptr, &timeout);
    KOLV_TRACE_END(kSourceTag)
}

int COSUtil::GetUserName(char* pszBuffer, unsigned long* pnLength) {
    KOLV_TRACE_BEGIN
    if (pszBuffer == nullptr || pnLength == nullptr) {
        return 0;
    }
    const passwd* entry = getpwuid(getuid());
    if (entry == nullptr || entry->pw_name == nullptr) {
        return 0;
    }
    const std::size_t length = std::strlen(entry->pw_name);
    if (length >= *pnLength) {
        return 0;
    }
    std::memcpy(pszBuffer, entry->pw_name, length + 1);
    *pnLength = length;
    return 1;
    KOLV_TRACE_END(kSourceTag)
}

int COSUtil::getusername(char* pszBuffer, unsigned long* pnLength) {
    KOLV_TRACE_BEGIN
    return GetUserName(pszBuffer, pnLength);
    KOLV_TRACE_END(kSourceTag)
}

std::string COSUtil::ArchName() {
    static const struct {
        const char* system;
        const char* arch;
    } kArchNames[] = {{"SunOS", "SunOS"}, {"IRIX64", "IRIX"}, {"IRIX", "IRIX"},
                      {"HP-UX", "HP-UX"}, {"AIX", "AIX"},     {"Linux", "Linux_ix86"},
                      {"OSF1", "OSF1"}};
    utsname names;
    if (uname(&names) == 0) {
        for (const auto& entry : kArchNames) {
            if (std::strcmp(names.sysname, entry.system) == 0) {
                return entry.arch;
            }
        }
    }
    return "UNKNOWN";
}

// ----- Directory checks and path-string helpers ------------------------------

int COSUtil::CheckDir(std::string& strDir, const char* pszKind) {
    KOLV_TRACE_BEGIN
    const std::string kind = pszKind != nullptr ? pszKind : "";
    const char* dir = strDir.c_str();
    struct stat status;
    if (!StatMode(strDir, status) || !S_ISDIR(status.st_mode)) {
        if (kind == "temporary") {
            LError("The TMPDIR or TMP environment variable is set to:\n\t%s\n", dir);
            LPrint(
                "       This is not a valid directory (i.e., does not exist or is not a "
                "directory\n");
            LPrint("       Check with your system administrator for a valid TMPDIR/TMP value\n");
        } else if (kind == "home") {
            LError("Your home directory appears to be,\n%s\n", dir);
            LPrint(
                "       however, either this directory does not exist or is not a "
                "directory!\n");
            LPrint("       Check with your system administrator for a valid home directory\n");
        }
        return 0;
    }
    const struct {
        mode_t bit;
        const char* error;
        const char* which;
    } kOwnerBits[] = {
        {S_IRUSR, "You do not have read permission in\n\t%s\n",
         "       This is your %s directory\n"},
        {S_IWUSR, "You do not have write permission in\n\t%s\n",
         "       This is your %s directory\n"},
        {S_IXUSR, "You do not have execute permission in\n\t%s\n",
         "       This is your %s directory on your system\n"},
    };
    for (const auto& owner : kOwnerBits) {
        if ((status.st_mode & owner.bit) == 0) {
            LError(owner.error, dir);
            LPrint(owner.which, kind.c_str());
            LPrint("       Check with your system administrator for a valid %s directory\n",
                   kind.c_str());
            return 0;
        }
    }
    return 1;
    KOLV_TRACE_END(kSourceTag)
}

void COSUtil::NoCStrings(std::string& str) {
    KOLV_TRACE_BEGIN
    kolv::CutAtNul(str);
    KOLV_TRACE_END(kSourceTag)
}

bool COSUtil::FromRoot(std::string& strPath) {
    KOLV_TRACE_BEGIN
    return !strPath.empty() && strPath[0] == '/';
    KOLV_TRACE_END(kSourceTag)
}

// ----- Home and temporary directories ----------------------------------------

std::string COSUtil::GetHomeDir() {
    KOLV_TRACE_BEGIN
    for (const char* variable : {"KHOME", "HOME"}) {
        std::string dir;
        if (ReadEnv(variable, dir) && OwnerMayReadWriteEnter(dir)) {
            return dir;
        }
    }
    LError("Could not establish HOME directory in GetHomeDir function.\n");
    LPrint("       Close Kolvane.\n");
    LPrint("       Set KHOME environment variable to point to\n");
    LPrint("       the directory of your choice and check that this\n");
    LPrint("       directory has read/write/execute permissions.\n");
    LPrint("       Start Kolvane again.\n");
    throw CFileNotReady(kSourceTag, __LINE__, "File not ready");
    KOLV_TRACE_END(kSourceTag)
}

std::string COSUtil::GetTmpDir() {
    static std::string strTmpDir;
    strTmpDir.clear();
    if (const char* ktmp = std::getenv("KTMP")) {
        LPrint("\nINFO : KTMP already defined as an environment variable\n");
        LPrint("INFO : Defined value will be used:\n%s\n", ktmp);
        strTmpDir = ktmp;
    }
    for (const char* variable : {"TMPDIR", "TMP"}) {
        const char* value = std::getenv(variable);
        if (strTmpDir.empty() && value != nullptr) {
            strTmpDir = value;
        }
    }
    if (strTmpDir.empty()) {
        return "/tmp";
    }
    kolv::ForwardSlashes(strTmpDir);
    return strTmpDir;
}

// ----- Lock probe and preferences-file location ------------------------------

bool COSUtil::LockDirExist(std::string& strPath) {
    KOLV_TRACE_BEGIN
    const std::string lockPath = kolv::LockPathOf(strPath);
    struct stat status;
    return StatMode(lockPath, status);
    KOLV_TRACE_END(kSourceTag)
}

std::string COSUtil::GetInitFile() {
    KOLV_TRACE_BEGIN
    std::string home = GetHomeDir();
    char login[256];
    unsigned long length = sizeof login;
    if (getusername(login, &length) != 1) {
        return "";
    }
    std::string fileName = "kolv";
    if (length > 0) {
        fileName += '_';
        fileName.append(login, length);
    }
    fileName += ".ini";
    if (home.empty() || (home.back() != '/' && home.back() != '\\')) {
        home += '/';
    }
    return home + fileName;
    KOLV_TRACE_END(kSourceTag)
}

// ----- Line splitting and executable search ----------------------------------

void COSUtil::SplitLine(std::string& strText, int nWidth, std::string& strPiece) {
    KOLV_TRACE_BEGIN
    const kolv::LinePiece piece = kolv::NextLinePiece(strText, nWidth);
    strPiece.assign(strText, 0, piece.length);
    strText.erase(0, piece.consumed);
    KOLV_TRACE_END(kSourceTag)
}

bool COSUtil::FindExeInStringPATH(std::string& strName, std::string& strDirList) {
    KOLV_TRACE_BEGIN
    NoCStrings(strName);
    struct stat status;
    if (StatMode(strName, status)) {
        return (status.st_mode & S_IXUSR) != 0;
    }
    kolv::ListSplitter entries(strDirList, GetSeparator());
    std::string candidate;
    for (std::string_view entry; entries.Next(entry);) {
        candidate.assign(entry.data(), entry.size());
        candidate += '/';
        candidate += strName;
        if (StatMode(candidate, status) && status.st_size != 0 && (status.st_mode & S_IXUSR) != 0) {
            strName = candidate;
            return true;
        }
    }
    return false;
    KOLV_TRACE_END(kSourceTag)
}

// ----- User search path ------------------------------------------------------

std::string COSUtil::GetUserPATH() {
    KOLV_TRACE_BEGIN
    const std::vector<std::string> preferred = PreferredEntries();
    std::string path;
    ReadEnv("PATH", path);
    kolv::ForwardSlashes(path);
    const char separator = GetSeparator();
    std::vector<std::string_view> searchList(preferred.begin(), preferred.end());
    AppendNewEntries(path, separator, searchList);
    return kolv::JoinList(searchList, std::string_view(&separator, 1));
    KOLV_TRACE_END(kSourceTag)
}

bool COSUtil::SetUserPATH() {
    KOLV_TRACE_BEGIN
    static EnvText& strPATH = *new EnvText;
    return strPATH.Put("PATH=" + GetUserPATH());
    KOLV_TRACE_END(kSourceTag)
}

// ----- Installation discovery and Python set-up ------------------------------

std::string COSUtil::FindInstallation(std::string& strProgram, std::string& strBaseDir) {
    KOLV_TRACE_BEGIN
    kolv::ForwardSlashes(strProgram);
    if (FromRoot(strProgram)) {
        return InstallationOf(strProgram);
    }
    const std::string candidate = strBaseDir + "/" + strProgram;
    struct stat status;
    if (StatMode(candidate, status) && status.st_size != 0 && !S_ISDIR(status.st_mode)) {
        return InstallationOf(candidate);
    }
    const std::string::size_type lastSlash = strProgram.rfind('/');
    if (lastSlash != std::string::npos) {
        strProgram.erase(0, lastSlash + 1);
    }
    std::string searchPath = GetUserPATH();
    if (FindExeInStringPATH(strProgram, searchPath)) {
        return InstallationOf(strProgram);
    }
    return "";
    KOLV_TRACE_END(kSourceTag)
}

bool COSUtil::SetupPython(std::string& strProgram) {
    KOLV_TRACE_BEGIN
    std::string workingDir;
    if (!kolv::WorkingDirectory(workingDir)) {
        return false;
    }

    const std::string platformDir = FindInstallation(strProgram, workingDir) + ArchName();
    const char separator = GetSeparator();
    std::string pythonPath = std::string("PYTHONPATH=.") + separator + platformDir;
    const std::string pythonHome = "PYTHONHOME=" + platformDir + "/Python";
    const std::string kolvPython = "KPYTHON=" + platformDir;

    std::string previous;
    if (ReadEnv("PYTHONPATH", previous)) {
        kolv::ForwardSlashes(previous);
        pythonPath += separator;
        pythonPath += previous;
        LPrint("\nINFO : PYTHONPATH already defined as an environment variable.\n");
        LPrint("       Directory with Kolvane Python installation is prepended to it:\n");
        LPrint("%s\n", pythonPath.c_str());
    }

    static EnvText& strPYTHONPATH = *new EnvText;
    static EnvText& strPYTHONHOME = *new EnvText;
    static EnvText& strKPYTHON = *new EnvText;
    return strPYTHONPATH.Put(pythonPath) && strPYTHONHOME.Put(pythonHome) &&
           strKPYTHON.Put(kolvPython);
    KOLV_TRACE_END(kSourceTag)
}
