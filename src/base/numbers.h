#pragma once
// Numbers as the data files write them: "." as the decimal point, an optional
// sign, nothing else around them.

#include <optional>
#include <string>
#include <string_view>

namespace keelrun {

std::optional<double> parseNumber(std::string_view text);   // finite values only
std::optional<int> parseInteger(std::string_view text);     // 32-bit signed, no fraction

// The shortest general decimal form with up to 15 significant digits.
std::string formatNumber(double value);

}  // namespace keelrun

namespace keelrun {

// Rounds to the nearest integer, ties to even; saturates at the ends of the
// int range, and gives 0 for what is not a number.
int roundHalfEven(double value);

}  // namespace keelrun
