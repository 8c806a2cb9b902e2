// Rounding to whole pixels and degrees: ties go to the even neighbour, as
// the pictures and tables were made with, and nothing overflows.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/numbers.h"

namespace keelrun {
namespace {

TEST(RoundHalfEven, TiesToEvenBothSides)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999999), 2);
    EXPECT_EQ(roundHalfEven(-7.51), -8);
    EXPECT_EQ(roundHalfEven(1e9 + 0.5), 1000000000);
    for (double x = -1000; x <= 1000; x += 0.125)
        ASSERT_EQ(roundHalfEven(x), static_cast<int>(std::nearbyint(x))) << x;
}

TEST(RoundHalfEven, SaturatesAndRefusesWhatIsNotANumber)
{
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(roundHalfEven(2147483646.6), kMax);
    EXPECT_EQ(roundHalfEven(1e12), kMax);
    EXPECT_EQ(roundHalfEven(-1e12), kMin);
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

// Track files hold millions of decimals; the quick conversion of plain ones
// must give the very value from_chars gives, to the last bit.
TEST(ParseNumber, PlainDecimalsMatchFromChars)
{
    std::mt19937_64 random(19);
    int readLeading = 0;
    const auto expectSame = [&](const std::string &text) {
        double expected = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(ec, std::errc{}) << text;
        ASSERT_EQ(end, text.data() + text.size()) << text;
        const auto value = parseNumber(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(std::signbit(*value), std::signbit(expected)) << text;
        EXPECT_EQ(*value, expected) << text;
        // Read where it stands in a file, followed by more text: the whole
        // number or nothing.
        double leading = 0;
        const std::size_t read = leadingDecimal(text + "\" lon=\"1\"", leading);
        if (read > 0) {
            ASSERT_EQ(read, text.size()) << text;
            EXPECT_EQ(std::signbit(leading), std::signbit(expected)) << text;
            EXPECT_EQ(leading, expected) << text;
            ++readLeading;
        }
        // The same with the file ending a few bytes after it: the digits are
        // looked at a word at a time where the bytes reach, one by one
        // elsewhere, never past the end.
        for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{12}}) {
            const std::string file = text + std::string("</ele><time>").substr(0, after);
            const std::vector<char> bytes(file.begin(), file.end());  // a buffer of exactly that size
            double atEnd = 0;
            ASSERT_EQ(leadingDecimal(std::string_view(bytes.data(), bytes.size()), atEnd), read) << file;
            EXPECT_EQ(atEnd, read > 0 ? leading : 0.0) << file;
        }
    };
    for (int k = 0; k < 200000; ++k) {
        const int whole = static_cast<int>(random() % 10), places = static_cast<int>(random() % 18);
        std::string text = random() % 2 ? "-" : "";
        for (int d = 0; d < std::max(whole, 1); ++d)
            text += static_cast<char>('0' + random() % 10);
        if (places > 0)
            text += '.';
        for (int d = 0; d < places; ++d)
            text += static_cast<char>('0' + random() % 10);
        expectSame(text);
    }
    EXPECT_GT(readLeading, 100000);  // the plain ones, up to 17 digits
    for (const char *text : {"0", "-0", "-0.000", "9007199254740992", "9007199254740993", "900719925474099.3",
                             "12345678901234567890", "0.00000000000000000000001", "179.999999999999999"})
        expectSame(text);
}

TEST(ParseNumber, OtherFormsStillConvertOrFail)
{
    EXPECT_EQ(parseNumber("+1.5"), 1.5);
    EXPECT_EQ(parseNumber("1."), 1.0);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("1e3"), 1000.0);
    EXPECT_EQ(parseNumber("2.5E-1"), 0.25);
    for (const char *bad : {"", "-", ".", "1.2.3", "1-2", " 1", "1 ", "35,5", "inf", "nan", "1e999", "--1", "+-1"})
        EXPECT_FALSE(parseNumber(bad)) << bad;
}

// Whole numbers: the plain digits of dates and times are read straight from
// the digits, everything else as from_chars (and a leading "+") reads it.
TEST(ParseInteger, MatchesFromCharsOnEveryShortForm)
{
    const auto expected = [](std::string text) -> std::optional<int> {
        if (text.size() > 1 && text[0] == '+' && text[1] != '-')
            text.erase(0, 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        return ec == std::errc{} && end == text.data() + text.size() ? std::optional<int>(value) : std::nullopt;
    };
    const std::string alphabet = "0190+-. x";
    std::mt19937 random(7);
    for (int k = 0; k < 100000; ++k) {
        std::string text;
        for (std::size_t n = random() % 12; n > 0; --n)
            text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(parseInteger(text), expected(text)) << '"' << text << '"';
    }
    EXPECT_EQ(parseInteger("000000007"), 7);
    EXPECT_EQ(parseInteger("999999999"), 999999999);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("+12"), 12);
    EXPECT_EQ(parseInteger("-12"), -12);
    for (const char *bad : {"", "2147483648", "1.0", " 1", "1 ", "+", "+-1", "0x1"})
        EXPECT_FALSE(parseInteger(bad)) << bad;
}

}  // namespace
}  // namespace keelrun
