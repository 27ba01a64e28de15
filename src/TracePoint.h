// TracePoint.h: the trace point that wraps every traced operation.
//
//   void CFoo::Bar() {
//       KOLV_TRACE_BEGIN
//       ... body, its local objects included ...
//       KOLV_TRACE_END(kSourceTag)
//   }
//
// An exception leaving the body is reported to the message library with the
// source tag and the line of KOLV_TRACE_END (LException with what() for a
// std::exception, LGenException for anything else), then rethrown as the very
// same object, so its dynamic type survives. Nothing is swallowed, converted
// or copied.

#ifndef KOLV_TRACEPOINT_H
#define KOLV_TRACEPOINT_H

#include <exception>

#include "Scrivane.h"

namespace kolv {

// Reports the exception being handled as having passed pszTag:nLine. Must be
// called from inside a catch handler.
inline void ReportPassingException(const char* pszTag, int nLine) {
    try {
        throw;
    } catch (const std::exception& e) {
        LException(pszTag, nLine, e.what());
    } catch (...) {
        LGenException(pszTag, nLine);
    }
}

}  // namespace kolv

#define KOLV_TRACE_BEGIN try {
#define KOLV_TRACE_END(tag)                              \
    }                                                    \
    catch (...) {                                        \
        ::kolv::ReportPassingException((tag), __LINE__); \
        throw;                                           \
    }

#endif  // KOLV_TRACEPOINT_H
