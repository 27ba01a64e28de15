/// @file
/// @brief The user's preferences file (CInitFile).
///
/// A small line-oriented text file of settings, `key = value` a line, with
/// `#` starting a comment to the end of the line. CInitFile makes sure the
/// file exists (creating it with a four-line comment banner) and looks
/// settings up by key. It holds only the file name: no stream stays open and
/// nothing is cached between calls. Apart from std::bad_alloc, nothing here
/// throws.
///
/// Concurrency: creation uses ctime()'s shared static buffer, so two objects
/// must not create files at the same time. Reading is safe from several
/// threads.
///
/// Traced, with the source tag `"../InitFile"`: the constructor and Get. An
/// exception passing one is reported to the message library (LException, or
/// LGenException for one not derived from std::exception) and rethrown as the
/// same object.

#ifndef INITFILE_H
#define INITFILE_H

#include <string>

#include "KolvErr.h"
#include "KolvUtilExport.h"

/// The preferences file of one name: created when missing or empty, read by
/// key.
class KOLVUTIL_API CInitFile {
public:
    /// Keeps strFileName as the file's name, without its first and last
    /// double quote when it holds two. Creates the file with its banner when
    /// bForceCreate is true or when the file is missing or empty (stat fails
    /// or reports size 0). A file with content is left byte for byte
    /// unchanged. A creating open that fails writes nothing and is not
    /// reported. Creating uses ctime(): not safe concurrently with another
    /// creation.
    CInitFile(std::string& strFileName, bool bForceCreate);
    /// Releases the name; the file is left as it is.
    virtual ~CInitFile();

    /// Reads the file from the start and takes the first line that holds
    /// strKey (as a substring) before any `#` and before its first `=`; the
    /// value is the text after that `=`, cut at `#` and trimmed at both ends.
    /// A matching line without `=` gives "" and ends the search. Returns
    /// true, value unchanged, when no line matches; a key that holds a NUL
    /// byte matches no line (a line's text ends at its first NUL). Returns
    /// false, value unchanged, after writing
    /// `"ERROR: Getting initialization file parameter: <key>"` through
    /// LError, when the file cannot be opened or a read fails. Lines longer
    /// than 8191 characters are read as several lines.
    bool Get(std::string& strKey, std::string& strValue);

private:
    std::string m_strFileName;
};

#endif  // INITFILE_H
