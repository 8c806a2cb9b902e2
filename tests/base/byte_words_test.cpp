// Texts compared and digits read a word at a time: every byte of every
// length counts, and nothing past either text is looked at.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/byte_words.h"

namespace keelrun {
namespace {

TEST(SameText, EveryByteOfEveryLengthCounts)
{
    for (std::size_t n = 0; n <= 24; ++n) {
        // Each text in a buffer of exactly its size, so that the sanitizers
        // see a read past its end.
        std::vector<char> a(n), b(n);
        for (std::size_t k = 0; k < n; ++k)
            a[k] = b[k] = static_cast<char>('0' + k % 10);
        const std::string_view left(a.data(), n), right(b.data(), n);
        EXPECT_TRUE(sameText(left, right)) << n;
        for (std::size_t k = 0; k < n; ++k) {
            b[k] ^= 1;
            EXPECT_FALSE(sameText(left, right)) << n << " " << k;
            b[k] ^= 1;
        }
        if (n > 0) {
            EXPECT_FALSE(sameText(left, right.substr(0, n - 1))) << n;
        }
    }
}

// Digits followed by any byte, the neighbours of the digits ("/", ":") and
// the bytes at either end among them: each word's digits are counted and
// read as a loop over its bytes reads them, in every count from one to eight.
TEST(DigitWords, ReadAsALoopOverTheBytesReadsThem)
{
    std::mt19937 random(11);
    const std::string others = std::string("/:.,") + '\0' + '\x7f' + '\x80' + '\xb9' + '\xff';
    for (int k = 0; k < 20000; ++k) {
        char bytes[8];
        const std::size_t digits = random() % 9;
        for (std::size_t i = 0; i < 8; ++i)
            bytes[i] = i < digits || random() % 3 == 0 ? static_cast<char>('0' + random() % 10) : others[random() % others.size()];
        const std::uint64_t word = wordAt(bytes);
        std::size_t count = 0;
        std::uint64_t value = 0;
        for (; count < 8 && bytes[count] >= '0' && bytes[count] <= '9'; ++count)
            value = value * 10 + static_cast<std::uint64_t>(bytes[count] - '0');
        ASSERT_EQ(leadingDigitCount(word), count) << std::string(bytes, 8);
        ASSERT_EQ(noneButDigits(word), count == 8);
        if (count > 0) {
            ASSERT_EQ(digitsValue(word, count), value) << std::string(bytes, 8);
            // The same digits standing at the top of a word, behind zeros.
            ASSERT_EQ(topDigitsValue(word << (64 - 8 * count)), value);
        }
        // Each pair of digits in its sixteen bits, the first the tens.
        for (std::size_t pair = 0; 2 * pair + 2 <= count; ++pair) {
            const auto expected = static_cast<std::uint64_t>((bytes[2 * pair] - '0') * 10 + bytes[2 * pair + 1] - '0');
            ASSERT_EQ(digitPairs(word) >> 16 * pair & 0xffff, expected) << std::string(bytes, 8);
        }
    }
}

}  // namespace
}  // namespace keelrun
