/// @file
/// @brief General utilities of KolvUtil (CKUtil).
///
/// CKUtil offers static operations on byte strings (case changes, trims, the
/// ASCII test, fixed-width splitting), on file names (type tests by ending,
/// shortening for display), the boxed header of a task's log, and integer
/// combinatorics (factorial, the m-th k-subset, sort-unique).
///
/// The character classification is that of the current locale (the library
/// never sets it); bytes of 128 and above are classified as unsigned char.
/// Every operation works only on its arguments and is safe to call
/// concurrently on different objects, except DumpLogFileHeader, which uses
/// ctime()'s static buffer. Apart from std::bad_alloc, only Combo throws.
///
/// Traced, with the source tag `"../KUtil"`: ToLower, ToUpper, TrimLeft,
/// TrimRight, IsMATLAB, IsPython, IsExcel, TrimFileName, DumpLogFileHeader,
/// Combo and SortUnique. An exception passing one is reported to the message
/// library (LException, or LGenException for one not derived from
/// std::exception) and rethrown as the same object.

#ifndef KUTIL_H
#define KUTIL_H

#include <string>
#include <valarray>
#include <vector>

#include "KolvErr.h"
#include "KolvUtilExport.h"

/// Static operations on byte strings, file names, the log header and integer
/// combinatorics.
class KOLVUTIL_API CKUtil {
public:
    /// @name Strings
    /// @{

    /// Lower-cases every character before the first NUL, in place;
    /// characters at and after an embedded NUL are left alone.
    static void ToLower(std::string& str);
    /// Upper-cases every character before the first NUL, in place;
    /// characters at and after an embedded NUL are left alone.
    static void ToUpper(std::string& str);

    /// Removes the leading white space, in place; the scan stops at the first
    /// NUL. A text of white space only becomes empty.
    static void TrimLeft(std::string& str);
    /// Removes the trailing white space, in place; the scan stops at the first
    /// NUL. A text of white space only becomes empty.
    static void TrimRight(std::string& str);

    /// True when no character before the first NUL has its top bit set.
    static bool IsASCII(const std::string& str);

    /// Appends the consecutive pieces of nWidth characters of strText (the
    /// last one shorter) to vPieces, which is not cleared. A negative width
    /// gives the whole text as one piece; a width of 0 appends nothing.
    static void SplitName(std::string& strText, int nWidth, std::vector<std::string>& vPieces);

    /// @}
    /// @name File names
    /// @{

    /// True for a name ending in ".m" (case-sensitive).
    static bool IsMATLAB(std::string& strName);

    /// True for a name ending in ".py" or ".PY".
    static bool IsPython(std::string& strName);

    /// True for a name ending in ".kxl" or ".KXL".
    static bool IsExcel(std::string& strName);

    /// The name shortened to at most nWidth characters for display: the name
    /// itself when it fits, else `<head>/.../<last component>` when that
    /// fits, else "..." and the last nWidth-3 characters. For a width of 4 or
    /// more, every `\` of the caller's name is first turned into `/` (in
    /// place). A width of 3 or less returns the name unchanged.
    static std::string TrimFileName(std::string& strName, int nWidth);

    /// Writes the boxed 80-column header of a task's log through LPrint: the
    /// time, the database file (shortened to 52 characters, also in the
    /// caller's strDbFile), the task number and the task name wrapped at 52
    /// characters. strTaskName is consumed (empty on return); the work is
    /// linear in its length. A time that ctime() cannot write shows as 24
    /// `?`. Uses ctime(): not safe to call concurrently.
    static void DumpLogFileHeader(int nTask, std::string& strTaskName, std::string& strDbFile);

    /// @}
    /// @name Integer combinatorics
    /// @{

    /// n! for n >= 1, 1 for n <= 0. Exact up to 12; above, the product wraps
    /// modulo 2^32 (computed unsigned, no overflow).
    static int Factorial(int n);

    /// Sets vCombo to k + 1 elements: -1, then the m-th (from 0) k-subset of
    /// {0, ..., n-1} in lexicographic order, increasing. A negative m gives
    /// the first subset. The cost does not grow with m.
    /// @throws std::out_of_range (naming n, k and m) when k < 0, k > n, or m
    ///     is at or past the number of subsets; vCombo is then unchanged.
    static void Combo(int n, int k, int m, std::valarray<int>& vCombo);

    /// Sorts ascending and removes repeated values.
    static void SortUnique(std::vector<int>& vValues);

    /// @}
};

#endif  // KUTIL_H
