#pragma once
// Numbers as the data files write them: "." as the decimal point, an optional
// sign, nothing else around them.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>

namespace keelrun {

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Finite values only. The form with `value` returns whether the text
// converts; it is for loops over millions of numbers, where the optional's
// trip through memory would cost more than the conversion.
bool parseNumber(std::string_view text, double &value);
inline std::optional<double> parseNumber(std::string_view text)
{
    double value;
    return parseNumber(text, value) ? std::optional<double>(value) : std::nullopt;
}
// The plain decimal at the start of `text`, "-0.3233": a sign, digits and
// a point with digits after it, 17 digits at most, read in one pass into
// what parseNumber gives for it. Returns how many characters it read, 0 when
// the text does not start so.
std::size_t leadingDecimal(std::string_view text, double &value);
// 32-bit signed, no fraction; the two forms as for parseNumber. Up to nine
// plain digits, as dates, times and degrees are written, cannot overflow and
// are read straight from the digits; other forms go the long way.
bool parseIntegerOtherForms(std::string_view text, int &value);
inline bool parseInteger(std::string_view text, int &value)
{
    if (text.empty() || text.size() > 9)
        return parseIntegerOtherForms(text, value);
    int digits = 0;
    for (const char c : text) {
        if (!isDigit(c))
            return parseIntegerOtherForms(text, value);
        digits = digits * 10 + (c - '0');
    }
    value = digits;
    return true;
}
inline std::optional<int> parseInteger(std::string_view text)
{
    int value;
    return parseInteger(text, value) ? std::optional<int>(value) : std::nullopt;
}

// A decimal's digits read as an integer, over ten to the number of its
// places: both are exact in a double while the digits stay below 2^53 and the
// places at most 22, so the one division gives the correctly rounded value,
// the same that parseNumber gives for the text.
inline constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline double decimalValue(std::uint64_t digits, std::size_t places) { return static_cast<double>(digits) / kPowersOfTen[places]; }

// The shortest general decimal form with up to 15 significant digits.
std::string formatNumber(double value);

inline constexpr double kDegree = std::numbers::pi / 180;  // radians

// Whole degrees beyond a full turn brought back into 0..360 (360 itself, as
// files write north, stays).
inline int intoCircle(int degrees) { return degrees < 0 || degrees > 360 ? (degrees % 360 + 360) % 360 : degrees; }

// Rounds to the nearest integer, ties to even; saturates at the ends of the
// int range, and gives 0 for what is not a number. Inline, for it rounds
// every projected pixel: adding and taking away 1.5 x 2^52 leaves a double
// rounded to a whole number by the processor's own rounding, ties to even.
int roundHalfEvenOutOfRange(double value);
inline int roundHalfEven(double value)
{
    constexpr double kRounder = 6755399441055744.0;
    if (std::abs(value) < 2147483647.0)
        return static_cast<int>((value + kRounder) - kRounder);
    return roundHalfEvenOutOfRange(value);
}

}  // namespace keelrun
