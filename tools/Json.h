// Json.h: a text as a JSON string literal, for the doctor's JSON report.

#ifndef KOLVENV_JSON_H
#define KOLVENV_JSON_H

#include <string>

namespace kolvenv {

// The text as a JSON string literal, quotes included. '"' and '\' are
// escaped, control characters (below 0x20) written as \b \f \n \r \t or
// \u00XX; every other byte, those of 0x80 and above included, is passed
// through unchanged, so UTF-8 text stays UTF-8.
std::string JsonString(const std::string& text);

}  // namespace kolvenv

#endif  // KOLVENV_JSON_H
