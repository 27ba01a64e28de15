// The entry point of every fuzz target: inputs over kMaxInput are passed
// over, the others go to the target's FuzzOneInput.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size <= kolvfuzz::kMaxInput) {
        kolvfuzz::FuzzInput input(data, size);
        kolvfuzz::FuzzOneInput(input);
    }
    return 0;
}
