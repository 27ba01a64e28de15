#include <gtest/gtest.h>

#include <set>

#include "Timing.h"

namespace {

// The nineteen timers, distinct objects, zero at load and after ResetTiming.
TEST(TimingTest, TimersStartAtZeroAndResetToZero) {
    CLogTime* const timers[] = {&totalTime,   &qorTime,       &analyTime,   &dbReadTime,
                                &dbWriteTime, &kefWriteTime,  &kefReadTime, &linkTime,
                                &synthTime,   &consTime,      &objTime,     &gradTime,
                                &mlimitsTime, &dmodelTime,    &mbuildTime,  &mevalTime,
                                &convTime,    &discSetupTime, &residTime};
    ASSERT_EQ(std::set<CLogTime*>(std::begin(timers), std::end(timers)).size(), 19u);
    for (int round = 0; round < 3; ++round) {  // at load, then after two resets
        for (std::size_t i = 0; i < 19; ++i) {
            EXPECT_EQ(timers[i]->dStart, 0.0) << "round " << round << ", timer " << i;
            EXPECT_EQ(timers[i]->dElapsed, 0.0) << "round " << round << ", timer " << i;
            timers[i]->dStart = i + 1.0;
            timers[i]->dElapsed = -(i + 0.5);
        }
        ResetTiming();
    }
}

}  // namespace
