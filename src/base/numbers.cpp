#include "base/numbers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "base/byte_words.h"

namespace keelrun {
namespace {

// from_chars takes "-" but not "+".
std::string_view withoutPlus(std::string_view text)
{
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

// The digits of a word, a digit a byte less '0' with the first in the
// lowest byte and zeros before them, as one number: three multiplications
// join neighbours into pairs, fours and the eight.
std::uint64_t joinDigits(std::uint64_t bytes)
{
    bytes = (bytes * 2561) >> 8;
    bytes = ((bytes & 0x00ff00ff00ff00ffu) * 6553601) >> 16;
    return ((bytes & 0x0000ffff0000ffffu) * 42949672960001u) >> 32;
}

// The top bit of each byte that is no digit, right up to the first such
// byte: a digit neither carries out of its byte when 0x46 is added nor
// borrows when '0' is taken away, so nothing spills into the bytes after
// it. (Past the first byte that is no digit the flags may be wrong.)
std::uint64_t notDigits(std::uint64_t bytes)
{
    return ((bytes + 0x4646464646464646u) | (bytes - 0x3030303030303030u)) & kTopBits;
}

// Eight digits at `p` as a number, when all eight are digits.
bool eightDigits(const char *p, std::uint64_t &number)
{
    const std::uint64_t bytes = wordAt(p);
    if (notDigits(bytes) != 0)
        return false;
    number = joinDigits(bytes - 0x3030303030303030u);
    return true;
}

// How many of a word's bytes, from the first, are digits: 0 to 8.
int leadingDigitCount(std::uint64_t bytes) { return std::countr_zero(notDigits(bytes)) / 8; }

// The number the first `count` bytes of a word spell (1 to 8 digits): the
// digits are moved up to end in the top byte, and zeros come in below.
std::uint64_t leadingDigitsValue(std::uint64_t bytes, int count)
{
    return joinDigits((bytes - 0x3030303030303030u) << (8 * (8 - count)));
}

inline constexpr std::uint64_t kWholePowersOfTen[] = {1,           10,           100,           1000,          10000,
                                                      100000,      1000000,      10000000,      100000000,     1000000000,
                                                      10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
                                                      1000000000000000, 10000000000000000};

// The digits of a plain decimal from `i`: all of them as one number (past
// 17 digits it may wrap, and is not used), how many stand before the point
// and after it, and where they end.
struct DecimalDigits {
    std::uint64_t digits = 0;
    std::size_t whole = 0;
    std::size_t places = 0;
    bool point = false;
    std::size_t end = 0;
};

// The usual form a word at a time: one to seven digits, a point and one to
// sixteen decimals, with the text reaching a word past where each word of
// digits starts. False for anything else.
bool wordDecimalDigits(std::string_view text, std::size_t i, DecimalDigits &d)
{
    if (i + 8 > text.size())
        return false;
    const std::uint64_t first = wordAt(text.data() + i);
    const int whole = leadingDigitCount(first);
    if (whole == 0 || whole == 8 || ((first >> (8 * whole)) & 0xff) != '.')
        return false;
    const std::size_t fraction = i + static_cast<std::size_t>(whole) + 1;
    if (fraction + 8 > text.size())
        return false;
    const std::uint64_t second = wordAt(text.data() + fraction);
    int places = leadingDigitCount(second);
    if (places == 0)
        return false;
    std::uint64_t digits = leadingDigitsValue(first, whole) * kWholePowersOfTen[places] + leadingDigitsValue(second, places);
    if (places == 8) {
        if (fraction + 16 > text.size())
            return false;
        const std::uint64_t third = wordAt(text.data() + fraction + 8);
        const int more = leadingDigitCount(third);
        if (more == 8)  // the decimals run on past the words
            return false;
        if (more > 0) {
            digits = digits * kWholePowersOfTen[more] + leadingDigitsValue(third, more);
            places += more;
        }
    }
    d = {digits, static_cast<std::size_t>(whole), static_cast<std::size_t>(places), true, fraction + static_cast<std::size_t>(places)};
    return true;
}

// Any plain decimal a byte at a time, eight decimals at once where they run
// long.
DecimalDigits decimalDigits(std::string_view text, std::size_t i)
{
    DecimalDigits d;
    const std::size_t first = i;
    for (; i < text.size() && isDigit(text[i]); ++i)
        d.digits = d.digits * 10 + static_cast<unsigned>(text[i] - '0');
    d.whole = i - first;
    if (i < text.size() && text[i] == '.') {
        d.point = true;
        const std::size_t fraction = ++i;
        for (std::uint64_t eight; i + 8 <= text.size() && eightDigits(text.data() + i, eight); i += 8)
            d.digits = d.digits * 100000000 + eight;
        for (; i < text.size() && isDigit(text[i]); ++i)
            d.digits = d.digits * 10 + static_cast<unsigned>(text[i] - '0');
        d.places = i - fraction;
    }
    d.end = i;
    return d;
}

}  // namespace

std::size_t leadingDecimal(std::string_view text, double &value)
{
    constexpr std::size_t kMostDigits = 17;
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    const bool negative = !text.empty() && text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    DecimalDigits d;
    if (!wordDecimalDigits(text, first, d))
        d = decimalDigits(text, first);
    if ((d.point && d.places == 0) || d.whole == 0 || d.whole + d.places > kMostDigits || d.digits > kExactLimit)
        return 0;
    const double magnitude = decimalValue(d.digits, d.places);
    value = negative ? -magnitude : magnitude;
    return d.end;
}

bool parseNumber(std::string_view text, double &value)
{
    text = withoutPlus(text);
    if (!text.empty() && leadingDecimal(text, value) == text.size())
        return true;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

bool parseIntegerOtherForms(std::string_view text, int &value)
{
    text = withoutPlus(text);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

std::string formatNumber(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

}  // namespace keelrun

namespace keelrun {

int roundHalfEvenOutOfRange(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (rounded <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

}  // namespace keelrun
