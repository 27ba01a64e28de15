// Timing.h: the nineteen global phase timers of the application.
//
// The library only defines the timers (constructed at load, in declaration
// order, both fields 0.0) and resets them; starting, stopping and reading them
// is the application's business. Nothing here throws or is traced.
//
// Concurrency: plain global data; callers serialise their use of the timers
// and of ResetTiming.

#ifndef TIMING_H
#define TIMING_H

#include "KolvUtilExport.h"

class KOLVUTIL_API CLogTime {
public:
    CLogTime() noexcept;  // both fields 0.0; never throws, as the timers are globals
    virtual ~CLogTime();

    double dStart = 0.0;    // clock reading when the phase last started
    double dElapsed = 0.0;  // seconds accumulated over the phase's runs
};

extern KOLVUTIL_API CLogTime totalTime, qorTime, analyTime, dbReadTime, dbWriteTime, kefWriteTime,
    kefReadTime, linkTime, synthTime, consTime, objTime, gradTime, mlimitsTime, dmodelTime,
    mbuildTime, mevalTime, convTime, discSetupTime, residTime;

// Sets both fields of every timer to 0.0, in declaration order.
KOLVUTIL_API void ResetTiming();

#endif  // TIMING_H
