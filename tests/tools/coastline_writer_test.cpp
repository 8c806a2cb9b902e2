// The coastline generator's files read back by Keelrun's own readers.

#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QFile>

#include "base/load_error.h"
#include "coastline_writer.h"
#include "race/coastline.h"
#include "test_folder.h"

namespace keelrun {
namespace {

// A shoreline across square 5135 (34°-34°40' N, 135°-136° E) in GMT's dump
// format, and one off the grid.
const QByteArray kDump = "> Shore Bin # 1, Level 1\n"
                         "135.10\t34.30\n135.12\t34.32\n135.15\t34.33\n135.20\t34.35\n"
                         "> Shore Bin # 2, Level 1\n"
                         "-1.30\t50.80\n-1.29\t50.81\n";

TEST(CoastlineWriter, DetailedFilesComeBackWhereTheShoreWas)
{
    const std::vector<coast::Polyline> shores = coast::parseGmtDump(kDump);
    ASSERT_EQ(shores.size(), 2u);
    EXPECT_DOUBLE_EQ(shores[0][0].lat, 34.30 * 60);
    EXPECT_DOUBLE_EQ(shores[1][1].lon, -1.29 * 60);
    EXPECT_THROW(coast::parseGmtDump("> x\nnorth south\n"), LoadError);

    const QByteArray text = coast::detailedFileText("5135", {shores[0]});
    const CoastWindow window{40, 2040, 2080, 8100, 8160};
    const GeoPoint shift = datumShift(34.33 * 60, 135.15 * 60);
    std::vector<CoastPoint> points;
    ASSERT_EQ(readDetailedCoastline({text.constData(), std::size_t(text.size())}, "5135.cst", window, shift, points), "");
    ASSERT_GE(points.size(), 4u);
    // Every shore point comes back within a few metres (0.005').
    for (const GeoPoint &p : shores[0]) {
        double nearest = 1e9;
        for (const CoastPoint &q : points)
            nearest = std::min(nearest, std::hypot(q.lat - p.lat, q.lon - p.lon));
        EXPECT_LT(nearest, 0.005) << p.lat << " " << p.lon;
    }
    EXPECT_TRUE(points[0].start);
}

TEST(CoastlineWriter, AppendsTheGeneralFileAndKeepsOthersFiles)
{
    test::TestFolder t;
    t.write("coastline/5135.cst", "M 513500\n");  // someone else's
    const QString dir = t.path("coastline");
    const coast::Area osaka{34.2 * 60, 34.5 * 60, 135.0 * 60, 135.3 * 60};
    const std::vector<coast::Polyline> shores = coast::parseGmtDump(kDump);

    const QStringList done = coast::writeCoastlineFiles(dir, osaka, shores, false, "keelrun-coastline --area ...");
    EXPECT_TRUE(done.last().startsWith("left 5135.cst alone")) << done.join('\n').toStdString();
    QFile square(t.path("coastline/5135.cst"));
    ASSERT_TRUE(square.open(QIODevice::ReadOnly));
    EXPECT_EQ(square.readAll(), "M 513500\n");
    square.close();

    const coast::Area solent{50.7 * 60, 50.9 * 60, -1.4 * 60, -1.2 * 60};
    coast::writeCoastlineFiles(dir, solent, shores, false, "keelrun-coastline --race solent");
    std::vector<CoastPoint> points;
    QFile general(t.path("coastline/toba.cst"));
    ASSERT_TRUE(general.open(QIODevice::ReadOnly));
    const QByteArray text = general.readAll();
    EXPECT_EQ(readGeneralCoastline({text.constData(), std::size_t(text.size())}, "toba.cst", points), "");
    EXPECT_EQ(points.size(), 6u);  // the Osaka shore, then the Solent's
    EXPECT_TRUE(points[4].start);
    general.close();

    // Run again for an area it holds, the general file stays as it was.
    const QStringList again = coast::writeCoastlineFiles(dir, solent, shores, false, "keelrun-coastline --race solent");
    EXPECT_TRUE(again.contains("toba.cst already holds these shores")) << again.join('\n').toStdString();
    ASSERT_TRUE(general.open(QIODevice::ReadOnly));
    EXPECT_EQ(general.readAll(), text);
    general.close();

    // With --force the square is replaced, and from then on it is its own.
    coast::writeCoastlineFiles(dir, osaka, shores, true, "keelrun-coastline --force");
    ASSERT_TRUE(square.open(QIODevice::ReadOnly));
    EXPECT_TRUE(square.readAll().startsWith("M 5135"));
    square.close();
    EXPECT_TRUE(coast::writeCoastlineFiles(dir, osaka, shores, false, "again").last().startsWith("wrote 5135.cst"));
}

}  // namespace
}  // namespace keelrun
