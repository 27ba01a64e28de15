// TimingTest.cpp: ResetTiming zeroes every one of the nineteen timers.

#include <gtest/gtest.h>

#include "Timing.h"

TEST(TimingTest, ResetTimingZeroesEveryTimer) {
    CLogTime* const timers[] = {&totalTime,   &qorTime,       &analyTime,   &dbReadTime,
                                &dbWriteTime, &kefWriteTime,  &kefReadTime, &linkTime,
                                &synthTime,   &consTime,      &objTime,     &gradTime,
                                &mlimitsTime, &dmodelTime,    &mbuildTime,  &mevalTime,
                                &convTime,    &discSetupTime, &residTime};
    for (CLogTime* timer : timers)
        timer->dStart = timer->dElapsed = 1.5;
    ResetTiming();
    for (CLogTime* timer : timers)
        EXPECT_TRUE(timer->dStart == 0.0 && timer->dElapsed == 0.0) << timer;
}
