#include <gtest/gtest.h>

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

TEST(LineSplitter, KeepsTwentyFieldsAndFlagsTheRest)
{
    std::string twenty = "CRS";
    for (int i = 1; i < 20; ++i)
        twenty += ",MK" + std::to_string(i);
    const SplitLine full = splitLine(twenty);
    EXPECT_EQ(full.count(), 20);
    EXPECT_FALSE(full.overflowed());

    const std::string longer = twenty + ",L1,L2";
    const SplitLine over = splitLine(longer);
    EXPECT_EQ(over.count(), 20);
    EXPECT_TRUE(over.overflowed());
    EXPECT_EQ(over.field(19), "MK19");
}

}  // namespace
}  // namespace keelrun
