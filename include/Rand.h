/// @file
/// @brief The seeded pseudo-random number generator of KolvUtil (CRand).
///
/// A multiplicative congruential generator modulo 2^31 - 1 with multiplier
/// 48271 (the same sequence as std::minstd_rand). Its whole state is the one
/// class-wide seed CRand::lSeed, initially 234567890. Constructors seed it
/// only while it still holds that initial value; Random() advances it.
///
/// Nothing here throws or is traced.
///
/// Concurrency: lSeed is plain global data; callers on several threads
/// serialise their use of the generator.

#ifndef RAND_H
#define RAND_H

#include <cstdint>

#include "KolvUtilExport.h"

/// The generator: one seed for the whole process, seeded once.
class KOLVUTIL_API CRand {
public:
    /// Seeds with nSeed (any value) if the seed is still 234567890.
    explicit CRand(int nSeed);

    /// bReproducible true: seeds with nSeed if it is above 1 and the seed is
    /// still 234567890. false: nSeed is ignored and the seed, if still
    /// 234567890, is taken from the clock.
    CRand(bool bReproducible, int nSeed);

    /// bReproducible false: seeds from the clock if the seed is still
    /// 234567890. true: does nothing.
    explicit CRand(bool bReproducible);

    /// Leaves the seed as it is.
    virtual ~CRand();

    /// Advances the seed to (48271 * seed) mod (2^31 - 1) and returns it
    /// times 1/(2^31 - 1): a double strictly between 0 and 1. A seed that is
    /// a multiple of 2^31 - 1 (0, 2147483647, -2147483647) becomes 2147483647
    /// and stays there; every draw then returns exactly 1.0. Not safe to call
    /// concurrently.
    static double Random();

    /// The generator's state, shared by the whole process; initially
    /// 234567890. Plain global data: callers on several threads serialise
    /// their use of it.
    static std::int32_t lSeed;
};

#endif  // RAND_H
