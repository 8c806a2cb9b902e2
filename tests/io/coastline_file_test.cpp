// The coastline and light files: the general and the detailed formats, the
// light lists, and where each stops on a line it cannot read.

#include <gtest/gtest.h>

#include <string>

#include "io/coastline_file.h"

namespace keelrun {
namespace {

// A detailed file's records, in their columns.
std::string cellRecord(const char *code) { return std::string("M ") + code + "\n"; }
std::string lineRecord(const char *count) { return "L" + std::string(48, ' ') + count + "\n"; }
std::string dataRecord(std::initializer_list<std::pair<int, int>> pairs)
{
    std::string record;
    char field[16];
    for (const auto &[x, y] : pairs) {
        std::snprintf(field, sizeof field, "%5d%5d", x, y);
        record += field;
    }
    for (std::size_t i = pairs.size(); i < 7; ++i)
        record += "    0    0";
    return record + "\n";
}

// Cell 513540: 2060' N, 8100' E, 5' by 7.5'.
const CoastWindow kWindow{3, 2058, 2070, 8095, 8110};
const GeoPoint kShift{0.2, -0.2};

TEST(DetailedCoastline, CellsLinesAndPairs)
{
    const std::string text = cellRecord("513540") + lineRecord("     3") +
                             dataRecord({{0, 0}, {10000, 0}, {10000, 10000}, {5000, 5000}}) +  // the fourth is beyond the count
                             lineRecord("      ") +                                         // blank: the first pair only
                             dataRecord({{5000, 2000}, {6000, 2000}}) +
                             cellRecord("513547") + lineRecord("     2") +                  // 8152.5' E: outside, skipped
                             dataRecord({{0, 0}, {1, 1}});
    std::vector<CoastPoint> points;
    EXPECT_EQ(readDetailedCoastline(text, "coastline/5135.cst", kWindow, kShift, points), "");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_DOUBLE_EQ(points[0].lat, 2060.2);
    EXPECT_DOUBLE_EQ(points[0].lon, 8099.8);
    EXPECT_TRUE(points[0].start);
    EXPECT_DOUBLE_EQ(points[1].lon, 8107.3);
    EXPECT_FALSE(points[1].start);
    EXPECT_DOUBLE_EQ(points[2].lat, 2065.2);
    EXPECT_DOUBLE_EQ(points[3].lat, 2061.2);
    EXPECT_DOUBLE_EQ(points[3].lon, 8103.55);
    EXPECT_TRUE(points[3].start);
}

TEST(DetailedCoastline, StopsAtAFieldThatIsNoNumber)
{
    std::string bad = dataRecord({{0, 0}});
    bad.replace(10, 5, "  1x2");
    const std::string text = cellRecord("513540") + lineRecord("     9") + dataRecord({{0, 0}}) + bad + dataRecord({{1, 1}});
    std::vector<CoastPoint> points;
    const QString why = readDetailedCoastline(text, "coastline/5135.cst", kWindow, {}, points);
    EXPECT_EQ(why, "coastline/5135.cst:4: an x is not a whole number: \"1x2\"");
    EXPECT_EQ(points.size(), 8u);  // the line before stays, and the first pair of the broken one

    points.clear();
    EXPECT_TRUE(readDetailedCoastline("M 51354\n", "5135.cst", kWindow, {}, points).contains(":1: columns 3-8"));
    EXPECT_TRUE(readDetailedCoastline("M 5135-0\n", "5135.cst", kWindow, {}, points).contains("grid code"));
    // Data before any cell, and empty lines, are passed over.
    EXPECT_EQ(readDetailedCoastline(dataRecord({{1, 1}}) + "\n\n", "5135.cst", kWindow, {}, points), "");
    EXPECT_TRUE(points.empty());
}

TEST(GeneralCoastline, PolylinesAndTheirStarts)
{
    std::vector<CoastPoint> points;
    EXPECT_EQ(readGeneralCoastline("3046.1,-78.5\nR,3046.0,-78.4\n3046.2,-78.3\r\n\nr, 3047,-79\n", "coastline/toba.cst", points), "");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_TRUE(points[0].start);  // the first point begins a polyline even without "R"
    EXPECT_TRUE(points[1].start);
    EXPECT_FALSE(points[2].start);
    EXPECT_DOUBLE_EQ(points[2].lon, -78.3);
    EXPECT_TRUE(points[3].start);

    points.clear();
    EXPECT_EQ(readGeneralCoastline("R,1,2\n3,4,5\n6,7\n", "coastline/toba.cst", points),
              "coastline/toba.cst:2: a point is \"R,lat,lon\" or \"lat,lon\", not \"3,4,5\"");
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(readGeneralCoastline("R,1,x\n", "toba.cst", points), "toba.cst:1: the longitude is not a number: \"x\"");
}

TEST(LightList, LightsAndTheirCharacters)
{
    std::vector<Light> lights;
    const std::string text = "Tomogashima,3416.90,13500.20,10,1,W,20\n"
                             "Egypt Point,5045.96,-00118.76,10,1,W,6\n"
                             "Fort,3400.0,13500,6,2,WR,12.5\n";
    EXPECT_EQ(readLightList(text, "coastline/5135.lh", lights), "");
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[0].name, "Tomogashima");
    EXPECT_DOUBLE_EQ(lights[0].lat, 34 * 60 + 16.90);
    EXPECT_DOUBLE_EQ(lights[0].lon, 135 * 60 + 0.20);
    EXPECT_EQ(lights[0].period, 10);
    EXPECT_EQ(lights[0].flashes, 1);
    EXPECT_DOUBLE_EQ(lights[1].lon, -(1 * 60 + 18.76));  // west
    EXPECT_EQ(lights[2].colours, "WR");
    EXPECT_DOUBLE_EQ(lights[2].range, 12.5);

    EXPECT_EQ(readLightList("A,3416.9,13500.2,10,1,W\n", "x.lh", lights), "x.lh:1: a light needs seven fields: \"A,3416.9,13500.2,10,1,W\"");
    EXPECT_EQ(readLightList("A,34x6.9,13500.2,10,1,W,5\n", "x.lh", lights), "x.lh:1: the latitude is not a number: \"x6.9\"");
    EXPECT_EQ(readLightList("A,3416.9,13500.2,ten,1,W,5\n", "x.lh", lights), "x.lh:1: the period is not a whole number: \"ten\"");
}

}  // namespace
}  // namespace keelrun
