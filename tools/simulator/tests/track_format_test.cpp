#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include <QList>

#include "track_decoders.h"
#include "track_writers.h"

namespace keelrun::sim {
namespace {

using test::DecodedFix;

constexpr std::int64_t k2024 = 1715479200;  // 2024-05-12 02:00:00 UTC

// Short tracks in every quarter of the globe, across the equator and the
// prime meridian, with 1 to 10 seconds between fixes.
std::vector<Fix> tracksAroundTheGlobe()
{
    const double places[][2] = {{-0.002, -0.0015}, {-33.85, 151.21}, {41.9, -87.6}, {34.55, 135.25}, {-54.8, -68.3}};
    std::vector<Fix> fixes;
    std::int64_t t = k2024;
    for (const auto &p : places)
        for (int i = 0; i < 30; ++i) {
            t += 1 + i % 10;
            fixes.push_back({t, p[0] + i * 0.0001, p[1] + i * 0.00013, 1.5 + 0.1 * i});
        }
    return fixes;
}

void expectSameTrack(const std::vector<Fix> &written, const std::vector<DecodedFix> &read, double tolerance)
{
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].time, written[i].time) << "fix " << i;
        EXPECT_NEAR(read[i].lat, written[i].lat, tolerance) << "fix " << i;
        EXPECT_NEAR(read[i].lon, written[i].lon, tolerance) << "fix " << i;
    }
}

TEST(TrackFormats, EveryFormatReadsBackItsFixes)
{
    const std::vector<Fix> fixes = tracksAroundTheGlobe();
    const double semicircle = 180.0 / 2147483648.0;
    const double hundredThousandthMinute = 1e-5 / 60;
    expectSameTrack(fixes, test::decodeTrb(writeTrb(fixes)), 1e-5);
    expectSameTrack(fixes, test::decodeTrl(writeTrl(fixes, 16)), 1e-5);
    expectSameTrack(fixes, test::decodeTrl(writeTrl(fixes, 20)), 1e-5);
    expectSameTrack(fixes, test::decodeGdb(writeGdb(fixes, "race01_03")), semicircle);
    expectSameTrack(fixes, test::decodeMps(writeMps(fixes, "race01_04")), semicircle);
    expectSameTrack(fixes, test::decodeGpx(writeGpx(fixes, "race01_01")), 1e-9);
    expectSameTrack(fixes, test::decodeHemisphereText(writeHemisphereText(fixes)), hundredThousandthMinute);
    expectSameTrack(fixes, test::decodeNmea(writeNmea(fixes)), hundredThousandthMinute);
}

// Pages of at most 2 kB, each a page header, rows of the sizes their keys
// give, and a terminator with the page's length, for reading backwards.
TEST(TrackFormats, VkxLogsAreWholePagesOfRows)
{
    const std::vector<Fix> fixes = tracksAroundTheGlobe();
    const StartLog start{{{fixes[9].time * 1000 + 500, StartLog::TimerEvent::RaceStart, 0}},
                         {{fixes[3].time * 1000, StartLog::LineEnd::Pin, {34.5, 135.25}}}};
    const QByteArray log = writeVkx(fixes, start);
    std::map<int, int> sizes = {{0xFF, 7}, {0xFE, 2}, {0x02, 44}, {0x04, 13}, {0x05, 17}, {0x08, 13}}, rows;
    qsizetype page = 0;
    for (qsizetype at = 0; at < log.size(); at += 1 + sizes[static_cast<std::uint8_t>(log[at])]) {
        const int key = static_cast<std::uint8_t>(log[at]);
        ASSERT_TRUE(sizes.contains(key) && (key == 0xFF) == (at == page)) << "byte " << at;
        ++rows[key];
        if (key == 0xFE) {
            const int length = static_cast<std::uint8_t>(log[at + 1]) | static_cast<std::uint8_t>(log[at + 2]) << 8;
            EXPECT_EQ(length, at + 3 - page);
            EXPECT_LE(length, 2048);
            page = at + 3;
        }
    }
    EXPECT_EQ(page, log.size());  // the last page is closed too
    EXPECT_GE(rows[0xFF], 4);
    EXPECT_EQ(rows[0x02], static_cast<int>(fixes.size()));
    EXPECT_EQ(rows[0x04] + rows[0x05], 2);
}

TEST(TrackFormats, BinaryCoordinatesAreTheNearestFloats)
{
    const std::vector<Fix> fixes = tracksAroundTheGlobe();
    const auto read = test::decodeTrb(writeTrb(fixes));
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        EXPECT_EQ(read[i].lat, static_cast<float>(fixes[i].lat));
        EXPECT_EQ(read[i].lon, static_cast<float>(fixes[i].lon));
    }
}

TEST(TrackFormats, TrlRecordSizeIsRecognisedFromTheFirstTimes)
{
    // Also in 2004, when Unix times are close to the bit patterns of small
    // floats such as the speeds the 20-byte records carry.
    for (const std::int64_t start : {k2024, std::int64_t{1084000000}})
        for (const int interval : {1, 10})
            for (const int size : {16, 20}) {
                std::vector<Fix> fixes;
                for (int i = 0; i < 5; ++i)
                    fixes.push_back({start + i * interval, 5.0 + i * 0.001, 5.0, 2});
                EXPECT_EQ(test::trlRecordSize(writeTrl(fixes, size)), size)
                    << "start " << start << " interval " << interval;
            }
}

// Times whose middle bytes are zero and coordinates whose bytes are 0 and 1
// are what could make a record scan stop at the wrong place.
TEST(TrackFormats, DatabaseScansFindEveryFixOnceEvenWithAwkwardBytes)
{
    const double oneOne = 0x00010001 * 180.0 / 2147483648.0;  // semicircles with bytes 01 00 01 00
    const double ones = 0x01010101 * 180.0 / 2147483648.0;
    const double awkward[] = {oneOne, ones, -oneOne, 0.0};
    std::vector<Fix> fixes;
    for (int i = 0; i < 64; ++i)
        fixes.push_back({0x66000000 + i, awkward[i % 4], awkward[i / 4 % 4], 0});
    const double semicircle = 180.0 / 2147483648.0;
    expectSameTrack(fixes, test::decodeGdb(writeGdb(fixes, "awkward")), semicircle);
    expectSameTrack(fixes, test::decodeMps(writeMps(fixes, "awkward")), semicircle);
    // A single fix still has room after it for the scan.
    expectSameTrack({fixes[0]}, test::decodeGdb(writeGdb({fixes[0]}, "one")), semicircle);
    expectSameTrack({fixes[0]}, test::decodeMps(writeMps({fixes[0]}, "one")), semicircle);
}

TEST(TrackFormats, TextFormsKeepToTheirLineShapes)
{
    const std::vector<Fix> fixes = tracksAroundTheGlobe();
    for (const QByteArray &line : writeHemisphereText(fixes).split('\n')) {
        if (line.isEmpty())
            continue;
        EXPECT_TRUE(line.endsWith('\r'));
        // Those words would switch a reader to another coordinate form.
        EXPECT_FALSE(line.contains("DMS") || line.contains("DEG")) << line.constData();
        const auto fields = line.trimmed().split(' ');
        if (!line.startsWith("H")) {
            EXPECT_EQ(std::count_if(fields.begin(), fields.end(), [](const QByteArray &f) { return !f.isEmpty(); }), 6);
        }
    }
    const QByteArray nmea = writeNmea(fixes);
    EXPECT_EQ(nmea.count("$GPRMC"), static_cast<qsizetype>(fixes.size()));
    EXPECT_EQ(nmea.count("$GPGGA"), static_cast<qsizetype>(fixes.size()));
    const QByteArray gpx = writeGpx(fixes, "x");
    EXPECT_EQ(gpx.count("<trkpt "), static_cast<qsizetype>(fixes.size()));
    EXPECT_TRUE(gpx.trimmed().endsWith("</gpx>"));
}

TEST(TrackFormats, NmeaChecksumCoversTheWholeSentenceBody)
{
    const QByteArray nmea = writeNmea({{k2024, 34.5, 135.25, 2}});
    const QByteArray rmc = nmea.mid(nmea.indexOf("$GPRMC")).trimmed();
    // 2024-05-12 02:00:00 at 34°30' N 135°15' E
    EXPECT_TRUE(rmc.startsWith("$GPRMC,020000,A,3430.00000,N,13515.00000,E,"));
    EXPECT_TRUE(rmc.contains(",120524,"));
    QByteArray broken = nmea;
    broken.replace("3430.00000", "3430.00001");
    EXPECT_EQ(test::decodeNmea(nmea).size(), 1u);
    EXPECT_EQ(test::decodeNmea(broken).size(), 0u);
}

}  // namespace
}  // namespace keelrun::sim
