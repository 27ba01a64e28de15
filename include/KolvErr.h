/// @file
/// @brief The exception family of KolvUtil.
///
/// @verbatim
///   std::exception <- CKolvErr <- CEngErr <- CFileNotReady
/// @endverbatim
///
/// The classes are defined wholly here, so that the application shares their
/// type identity with the library and catches each of them by type. Errors
/// are thrown by value and caught by reference.
///
/// Creating an error reports it at once through the message library's
/// LNewException (tag, line and the whole message), before it is thrown. The
/// library itself raises only CFileNotReady ("File not ready"), when no home
/// directory can be established (COSUtil::GetHomeDir). Nothing here is
/// traced.

#ifndef KOLVERR_H
#define KOLVERR_H

#include <cstring>
#include <exception>

#include "KolvUtilExport.h"
#include "Scrivane.h"

/// The root of the family: an error with its source tag, line and message.
class KOLVUTIL_API CKolvErr : public std::exception {
public:
    /// Stores the line and the source tag (a string literal, not copied),
    /// copies at most 511 characters of the message into szMessage (always
    /// NUL-terminated, the rest of the array zeroed), then reports the
    /// message, uncut, through LNewException. A null tag or message counts as
    /// "". Allocates nothing and never throws.
    CKolvErr(const char* pszFile, int nLine, const char* pszMessage) noexcept
        : nLine(nLine), pszFile(pszFile != nullptr ? pszFile : "") {
        const char* pszText = pszMessage != nullptr ? pszMessage : "";
        std::strncpy(szMessage, pszText, sizeof szMessage);
        szMessage[sizeof szMessage - 1] = '\0';
        LNewException(this->pszFile, nLine, pszText);
    }
    /// Releases nothing: the error owns no storage.
    ~CKolvErr() noexcept override = default;

    /// The message, cut to 511 characters; valid as long as the object lives.
    const char* what() const noexcept override { return szMessage; }

    int nLine;            ///< source line of the raise
    const char* pszFile;  ///< source tag of the raising code, e.g. "../OSUtil"
    char szMessage[512];  ///< the message, at most 511 characters
};

/// An error of the application's engine; the base of CFileNotReady.
class KOLVUTIL_API CEngErr : public CKolvErr {
public:
    /// Constructs and reports the error as CKolvErr's constructor does.
    CEngErr(const char* pszFile, int nLine, const char* pszMessage) noexcept
        : CKolvErr(pszFile, nLine, pszMessage) {}
    /// Releases nothing: the error owns no storage.
    ~CEngErr() noexcept override = default;
};

/// A file or directory the application needs is not there to be used.
///
/// The library raises it as "File not ready" when no home directory can be
/// established (COSUtil::GetHomeDir, and the operations that need the home
/// directory).
class KOLVUTIL_API CFileNotReady : public CEngErr {
public:
    /// Constructs and reports the error as CKolvErr's constructor does.
    CFileNotReady(const char* pszFile, int nLine, const char* pszMessage) noexcept
        : CEngErr(pszFile, nLine, pszMessage) {}
    /// Releases nothing: the error owns no storage.
    ~CFileNotReady() noexcept override = default;
};

#endif  // KOLVERR_H
