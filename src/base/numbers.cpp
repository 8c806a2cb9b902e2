#include "base/numbers.h"

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

// Eight digits at `p` as a number, when all eight are digits.
bool eightDigits(const char *p, std::uint64_t &number)
{
    const std::uint64_t bytes = wordAt(p);
    if (!noneButDigits(bytes))
        return false;
    number = digitsValue(bytes, 8);
    return true;
}

}  // namespace

std::size_t leadingDecimal(std::string_view text, double &value)
{
    constexpr std::size_t kMostDigits = 17;
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    const bool negative = !text.empty() && text.front() == '-';
    std::uint64_t digits = 0;  // past kMostDigits it may wrap, and is not used
    std::size_t i = negative ? 1 : 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
    const std::size_t whole = i - (negative ? 1 : 0);
    std::size_t places = 0;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = ++i;
        for (std::uint64_t eight; i + 8 <= text.size() && eightDigits(text.data() + i, eight); i += 8)  // decimals run long
            digits = digits * 100000000 + eight;
        for (; i < text.size() && isDigit(text[i]); ++i)
            digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
        places = i - fraction;
        if (places == 0)
            return 0;
    }
    if (whole == 0 || whole + places > kMostDigits || digits > kExactLimit)
        return 0;
    const double magnitude = decimalValue(digits, places);
    value = negative ? -magnitude : magnitude;
    return i;
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
