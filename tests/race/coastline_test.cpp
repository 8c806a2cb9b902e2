// Which coastline files a race reads, the datum shift, the clipping, and the
// whole coastline stage on a data folder.

#include <gtest/gtest.h>

#include "race/coastline.h"
#include "test_folder.h"

namespace keelrun {
namespace {

RaceExtent extentAround(double lat, double lon, double latSpan, double lonSpan)
{
    RaceExtent e;
    e.centreLat = lat;
    e.centreLon = lon;
    e.minLat = lat - latSpan / 2;
    e.maxLat = lat + latSpan / 2;
    e.minLon = lon - lonSpan / 2;
    e.maxLon = lon + lonSpan / 2;
    return e;
}

TEST(CoastlineChoice, WindowAndGridNames)
{
    // A race a few hundred metres across: the 3-minute window, one square.
    const CoastWindow tiny = coastWindow(extentAround(2073, 8115, 0.1, 0.1));
    EXPECT_DOUBLE_EQ(tiny.size, 3);
    EXPECT_DOUBLE_EQ(tiny.south, 2071.5);
    EXPECT_DOUBLE_EQ(tiny.east, 8115 + 3 / 1.6);
    EXPECT_EQ(coastlineMapNames(tiny), QStringList{"5135"});

    // 10' of latitude, 20' of longitude: 0.8 x 20 = 16 rules, x 1.2.
    EXPECT_DOUBLE_EQ(coastWindow(extentAround(2100, 8300, 10, 20)).size, 19.2);

    // Across a square's corner: four squares, south to north, west to east.
    EXPECT_EQ(coastlineMapNames({10, 2075, 2085, 8395, 8405}), (QStringList{"5139", "5140", "5239", "5240"}));
    // A south edge on a square's boundary, 2120' (53 x 40), is 52.5 after
    // taking 0.5: ties go to the even code, 52, so the square below is read too.
    EXPECT_EQ(coastlineMapNames({4, 2120, 2124, 8101, 8110}), (QStringList{"5235", "5335"}));
    // Over 50': the general file only.
    EXPECT_EQ(coastlineMapNames({51, 2000, 2051, 8100, 8130}), QStringList{"TOBA"});
    // Off the grid (the Solent): no square names.
    EXPECT_TRUE(coastlineMapNames(coastWindow(extentAround(3047, -78, 1, 2))).isEmpty());
}

// The shift from the Tokyo datum near Tokyo is about +11.6" of latitude and
// -11.6" of longitude (0.19').
TEST(CoastlineChoice, DatumShiftNearTokyo)
{
    const GeoPoint shift = datumShift(35.6586 * 60, 139.7454 * 60);
    EXPECT_NEAR(shift.lat, 0.194, 0.01);
    EXPECT_NEAR(shift.lon, -0.193, 0.01);
}

TEST(CoastlineChoice, ClippingStartsAPolylineAfterEachGap)
{
    const CoastWindow window{3, 2060, 2070, 8100, 8110};
    std::vector<CoastPoint> points = {{2061, 8101, true}, {2062, 8102, false}, {2080, 8102, false},
                                      {2063, 8103, false}, {2056, 8094, false}, {2069, 8111, true}};
    clipToWindow(points, window);
    ASSERT_EQ(points.size(), 4u);  // 2056/8094 lies within the cell's margin to the south-west
    EXPECT_TRUE(points[0].start);
    EXPECT_FALSE(points[1].start);
    EXPECT_TRUE(points[2].start);  // after the point outside
    EXPECT_DOUBLE_EQ(points[3].lat, 2056);
}

// The stage on a data folder: detailed files where the grid has them, the
// general file clipped to the race elsewhere, the lights, and a warning for
// a file that stops early.
TEST(CoastlineStage, ReadsWhatTheFolderHas)
{
    test::TestFolder t;
    QByteArray general = "R,3000,-100\n";
    for (int i = 0; i < 20; ++i)
        general += QByteArray::number(3046 + i * 0.1) + ",-78.5\n";
    general += "R,1000,1000\n1001,1001\n";  // far away: clipped
    t.write("coastline/toba.cst", general);
    t.write("coastline/toba.lh", "Egypt Point,5045.96,-00118.76,10,1,W,6\n");

    RaceState solent;
    solent.extent = extentAround(3047, -78, 1, 2);
    loadCoastline(solent, t.folder());
    EXPECT_EQ(solent.mapParams, QStringList{"TOBA"});
    ASSERT_EQ(solent.coastPoints.size(), 20u);
    EXPECT_TRUE(solent.coastPoints[0].start);
    EXPECT_EQ(solent.lights.size(), 1u);
    EXPECT_TRUE(solent.warnings.isEmpty());

    // Ten points or fewer are not clipped.
    t.write("coastline/toba.cst", "R,3046,-78.5\n3046.1,-78.5\nR,1000,1000\n");
    loadCoastline(solent, t.folder());
    EXPECT_EQ(solent.coastPoints.size(), 3u);

    // Near Japan the detailed square's file; its light list; a broken line.
    std::string detailed = "M 513540\nL" + std::string(48, ' ') + "     2\n";
    detailed += "    0    0 1000010000    0    0    0    0    0    0    0    0    0    0\n";
    detailed += "   xx\n";
    t.write("coastline/5135.cst", QByteArray::fromStdString(detailed));
    t.write("coastline/5135.lh", "Esaki,3436.10,13500.60,5,1,W,18\n");
    RaceState osaka;
    osaka.extent = extentAround(2062, 8103, 1, 1);
    loadCoastline(osaka, t.folder());
    EXPECT_EQ(osaka.mapParams, QStringList{"5135"});
    EXPECT_EQ(osaka.coastPoints.size(), 2u);
    EXPECT_EQ(osaka.lights.size(), 1u);
    ASSERT_EQ(osaka.warnings.size(), 1);
    EXPECT_TRUE(osaka.warnings[0].startsWith("coastline/5135.cst:4: an x is not a whole number")) << osaka.warnings[0].toStdString();

    // A race spread over 50': the general file whatever squares it covers.
    RaceState wide;
    wide.extent = extentAround(2062, 8103, 45, 45);
    loadCoastline(wide, t.folder());
    EXPECT_EQ(wide.mapParams, QStringList{"TOBA"});
}

}  // namespace
}  // namespace keelrun
