// CLogTime, the nineteen global phase timers (constructed at load in this
// order, destroyed at unload in the reverse order) and ResetTiming.

#include "Timing.h"

#include <initializer_list>

CLogTime::CLogTime() noexcept = default;

CLogTime::~CLogTime() = default;

CLogTime totalTime, qorTime, analyTime, dbReadTime, dbWriteTime, kefWriteTime, kefReadTime,
    linkTime, synthTime, consTime, objTime, gradTime, mlimitsTime, dmodelTime, mbuildTime,
    mevalTime, convTime, discSetupTime, residTime;

void ResetTiming() {
    for (CLogTime* timer :
         {&totalTime, &qorTime, &analyTime, &dbReadTime, &dbWriteTime, &kefWriteTime, &kefReadTime,
          &linkTime, &synthTime, &consTime, &objTime, &gradTime, &mlimitsTime, &dmodelTime,
          &mbuildTime, &mevalTime, &convTime, &discSetupTime, &residTime}) {
        timer->dStart = 0.0;
        timer->dElapsed = 0.0;
    }
}
