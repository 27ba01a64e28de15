// CKUtil::Combo on fuzzed (n, k, m). Within range (0 <= k <= n and m below
// the number of k-subsets, counted here independently) the result has k + 1
// elements, element 0 is -1, the rest increase strictly within 0..n-1, and
// for positions up to a few thousand it equals the combination reached by
// stepping from the first one in lexicographic order. Outside the range
// std::out_of_range is thrown and the array is left as it was.

#include <KUtil.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <valarray>

#include "FuzzSupport.h"

namespace {

// Positions past this many steps are not compared with the stepping walk.
constexpr int kMaxSteps = 4096;
// Larger subsets within range are passed over: the array alone would take
// more memory and time than a fuzz run should.
constexpr int kMaxK = 1024;

// The number of k-subsets of n elements, or 2^31 when it is at least that
// (m is an int, so every such count is out of its reach).
std::int64_t SubsetCount(int n, int k) {
    constexpr std::int64_t kCap = std::int64_t{1} << 31;
    if (k < 0 || k > n) {
        return 0;
    }
    const std::int64_t r = std::min<std::int64_t>(k, std::int64_t{n} - k);
    std::int64_t count = 1;
    for (std::int64_t i = 0; i < r; ++i) {
        // C(n, i + 1) = C(n, i) * (n - i) / (i + 1), exact; below 2^31 * 2^31.
        count = count * (n - i) / (i + 1);
        if (count >= kCap) {
            return kCap;
        }
    }
    return count;
}

// The combination at position m reached by stepping m times from the first.
std::valarray<int> Stepped(int n, int k, int m) {
    std::valarray<int> combo(k + 1);
    combo[0] = -1;
    for (int j = 1; j <= k; ++j) {
        combo[j] = j - 1;
    }
    for (int step = 0; step < m; ++step) {
        int j = k;
        while (j > 0 && combo[j] == n - 1 - (k - j)) {
            --j;
        }
        FUZZ_CHECK(j > 0);  // the last combination has no next one
        ++combo[j];
        for (int i = j + 1; i <= k; ++i) {
            combo[i] = combo[i - 1] + 1;
        }
    }
    return combo;
}

}  // namespace

void kolvfuzz::FuzzOneInput(FuzzInput& input) {
    const int n = input.Number();
    const int k = input.Number();
    const int m = input.Number();
    const int previousSize = input.Byte() % 8;
    const bool inRange = k >= 0 && k <= n && m < SubsetCount(n, k);
    if (inRange && k > kMaxK) {
        return;
    }

    std::valarray<int> combo(7, previousSize);
    try {
        CKUtil::Combo(n, k, m, combo);
    } catch (const std::out_of_range&) {
        FUZZ_CHECK(!inRange);
        FUZZ_CHECK(combo.size() == static_cast<std::size_t>(previousSize));
        for (std::size_t i = 0; i < combo.size(); ++i) {
            FUZZ_CHECK(combo[i] == 7);
        }
        return;
    }
    FUZZ_CHECK(inRange);
    FUZZ_CHECK(combo.size() == static_cast<std::size_t>(k) + 1);
    FUZZ_CHECK(combo[0] == -1);
    for (int j = 1; j <= k; ++j) {
        FUZZ_CHECK(combo[j] > combo[j - 1]);
        FUZZ_CHECK(combo[j] >= 0 && combo[j] <= n - 1);
    }
    if (m < kMaxSteps) {
        const std::valarray<int> stepped = Stepped(n, k, m < 0 ? 0 : m);
        for (int j = 0; j <= k; ++j) {
            FUZZ_CHECK(combo[j] == stepped[j]);
        }
    }
}
