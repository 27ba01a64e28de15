/// @file
/// @brief The operating-system environment of KolvUtil (COSUtil).
///
/// COSUtil answers the application's questions about the platform and the
/// user's environment: platform facts and the login name, directory checks
/// and path-string helpers, the home and temporary directories, the
/// lock-directory probe, the preferences-file location, line splitting and
/// executable search, the user search path, installation discovery and the
/// Python set-up.
///
/// Every operation is static. Nothing is cached: each call reads the
/// environment and the file system afresh. Apart from std::bad_alloc, only
/// the operations that say so throw.
///
/// Path texts from the user or the system may use `\` for `/`; the
/// operations that read them say where they convert. Directory lists are
/// joined and split by GetSeparator(), `:` here.
///
/// Concurrency: the operations that read or change the process environment
/// (GetHomeDir, GetTmpDir, GetInitFile, GetUserPATH, SetUserPATH,
/// FindInstallation, SetupPython) must not run concurrently with each other
/// or with any other change of the environment. GetTmpDir builds its result
/// in one shared static string. GetUserName uses getpwuid's static storage.
/// The rest work only on their arguments.
///
/// Traced, with the source tag `"../OSUtil"`: mySleep, GetUserName,
/// getusername, CheckDir, NoCStrings, FromRoot, GetHomeDir, LockDirExist,
/// GetInitFile, SplitLine, FindExeInStringPATH, GetUserPATH, SetUserPATH,
/// FindInstallation and SetupPython. An exception passing one is reported to
/// the message library (LException, or LGenException for one not derived
/// from std::exception) and rethrown as the same object.

#ifndef OSUTIL_H
#define OSUTIL_H

#include <string>

#include "KolvErr.h"
#include "KolvUtilExport.h"

/// The platform and the user's environment: static operations only.
class KOLVUTIL_API COSUtil {
public:
    /// @name Platform basics
    /// @{

    /// Always 0: this platform is not Windows 9x.
    static int IsWin9x();

    /// Always 1; sockets need no start-up here.
    static int StartSockets();

    /// The separator of directory lists such as PATH: ':'.
    static char GetSeparator();

    /// Waits nMilliseconds with select(); a signal ends the wait early and it
    /// is not resumed.
    static void mySleep(unsigned int nMilliseconds);

    /// Writes the login name of the real user id into pszBuffer and its
    /// length (without NUL) into `*pnLength`, which holds the buffer's
    /// capacity on entry. Returns 1 on success. Returns 0 and writes nothing
    /// when a pointer is null, the user id has no password entry, or the name
    /// with its NUL does not fit the capacity. Uses getpwuid: not safe to call
    /// concurrently.
    static int GetUserName(char* pszBuffer, unsigned long* pnLength);

    /// The same as GetUserName (getpwuid: not safe to call concurrently).
    static int getusername(char* pszBuffer, unsigned long* pnLength);

    /// The platform's short name from uname(): "Linux_ix86" on Linux whatever
    /// the processor, "SunOS", "IRIX", "HP-UX", "AIX", "OSF1", else
    /// "UNKNOWN".
    static std::string ArchName();

    /// @}
    /// @name Directory checks and path-string helpers
    /// @{

    /// 1 when strDir exists, is a directory (following links) and its
    /// owner's read, write and execute bits are set; 0 otherwise. On failure
    /// writes a message block (LError, then LPrint lines) worded for pszKind:
    /// "home" and "temporary" have their own block for a missing directory,
    /// any other kind gets none; the permission blocks name the kind. Only
    /// the owner bits of the mode count: neither ownership nor access() is
    /// consulted. Blocks of concurrent calls may interleave.
    static int CheckDir(std::string& strDir, const char* pszKind);

    /// Cuts str at its first NUL character; a string without NUL is
    /// unchanged.
    static void NoCStrings(std::string& str);

    /// True when the path starts with `/`; false for the empty path.
    static bool FromRoot(std::string& strPath);

    /// @}
    /// @name Home and temporary directories
    /// @{

    /// The value of KHOME, else of HOME (each cut at its first NUL),
    /// whichever first names an entry whose owner read, write and execute
    /// bits are all set; returned as the variable holds it. Reads the
    /// environment: not safe concurrently with changes of it.
    /// @throws CFileNotReady ("File not ready") when neither serves, after
    ///     writing the six-line repair block.
    static std::string GetHomeDir();

    /// The value of KTMP, else TMPDIR, else TMP (an empty value counts as
    /// unset), with every `\` turned into `/`; "/tmp" when none is set. A
    /// set KTMP is announced with two INFO lines on every call. Checks
    /// nothing. Builds the result in one static string: not safe to call
    /// concurrently.
    static std::string GetTmpDir();

    /// @}
    /// @name Lock probe and preferences-file location
    /// @{

    /// True when the lock of the database file strPath exists: its ".kdb"
    /// ending replaced by ".lck", or ".lck" appended to a path (cut at its
    /// first NUL) with any other ending. Any kind of entry counts.
    static bool LockDirExist(std::string& strPath);

    /// The full path of the user's preferences file, `kolv_<login>.ini` in
    /// the home directory ("kolv.ini" for an empty login name); "" when the
    /// login name cannot be had. Only composes the path. Reads the
    /// environment and uses getpwuid: not safe to call concurrently.
    /// @throws CFileNotReady when no home directory can be established.
    static std::string GetInitFile();

    /// @}
    /// @name Line splitting and executable search
    /// @{

    /// Takes the next piece, at most nWidth characters, off the front of
    /// strText into strPiece, breaking after white space within the width; a
    /// first line that fits (or a negative width) is taken whole without its
    /// line feed. A first line with no white space in its first nWidth
    /// characters is taken whole, its line feed left in the text, so the next
    /// call yields an empty piece. Call until strText is empty.
    static void SplitLine(std::string& strText, int nWidth, std::string& strPiece);

    /// Cuts strName at its first NUL. If strName exists as given, returns
    /// whether its owner-execute bit is set. Otherwise tries
    /// `entry + '/' + strName` for each entry of strDirList in order (an
    /// empty entry gives a path in `/`); the first candidate of non-zero size
    /// with the owner-execute bit set is a hit: strName becomes that path and
    /// the result is true. One stat() per candidate.
    static bool FindExeInStringPATH(std::string& strName, std::string& strDirList);

    /// @}
    /// @name User search path
    /// @{

    /// The search path: the "PathList" directories of the preferences file
    /// (trimmed, one trailing `/` dropped, all kept), then those of PATH (cut
    /// at NUL, not trimmed, one trailing `/` dropped) not already listed,
    /// joined by `:`; `\` is read as `/`. Creates a missing or empty
    /// preferences file. Reads the environment: not safe concurrently with
    /// changes of it.
    /// @throws CFileNotReady when no home directory can be established.
    static std::string GetUserPATH();

    /// Puts `"PATH=" + GetUserPATH()` into the environment; false when putenv
    /// fails. The text stays alive until the next call has handed its own to
    /// putenv, so the environment never refers to released storage. Changes
    /// the environment: not safe to call concurrently with any reader of it.
    /// @throws CFileNotReady when no home directory can be established.
    static bool SetUserPATH();

    /// @}
    /// @name Installation discovery and Python set-up
    /// @{

    /// The installation directory (ending in `/`) of the program strProgram:
    /// the parent of the program's directory. strProgram has `\` turned into
    /// `/`. An absolute path gives the answer at once; a relative one is
    /// tried under strBaseDir (a non-empty non-directory); else the bare name
    /// is looked for along GetUserPATH() and strProgram becomes where it was
    /// found. Returns "" when not found (strProgram then holds the bare
    /// name). A directory named without any `/` is taken relative to the
    /// working directory ("tools/kolv" gives "./", a bare "kolv" gives
    /// "../"). When it searches, it reads the environment: not safe
    /// concurrently with changes of it.
    /// @throws CFileNotReady when it searches and no home directory can be
    ///     established.
    static std::string FindInstallation(std::string& strProgram, std::string& strBaseDir);

    /// Sets PYTHONPATH (".", then `<installation><ArchName()>`, then any
    /// previous value, announced by three INFO lines), PYTHONHOME
    /// (`<platform dir>/Python`) and KPYTHON (`<platform dir>`) for the
    /// installation of strProgram, found from the working directory by
    /// FindInstallation. Returns false, changing nothing, when getcwd fails;
    /// false when a putenv fails (the texts handed before stay set). A second
    /// call prepends again. The environment never refers to released
    /// storage. Not safe to call concurrently.
    /// @throws CFileNotReady when FindInstallation does.
    static bool SetupPython(std::string& strProgram);

    /// @}
};

/// Writes the library's version (the project version it was built as),
/// most significant first. No pointer may be null.
KOLVUTIL_API void GetKolvUtilVersion(int* pnMajor, int* pnMinor, int* pnRelease);

#endif  // OSUTIL_H
