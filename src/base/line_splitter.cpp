#include "base/line_splitter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace keelrun {
namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kTopBits = 0x8080808080808080u;

// Eight bytes of the text from `at`, the first in the lowest byte, padded
// with zeros past its end. The last few bytes of a line are gathered in a
// register: a copy through memory would stall the load that follows.
std::uint64_t wordAt(std::string_view text, std::size_t at)
{
    const std::size_t left = text.size() - at;
    if (left >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        return word;
    }
    std::uint64_t word = 0;
    for (std::size_t k = left; k-- > 0;)
        word = word << 8 | static_cast<unsigned char>(text[at + k]);
    return word;
}

// One bit for each byte of the word that is `separator`, the first byte's
// lowest: bytes equal to it are zero after the exclusive or, and only zero
// bytes keep their top bit clear when 0x7f is added to their low seven
// bits; the multiplication gathers the eight top bits into the top byte.
unsigned separatorBits(std::uint64_t word, char separator)
{
    const std::uint64_t x = word ^ (kEveryByte * static_cast<unsigned char>(separator));
    const std::uint64_t matches = ~(((x & ~kTopBits) + ~kTopBits) | x) & kTopBits;
    return static_cast<unsigned>((matches >> 7) * 0x0102040810204080u >> 56);
}

// Calls `at(position)` for each `separator` in the text, in order, until it
// returns false. The text is taken 64 bytes at a time: their separators are
// marked in a mask without a branch, and read from it lowest first. A loop
// over the bytes would mispredict its exit once for every field, and that
// was most of the time it took to split a track file.
template <typename At>
void forEachSeparator(std::string_view text, char separator, At at)
{
    for (std::size_t base = 0; base < text.size(); base += 64) {
        std::uint64_t mask = 0;
        for (std::size_t w = 0; w < 8 && base + 8 * w < text.size(); ++w)
            mask |= std::uint64_t{separatorBits(wordAt(text, base + 8 * w), separator)} << (8 * w);
        for (; mask != 0; mask &= mask - 1) {
            if (!at(base + static_cast<std::size_t>(std::countr_zero(mask))))
                return;
        }
    }
}

}  // namespace

std::string SplitLine::tag() const
{
    std::string tag(field(0));
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return tag;
}

SplitLine splitLine(std::string_view line, char separator, int most)
{
    SplitLine out;
    const std::string_view text = trimmed(line);
    const int limit = std::clamp(most, 1, kMaxFields);  // a line has at least one field
    std::size_t start = 0;  // of the field being read
    const auto add = [&](std::size_t end) {
        const std::string_view field = trimmed(text.substr(start, end - start));
        out.fields_[static_cast<std::size_t>(out.count_++)] = field.empty() ? SplitLine::Field{"0", 1} : SplitLine::Field{field.data(), field.size()};
    };
    forEachSeparator(text, separator, [&](std::size_t at) {
        if (at < start)  // a blank passed over after the last separator
            return true;
        add(at);
        if (out.count_ == limit) {  // and another field follows
            out.overflowed_ = true;
            return false;
        }
        start = at + 1;
        while (start < text.size() && isBlankOrControl(text[start]))  // so a run of blanks is one separator
            ++start;
        return true;
    });
    if (!out.overflowed_)
        add(text.size());
    return out;
}

}  // namespace keelrun
