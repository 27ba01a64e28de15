#include <gtest/gtest.h>

#include <set>

#include "Timing.h"

namespace {

// The nineteen timers, by name, in declaration order.
CLogTime* const kTimers[] = {&totalTime,    &qorTime,     &analyTime,     &dbReadTime, &dbWriteTime,
                             &kefWriteTime, &kefReadTime, &linkTime,      &synthTime,  &consTime,
                             &objTime,      &gradTime,    &mlimitsTime,   &dmodelTime, &mbuildTime,
                             &mevalTime,    &convTime,    &discSetupTime, &residTime};

void ExpectAllZero() {
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(kTimers[i]->dStart, 0.0) << "timer " << i;
        EXPECT_EQ(kTimers[i]->dElapsed, 0.0) << "timer " << i;
    }
}

TEST(TimingTest, TimersStartAtZero) {
    ExpectAllZero();
    EXPECT_EQ(std::set<CLogTime*>(std::begin(kTimers), std::end(kTimers)).size(), 19u);
}

TEST(TimingTest, ResetTimingZeroesEveryTimer) {
    ResetTiming();
    ExpectAllZero();
    for (int i = 0; i < 19; ++i) {
        kTimers[i]->dStart = i + 1.0;
        kTimers[i]->dElapsed = -(i + 0.5);
    }
    for (int i = 0; i < 19; ++i) {  // each timer holds its own values
        EXPECT_EQ(kTimers[i]->dStart, i + 1.0);
        EXPECT_EQ(kTimers[i]->dElapsed, -(i + 0.5));
    }
    ResetTiming();
    ExpectAllZero();
    ResetTiming();
    ExpectAllZero();
}

}  // namespace
