// CInitFile: the user's preferences file, its banner and lookup by key.

#include "InitFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "KUtil.h"
#include "TracePoint.h"

namespace {

constexpr const char* kSourceTag = "../InitFile";

// The name without its first and last double quote, when it holds two.
std::string WithoutQuotes(const std::string& name) {
    std::string unquoted = name;
    const std::string::size_type first = unquoted.find('"');
    const std::string::size_type last = unquoted.rfind('"');
    if (first != std::string::npos && first != last) {
        unquoted.erase(last, 1);
        unquoted.erase(first, 1);
    }
    return unquoted;
}

bool PresentWithContent(const std::string& name) {
    struct stat status;
    return stat(name.c_str(), &status) == 0 && status.st_size != 0;
}

// (Re)creates the file holding only the comment banner. A file that cannot
// be opened is left alone.
void CreateWithBanner(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    const char* created = std::ctime(&now);
    std::fputs("#\n#\tKolvane user preferences file\n", file);
    std::fprintf(file, "#\tCreated on: %s#\n", created != nullptr ? created : "(unknown)\n");
    std::fclose(file);
}

// Scans the stream for the first line that sets `key` and stores its value;
// false when no line matches. A read error ends the scan; the caller asks
// the stream's error indicator.
bool FindSetting(std::FILE* file, const std::string& key, std::string& value) {
    // A line's text ends at its first NUL byte, so a key that holds one is
    // in no line; the file is still read through, as for any absent key.
    const bool keyHasNul = key.find('\0') != std::string::npos;
    char line[8192];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const char* at = keyHasNul ? nullptr : std::strstr(line, key.c_str());
        if (at == nullptr) {
            continue;
        }
        const char* comment = std::strchr(line, '#');
        if (comment != nullptr && comment <= at) {
            continue;  // the key stands in a comment
        }
        const char* equals = std::strchr(line, '=');
        if (equals == nullptr) {
            value.clear();  // a bare key: an empty value, and the search ends
            return true;
        }
        if (equals <= at) {
            continue;  // the key stands only in a value
        }
        const char* valueEnd = std::strchr(equals + 1, '#');
        value.assign(equals + 1, valueEnd != nullptr ? valueEnd : equals + std::strlen(equals));
        CKUtil::TrimRight(value);
        CKUtil::TrimLeft(value);
        return true;
    }
    return false;
}

}  // namespace

CInitFile::CInitFile(std::string& strFileName, bool bForceCreate) {
    KOLV_TRACE_BEGIN
    // A name in double quotes names the file without them, for the test of
    // its presence as for creating and reading it.
    m_strFileName = WithoutQuotes(strFileName);
    if (bForceCreate || !PresentWithContent(m_strFileName)) {
        CreateWithBanner(m_strFileName);
    }
    KOLV_TRACE_END(kSourceTag)
}

CInitFile::~CInitFile() = default;

bool CInitFile::Get(std::string& strKey, std::string& strValue) {
    KOLV_TRACE_BEGIN
    // A file that cannot be opened takes the course of a failed read.
    std::FILE* file = std::fopen(m_strFileName.c_str(), "r");
    bool readFailed = file == nullptr;
    bool found = false;
    std::string value;
    if (file != nullptr) {
        found = FindSetting(file, strKey, value);
        readFailed = std::ferror(file) != 0;
        std::fclose(file);
    }
    if (readFailed) {
        LError("ERROR: Getting initialization file parameter: %s\n", strKey.c_str());
        return false;
    }
    if (found) {
        strValue = value;
    }
    return true;
    KOLV_TRACE_END(kSourceTag)
}
