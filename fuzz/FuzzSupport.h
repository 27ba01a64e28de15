// FuzzSupport.h: what every fuzz target shares: the check that stops the run
// on a broken invariant, a reader that takes numbers and texts off the fuzzed
// bytes, and the counts of the messages the library sent.
//
// Each target defines kolvfuzz::FuzzOneInput; FuzzEntry.cpp hands it every
// input that is not too large.

#ifndef KOLV_FUZZSUPPORT_H
#define KOLV_FUZZSUPPORT_H

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

// The entry point that libFuzzer, or the replay program, calls with each input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kolvfuzz {

// Inputs larger than this are passed over, so that every run stays fast.
constexpr std::size_t kMaxInput = 64 * 1024;

// Names the broken invariant, then traps: libFuzzer keeps the input as a
// reproducer, and a replay test fails.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::fflush(stderr);
    __builtin_trap();
}

// Calls of the five message functions since the program started.
struct MessageCounts {
    unsigned long print = 0;
    unsigned long error = 0;
    unsigned long exception = 0;
    unsigned long genException = 0;
    unsigned long newException = 0;
};
extern MessageCounts messages;

// isspace() on a byte classified as unsigned char, as the library does.
inline bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The text without its leading and trailing white space.
inline std::string Trimmed(const std::string& text) {
    std::string::size_type begin = 0;
    std::string::size_type end = text.size();
    while (begin < end && IsSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Takes values off the front of the fuzzed bytes; past the end every byte
// reads as 0 and every text as empty.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte() {
        if (m_size == 0) {
            return 0;
        }
        --m_size;
        return *m_data++;
    }

    // A number of one of four kinds, chosen by a leading byte, so that small
    // values, edge values and the whole range all come up: 0 to 63, any
    // 8-bit, any 16-bit or any 32-bit signed value.
    int Number() {
        const std::uint8_t kind = Byte();
        switch (kind & 3) {
            case 0:
                return kind >> 2;
            case 1:
                return static_cast<std::int8_t>(Byte());
            case 2:
                return static_cast<std::int16_t>(Bits(2));
            default:
                return static_cast<std::int32_t>(Bits(4));
        }
    }

    // A text whose length (0 to 255) stands in the byte before it.
    std::string Text() { return Take(Byte()); }

    // All the bytes that are left.
    std::string Rest() { return Take(m_size); }

private:
    std::uint32_t Bits(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }

    std::string Take(std::size_t count) {
        count = count < m_size ? count : m_size;
        std::string text(reinterpret_cast<const char*>(m_data), count);
        m_data += count;
        m_size -= count;
        return text;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
};

// The target's checks on one input.
void FuzzOneInput(FuzzInput& input);

}  // namespace kolvfuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::kolvfuzz::Fail(#condition, __FILE__, __LINE__))

#endif  // KOLV_FUZZSUPPORT_H
