#include <gtest/gtest.h>

#include <sys/time.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "Rand.h"
#include "TestSupport.h"

namespace {

constexpr std::int32_t kInitialSeed = 234567890;
constexpr std::int64_t kModulus = 2147483647;

// Reference step, computed directly in 64 bits rather than by Schrage's
// decomposition: the residue of 48271 * seed in 1 .. 2^31 - 1, where a
// multiple of the modulus gives 2^31 - 1 itself.
std::int32_t ReferenceNextSeed(std::int32_t seed) {
    const std::int64_t residue = 48271 * static_cast<std::int64_t>(seed) % kModulus;
    return static_cast<std::int32_t>(residue <= 0 ? residue + kModulus : residue);
}

// The scale is 2^-31 * (1 + 2^-31), the double nearest to 1 / (2^31 - 1).
double ReferenceValue(std::int32_t seed) {
    return seed * std::ldexp(1.0 + std::ldexp(1.0, -31), -31);
}

// Seconds plus microseconds of the clock, wrapping like the seed does.
std::uint32_t ClockSum() {
    timeval now;
    gettimeofday(&now, nullptr);
    return static_cast<std::uint32_t>(now.tv_sec) + static_cast<std::uint32_t>(now.tv_usec);
}

TEST(RandTest, UnseededStreamStartsFromTheInitialSeed) {
    SeedGuard guard;
    CRand::lSeed = kInitialSeed;
    CRand(true);
    CRand(true, 1);  // seeds of 1 and below are refused
    CRand(true, 0);
    CRand(true, -7);
    EXPECT_EQ(CRand::lSeed, kInitialSeed);
    EXPECT_NEAR(CRand::Random(), 0.602021444, 1e-9);
    EXPECT_EQ(CRand::lSeed, 1292831206);
    EXPECT_NEAR(CRand::Random(), 0.177120327, 1e-9);
    EXPECT_EQ(CRand::lSeed, 380363006);
    CRand::Random();
    EXPECT_EQ(CRand::lSeed, 1664964423);
}

TEST(RandTest, ConstructorsSeedOnlyWhileTheSeedIsInitial) {
    SeedGuard guard;
    CRand::lSeed = kInitialSeed;
    CRand first(5);
    CRand second(9);
    CRand third(true, 12);
    EXPECT_EQ(CRand::lSeed, 5);

    CRand::lSeed = kInitialSeed;
    CRand(true, 12);
    EXPECT_EQ(CRand::lSeed, 12);

    CRand::lSeed = kInitialSeed;
    CRand::Random();
    const std::int32_t drawn = CRand::lSeed;
    CRand(false);
    CRand(false, 3);
    CRand(5);
    EXPECT_EQ(CRand::lSeed, drawn);

    // From the clock: seconds plus microseconds of a reading during the call.
    for (bool bTwoArguments : {false, true}) {
        CRand::lSeed = kInitialSeed;
        const std::uint32_t before = ClockSum();
        if (bTwoArguments) {
            CRand(false, 3);
        } else {
            CRand(false);
        }
        const std::uint32_t elapsed = ClockSum() - before;
        if (elapsed < 1000000) {  // else a second has passed and the sum stepped back
            EXPECT_LE(static_cast<std::uint32_t>(CRand::lSeed) - before, elapsed);
        }
    }
}

TEST(RandTest, AnySeedIsAcceptedByTheOneArgumentConstructor) {
    SeedGuard guard;
    CRand::lSeed = kInitialSeed;
    CRand(1);
    EXPECT_EQ(CRand::Random(), 48271 * 4.656612875245797e-10);
    EXPECT_EQ(CRand::lSeed, 48271);
    CRand::lSeed = kInitialSeed;
    CRand(-5);
    CRand::Random();
    EXPECT_EQ(CRand::lSeed, 2147242292);
}

TEST(RandTest, MultiplesOfTheModulusStickAtOne) {
    SeedGuard guard;
    for (std::int32_t seed : {0, 2147483647, -2147483647}) {
        CRand::lSeed = seed;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(CRand::Random(), 1.0) << seed;
            EXPECT_EQ(CRand::lSeed, 2147483647) << seed;
        }
    }
    // -2^31 is -1 modulo 2^31 - 1, an ordinary seed.
    CRand::lSeed = INT32_MIN;
    EXPECT_LT(CRand::Random(), 1.0);
    EXPECT_EQ(CRand::lSeed, 2147483647 - 48271);
}

TEST(RandTest, MatchesTheStandardMinimalGenerator) {
    SeedGuard guard;
    CRand::lSeed = 1;
    std::minstd_rand reference(1);
    for (int i = 0; i < 10000; ++i) {
        CRand::Random();
    }
    EXPECT_EQ(CRand::lSeed, 399268537);

    CRand::lSeed = 987654321;
    reference.seed(987654321);
    for (int i = 0; i < 1000000; ++i) {
        const double value = CRand::Random();
        const auto expected = static_cast<std::int32_t>(reference());
        ASSERT_EQ(CRand::lSeed, expected) << "draw " << i;
        ASSERT_EQ(value, ReferenceValue(expected)) << "draw " << i;
        ASSERT_GT(value, 0.0);
        ASSERT_LT(value, 1.0);
    }
}

// One step as Schrage's decomposition computes it, in 32-bit arithmetic.
std::int32_t SchrageNextSeed(std::int32_t seed) {
    const std::int32_t high = seed / 44488;
    const std::int32_t low = seed - 44488 * high;
    const std::int32_t next = 48271 * low - 3399 * high;
    return next <= 0 ? next + 2147483647 : next;
}

TEST(RandTest, OneStepEqualsSchragesAcrossTheSeedRange) {
    SeedGuard guard;
    // Every 65537th seed from the lowest, then each end of the range and the
    // neighbours of the multiples of the modulus.
    std::vector<std::int32_t> seeds;
    for (std::int64_t seed = INT32_MIN; seed <= INT32_MAX; seed += 65537) {
        seeds.push_back(static_cast<std::int32_t>(seed));
    }
    for (std::int64_t centre : {std::int64_t{INT32_MIN}, -kModulus, std::int64_t{0}, kModulus}) {
        for (std::int64_t seed = centre - 2; seed <= centre + 2; ++seed) {
            if (seed >= INT32_MIN && seed <= INT32_MAX) {
                seeds.push_back(static_cast<std::int32_t>(seed));
            }
        }
    }
    for (std::int32_t seed : seeds) {
        CRand::lSeed = seed;
        const double value = CRand::Random();
        ASSERT_EQ(CRand::lSeed, SchrageNextSeed(seed)) << "seed " << seed;
        ASSERT_EQ(value, ReferenceValue(CRand::lSeed)) << "seed " << seed;
    }
}

TEST(RandTest, MatchesTheReferenceForEverySign) {
    SeedGuard guard;
    const std::int32_t seeds[] = {
        1,      2,          44487,         44488,     48271,         -1,          -5,        -44488,
        -48271, 1073741824, INT32_MAX - 1, INT32_MIN, INT32_MIN + 2, -1234567890, 2000000000};
    for (std::int32_t seed : seeds) {
        CRand::lSeed = seed;
        std::int32_t expected = seed;
        for (int i = 0; i < 1000; ++i) {
            expected = ReferenceNextSeed(expected);
            ASSERT_EQ(CRand::Random(), ReferenceValue(expected)) << "seed " << seed;
            ASSERT_EQ(CRand::lSeed, expected) << "seed " << seed;
        }
    }
    EXPECT_EQ(ReferenceValue(1), 4.656612875245797e-10);
}

}  // namespace
