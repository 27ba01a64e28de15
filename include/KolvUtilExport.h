/// @file
/// @brief The export macro of libkolvutil.
///
/// The library is built with hidden visibility; KOLVUTIL_API marks what it
/// exports: the public classes (with their type information, so that a client
/// catches the exception family by type), the global timers and the free
/// functions.

#ifndef KOLVUTIL_EXPORT_H
#define KOLVUTIL_EXPORT_H

/// @def KOLVUTIL_API
/// Marks a class, function or variable that libkolvutil exports: default
/// visibility with GCC and Clang, nothing with other compilers. The reference
/// leaves it out of the signatures it shows.
#if defined(__GNUC__)
#define KOLVUTIL_API __attribute__((visibility("default")))
#else
#define KOLVUTIL_API
#endif

#endif  // KOLVUTIL_EXPORT_H
