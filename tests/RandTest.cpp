// RandTest.cpp: CRand against std::minstd_rand and 48271 * seed mod 2^31 - 1,
// and the constructors' seeding rules.

#include <gtest/gtest.h>

#include <random>

#include "Rand.h"
#include "TestSupport.h"

constexpr std::int64_t kInitialSeed = 234567890, kModulus = 2147483647;

// A thousand draws from the initial seed, ordinary seeds and the edges, each
// against the residue of 48271 * seed modulo 2^31 - 1 computed in 64 bits (a
// multiple of the modulus goes to 2^31 - 1 and stays there, the value 1.0),
// and from ordinary seeds against std::minstd_rand too.
TEST(RandTest, DrawsFollowTheMinimalStandardGenerator) {
    SeedGuard guard;
    EXPECT_EQ(CRand::lSeed, kInitialSeed);
    for (std::int64_t seed :
         std::initializer_list<std::int64_t>{kInitialSeed, 1, 987654321, kModulus - 1, 0, kModulus,
                                             -kModulus, -kModulus - 1, -1, 44488}) {
        CRand::lSeed = static_cast<std::int32_t>(seed);
        std::minstd_rand reference(static_cast<std::uint32_t>(seed));
        const bool ordinary = seed > 0 && seed < kModulus;
        for (int i = 0; i < 1000; ++i) {
            const std::int64_t residue = 48271 * seed % kModulus;
            seed = residue <= 0 ? residue + kModulus : residue;
            ASSERT_EQ(CRand::Random(), seed == kModulus ? 1.0 : seed * (1.0 / kModulus)) << i;
            ASSERT_EQ(CRand::lSeed, ordinary ? static_cast<std::int64_t>(reference()) : seed) << i;
        }
    }
}

// Constructors seed only while the seed is the initial one: CRand(n) with any
// n, CRand(true, n) with n above 1, CRand(false[, n]) from the clock; CRand(true)
// never.
TEST(RandTest, ConstructorsSeedOnlyTheInitialSeed) {
    SeedGuard guard;
    CRand::lSeed = kInitialSeed, CRand(true, 1), CRand(true), CRand(-5), CRand(9), CRand(true, 2),
    CRand(false);
    EXPECT_EQ(CRand::lSeed, -5);
    CRand::lSeed = kInitialSeed, CRand(true, 2), CRand(7), CRand(false, 3);
    EXPECT_EQ(CRand::lSeed, 2);
    for (bool withSeed : {false, true}) {
        CRand::lSeed = kInitialSeed, withSeed ? CRand(false, 3) : CRand(false);
        const std::int32_t seed = CRand::lSeed;
        CRand(false), CRand(false, 3), CRand(4);
        EXPECT_TRUE(seed != kInitialSeed && CRand::lSeed == seed) << seed;
    }
}
