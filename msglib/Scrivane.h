/// @file
/// @brief The five entry points of the message library.
///
/// Every text meant for the user, and every report of an exception passing a
/// trace point, leaves KolvUtil through these functions. They are resolved
/// by the dynamic linker: a program that defines its own five (extern "C",
/// default visibility) replaces the ones of libScrivane.so. The stand-in that
/// ships with KolvUtil writes LPrint text to standard output and everything
/// else to standard error, flushing after each call.
///
/// None of the five throws or ends the process. Pointer arguments are valid
/// only during the call; the source tags are string literals. The library
/// holds no lock around its calls: a replacement called from several threads
/// serialises its own output.

#ifndef SCRIVANE_H
#define SCRIVANE_H

/// @def SCRIVANE_API
/// Gives the five functions default visibility with GCC and Clang, so that a
/// program's own definitions replace them; nothing with other compilers. The
/// reference leaves it out of the signatures it shows.

/// @def SCRIVANE_PRINTF(fmt, args)
/// Has GCC and Clang check the printf format of argument fmt against the
/// values from argument args on; nothing with other compilers.

#if defined(__GNUC__)
#define SCRIVANE_API __attribute__((visibility("default")))
#define SCRIVANE_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define SCRIVANE_API
#define SCRIVANE_PRINTF(fmt, args)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// An informational line, or a continuation line of an error block: a printf
/// format that carries its own line feeds, and its values.
SCRIVANE_API void LPrint(const char* pszFormat, ...) SCRIVANE_PRINTF(1, 2);

/// The first line of an error block: a printf format that carries its own
/// line feeds, and its values.
SCRIVANE_API void LError(const char* pszFormat, ...) SCRIVANE_PRINTF(1, 2);

/// A std::exception passing the trace point at pszFile:nLine; pszWhat is
/// what().
SCRIVANE_API void LException(const char* pszFile, int nLine, const char* pszWhat);

/// An exception of any other type passing the trace point at pszFile:nLine.
SCRIVANE_API void LGenException(const char* pszFile, int nLine);

/// An error of the CKolvErr family being raised at pszFile:nLine, with its
/// whole message.
SCRIVANE_API void LNewException(const char* pszFile, int nLine, const char* pszMessage);

#ifdef __cplusplus
}
#endif

#endif  // SCRIVANE_H
