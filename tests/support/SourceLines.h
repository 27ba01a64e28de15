// SourceLines.h: finds lines in the library's own sources, so that tests
// check the reported trace-point and raise lines without copying numbers.

#ifndef KOLV_TEST_SOURCELINES_H
#define KOLV_TEST_SOURCELINES_H

#include <string>

// The line number (from 1) of the first line holding `marker` after the line
// that holds `function` in the source file `file` (relative to src/); 0 when
// not found.
int SourceLine(const std::string& file, const std::string& function, const std::string& marker);

// The line of the trace point of `function` (its KOLV_TRACE_END).
inline int TraceLine(const std::string& file, const std::string& function) {
    return SourceLine(file, function, "KOLV_TRACE_END");
}

#endif  // KOLV_TEST_SOURCELINES_H
