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

// The value of a seed: times 2^-31 * (1 + 2^-31), the double nearest to
// 1 / (2^31 - 1).
double ReferenceValue(std::int32_t seed) {
    return seed * std::ldexp(1.0 + std::ldexp(1.0, -31), -31);
}

TEST(RandTest, UnseededStreamStartsFromTheInitialSeed) {
    SeedGuard guard;
    CRand::lSeed = kInitialSeed;
    EXPECT_NEAR(CRand::Random(), 0.602021444, 1e-9);
    EXPECT_EQ(CRand::lSeed, 1292831206);
    EXPECT_NEAR(CRand::Random(), 0.177120327, 1e-9);
    EXPECT_EQ(CRand::lSeed, 380363006);
    CRand::Random();
    EXPECT_EQ(CRand::lSeed, 1664964423);
}

// Constructors seed only while the seed is the initial one: the one-argument
// form with any seed, the reproducible form with seeds above 1, the other
// form from the clock (seconds plus microseconds of a reading during the call).
TEST(RandTest, ConstructorRules) {
    SeedGuard guard;
    const struct {
        void (*construct)();
        std::int32_t seed;  // afterwards, when not from the clock
    } cases[] = {
        {[] { CRand(5), CRand(9), CRand(true, 12); }, 5},
        {[] { CRand(1); }, 1},
        {[] { CRand(-5); }, -5},
        {[] { CRand(true, 12), CRand(7); }, 12},
        {[] { CRand(true, 1), CRand(true, 0), CRand(true, -7), CRand(true); }, kInitialSeed},
        {[] { CRand(false); }, 0},
        {[] { CRand(false, 3); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        CRand::lSeed = kInitialSeed;
        timeval now;
        gettimeofday(&now, nullptr);
        const std::uint32_t before = static_cast<std::uint32_t>(now.tv_sec + now.tv_usec);
        c.construct();
        gettimeofday(&now, nullptr);
        const std::uint32_t elapsed = static_cast<std::uint32_t>(now.tv_sec + now.tv_usec) - before;
        if (c.seed != 0) {
            EXPECT_EQ(CRand::lSeed, c.seed);
        } else if (elapsed < 1000000) {  // else the sum may have stepped back
            EXPECT_LE(static_cast<std::uint32_t>(CRand::lSeed) - before, elapsed);
        }
        // A drawn seed is no longer the initial one: nothing seeds again.
        CRand::lSeed = kInitialSeed;
        CRand::Random();
        const std::int32_t drawn = CRand::lSeed;
        c.construct();
        EXPECT_EQ(CRand::lSeed, drawn);
    }
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
    CRand::lSeed = INT32_MIN;  // -1 modulo 2^31 - 1, an ordinary seed
    EXPECT_LT(CRand::Random(), 1.0);
    EXPECT_EQ(CRand::lSeed, 2147483647 - 48271);
}

TEST(RandTest, MatchesTheStandardMinimalGenerator) {
    SeedGuard guard;
    CRand::lSeed = 1;
    for (int i = 0; i < 10000; ++i) {
        CRand::Random();
    }
    EXPECT_EQ(CRand::lSeed, 399268537);

    CRand::lSeed = 987654321;
    std::minstd_rand reference(987654321);
    for (int i = 0; i < 1000000; ++i) {
        const double value = CRand::Random();
        const auto expected = static_cast<std::int32_t>(reference());
        ASSERT_EQ(CRand::lSeed, expected) << "draw " << i;
        ASSERT_EQ(value, ReferenceValue(expected)) << "draw " << i;
        ASSERT_TRUE(value > 0.0 && value < 1.0) << "draw " << i;
    }
}

// One step from seeds across the whole range, negative ones too, against the
// residue of 48271 * seed computed with 64-bit '%' (a multiple of the
// modulus steps to 2^31 - 1 itself).
TEST(RandTest, OneStepFromAnySeedMatchesTheReference) {
    SeedGuard guard;
    std::vector<std::int64_t> seeds = {1, 2, -1, -5, 44487, 44488, 48271, -44488, -48271, 1 << 30};
    for (std::int64_t seed = INT32_MIN; seed <= INT32_MAX; seed += 65537) {
        seeds.push_back(seed);
    }
    for (std::int64_t seed = -2; seed <= 2; ++seed) {  // each end, 0 and -(2^31 - 1)
        seeds.insert(seeds.end(), {INT32_MIN + 2 + seed, seed, INT32_MAX - 2 + seed});
    }
    for (std::int64_t seed : seeds) {
        const std::int64_t residue = 48271 * seed % kModulus;
        const auto expected =
            static_cast<std::int32_t>(residue <= 0 ? residue + kModulus : residue);
        CRand::lSeed = static_cast<std::int32_t>(seed);
        ASSERT_EQ(CRand::Random(), ReferenceValue(expected)) << "seed " << seed;
        ASSERT_EQ(CRand::lSeed, expected) << "seed " << seed;
    }
}

}  // namespace
