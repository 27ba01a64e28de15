/// @file
/// @brief The nineteen global phase timers of the application (CLogTime).
///
/// The library only defines the timers (constructed at load, in declaration
/// order, both fields 0.0) and resets them; starting, stopping and reading
/// them is the application's business. Nothing here throws or is traced.
///
/// Concurrency: plain global data; callers serialise their use of the timers
/// and of ResetTiming.

#ifndef TIMING_H
#define TIMING_H

#include "KolvUtilExport.h"

/// The timer of one phase of the application's run: two plain fields.
class KOLVUTIL_API CLogTime {
public:
    CLogTime() noexcept;  ///< both fields 0.0; never throws, as the timers are globals
    /// Leaves the fields as they are.
    virtual ~CLogTime();

    double dStart = 0.0;    ///< clock reading when the phase last started
    double dElapsed = 0.0;  ///< seconds accumulated over the phase's runs
};

/// Phase timer 1 of 19. The nineteen timers, one per phase of the
/// application's run, are constructed at load in declaration order and reset
/// in that order. Plain global data: not safe to use concurrently.
extern KOLVUTIL_API CLogTime totalTime, qorTime, analyTime, dbReadTime, dbWriteTime, kefWriteTime,
    kefReadTime, linkTime, synthTime, consTime, objTime, gradTime, mlimitsTime, dmodelTime,
    mbuildTime, mevalTime, convTime, discSetupTime, residTime;
// Each name of a declaration list needs its own comment for the reference.
/// @var qorTime
/// Phase timer 2 of 19.
/// @var analyTime
/// Phase timer 3 of 19.
/// @var dbReadTime
/// Phase timer 4 of 19.
/// @var dbWriteTime
/// Phase timer 5 of 19.
/// @var kefWriteTime
/// Phase timer 6 of 19.
/// @var kefReadTime
/// Phase timer 7 of 19.
/// @var linkTime
/// Phase timer 8 of 19.
/// @var synthTime
/// Phase timer 9 of 19.
/// @var consTime
/// Phase timer 10 of 19.
/// @var objTime
/// Phase timer 11 of 19.
/// @var gradTime
/// Phase timer 12 of 19.
/// @var mlimitsTime
/// Phase timer 13 of 19.
/// @var dmodelTime
/// Phase timer 14 of 19.
/// @var mbuildTime
/// Phase timer 15 of 19.
/// @var mevalTime
/// Phase timer 16 of 19.
/// @var convTime
/// Phase timer 17 of 19.
/// @var discSetupTime
/// Phase timer 18 of 19.
/// @var residTime
/// Phase timer 19 of 19.

/// Sets both fields of every timer to 0.0, in declaration order. Not safe to
/// call concurrently with any use of the timers.
KOLVUTIL_API void ResetTiming();

#endif  // TIMING_H
