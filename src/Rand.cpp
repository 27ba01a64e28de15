// CRand: the minimal-standard multiplicative congruential generator with
// multiplier 48271 modulo 2^31 - 1, on one process-wide seed.

#include "Rand.h"

#include <sys/time.h>

namespace {

constexpr std::int32_t kInitialSeed = 234567890;

constexpr std::int64_t kModulus = 2147483647;  // 2^31 - 1
constexpr std::uint64_t kMultiplier = 48271;
// The double nearest to 1 / (2^31 - 1).
constexpr double kScale = 4.656612875245797e-10;

bool StillInitial() {
    return CRand::lSeed == kInitialSeed;
}

// Seconds plus microseconds of the clock, wrapping modulo 2^32.
void SeedFromClock() {
    timeval now;
    gettimeofday(&now, nullptr);
    const std::uint32_t sum =
        static_cast<std::uint32_t>(now.tv_sec) + static_cast<std::uint32_t>(now.tv_usec);
    CRand::lSeed = static_cast<std::int32_t>(sum);
}

}  // namespace

std::int32_t CRand::lSeed = kInitialSeed;

CRand::CRand(int nSeed) {
    if (StillInitial()) {
        lSeed = nSeed;
    }
}

CRand::CRand(bool bReproducible, int nSeed) {
    if (bReproducible) {
        if (nSeed > 1 && StillInitial()) {
            lSeed = nSeed;
        }
    } else if (StillInitial()) {
        SeedFromClock();
    }
}

CRand::CRand(bool bReproducible) {
    if (!bReproducible && StillInitial()) {
        SeedFromClock();
    }
}

CRand::~CRand() = default;

// The step gives what Schrage's decomposition of 48271 * seed modulo 2^31 - 1
// gives (the residue from 1 to 2^31 - 2, or 2^31 - 1 for a seed that is a
// multiple of the modulus), computed in 64 bits with a shorter chain of
// dependent instructions: the seed plus twice the modulus is positive and
// congruent to it, and since 2^31 leaves 1 modulo 2^31 - 1, adding the
// product's bits above bit 31 to its low 31 bits keeps the residue and leaves
// a sum below twice the modulus.
double CRand::Random() {
    const std::uint64_t product =
        kMultiplier * static_cast<std::uint64_t>(std::int64_t{lSeed} + 2 * kModulus);
    std::uint64_t next = (product & kModulus) + (product >> 31);
    if (next > kModulus) {
        next -= kModulus;
    }
    lSeed = static_cast<std::int32_t>(next);
    return static_cast<double>(next) * kScale;
}
