// Texts compared a word at a time: every byte of every length counts, and
// nothing past either text is looked at.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace keelrun
