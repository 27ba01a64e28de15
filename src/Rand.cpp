// CRand: the minimal-standard multiplicative congruential generator with
// multiplier 48271 modulo 2^31 - 1, on one process-wide seed.

#include "Rand.h"

#include <sys/time.h>

namespace {

constexpr std::int32_t kInitialSeed = 234567890;

// Schrage's decomposition of 48271 * s mod (2^31 - 1): 44488 is the modulus
// divided by the multiplier, 3399 the remainder, so no product overflows.
constexpr std::int32_t kModulus = 2147483647;
constexpr std::int32_t kMultiplier = 48271;
constexpr std::int32_t kQuotient = 44488;
constexpr std::int32_t kRemainder = 3399;

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

CRand::~CRand() {}

double CRand::Random() {
    const std::int32_t seed = lSeed;
    const std::int32_t high = seed / kQuotient;
    const std::int32_t low = seed - kQuotient * high;
    std::int32_t next = kMultiplier * low - kRemainder * high;
    if (next <= 0) {
        next += kModulus;
    }
    lSeed = next;
    return next * kScale;
}
