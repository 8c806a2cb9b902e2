#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/line_splitter.h"

namespace keelrun {
namespace {

TEST(LineSplitter, EmptyFieldsReadZeroAndMissingFieldsAreAbsent)
{
    const SplitLine line = splitLine("MK,,1.5");
    ASSERT_EQ(line.count(), 3);
    EXPECT_EQ(line.field(1), "0");
    EXPECT_EQ(line.field(2), "1.5");
    EXPECT_FALSE(line.has(3));
    EXPECT_EQ(line.field(3), "");

    const SplitLine trailing = splitLine("CRS,");
    ASSERT_EQ(trailing.count(), 2);
    EXPECT_EQ(trailing.field(1), "0");
}

TEST(LineSplitter, TrimsBlanksAndControlCharacters)
{
    const SplitLine line = splitLine("  bn ,\t boat1.gpx\t,  Sea Dragon  ,1.02\r");
    ASSERT_EQ(line.count(), 4);
    EXPECT_EQ(line.tag(), "BN");
    EXPECT_EQ(line.field(1), "boat1.gpx");
    EXPECT_EQ(line.field(2), "Sea Dragon");
    EXPECT_EQ(line.field(3), "1.02");
}

TEST(LineSplitter, LineWithoutSeparatorIsOneField)
{
    EXPECT_EQ(splitLine("CLSSEP").count(), 1);
    const SplitLine empty = splitLine("");
    EXPECT_EQ(empty.count(), 1);
    EXPECT_EQ(empty.field(0), "0");
}

TEST(LineSplitter, RunsOfBlanksAreOneSeparator)
{
    const SplitLine line = splitLine("T  N3452.500   E13545.000 2009-05-03 02:15:30  x", ' ');
    ASSERT_EQ(line.count(), 6);
    EXPECT_EQ(line.field(1), "N3452.500");
    EXPECT_EQ(line.field(2), "E13545.000");
    EXPECT_EQ(line.field(5), "x");
}

// A tag and twenty values: a course line of twenty items.
TEST(LineSplitter, KeepsATagAndTwentyFieldsAndFlagsTheRest)
{
    for (const int most : {0, -3}) {  // a limit below one field reads one
        const SplitLine first = splitLine("a,b,c", ',', most);
        EXPECT_EQ(first.count(), 1);
        EXPECT_TRUE(first.overflowed());
    }

    std::string twenty = "CRS";
    for (int i = 1; i <= 20; ++i)
        twenty += ",MK" + std::to_string(i);
    const SplitLine full = splitLine(twenty);
    EXPECT_EQ(full.count(), 21);
    EXPECT_FALSE(full.overflowed());
    EXPECT_EQ(full.field(20), "MK20");

    const std::string longer = twenty + ",L1,L2";
    const SplitLine over = splitLine(longer);
    EXPECT_EQ(over.count(), 21);
    EXPECT_TRUE(over.overflowed());
    EXPECT_EQ(over.field(20), "MK20");
}

// The splitter looks at a line eight bytes at a time; it must cut every line
// where a field-by-field reading does: blanks and control characters trimmed
// at both ends of the line and of each field, an empty field "0", a run of
// blanks one separator when blanks separate, and at most so many fields.
TEST(LineSplitter, CutsEveryLineAsAFieldByFieldReadingDoes)
{
    const auto expected = [](std::string_view line, char separator, int most) {
        std::vector<std::string> fields;
        bool overflowed = false;
        std::string_view rest = trimmed(line);
        for (;;) {
            const std::size_t p = rest.find(separator);
            const std::string_view field = trimmed(rest.substr(0, p));
            fields.emplace_back(field.empty() ? "0" : field);
            if (p == std::string_view::npos)
                break;
            rest = trimmed(rest.substr(p + 1));
            if (static_cast<int>(fields.size()) == most) {
                overflowed = true;
                break;
            }
        }
        return std::make_pair(fields, overflowed);
    };
    // Every other line is nearly clean, as most lines of a file are: no
    // control characters and few blanks.
    const std::string alphabet = ",,  \t\x7f\r019.NE-\xc3\xa9", nearlyClean = ",,0123456789.NE-\xc3\xa9 ";
    std::mt19937 random(11);
    for (int k = 0; k < 40000; ++k) {
        const std::string &letters = k % 2 == 0 ? alphabet : nearlyClean;
        std::string line;
        for (std::size_t n = random() % 150; n > 0; --n)
            line += letters[random() % letters.size()];
        for (const char separator : {',', ' '}) {
            const int most = k % 3 == 0 ? 10 : kMaxFields;
            const SplitLine split = splitLine(line, separator, most);
            const auto [fields, overflowed] = expected(line, separator, most);
            ASSERT_EQ(split.count(), static_cast<int>(fields.size())) << '"' << line << '"';
            for (int i = 0; i < split.count(); ++i)
                ASSERT_EQ(split.field(i), fields[static_cast<std::size_t>(i)]) << '"' << line << "\" field " << i;
            ASSERT_EQ(split.overflowed(), overflowed) << '"' << line << '"';
        }
    }
}

}  // namespace
}  // namespace keelrun
