#pragma once
// Eight bytes of text looked at as one 64-bit word, as the readers do where
// a loop over the bytes would mispredict its exit on every field.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace keelrun {

inline constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
inline constexpr std::uint64_t kTopBits = 0x8080808080808080u;

// The eight bytes from `p`, the first in the lowest byte on any processor.
inline std::uint64_t wordAt(const char *p)
{
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// The top bit of each byte of the word that is `c`: only bytes equal to it
// are zero after the exclusive or, and only zero bytes keep their top bit
// clear when 0x7f is added to their low seven bits.
inline std::uint64_t bytesEqual(std::uint64_t word, char c)
{
    const std::uint64_t x = word ^ (kEveryByte * static_cast<unsigned char>(c));
    return ~(((x & ~kTopBits) + ~kTopBits) | x) & kTopBits;
}

// The top bit of each byte of the word that is no digit, exact up to the
// first such byte: a digit neither carries out of its byte when 0x46 is
// added nor borrows when '0' is taken away, and any other byte sets its top
// bit in one or the other (the bytes after it may take its carry).
inline std::uint64_t notDigits(std::uint64_t word) { return ((word + 0x4646464646464646u) | (word - 0x3030303030303030u)) & kTopBits; }

// Whether all eight bytes of the word are digits.
inline bool noneButDigits(std::uint64_t word) { return notDigits(word) == 0; }

// How many bytes at the start of the word are digits, 0 to 8.
inline std::size_t leadingDigitCount(std::uint64_t word)
{
    const std::uint64_t others = notDigits(word);
    return others == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(others)) / 8;
}

// Each two bytes of a word that are digits, the first the tens, as a number
// in their sixteen bits: one multiplication adds ten times each even byte to
// the byte after it.
inline std::uint64_t digitPairs(std::uint64_t word) { return (word & 0x0f0f0f0f0f0f0f0fu) * 2561 >> 8 & 0x00ff00ff00ff00ffu; }

// The digits that stand at the top of a word, as a number: each byte's low
// four bits are its digit, and the bytes below the digits are zero. Two more
// multiplications join the pairs into fours and the fours into the eight.
inline std::uint64_t topDigitsValue(std::uint64_t bytes)
{
    const std::uint64_t fours = digitPairs(bytes) * 6553601 >> 16 & 0x0000ffff0000ffffu;
    return fours * 42949672960001u >> 32;
}

// The first `count` bytes of the word, all digits, as a number (count 1 to
// 8): they are moved to the top of the word, behind zeros.
inline std::uint64_t digitsValue(std::uint64_t word, std::size_t count) { return topDigitsValue(word << (64 - 8 * count)); }

// Whether two texts are the same. Texts of 4 to 16 bytes, such as the
// dates a track repeats at every fix, are compared as two words that may
// overlap, without a call.
inline bool sameText(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size();
    if (n != b.size())
        return false;
    if (n >= 8 && n <= 16)
        return wordAt(a.data()) == wordAt(b.data()) && wordAt(a.data() + n - 8) == wordAt(b.data() + n - 8);
    if (n >= 4 && n < 8) {
        const auto half = [](const char *p) {
            std::uint32_t word;
            std::memcpy(&word, p, 4);
            return word;
        };
        return half(a.data()) == half(b.data()) && half(a.data() + n - 4) == half(b.data() + n - 4);
    }
    return a == b;
}

}  // namespace keelrun
