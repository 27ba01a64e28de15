// RandTest.cpp: CRand against std::minstd_rand and 48271 * seed mod 2^31 - 1,
// the constructors' seeding rules and the seed taken from the clock. KolvenvTest
// shows the initial seed's draws.

#include <gtest/gtest.h>
#include <sys/time.h>

#include <array>
#include <random>

#include "Rand.h"
#include "TestSupport.h"

namespace {

constexpr std::int32_t kInitialSeed = 234567890;
constexpr std::int64_t kModulus = 2147483647;

// A thousand draws from the initial seed, ordinary seeds and the edges, each
// against the residue of 48271 * seed modulo 2^31 - 1 computed in 64 bits (a
// multiple of the modulus goes to 2^31 - 1 and stays there, the value 1.0),
// and from ordinary seeds against std::minstd_rand too.
TEST(RandTest, DrawsFollowTheMinimalStandardGenerator) {
    SeedGuard guard;
    const std::array<std::int64_t, 10> starts = {
        kInitialSeed, 1, 987654321, kModulus - 1, 0, kModulus, -kModulus, -kModulus - 1, -1, 44488};
    for (const std::int64_t start : starts) {
        SCOPED_TRACE(start);
        CRand::lSeed = static_cast<std::int32_t>(start);
        std::minstd_rand reference(static_cast<std::uint32_t>(start));
        const bool ordinary = start > 0 && start < kModulus;
        std::int64_t seed = start;
        for (int i = 0; i < 1000; ++i) {
            const std::int64_t residue = 48271 * seed % kModulus;
            seed = residue <= 0 ? residue + kModulus : residue;
            const double expected =
                seed == kModulus ? 1.0 : static_cast<double>(seed) * (1.0 / kModulus);
            ASSERT_EQ(CRand::Random(), expected) << i;
            const auto expectedSeed = ordinary ? static_cast<std::int64_t>(reference()) : seed;
            ASSERT_EQ(CRand::lSeed, expectedSeed) << i;
        }
    }
}

// Whether the seed is the seconds plus the microseconds (modulo 2^32) of an
// instant from `before` to `after`. Within a second the sum grows with the
// time, but at a second boundary it falls back: each second is tried alone.
bool ClockSumBetween(std::int32_t seed, const timeval& before, const timeval& after) {
    for (std::int64_t second = before.tv_sec; second <= after.tv_sec; ++second) {
        const std::int64_t first = second == before.tv_sec ? before.tv_usec : 0;
        const std::int64_t last = second == after.tv_sec ? after.tv_usec : 999999;
        const std::uint32_t micro =
            static_cast<std::uint32_t>(seed) - static_cast<std::uint32_t>(second);
        if (micro >= first && micro <= last) {
            return true;
        }
    }
    return false;
}

struct Construction {
    const char* name;
    void (*construct)();
    bool fromClock;
    std::int32_t seed;  // the seed it leaves after the initial one, unless from the clock
};

// From the initial seed: CRand(n) seeds with any n, CRand(true, n) with n
// above 1, CRand(false[, n]) from the clock, CRand(true) never. From any other
// seed, none of them seeds.
TEST(RandTest, ConstructorsSeedOnlyTheInitialSeed) {
    SeedGuard guard;
    const std::vector<Construction> constructions = {
        {"CRand(-5)", [] { const CRand rand(-5); }, false, -5},
        {"CRand(true, 2)", [] { const CRand rand(true, 2); }, false, 2},
        {"CRand(true, 1)", [] { const CRand rand(true, 1); }, false, kInitialSeed},
        {"CRand(true)", [] { const CRand rand(true); }, false, kInitialSeed},
        {"CRand(false)", [] { const CRand rand(false); }, true, 0},
        {"CRand(false, 3)", [] { const CRand rand(false, 3); }, true, 0},
    };
    for (const Construction& row : constructions) {
        SCOPED_TRACE(row.name);
        CRand::lSeed = kInitialSeed;
        timeval before;
        gettimeofday(&before, nullptr);
        row.construct();
        timeval after;
        gettimeofday(&after, nullptr);
        if (row.fromClock) {
            EXPECT_TRUE(ClockSumBetween(CRand::lSeed, before, after)) << CRand::lSeed;
        } else {
            EXPECT_EQ(CRand::lSeed, row.seed);
        }
        CRand::lSeed = 5;
        row.construct();
        EXPECT_EQ(CRand::lSeed, 5);
    }
}

}  // namespace
