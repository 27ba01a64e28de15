// TimingTest.cpp: ResetTiming zeroes every one of the nineteen timers.

#include <gtest/gtest.h>

#include <array>

#include "Timing.h"

TEST(TimingTest, ResetTimingZeroesEveryTimer) {
    const std::array<CLogTime*, 19> timers = {
        &totalTime,    &qorTime,     &analyTime,     &dbReadTime, &dbWriteTime,
        &kefWriteTime, &kefReadTime, &linkTime,      &synthTime,  &consTime,
        &objTime,      &gradTime,    &mlimitsTime,   &dmodelTime, &mbuildTime,
        &mevalTime,    &convTime,    &discSetupTime, &residTime};
    for (CLogTime* timer : timers) {
        timer->dStart = 1.5;
        timer->dElapsed = 2.5;
    }
    ResetTiming();
    for (std::size_t i = 0; i < timers.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(timers[i]->dStart, 0.0);
        EXPECT_EQ(timers[i]->dElapsed, 0.0);
    }
}
