#include "base/line_splitter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/byte_words.h"

// KEELRUN_WORD_AT_A_TIME builds the portable way on any processor, for its test.
#if defined(__SSE2__) && !defined(KEELRUN_WORD_AT_A_TIME)
#define KEELRUN_SSE2_BLOCKS
#include <emmintrin.h>
#endif

namespace keelrun {
namespace {

// Up to 64 bytes of a line from `base`, one bit for each byte, the first
// byte's lowest: the bytes that are the separator, and those trimming
// removes (up to the blank, and DEL; bytes from 0x80 up are UTF-8 text).
// A line is looked at a block at a time: a loop over its bytes would
// mispredict its exit once for every field, and that was most of the time it
// took to split a track file. bitsOfBlock is inlined into each of its
// callers, so that one that needs only the separators, as the NMEA reader
// does for every sentence, does not work out the blanks.
struct BlockBits {
    std::uint64_t separators = 0;
    std::uint64_t blanks = 0;
};

#if defined(KEELRUN_SSE2_BLOCKS)

// The bits of sixteen bytes from `p`.
BlockBits bitsOfSixteen(const char *p, char separator)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i upToBlank = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(' ')), bytes);
    const __m128i del = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\x7f'));
    const auto mask = [](__m128i matches) { return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(matches))); };
    return {mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(separator))), mask(_mm_or_si128(upToBlank, del))};
}

// Four loads of sixteen bytes, the last ones moved back to end with the
// block where it is shorter: the same bytes seen twice set the same bits,
// and the loop has no branch that depends on the length of the line.
[[gnu::always_inline]] inline BlockBits bitsOfBlock(std::string_view text, std::size_t base, char separator)
{
    const std::size_t size = std::min<std::size_t>(64, text.size() - base);
    const char *block = text.data() + base;
    if (size >= 16) {
        BlockBits bits;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t at = std::min(16 * k, size - 16);
            const BlockBits sixteen = bitsOfSixteen(block + at, separator);
            bits.separators |= sixteen.separators << at;
            bits.blanks |= sixteen.blanks << at;
        }
        return bits;
    }
    if (text.size() >= 16) {  // the sixteen bytes that end the line, less those before the block
        const BlockBits last = bitsOfSixteen(block + size - 16, separator);
        return {last.separators >> (16 - size), last.blanks >> (16 - size)};
    }
    char padded[16] = {};  // a short line, padded with zeros that are no part of it
    std::memcpy(padded, block, size);
    const std::uint64_t inLine = (std::uint64_t{1} << size) - 1;
    const BlockBits line = bitsOfSixteen(padded, separator);
    return {line.separators & inLine, line.blanks & inLine};
}

#else  // eight bytes at a time in a 64-bit word

// The top bit of each byte, gathered into eight bits, the first byte's
// lowest: the multiplication moves the eight top bits into the top byte.
std::uint64_t gatheredTopBits(std::uint64_t topBits) { return (topBits >> 7) * 0x0102040810204080u >> 56; }

[[gnu::always_inline]] inline BlockBits bitsOfBlock(std::string_view text, std::size_t base, char separator)
{
    const std::size_t size = std::min<std::size_t>(64, text.size() - base);
    BlockBits bits;
    for (std::size_t at = 0; at < size; at += 8) {
        std::uint64_t word = 0;  // the first byte lowest, padded with zeros
        if (size - at >= 8) {
            word = wordAt(text.data() + base + at);
        } else {
            for (std::size_t k = size - at; k-- > 0;)
                word = word << 8 | static_cast<unsigned char>(text[base + at + k]);
        }
        // Adding 0x5f to the low seven bits sets the top bit from 0x21 up.
        const std::uint64_t upToBlank = ~((word & ~kTopBits) + 0x5f * kEveryByte) & ~word & kTopBits;
        bits.separators |= gatheredTopBits(bytesEqual(word, separator)) << at;
        bits.blanks |= gatheredTopBits(upToBlank | bytesEqual(word, '\x7f')) << at;
    }
    const std::uint64_t inText = size == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
    return {bits.separators & inText, bits.blanks & inText};
}

#endif

// Calls `at(position)` for each `separator` in the text, in order, until it
// returns false.
template <typename At>
void forEachSeparator(std::string_view text, char separator, At at)
{
    for (std::size_t base = 0; base < text.size(); base += 64) {
        for (std::uint64_t mask = bitsOfBlock(text, base, separator).separators; mask != 0; mask &= mask - 1) {
            if (!at(base + static_cast<std::size_t>(std::countr_zero(mask))))
                return;
        }
    }
}

}  // namespace

std::uint64_t separatorBits(std::string_view text, char separator) { return bitsOfBlock(text, 0, separator).separators; }

std::uint64_t blankBits(std::string_view text) { return bitsOfBlock(text, 0, ' ').blanks; }

std::string SplitLine::tag() const
{
    std::string tag(field(0));
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return tag;
}

// Most lines hold no blank or control character but single blanks that
// separate: no field needs trimming, and each runs from one separator to the
// next. Such a line is cut in one pass over its masks. False, with nothing
// cut, for any other line.
bool SplitLine::cutPlain(std::string_view text, char separator, int limit)
{
    int count = 0;          // kept apart from count_ until the end, so that it stays in a register
    std::size_t start = 0;  // of the field being read
    const auto add = [&](std::size_t end) {
        fields_[static_cast<std::size_t>(count++)] = end == start ? Field{"0", 1} : Field{text.data() + start, end - start};
    };
    bool separatorEndedLastBlock = false;
    for (std::size_t base = 0; base < text.size(); base += 64) {
        auto [separators, blanks] = bitsOfBlock(text, base, separator);
        std::uint64_t mustTrim = blanks & ~separators;
        if (isBlankOrControl(separator))  // a run of blanks
            mustTrim |= separators & (separators << 1 | std::uint64_t{separatorEndedLastBlock});
        if (mustTrim != 0)
            return false;
        separatorEndedLastBlock = separators >> 63 != 0;
        for (; separators != 0; separators &= separators - 1) {
            const std::size_t at = base + static_cast<std::size_t>(std::countr_zero(separators));
            add(at);
            if (count == limit) {  // and another field follows
                count_ = count;
                overflowed_ = true;
                return true;
            }
            start = at + 1;
        }
    }
    add(text.size());
    count_ = count;
    return true;
}

void SplitLine::cutAny(std::string_view text, char separator, int limit)
{
    std::size_t start = 0;  // of the field being read
    const auto add = [&](std::size_t end) {
        const std::string_view field = trimmed(text.substr(start, end - start));
        fields_[static_cast<std::size_t>(count_++)] = field.empty() ? Field{"0", 1} : Field{field.data(), field.size()};
    };
    forEachSeparator(text, separator, [&](std::size_t at) {
        if (at < start)  // a blank passed over after the last separator
            return true;
        add(at);
        if (count_ == limit) {  // and another field follows
            overflowed_ = true;
            return false;
        }
        start = at + 1;
        while (start < text.size() && isBlankOrControl(text[start]))  // so a run of blanks is one separator
            ++start;
        return true;
    });
    if (!overflowed_)
        add(text.size());
}

SplitLine splitLine(std::string_view line, char separator, int most)
{
    SplitLine out;
    const std::string_view text = trimmed(line);
    const int limit = std::clamp(most, 1, kMaxFields);  // a line has at least one field
    if (!out.cutPlain(text, separator, limit))
        out.cutAny(text, separator, limit);
    return out;
}

}  // namespace keelrun
