// RandTest.cpp: CRand against std::minstd_rand, and against 48271 * seed mod
// 2^31 - 1 from the seeds std::minstd_rand does not take. The failure test
// proves the constructors' seeding rules on a clock of its own.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "Rand.h"
#include "TestSupport.h"

namespace {

constexpr std::int32_t kInitialSeed = 234567890;
constexpr std::int64_t kModulus = 2147483647;

// A thousand draws from each start, the value being the new seed times the
// double nearest to 1 / (2^31 - 1). From an ordinary seed std::minstd_rand
// gives the seeds; from the edges, the residue of 48271 * seed modulo 2^31 - 1
// computed in 64 bits, where a multiple of the modulus goes to 2^31 - 1 and
// stays there, the value 1.0.
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
            const std::int64_t edge = residue <= 0 ? residue + kModulus : residue;
            seed = ordinary ? static_cast<std::int64_t>(reference()) : edge;
            ASSERT_EQ(CRand::Random(), static_cast<double>(seed) * (1.0 / kModulus)) << i;
            ASSERT_EQ(CRand::lSeed, seed) << i;
        }
    }
}

}  // namespace
