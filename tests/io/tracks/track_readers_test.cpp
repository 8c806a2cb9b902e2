#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/numbers.h"
#include "io/tracks/track_bytes.h"
#include "io/tracks/track_reader.h"
#include "track_builders.h"

namespace keelrun {
namespace {

using namespace test;

// The text damaged at each byte in every way one character can: the byte
// left out, and each of `characters` put in its place or before it.
std::vector<std::string> damagedCopies(const std::string &text, std::string_view characters)
{
    std::vector<std::string> damaged;
    for (std::size_t at = 0; at < text.size(); ++at) {
        damaged.push_back(text.substr(0, at) + text.substr(at + 1));
        for (const char c : characters) {
            damaged.push_back(text.substr(0, at) + c + text.substr(at + 1));
            damaged.push_back(text.substr(0, at) + c + text.substr(at));
        }
    }
    return damaged;
}

class TrackReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        race.startTime = makeDateTime(2009, 5, 3, 11, 0, 0);
        race.timeDifference = 9;
        race.startTimeUtc = makeDateTime(2009, 5, 3, 2, 0, 0);
        race.raceDate = makeDateTime(2009, 5, 3);
        race.preStartSeconds = 180;
    }

    BoatEntry &read(TrackDecoder decode, const std::string &bytes)
    {
        BoatEntry &boat = race.boats[1];
        boat.samples.assign(1, TrackSample{});
        FixSink sink(race, boat);
        decode(bytes, {"gpsdat/test", race.raceDate}, sink);
        return boat;
    }

    // All that a reading gives: the fixes, the points skipped, the damaged
    // records and the first of them.
    struct Outcome {
        std::vector<std::array<double, 3>> fixes;
        int skipped = 0;
        int damaged = 0;
        std::string firstDamage;
        std::vector<std::string> warnings;
        bool operator==(const Outcome &) const = default;
    };
    Outcome outcomeOf(TrackDecoder decode, std::string_view bytes)
    {
        Outcome o;
        BoatEntry &boat = race.boats[1];
        boat.samples.assign(1, TrackSample{});
        FixSink sink(race, boat);
        decode(bytes, {"gpsdat/test", race.raceDate}, sink);
        for (int i = 1; i <= boat.sampleCount(); ++i)
            o.fixes.push_back({boat.samples[i].time, boat.samples[i].lat, boat.samples[i].lon});
        o.skipped = sink.skipped();
        o.damaged = sink.damaged();
        o.firstDamage = sink.firstDamage().toStdString();
        for (const QString &warning : sink.warnings())
            o.warnings.push_back(warning.toStdString());
        return o;
    }

    // Where the first damaged record is and what is wrong with it; empty
    // when nothing is damaged.
    std::string damageOf(TrackDecoder decode, const std::string &bytes) { return outcomeOf(decode, bytes).firstDamage; }

    RaceState race;
};

TEST_F(TrackReaderTest, TrbReadsWholeRecordsOnly)
{
    const BoatEntry &boat = read(readTrb, fixedRecords(20, 12) + "1234567");
    ASSERT_EQ(boat.sampleCount(), 20);
    EXPECT_EQ(boat.samples[1].time, 0);
    EXPECT_EQ(boat.samples[20].time, 19);
    EXPECT_DOUBLE_EQ(boat.samples[1].lat, 35.5 * 60);
    EXPECT_DOUBLE_EQ(boat.samples[1].lon, -139.25 * 60);
}

TEST_F(TrackReaderTest, TrlDecidesItsRecordSizeFromTheTimes)
{
    std::string sixteen = fixedRecords(10, 16);
    putInt(sixteen, 0, kGunUnix + 1000);
    putInt(sixteen, 16, kGunUnix + 1001);
    putInt(sixteen, 20, kGunUnix + 1500);  // record 2's latitude, now off the globe
    const BoatEntry &boat = read(readTrl, sixteen);
    ASSERT_EQ(boat.sampleCount(), 9);
    EXPECT_EQ(boat.samples[2].time, 2);  // record 3 at offset 32

    EXPECT_EQ(read(readTrl, fixedRecords(10, 20) + "abc").sampleCount(), 10);
    EXPECT_EQ(read(readTrl, fixedRecords(1, 20)).sampleCount(), 0);  // too short to tell
}

TEST_F(TrackReaderTest, GdbFindsLongRecordsAndSkipsPastThem)
{
    const BoatEntry &boat = read(readGdb, gdbFile(30, kGunUnix));
    ASSERT_EQ(boat.sampleCount(), 30);
    EXPECT_NEAR(boat.samples[1].lat, 35.5 * 60, 1e-5);  // semicircles resolve 5e-6 minutes
    EXPECT_NEAR(boat.samples[1].lon, -139.25 * 60, 1e-5);
    EXPECT_EQ(boat.samples[30].time, 29);

    std::string tight = gdbFile(30, kGunUnix);
    tight.resize(tight.size() - 38);  // the last record ends two bytes before the file does
    EXPECT_EQ(read(readGdb, tight).sampleCount(), 30);
}

TEST_F(TrackReaderTest, GdbFindsShortRecords)
{
    // 16-byte shape: the flag at offset 11, latitude 9 before it, the time
    // right after it, and the next record's two zero bytes.
    std::string file(40, 'H');
    for (int k = 0; k < 5; ++k) {
        std::string r(16, 'x');
        r[0] = r[1] = 0;
        putInt(r, 2, semicircles(10));
        putInt(r, 6, semicircles(20));
        r[10] = 0;
        r[11] = 1;
        putInt(r, 12, static_cast<std::int32_t>(kGunUnix + 10 * k));
        file += r;
    }
    file += std::string(40, '\0');
    const BoatEntry &boat = read(readGdb, file);
    ASSERT_EQ(boat.sampleCount(), 5);
    EXPECT_EQ(boat.samples[5].time, 40);
    EXPECT_NEAR(boat.samples[1].lat, 600, 1e-5);
    EXPECT_NEAR(boat.samples[1].lon, 1200, 1e-5);
}

TEST_F(TrackReaderTest, ScannedRecordsWithoutTimeGiveNoFix)
{
    EXPECT_EQ(read(readGdb, gdbFile(3, 0)).sampleCount(), 0);
    EXPECT_EQ(read(readGdb, std::string(59, '\0')).sampleCount(), 0);
}

TEST_F(TrackReaderTest, MpsNeedsNineZeroBytesAfterTheTime)
{
    std::string file(40, 'H');
    for (int k = 0; k < 4; ++k) {
        std::string r(34, '\0');
        putInt(r, 2, semicircles(35.5));
        putInt(r, 6, semicircles(-139.25));
        r[10] = 0;
        r[19] = 1;
        putInt(r, 20, static_cast<std::int32_t>(kGunUnix + k));
        file += r;
    }
    file += std::string(40, '\0');
    const BoatEntry &boat = read(readMps, file);
    ASSERT_EQ(boat.sampleCount(), 4);
    EXPECT_EQ(boat.samples[4].time, 3);
    file[40 + 34 + 30] = 'x';  // the second record's padding
    EXPECT_EQ(read(readMps, file).sampleCount(), 3);
}

std::string gpxPoint(const std::string &lat, const std::string &lon, const std::string &time, char quote = '"')
{
    return "<trkpt lat=" + std::string(1, quote) + lat + quote + " lon=" + quote + lon + quote + "><ele>12.5</ele><time>" +
           time + "</time></trkpt>\n";
}

TEST_F(TrackReaderTest, GpxTimesAreUtcWithOrWithoutFractionsAndZones)
{
    const std::string gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n" +
                            gpxPoint("35.5", "139.25", "2009-05-03T02:15:30Z") +
                            gpxPoint("35.5", "139.25", "2009-05-03T02:15:30.250Z") +
                            gpxPoint("35.5", "139.25", "2009-05-03T02:15:30") +
                            gpxPoint("35.5", "139.25", "2009-05-03T11:15:30+09:00", '\'') +
                            gpxPoint("35.5", "139.25", "2009-05-02T21:15:30.5-04:45") +
                            gpxPoint("35.5", "139.25", "2009-05-03T11:15:30+0900") +
                            gpxPoint("35.5", "139.25", "2009-05-03T11:15:30+09") +
                            "</trkseg></trk></gpx>\n" + gpxPoint("1", "1", "2009-05-03T02:15:30Z");
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 7);  // nothing after </gpx>
    for (const int i : {1, 3, 4, 6, 7})
        EXPECT_EQ(boat.samples[i].time, 930) << i;
    EXPECT_EQ(boat.samples[2].time, 930.25);
    EXPECT_EQ(boat.samples[5].time, 30.5);  // 21:15:30.5 at UTC-4:45
    EXPECT_DOUBLE_EQ(boat.samples[4].lat, 35.5 * 60);
}

TEST_F(TrackReaderTest, GpxSkipsPointsWithoutTimeAndReadsTruncatedFiles)
{
    const std::string gpx = "<gpx><TRKPT LAT=\"35.5\" LON=\"139.25\"></TRKPT>" +
                            gpxPoint("35.5", "139.25", "2009-05-03T02:00:01Z") +
                            "<trkpt lat=\"35.6\" lon=\"139.3\"><time>2009-05-03T02:00:02Z</time>";
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 2);
    EXPECT_EQ(boat.samples[2].time, 2);
    EXPECT_EQ(read(readGpx, gpx.substr(0, gpx.size() - 30)).sampleCount(), 1);
}

// Tag and attribute names in any letter case, among bytes of other
// scripts (which are no letters to lower).
TEST_F(TrackReaderTest, GpxNamesInAnyCase)
{
    const std::string gpx = "<GPX><TRKPT LAT=\"35.5\" Lon='139.25'><Name>\xc3\x80\xc3\x9a \xe6\xb5\xb7 AZ@[`{</Name>"
                            "<ELE>12</ELE><TiMe>2009-05-03T02:00:03Z</tImE></TrkPt>" +
                            gpxPoint("35.6", "139.3", "2009-05-03T02:00:04Z") + "</GPX>";
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 2);
    EXPECT_EQ(boat.samples[1].time, 3);
    EXPECT_DOUBLE_EQ(boat.samples[1].lon, 139.25 * 60);
    EXPECT_EQ(boat.samples[2].time, 4);
}

// A point with a value that does not convert is damaged: it is passed over
// and counted, the first named by its line, byte and text, and the rest of
// the track loads.
TEST_F(TrackReaderTest, GpxDamagedPointsAreSkippedAndTheFirstNamed)
{
    const std::string gpx = "<gpx>\n" + gpxPoint("35.5", "139.25", "2009-05-03T02:00:01Z") +
                            gpxPoint("35,5", "139.25", "2009-05-03T02:00:02Z") +
                            "<trkpt lat=35.5 lon=\"1\"><time>2009-05-03T02:00:03Z</time></trkpt>\n" +
                            "<trkpt lat=\"1\" lon=\"1\"><ele>high</ele><time>2009-05-03T02:00:04Z</time></trkpt>\n" +
                            gpxPoint("35.5", "1x", "2009-05-03T02:00:05Z") + gpxPoint("35.5", "139.25", "2009-05-03T02:00:06Z");
    const Outcome read = outcomeOf(readGpx, gpx);
    EXPECT_EQ(read.damaged, 4);
    EXPECT_EQ(read.firstDamage, "line 3 (byte 106): \"35,5\" is not a number");
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[1][0], 6);
    EXPECT_EQ(read.skipped, 0);
}

// A point whose time cannot be read is passed over and counted; the rest of
// the track loads.
TEST_F(TrackReaderTest, GpxPointsWithAnUnreadableTimeAreSkippedAndCounted)
{
    const std::string gpx = gpxPoint("1", "1", "2009-05-03T25:00:00Z") + gpxPoint("1", "1", "2009-05-03T02:00:01+99:99") +
                            gpxPoint("1", "1", "2009-05-03T02:00:02+9") + gpxPoint("1", "1", "yesterday") +
                            gpxPoint("1", "1", "2009-05-03T02:00:03Z");
    BoatEntry &boat = race.boats[1];
    FixSink sink(race, boat);
    readGpx(gpx, {"gpsdat/test", race.raceDate}, sink);
    EXPECT_EQ(sink.skipped(), 4);
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, 3);
}

// Points in the usual plain shape are read straight from the bytes, all
// others by looking for their parts. Every small damage to a plain file must
// read the same both ways: the same fixes, skips and damage. Capital TRKPT
// names (same length, same offsets) send every point the second way.
TEST_F(TrackReaderTest, GpxPlainPointsReadAsAnyOther)
{
    const std::string plain = "<gpx>\n<trkpt lat=\"35.5\" lon=\"-139.25\"><ele>1.5</ele><time>2009-05-03T02:00:01Z</time></trkpt>\n"
                              "<trkpt lat=\"35.6\" lon=\"139.3\">\n <time>2009-05-03T11:00:02+09:00</time>\n</trkpt>\n"
                              "<trkpt lat=\"35.7\" lon=\"139.4\"><time>2009-05-03T02:00:02.35Z</time></trkpt></gpx>";
    const auto outcome = [&](const std::string &bytes) { return outcomeOf(readGpx, bytes); };
    const auto readAnyWay = [](std::string bytes) {
        for (std::size_t at = bytes.find("<trkpt"); at != std::string::npos; at = bytes.find("<trkpt", at))
            bytes.replace(at, 6, "<TRKPT");
        return bytes;
    };
    ASSERT_EQ(outcome(plain).fixes.size(), 3u);
    int cases = 0;
    for (const std::string &bytes : damagedCopies(plain, "\"'<>/ \n.-+0159eEtTzZ:x")) {
        ASSERT_EQ(outcome(bytes), outcome(readAnyWay(bytes))) << bytes;
        ++cases;
    }
    EXPECT_GT(cases, 8000);
    // Values near the longest a name's window holds, as positions and as
    // elevations (which are only checked).
    for (std::size_t length = 40; length <= 50; ++length) {
        const std::string value = "35." + std::string(length - 4, '0') + "1";
        const std::string bytes = "<trkpt lat=\"" + value + "\" lon=\"1\"><time>2009-05-03T02:00:01Z</time></trkpt>";
        EXPECT_EQ(outcome(bytes), outcome(readAnyWay(bytes))) << length;
        const std::string high = "<trkpt lat=\"1\" lon=\"1\"><ele>" + value + "</ele><time>2009-05-03T02:00:01Z</time></trkpt>";
        EXPECT_EQ(outcome(high), outcome(readAnyWay(high))) << length;
    }
    for (const char *elevation : {"-0", "007", "-.5", "1.", "1e3", "+2", " 3 ", "2-", "--1", "0x1", "nan", "inf", ""}) {
        const std::string bytes = "<trkpt lat=\"1\" lon=\"1\"><ele>" + std::string(elevation) + "</ele><time>2009-05-03T02:00:01Z</time></trkpt>";
        EXPECT_EQ(outcome(bytes), outcome(readAnyWay(bytes))) << elevation;
    }
}

TEST_F(TrackReaderTest, GpxExtensionsDoNotEndAPoint)
{
    const std::string gpx =
        "<trkpt lat=\"35.5\" lon=\"139.25\"><extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>120</gpxtpx:hr>"
        "</gpxtpx:TrackPointExtension></extensions><time>2009-05-03T02:00:07Z</time></trkpt>";
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, 7);
}

TEST_F(TrackReaderTest, PositionsOffTheGlobeAreNoFixes)
{
    std::string trb = fixedRecords(3, 12);
    putFloat(trb, 12 + 4, 95.0f);
    putFloat(trb, 24 + 8, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(read(readTrb, trb).sampleCount(), 1);
}

TEST_F(TrackReaderTest, PreStartFixesAreKeptFromAMinuteBeforeTheWindow)
{
    const std::string gpx = gpxPoint("1", "1", "2009-05-03T01:56:00Z") + gpxPoint("1", "1", "2009-05-03T01:56:01Z");
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, -239);
}

TEST_F(TrackReaderTest, ClockOffsetShiftsEveryFix)
{
    race.boats[1].clockOffset = -3;
    EXPECT_EQ(read(readGpx, gpxPoint("1", "1", "2009-05-03T02:00:10Z")).samples[1].time, 7);
}

// A fix 68 years after the gun with a week's clock offset lies past the race
// clock's range: it is dropped, and nothing overflows.
TEST_F(TrackReaderTest, FixesPastTheRaceClocksRangeAreDropped)
{
    race.boats[1].clockOffset = 7 * 86400;
    const std::string gpx = gpxPoint("1", "1", "2077-05-20T05:14:00Z") + gpxPoint("1", "1", "2009-05-03T02:00:10Z");
    const BoatEntry &boat = read(readGpx, gpx);
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, 10 + 7 * 86400);

    // Any 64-bit count of milliseconds, as a binary log's damaged bits give
    // it, is dropped without overflowing on the way (the sanitizers watch).
    BoatEntry other;
    FixSink sink(race, other);
    for (const std::int64_t ms : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()})
        sink.addUnixMilliseconds(ms, 60, 60);
    EXPECT_EQ(other.sampleCount(), 0);
}

// A fix at a time of day, or at a Unix time in milliseconds, is put on the
// race clock in whole milliseconds where the start is on one; the clock must
// be the very one the days' rounding gives, at every distance from the
// start, for starts on a whole second or not, for times on whole seconds or
// not, and at the edges of the pre-start and of the clock's range.
TEST_F(TrackReaderTest, FixTimesOfDayGoOnTheClockAsAnyOther)
{
    std::mt19937_64 random(31);
    const auto within = [&](long long from, long long to) { return from + static_cast<long long>(random() % static_cast<unsigned long long>(to - from + 1)); };
    const double gun = race.startTimeUtc.days;
    const std::vector<double> starts = {gun, gun + 0.5 / kSecondsPerDay, gun + 0.0004 / kSecondsPerDay, gun + 123456.0 / kSecondsPerDay,
                                        -3.25, 2958465.0};
    int kept = 0;
    for (const double start : starts) {
        race.startTimeUtc = DateTime{start};
        for (int k = 0; k < 20000; ++k) {
            const long long near = static_cast<long long>(std::floor(start));
            const long long days = k % 5 == 0 ? within(-800000, 3000000) : near + within(-30, 30);
            const std::int64_t millisecond = k % 2 == 0 ? within(0, 86399) * 1000 : within(0, 86399999);
            race.boats[1].clockOffset = static_cast<int>(within(-200, 200));
            BoatEntry viaDays = race.boats[1], viaClock = race.boats[1], viaUnix = race.boats[1];
            viaDays.samples.assign(1, {});
            viaClock.samples.assign(1, {});
            viaUnix.samples.assign(1, {});
            const bool atMidnight = k % 10 != 1;  // some not
            const DateTime day{static_cast<double>(days) + (atMidnight ? 0.0 : 0.3)};
            FixSink(race, viaDays).add(addSeconds(day, static_cast<double>(millisecond) / 1000), 60, 60);
            FixSink(race, viaClock).addAtTimeOfDay(day, millisecond, 60, 60);
            FixSink(race, viaUnix).addUnixMilliseconds((days - 25569) * 86'400'000 + millisecond, 60, 60);
            ASSERT_EQ(viaDays.sampleCount(), viaClock.sampleCount()) << start << " " << days << " " << millisecond;
            if (atMidnight) {
                ASSERT_EQ(viaUnix.sampleCount(), viaClock.sampleCount()) << start << " " << days << " " << millisecond;
            }
            if (viaDays.sampleCount() == 1) {
                ASSERT_EQ(viaDays.samples[1].time, viaClock.samples[1].time) << start << " " << days << " " << millisecond;
                if (atMidnight) {
                    ASSERT_EQ(viaUnix.samples[1].time, viaClock.samples[1].time) << start << " " << days << " " << millisecond;
                }
                ++kept;
            }
        }
    }
    EXPECT_GT(kept, 20000);
}

TEST_F(TrackReaderTest, HemisphereTextInAllThreeForms)
{
    const std::string text =
        "H header line\r\n"
        "T S3452.500 W13545.000 2009-05-03 02:00:01 0\r\n"
        "T  N3452.5   E13545.0  2009/05/03  02:00:02  0\r\n"
        "DMS\r\n"
        "T N345230.0 E1354500.0 2009-05-03 02:00:03 0\r\n"
        "DEG\r\n"
        "T N34.875 W135.75 2009-05-03 02:00:04 0\r\n"
        "T N34.875 W135.75 2009-05-03 02:00:05\r\n";
    const BoatEntry &boat = read(readHemisphereText, text);
    ASSERT_EQ(boat.sampleCount(), 4);
    EXPECT_DOUBLE_EQ(boat.samples[1].lat, -(34 * 60 + 52.5));
    EXPECT_DOUBLE_EQ(boat.samples[1].lon, -(135 * 60 + 45.0));
    EXPECT_DOUBLE_EQ(boat.samples[2].lat, 34 * 60 + 52.5);
    EXPECT_DOUBLE_EQ(boat.samples[3].lat, 34 * 60 + 52.5);
    EXPECT_DOUBLE_EQ(boat.samples[3].lon, 135 * 60 + 45);
    EXPECT_DOUBLE_EQ(boat.samples[4].lat, 34.875 * 60);
    EXPECT_DOUBLE_EQ(boat.samples[4].lon, -135.75 * 60);
    EXPECT_EQ(boat.samples[4].time, 4);
}

// The words that switch the form count anywhere in a line, "DEG" before
// "DMS" when a line has both.
TEST_F(TrackReaderTest, HemisphereTextFormWordsAnywhereInALine)
{
    const std::string text = "H FORMAT DDMS\r\n"
                             "T N345230.0 E1354500.0 2009-05-03 02:00:03 0\r\n"
                             "H DMS, NOT DEG\r\n"
                             "T N34.875 W135.75 2009-05-03 02:00:04 0\r\n";
    const BoatEntry &boat = read(readHemisphereText, text);
    ASSERT_EQ(boat.sampleCount(), 2);
    EXPECT_DOUBLE_EQ(boat.samples[1].lat, 34 * 60 + 52.5);
    EXPECT_DOUBLE_EQ(boat.samples[2].lat, 34.875 * 60);
}

// The usual line is read where its fields stand; it must read as the
// general reading reads it, whatever is damaged: the same fixes, skips and
// damage. The general reading is forced by doubling the "T" that starts a
// line, which moves the bytes after it, so errors are compared without
// their byte offsets. The last fields let one inserted "D" make a form word.
TEST_F(TrackReaderTest, HemisphereTextPlainLinesReadAsAnyOther)
{
    const std::string plain = "H  TRACK LOG\r\n"
                              "T N3452.500 E13545.000 2009-05-03 02:00:01 MS\r\n"
                              "T S0052.25 W00045.125 2009-05-03 02:00:02 EG\r\n"
                              "T N3452.5 E13545.0 2009-05-03 02:00:03 0.7\n";
    const auto readAnyWay = [](std::string bytes) {
        for (std::size_t at = 0; at != std::string::npos; at = bytes.find('\n', at + 1)) {
            const std::size_t start = bytes[at] == '\n' ? at + 1 : at;
            if (bytes.compare(start, 2, "T ") == 0)
                bytes.insert(start, "T");
        }
        return bytes;
    };
    const auto outcome = [&](const std::string &bytes) {
        Outcome read = outcomeOf(readHemisphereText, bytes);
        if (const std::size_t byte = read.firstDamage.find(" (byte "); byte != std::string::npos)
            read.firstDamage.erase(byte, read.firstDamage.find(')', byte) + 1 - byte);
        return read;
    };
    ASSERT_EQ(outcome(plain).fixes.size(), 3u);
    ASSERT_EQ(outcome(plain), outcome(readAnyWay(plain)));
    int cases = 0, fixesRead = 0;
    for (const std::string &bytes : damagedCopies(plain, " \t\r\n.-:/0159NSEWTDx")) {
        const Outcome read = outcome(bytes);
        ASSERT_EQ(read, outcome(readAnyWay(bytes))) << bytes;
        fixesRead += static_cast<int>(read.fixes.size());
        ++cases;
    }
    EXPECT_GT(cases, 5000);
    EXPECT_GT(fixesRead, 2 * cases);  // most damage leaves lines that still read
    // Lines that end before, at and past their 64th byte, with six fields
    // and with seven.
    for (std::size_t length = 1; length <= 24; ++length) {
        for (const char *last : {"0", "0 1", "0000000000 1"}) {
            const std::string line = "T N3452.500 E13545.0" + std::string(length, '5') + " 2009-05-03 02:00:01 " + last + "\n";
            ASSERT_EQ(outcome(line).fixes.size(), std::strlen(last) == 1 ? 1u : 0u) << line;
            ASSERT_EQ(outcome(line), outcome(readAnyWay(line))) << line;
        }
    }
}

// A hemisphere letter with no number after it is no coordinate: the line
// is a damaged record, named, not read as a fix somewhere; the lines after
// it are read.
TEST_F(TrackReaderTest, HemisphereTextLetterWithoutANumberIsNoCoordinate)
{
    const Outcome read = outcomeOf(readHemisphereText, "T N3452.5 E13545.0 2009-05-03 02:00:01 0\nT N E13545.0 2009-05-03 02:00:02 0\n"
                                                       "T N3452.5 E1x545.0 2009-05-03 02:00:03 0\nT N3452.5 E13545.0 2009-05-03 02:00:04 0\n");
    EXPECT_EQ(read.firstDamage, "line 2 (byte 43): \"N\" is not a coordinate");
    EXPECT_EQ(read.damaged, 2);
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[1][0], 4);
}

TEST_F(TrackReaderTest, DashDatesFarFromTheRaceAreMovedOutOfIt)
{
    // The race date is 2009-05-03: 2010-05-02 is 364 days away, 2010-05-04 366.
    race.startTimeUtc = makeDateTime(2010, 5, 2, 2, 0, 0);
    EXPECT_EQ(read(readHemisphereText, "T N3452.5 E13545.0 2010-05-02 02:00:01 0\n").sampleCount(), 1);
    race.startTimeUtc = makeDateTime(2010, 5, 4, 2, 0, 0);
    EXPECT_EQ(read(readHemisphereText, "T N3452.5 E13545.0 2010-05-04 02:00:01 0\n").sampleCount(), 0);
    EXPECT_EQ(read(readHemisphereText, "T N3452.5 E13545.0 2010/05/04 02:00:01 0\n").sampleCount(), 1);
    EXPECT_EQ(read(readHemisphereText, "T N3452.5 E13545.0 05-04-2010 02:00:01 0\n").sampleCount(), 0);
    EXPECT_NE(damageOf(readHemisphereText, "T N3452 E13545.0 2010/05/04 02:00:01 0\n"), "");
}

TEST_F(TrackReaderTest, NmeaReadsRmcSentences)
{
    const std::string log = nmea("GPGGA,020001,3452.5,S,13545.0,W,1,08,0.9,545.4,M,46.9,M,,") +
                            nmea("GPRMC,020001,A,3452.5000,S,13545.0000,W,5.5,054.7,030509,,,A") +
                            nmea("GNRMC,020002.00,V,3452.5000,N,13545.0000,E,5.5,054.7,030509,,") +
                            "$GPRMC,020003,A,3452.5,N,13545.0,E,5.5,054.7,030509,,\r\n" +
                            nmea("gprmc,020004,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +  // any letter case
                            nmea("GPRMC*00,020005,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +  // the last star is the checksum's
                            nmea("RMC,020006,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +  // the name anywhere in the first field
                            nmea("PXYZRmC,020007,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("GP\x0cRMC,020008,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("RMCGP,020008,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("XrMcY,020008,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("PXYZARMC,020008,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("RMCABC,020008,A,3452.5,N,13545.0,E,5.5,054.7,030509,,").substr(1) +  // no "$"
                            nmea("GPGGARM,C,020009,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +  // not an RMC sentence
                            nmea("GPGGA,020010,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +  // nor these, whatever follows
                            nmea("GPTXT,RMC,020011,A,3452.5,N,13545.0,E,5.5,054.7,030509,,");
    const BoatEntry &boat = read(readNmea, log);
    ASSERT_EQ(boat.sampleCount(), 12);
    EXPECT_DOUBLE_EQ(boat.samples[1].lat, -(34 * 60 + 52.5));
    EXPECT_DOUBLE_EQ(boat.samples[1].lon, -(135 * 60 + 45.0));
    EXPECT_EQ(boat.samples[1].time, 1);
    EXPECT_EQ(boat.samples[3].time, 3);
}

// A racing logger writes ten fixes a second; each keeps its own time, to
// the millisecond, in every text form that can carry a fraction.
TEST_F(TrackReaderTest, TenFixesASecondKeepTheirTimes)
{
    std::string gpx, rmc, gga;
    for (int k = 0; k < 20; ++k) {
        char clock[16], iso[40];
        std::snprintf(clock, sizeof clock, "0200%02d.%02d", 1 + k / 10, k % 10 * 10);
        std::snprintf(iso, sizeof iso, "2009-05-03T02:00:%02d.%dZ", 1 + k / 10, k % 10);
        gpx += gpxPoint("35.5", "139.25", iso);
        rmc += nmea(std::string("GPRMC,") + clock + ",A,3452.5,N,13545.0,E,5.5,054.7,030509,,");
        gga += nmea(std::string("GPGGA,") + clock + ",3452.5,N,13545.0,E,1,08,0.9,5,M,46.9,M,,");
    }
    for (const auto &[decoder, bytes] : {std::pair{&readGpx, gpx}, std::pair{&readNmea, rmc}, std::pair{&readNmea, gga}}) {
        const BoatEntry &boat = read(decoder, bytes);
        ASSERT_EQ(boat.sampleCount(), 20) << bytes;
        for (int k = 0; k < 20; ++k)
            EXPECT_DOUBLE_EQ(boat.samples[k + 1].time, 1 + k / 10.0) << bytes;
    }
    EXPECT_EQ(read(readGpx, gpxPoint("1", "1", "2009-05-03T02:00:01.0005Z")).samples[1].time, 1.001);  // half up
    EXPECT_EQ(read(readGpx, gpxPoint("1", "1", "2009-05-03T02:00:01.123456789Z")).samples[1].time, 1.123);
}

TEST_F(TrackReaderTest, NmeaSkipsSentencesWithoutFixOrWithABadChecksum)
{
    std::string corrupted = nmea("GPRMC,020002,A,3452.5,N,13545.0,E,5.5,054.7,030509,,");
    corrupted[10] = '9';
    const std::string log = nmea("GPRMC,,V,,,,,,,,,,N") + nmea("GPRMC,020001,V,,,,,,,030509,,,N") + corrupted +
                            nmea("GPRMC,020003,A,3452.5,N,13545.0,E,5.5,054.7,000000,,") +
                            nmea("GPRMC,020004,A,3452.5,N,13545.0") +
                            nmea("GPRMC,020005,A,3452.5,N,13545.0,E,5.5,054.7,030509,,");
    const BoatEntry &boat = read(readNmea, log);
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, 5);
    EXPECT_NE(damageOf(readNmea, nmea("GPRMC,020005,A,3452.5,N,13545.0,E,5.5,054.7,03x509,,")), "");
}

// A sentence with a right checksum and a field that cannot be what it should
// be is damaged: passed over and counted, the first named by its line, byte
// and text, and the sentences after it read.
TEST_F(TrackReaderTest, NmeaDamagedSentencesAreSkippedAndTheFirstNamed)
{
    const std::string log = nmea("GPRMC,020001,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("GPRMC,.1,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("GPRMC,020003,A,3452.5,N,13545.0,E,5.5,054.7,310209,,") +
                            nmea("GPRMC,020004,A,3452.5,N,135x45.0,E,5.5,054.7,030509,,") +
                            nmea("GPRMC,256005,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                            nmea("GPRMC,020006,A,3452.5,N,13545.0,E,5.5,054.7,030509,,");
    const Outcome read = outcomeOf(readNmea, log);
    EXPECT_EQ(read.firstDamage, "line 2 (byte 65): \".1\" is not a time of day (hhmmss)");
    EXPECT_EQ(read.damaged, 4);
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[0][0], 1);
    EXPECT_EQ(read.fixes[1][0], 6);
}

// A log without RMC sentences gives its GGA and GLL positions. Without ZDA
// each goes on the day that puts it nearest the gun; after a ZDA sentence,
// on its date, or the next day once the time of day falls half a day behind
// the ZDA's. GGA without a fix (quality 0), GLL with status V and the second
// sentence of an epoch give nothing; a damaged ZDA is named.
TEST_F(TrackReaderTest, NmeaWithoutRmcReadsGgaAndGllPositions)
{
    race.startTimeUtc = makeDateTime(2009, 5, 3, 0, 30, 0);
    race.preStartSeconds = 3600;
    const std::string undated = nmea("GPGGA,002959,3452.5,S,13545.0,W,1,08,0.9,545.4,M,46.9,M,,") +
                                nmea("GPGLL,3452.5,S,13545.0,W,002959,A,A") +
                                nmea("GPGGA,003000,3452.5,S,13545.0,W,0,08,0.9,545.4,M,46.9,M,,") +
                                nmea("GPGLL,3452.5,S,13545.0,W,003001,V,N") + nmea("GNGLL,3452.5,N,13545.0,E,003002.00,A,A") +
                                nmea("GPGGA,235959,3452.5,S,13545.0,W,1,08,0.9,545.4,M,46.9,M,,");
    const Outcome read = outcomeOf(readNmea, undated);
    const std::vector<std::array<double, 3>> expected = {{-1, -(34 * 60 + 52.5), -(135 * 60 + 45.0)},
                                                         {2, 34 * 60 + 52.5, 135 * 60 + 45.0},
                                                         {-1801, -(34 * 60 + 52.5), -(135 * 60 + 45.0)}};
    EXPECT_EQ(read.fixes, expected);

    race.startTimeUtc = makeDateTime(2009, 5, 3, 23, 59, 0);
    const std::string dated = nmea("GPZDA,235958,03,05,2009,00,00") + nmea("GPGGA,235959,3452.5,N,13545.0,E,1,08,0.9,5,M,46.9,M,,") +
                              nmea("GPGGA,000001,3452.5,N,13545.0,E,1,08,0.9,5,M,46.9,M,,") + nmea("GPZDA,000002,32,05,2009,00,00") +
                              nmea("GPZDA,000002,05,05,2009,00,00") + nmea("GPGLL,3452.5,N,13545.0,E,000003,A,A");
    const Outcome read2 = outcomeOf(readNmea, dated);
    ASSERT_EQ(read2.fixes.size(), 3u);
    EXPECT_EQ(read2.fixes[0][0], 59);
    EXPECT_EQ(read2.fixes[1][0], 61);
    EXPECT_EQ(read2.fixes[2][0], 86400 + 63);
    EXPECT_EQ(read2.damaged, 1);
    EXPECT_EQ(read2.firstDamage, "line 4 (byte 167): \"32,05,2009\" is not a date (dd,mm,yyyy)");
}

// The checksum's two hex digits in either case, for every sum a sentence of
// plain text can have: a sentence reads when they are its sum, and is
// skipped when they are not.
TEST_F(TrackReaderTest, NmeaChecksumDigitsInEitherCase)
{
    const std::string fields = "GPRMC,020001,A,3452.5,N,13545.0,E,5.5,054.7,030509,";
    unsigned fieldsSum = 0;
    for (const char c : fields)
        fieldsSum ^= static_cast<unsigned char>(c);
    const auto letter = [](unsigned c) { return std::isalnum(static_cast<int>(c)) != 0; };
    for (unsigned sum = 0; sum < 128; ++sum) {
        // Two letters in a field the reader does not use make the sum.
        const unsigned pair = sum ^ fieldsSum;
        unsigned first = '0';
        while (!letter(first) || !letter(first ^ pair))
            ++first;
        const std::string body = fields + static_cast<char>(first) + static_cast<char>(first ^ pair);
        for (const char *form : {"%02X", "%02x"}) {
            const auto sentence = [&](unsigned written) {
                char digits[3];
                std::snprintf(digits, sizeof digits, form, written);
                return "$" + body + "*" + digits;
            };
            EXPECT_EQ(read(readNmea, sentence(sum)).sampleCount(), 1) << sentence(sum);
            EXPECT_EQ(read(readNmea, sentence(sum ^ 1)).sampleCount(), 0) << sentence(sum ^ 1);
            EXPECT_EQ(read(readNmea, sentence(sum ^ 0x10)).sampleCount(), 0) << sentence(sum ^ 0x10);
        }
    }
}

// The usual RMC sentence is read where its fields stand; it must read as the
// general reading reads it, whatever is damaged, with its checksum still
// right or not. The general reading is forced by writing "rmc" in lower case
// and mending the checksum for it.
TEST_F(TrackReaderTest, NmeaPlainSentencesReadAsAnyOther)
{
    const std::string plain = nmea("GPGGA,020001,3452.5,S,13545.0,W,1,08,0.9,545.4,M,46.9,M,,") +
                              nmea("GPRMC,020001.25,A,3452.500,S,13545.0,W,5.5,054.7,030509,,,A") +
                              nmea("GNRMC,020002,A,0052.25,N,00045.125,E,0.0,0.0,030509");
    const auto forEachLineOf = [](std::string bytes, auto change) {
        std::string out;
        for (std::size_t from = 0; from < bytes.size();) {
            const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
            std::string line = bytes.substr(from, end - from);
            change(line);
            out += line + bytes.substr(end, 1);
            from = end + 1;
        }
        return out;
    };
    // The checksum where the reader looks for it: after the last star, two hex digits.
    const auto checksumAt = [](const std::string &line) {
        const std::size_t star = line.rfind('*');
        const bool hex = star != std::string::npos && star + 3 <= line.size() &&
                         std::isxdigit(static_cast<unsigned char>(line[star + 1])) && std::isxdigit(static_cast<unsigned char>(line[star + 2]));
        return hex ? star : std::string::npos;
    };
    const auto resummed = [&](const std::string &bytes) {
        return forEachLineOf(bytes, [&](std::string &line) {
            const std::size_t star = checksumAt(line), first = line.find('$') + 1;
            if (star == std::string::npos || star < first)
                return;
            unsigned sum = 0;
            for (std::size_t k = first; k < star; ++k)
                sum ^= static_cast<unsigned char>(line[k]);
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", sum);
            line.replace(star + 1, 2, digits);
        });
    };
    const auto readAnyWay = [&](const std::string &bytes) {
        return forEachLineOf(bytes, [&](std::string &line) {
            if (line.size() < 6 || line.compare(3, 3, "RMC") != 0)
                return;
            line.replace(3, 3, "rmc");
            const std::size_t star = checksumAt(line);
            if (star != std::string::npos && star > 5)  // three letters lowered: the sum changes by 0x20
                line[star + 1] = "0123456789ABCDEF"[std::stoi(line.substr(star + 1, 1), nullptr, 16) ^ 2];
        });
    };
    const auto outcome = [&](const std::string &bytes) { return outcomeOf(readNmea, bytes); };
    ASSERT_EQ(outcome(plain).fixes.size(), 2u);
    ASSERT_EQ(outcome(plain), outcome(readAnyWay(plain)));
    int cases = 0, fixesRead = 0;
    for (const std::string &bytes : damagedCopies(plain, ",.*$ \r\n0159ANSWx-+")) {
        for (const std::string &log : {bytes, resummed(bytes)}) {
            const Outcome read = outcome(log);
            ASSERT_EQ(read, outcome(readAnyWay(log))) << log;
            fixesRead += static_cast<int>(read.fixes.size());
            ++cases;
        }
    }
    EXPECT_GT(cases, 10000);
    EXPECT_GT(fixesRead, cases);  // most damage leaves a sentence that still reads
    // Speeds of every length, so that the date ends before, at and past the
    // 64th byte of the fields, with and without fields after it.
    for (std::size_t length = 1; length <= 24; ++length) {
        for (const char *after : {"", ",,,A"}) {
            const std::string log = nmea("GPRMC,020001,A,3452.500,S,13545.0,W," + std::string(length, '5') + ",054.7,030509" + after);
            ASSERT_EQ(outcome(log).fixes.size(), 1u) << log;
            ASSERT_EQ(outcome(log), outcome(readAnyWay(log))) << log;
        }
    }
}

TEST(CoordinateMinutes, ReadsTheThreeForms)
{
    EXPECT_DOUBLE_EQ(*coordinateMinutes("3452.5", CoordinateForm::DegreesMinutes), 34 * 60 + 52.5);
    EXPECT_DOUBLE_EQ(*coordinateMinutes("52.5", CoordinateForm::DegreesMinutes), 52.5);
    EXPECT_DOUBLE_EQ(*coordinateMinutes("345230.0", CoordinateForm::DegreesMinutesSeconds), 34 * 60 + 52.5);
    EXPECT_DOUBLE_EQ(*coordinateMinutes("34.875", CoordinateForm::DecimalDegrees), 34.875 * 60);
    EXPECT_FALSE(coordinateMinutes("3452", CoordinateForm::DegreesMinutes));
    EXPECT_FALSE(coordinateMinutes("2.5", CoordinateForm::DegreesMinutes));
    EXPECT_FALSE(coordinateMinutes("x452.5", CoordinateForm::DegreesMinutes));
    double minutes = 0;
    EXPECT_FALSE(degreesMinutesField("", minutes));
    EXPECT_FALSE(coordinateMinutes("", CoordinateForm::DegreesMinutes));
}

// The usual ddmm.mmmm is read in one pass. It must give what reading the
// whole degrees and the minutes apart gives, to the last bit, and refuse what
// that refuses, on well-formed coordinates of every length and on noise.
TEST(CoordinateMinutes, DegreesAndMinutesInOnePassAsReadApart)
{
    const auto readApart = [](std::string_view text) -> std::optional<double> {
        const std::size_t point = text.find('.');
        if (point == std::string_view::npos || point < 2)
            return std::nullopt;
        const std::string_view degreeText = text.substr(0, point - 2);
        int degrees = 0;
        if (!degreeText.empty() && !parseInteger(degreeText, degrees))
            return std::nullopt;
        if (degreeText.size() > 3)
            return kOffTheGlobe;
        const auto minutes = parseNumber(text.substr(point - 2));
        if (!minutes)
            return std::nullopt;
        const double value = degrees * 60.0 + *minutes;
        return std::abs(value) <= 180 * 60 ? value : kOffTheGlobe;
    };
    std::mt19937 random(5);
    const auto digits = [&](std::size_t n) {
        std::string text;
        for (; n > 0; --n)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    const std::string noise = "0123456789..-+e /:\xb9";  // and the bytes either side of the digits
    for (int k = 0; k < 60000; ++k) {
        std::string text;
        if (k % 2 == 0) {
            text = digits(random() % 6) + "." + digits(random() % 17);
        } else {
            for (std::size_t n = 1 + random() % 20; n > 0; --n)
                text += noise[random() % noise.size()];
        }
        const auto read = coordinateMinutes(text, CoordinateForm::DegreesMinutes);
        const auto expected = readApart(text);
        ASSERT_EQ(read.has_value(), expected.has_value()) << text;
        const bool sameBits = !read || std::memcmp(&*read, &*expected, sizeof(double)) == 0;
        ASSERT_TRUE(sameBits || (std::isnan(*read) && std::isnan(*expected))) << text;

        // As a whole field, alone in its buffer: what reading it from its
        // start gives, when that reads all of it.
        const std::vector<char> field(text.begin(), text.end());
        double fromField = 0, fromStart = 0;
        const bool allRead = degreesMinutesField(std::string_view(field.data(), field.size()), fromField);
        ASSERT_EQ(allRead, leadingDegreesMinutes(text, fromStart) == text.size()) << text;
        const bool sameField = std::memcmp(&fromField, &fromStart, sizeof(double)) == 0;
        ASSERT_TRUE(!allRead || sameField || (std::isnan(fromField) && std::isnan(fromStart))) << text;

        // At the start of a sentence's rest: the coordinate that starts the
        // text is read, two to five digits, a point and one to 13 decimals,
        // or nothing. The buffer ends where the text does, so that a read
        // past it shows under the address sanitizer.
        const std::string rest = std::string(",N,13545.000,E,5.5").substr(0, random() % 19);
        const std::string whole = text + rest;
        const std::vector<char> bytes(whole.begin(), whole.end());
        double minutes = 0;
        const std::size_t count = leadingDegreesMinutes(std::string_view(bytes.data(), bytes.size()), minutes);
        std::size_t point = 0, end;
        while (point < text.size() && isDigit(text[point]))
            ++point;
        for (end = point + 1; end < text.size() && isDigit(text[end]); ++end) {
        }
        const bool starts = point >= 2 && point <= 5 && point < text.size() && text[point] == '.' && end - point - 1 >= 1 &&
                            end - point - 1 <= 13;
        ASSERT_EQ(count, starts ? end : 0) << whole;
        if (starts) {
            const double coordinate = *readApart(text.substr(0, end));
            ASSERT_TRUE(std::memcmp(&minutes, &coordinate, sizeof(double)) == 0 || (std::isnan(minutes) && std::isnan(coordinate)))
                << whole;
        }
    }
}

// Whole degrees of more than three digits, or more than 180 degrees, are no
// place on the globe: such a fix is passed over, and nothing overflows.
TEST(CoordinateMinutes, DegreesThatCannotBeACoordinateAreOffTheGlobe)
{
    EXPECT_TRUE(std::isnan(*coordinateMinutes("13599999900.00", CoordinateForm::DegreesMinutes)));
    EXPECT_TRUE(std::isnan(*coordinateMinutes("214748364700.0", CoordinateForm::DegreesMinutesSeconds)));
    EXPECT_TRUE(std::isnan(*coordinateMinutes("18100.0", CoordinateForm::DegreesMinutes)));
    EXPECT_TRUE(std::isnan(*coordinateMinutes("-181.5", CoordinateForm::DecimalDegrees)));
    EXPECT_DOUBLE_EQ(*coordinateMinutes("18000.0", CoordinateForm::DegreesMinutes), 180 * 60);
}

TEST_F(TrackReaderTest, FixesWithImpossibleDegreesArePassedOver)
{
    const std::string log = nmea("GPRMC,021500,A,13599999900.00,N,13545.000,E,0.0,0.0,030509,,") +
                            nmea("GPRMC,021501,A,3452.500,N,13545.000,E,0.0,0.0,030509,,");
    EXPECT_EQ(read(readNmea, log).sampleCount(), 1);
    const std::string text = "T N13599999900.00 E13545.000 2009-05-03 02:15:30 x\r\nT N3452.500 E13545.000 2009-05-03 02:15:31 x\r\n";
    EXPECT_EQ(read(readHemisphereText, text).sampleCount(), 1);
}

// A TCX track point as watches and gpsbabel write it, over several lines;
// `position` is left out when empty.
std::string tcxPoint(const std::string &time, const std::string &position)
{
    return "  <Trackpoint>\n   <Time>" + time + "</Time>\n" +
           (position.empty() ? "" : "   <Position>" + position + "</Position>\n") +
           "   <AltitudeMeters>2.0</AltitudeMeters>\n  </Trackpoint>\n";
}

std::string tcxPosition(const std::string &lat, const std::string &lon)
{
    return "<LatitudeDegrees>" + lat + "</LatitudeDegrees><LongitudeDegrees>" + lon + "</LongitudeDegrees>";
}

// Fractions of a second are kept: a 10 Hz logger's fixes are a tenth of a
// second apart.
TEST_F(TrackReaderTest, TcxTimesAreUtcWithFractionsAndZones)
{
    const std::string position = tcxPosition("-35.5", "-139.25");
    const std::string tcx = "<TrainingCenterDatabase><Activities><Activity><Lap><Track>\n" +
                            tcxPoint("2009-05-03T02:15:30Z", position) + tcxPoint("2009-05-03T02:15:31.250Z", position) +
                            tcxPoint("2009-05-03T02:15:31.750Z", position) + tcxPoint("2009-05-03T11:15:33+09:00", position) +
                            tcxPoint(" 2009-05-02T21:30:33.6-04:45 ", position) + tcxPoint("2009-05-03t02:15:35z", position) +
                            "</Track></Lap></Activity></Activities></TrainingCenterDatabase>\n";
    const Outcome read = outcomeOf(readTcx, tcx);
    ASSERT_EQ(read.fixes.size(), 6u) << read.firstDamage;
    const double expected[] = {930, 931.25, 931.75, 933, 933.6, 935};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(read.fixes[i][0], expected[i]) << i;
    EXPECT_DOUBLE_EQ(read.fixes[0][1], -35.5 * 60);
    EXPECT_DOUBLE_EQ(read.fixes[0][2], -139.25 * 60);
}

// Points without a position (no fix yet) are no fixes and no damage; other
// elements whose names start alike are no points, and a point left open
// ends where the next begins.
TEST_F(TrackReaderTest, TcxReadsOnlyPointsWithAPosition)
{
    const std::string tcx = tcxPoint("2009-05-03T02:00:01Z", "") + tcxPoint("2009-05-03T02:00:02Z", tcxPosition("35.5", "139.25")) +
                            "<TrackpointExtension><Time>2009-05-03T02:00:03Z</Time><Position>" + tcxPosition("1", "1") +
                            "</Position></TrackpointExtension>\n<Trackpoint><Time>2009-05-03T02:00:04Z</Time>\n" +
                            "<Trackpoint>\n<Position>" + tcxPosition("35.6", "139.3") + "</Position><Time>2009-05-03T02:00:05Z</Time>";
    const Outcome read = outcomeOf(readTcx, tcx);
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[0][0], 2);
    EXPECT_EQ(read.fixes[1][0], 5);
    EXPECT_DOUBLE_EQ(read.fixes[1][1], 35.6 * 60);
    EXPECT_EQ(read.damaged, 0);
    EXPECT_EQ(read.skipped, 0);
}

// A point with a position whose time or coordinates do not read is damaged:
// passed over and counted, the first named by its line, byte and text.
TEST_F(TrackReaderTest, TcxDamagedPointsAreSkippedAndTheFirstNamed)
{
    const std::string good = tcxPosition("35.5", "139.25");
    const std::string tcx = "<Track>\n" + tcxPoint("2009-05-03T02:00:01Z", good) +
                            tcxPoint("2009-05-03T02:00:02Z", tcxPosition("35,5", "139.25")) +
                            tcxPoint("2009-05-03T02:00:03Z", tcxPosition("35.5", "")) +
                            tcxPoint("2009-05-03T02:00:04Z", "<LatitudeDegrees>35.5</LatitudeDegrees>") +
                            tcxPoint("2009-05-03T25:00:05Z", good) + tcxPoint("2009-05-03T02:00:06+9", good) +
                            tcxPoint("yesterday", good) + "<Trackpoint><Position>" + good + "</Position></Trackpoint>\n" +
                            tcxPoint("2009-05-03T02:00:09Z", good);
    const Outcome read = outcomeOf(readTcx, tcx);
    EXPECT_EQ(read.damaged, 7);
    EXPECT_EQ(read.firstDamage, "line 9 (byte 305): \"35,5\" is not a number of degrees");
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[1][0], 9);
    EXPECT_EQ(read.skipped, 0);
}

// Each header names the same fix, 1 s after the gun at 35.5 N 139.25 E, in
// its own columns.
TEST_F(TrackReaderTest, CsvFindsItsColumnsByTheirCommonNames)
{
    const std::pair<std::string, std::string> files[] = {
        {"time,lat,lon", "2009-05-03T02:00:01Z,35.5,139.25"},
        {"SOG, Longitude ,Timestamp,Latitude,COG", "5.2,139.25,2009-05-03T02:00:01Z,35.5,211"},
        {"UTC,LAT,LNG", "2009-05-03T02:00:01Z,35.5,139.25"},
        {"DateTime,Lat,Long", "2009-05-03 02:00:01,35.5,139.25"},
        {"date_time,latitude,longitude", "2009-05-03 02:00:01,35.5,139.25"},
        {"\"GPS Time\",\"Lat\",\"Lon\"", "\"2009-05-03 02:00:01\", \"35.5\" ,\"139.25\""},
        {"\xEF\xBB\xBF\r\n\r\ntime,lat,lon,time,lat", "2009-05-03T02:00:01Z,35.5,139.25,x,y"},
        {"name,time,lat,lon", "\"Smith, J.\",2009-05-03T02:00:01Z,35.5,139.25"},
        {"time;lat;lon;note", "2009-05-03T02:00:01Z;35.5;139.25;\"a;b\""},
        {"time,lat,lon,sog;cog", "2009-05-03T02:00:01Z,35.5,139.25,5;211"},  // with a comma, commas separate
    };
    for (const auto &[header, row] : files) {
        const Outcome read = outcomeOf(readCsv, header + "\r\n" + row + "\r\n");
        ASSERT_EQ(read.fixes.size(), 1u) << header << ": " << read.firstDamage;
        EXPECT_EQ(read.fixes[0], (std::array<double, 3>{1, 35.5 * 60, 139.25 * 60})) << header;
    }
}

// Fractions of a second are kept, in ISO times and in Unix seconds and
// milliseconds alike.
TEST_F(TrackReaderTest, CsvTimesInIsoAndUnixForms)
{
    const auto row = [](const std::string &time) { return time + ",35.5,139.25\n"; };
    const std::string csv = "time,lat,lon\n" + row("2009-05-03T02:15:30Z") + row("2009-05-03 11:15:31.4+09:00") +
                            row("2009-05-03T02:15:31.6") + row("2009-05-02T21:30:33-04:45") +
                            row(std::to_string(kGunUnix + 934)) + row(std::to_string(kGunUnix + 934) + ".6") +
                            row(std::to_string(kGunUnix * 1000 + 936499)) + row("2009-05-03 02:15:37 Z");
    const Outcome read = outcomeOf(readCsv, csv);
    ASSERT_EQ(read.fixes.size(), 8u) << read.firstDamage;
    const double expected[] = {930, 931.4, 931.6, 933, 934, 934.6, 936.499, 937};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(read.fixes[i][0], expected[i]) << i;

    // The day in a column of its own, as many apps and gpsbabel write it.
    const Outcome split = outcomeOf(readCsv, "No,Date,Time,Latitude,Longitude\n1,2009/05/03,02:15:30,35.5,139.25\n"
                                             "2,2009-05-03,02:15:31.4Z,35.5,139.25\n3,2009/05/03,2009-05-03T02:15:32Z,35.5,139.25\n");
    ASSERT_EQ(split.fixes.size(), 3u) << split.firstDamage;
    EXPECT_EQ(split.fixes[0][0], 930);
    EXPECT_DOUBLE_EQ(split.fixes[1][0], 931.4);
    EXPECT_EQ(split.fixes[2][0], 932);
}

// A row whose time or coordinates do not read, or that is too short to
// hold them, is damaged: passed over and counted, the first named by its
// line, byte and text. Rows without a position and blank lines are passed
// over without a word.
TEST_F(TrackReaderTest, CsvDamagedRowsAreSkippedAndTheFirstNamed)
{
    const std::string csv = "Time;Lat;Lon\n2009-05-03T02:00:01Z;35.5;139.25\n2009-05-03T02:00:02Z;35,5;139.25\n"
                            "2009-05-03T25:00:03Z;35.5;139.25\nyesterday;35.5;139.25\n2009-05-03T02:00:04Z;35.5\n"
                            "2009-05-03T02:00:05Z;35.5;\n2009-05-03T02:00:06Z;;\n\n  \n2009-05-03T02:00:07Z;35.5;139.25";
    const Outcome read = outcomeOf(readCsv, csv);
    EXPECT_EQ(read.damaged, 5);
    EXPECT_EQ(read.firstDamage, "line 3 (byte 67): \"35,5\" is not a number of degrees");
    ASSERT_EQ(read.fixes.size(), 2u);
    EXPECT_EQ(read.fixes[1][0], 7);
    EXPECT_EQ(read.skipped, 0);
}

// A header that does not name the columns gives no fix and says which it
// lacks, and what the header was.
TEST_F(TrackReaderTest, CsvWithoutItsColumnsSaysWhichHeaderItSaw)
{
    const std::string nameless = "foo,bar,baz\n2009-05-03T02:00:01Z,35.5,139.25\n";
    EXPECT_EQ(outcomeOf(readCsv, nameless), Outcome{});
    EXPECT_EQ(csvWithoutColumns(nameless).toStdString(), "no time, latitude and longitude columns in the header \"foo,bar,baz\"");
    EXPECT_EQ(csvWithoutColumns("\n time;x;lat \r\n").toStdString(), "no longitude column in the header \"time;x;lat\"");
    EXPECT_EQ(csvWithoutColumns("lon,when,lat").toStdString(), "no time column in the header \"lon,when,lat\"");
    EXPECT_EQ(csvWithoutColumns("").toStdString(), "no time, latitude and longitude columns in the header \"\"");
    EXPECT_EQ(csvWithoutColumns(std::string(100, 'x')).toStdString(),
              "no time, latitude and longitude columns in the header \"" + std::string(80, 'x') + "...\"");
    EXPECT_TRUE(csvWithoutColumns("time,latitude,longitude\n").isEmpty());
}


// A FIT activity as watches write it: a file_id message, then records of
// time, latitude, longitude, altitude and heart rate, and 3 bytes of a
// developer field, 19 bytes with the record header.
constexpr int kFileId = 0, kRecord = 20, kEvent = 21;
const std::vector<std::pair<int, int>> kRecordFields = {{253, 4}, {0, 4}, {1, 4}, {2, 2}, {3, 1}};
constexpr std::int64_t kNoFitPosition = 0x7FFFFFFF;

FitFile fitActivity(bool bigEndian, int records)
{
    FitFile fit;
    fit.define(0, kFileId, {{0, 1}, {1, 2}, {4, 4}}, bigEndian).data(0, {4, 1, FitFile::timeAfterGun(0)});
    fit.define(1, kRecord, kRecordFields, bigEndian, {3});
    for (int k = 0; k < records; ++k)
        fit.data(1, {FitFile::timeAfterGun(k), semicircles(-35.5 + k * 0.001), semicircles(139.25 - k * 0.002), 2500, 120});
    return fit;
}

// Each definition gives its byte order and layout; developer fields are
// passed over by their sizes, and fields 0 and 1 of other messages are no
// positions.
TEST_F(TrackReaderTest, FitRecordsInEitherByteOrderAmongOtherMessages)
{
    for (const bool bigEndian : {false, true}) {
        FitFile fit = fitActivity(bigEndian, 5);
        fit.define(2, kEvent, {{253, 4}, {0, 4}, {1, 4}}, bigEndian).data(2, {FitFile::timeAfterGun(7), 1, 1});
        fit.data(1, {FitFile::timeAfterGun(8), kNoFitPosition, kNoFitPosition, 0, 0});  // no fix yet
        fit.define(1, kRecord, {{1, 4}, {0, 4}, {253, 4}}, !bigEndian, {2, 16});
        fit.data(1, {semicircles(139.4), semicircles(35.7), FitFile::timeAfterGun(9)});
        const Outcome read = outcomeOf(readFit, fit.bytes());
        ASSERT_EQ(read.fixes.size(), 6u) << bigEndian;
        for (std::size_t k = 0; k < 6; ++k) {
            const double step = k < 5 ? static_cast<double>(k) : 0;
            EXPECT_EQ(read.fixes[k][0], k < 5 ? step : 9);
            EXPECT_NEAR(read.fixes[k][1], (k < 5 ? -35.5 + step * 0.001 : 35.7) * 60, 1e-5);
            EXPECT_NEAR(read.fixes[k][2], (k < 5 ? 139.25 - step * 0.002 : 139.4) * 60, 1e-5);
        }
        EXPECT_EQ(read.skipped + read.damaged + static_cast<int>(read.warnings.size()), 0);
    }
}

// A compressed header gives the seconds past the last full time, from any
// message, rounded down to 32 s; fewer seconds than the last time's step
// into the next 32. The gun's FIT time is a multiple of 32.
TEST_F(TrackReaderTest, FitCompressedTimestampsFollowOnFromTheLastTime)
{
    FitFile fit;
    fit.define(0, kRecord, {{0, 4}, {1, 4}}).define(1, kEvent, {{253, 4}}).define(2, kRecord, kRecordFields);
    const std::vector<std::int64_t> position = {semicircles(1), semicircles(2)};
    fit.data(0, position).data(0, position, 3);  // no time yet: skipped
    fit.data(1, {FitFile::timeAfterGun(30)});
    for (const int offset : {31, 1, 5, 2})
        fit.data(0, position, offset);
    fit.data(2, {0xFFFFFFFF, semicircles(1), semicircles(2), 0, 0}, 3);  // no time of its own
    fit.data(2, {FitFile::timeAfterGun(100), semicircles(1), semicircles(2), 0, 0}, 3);  // its own time rules
    fit.data(0, position, 4);
    const Outcome read = outcomeOf(readFit, fit.bytes());
    std::vector<double> times;
    for (const auto &fix : read.fixes)
        times.push_back(fix[0]);
    EXPECT_EQ(times, (std::vector<double>{31, 33, 37, 66, 67, 100, 100}));
    EXPECT_EQ(read.skipped, 2);
}

// FIT files one after another are read in turn, each on its own
// definitions and times; 12-byte headers have no CRC of their own. Bytes
// after the last that are no FIT file are damaged.
TEST_F(TrackReaderTest, FitChainedFilesAreReadInTurn)
{
    FitFile second;
    second.define(1, kRecord, {{0, 4}, {1, 4}}, true).data(1, {semicircles(1), semicircles(2)}, 9);
    second.define(0, kRecord, kRecordFields, true).data(0, {FitFile::timeAfterGun(50), semicircles(1), semicircles(2), 0, 0});
    const std::string first = fitActivity(false, 3).bytes(12);
    const Outcome read = outcomeOf(readFit, first + second.bytes() + "garbage at the end");
    ASSERT_EQ(read.fixes.size(), 4u);
    EXPECT_EQ(read.fixes[3][0], 50);
    EXPECT_EQ(read.skipped, 1);  // a compressed header with no time to follow on from
    EXPECT_TRUE(read.warnings.empty());
    const std::size_t end = first.size() + second.bytes().size();
    EXPECT_EQ(read.firstDamage, "byte " + std::to_string(end) + ": 18 bytes follow the FIT file, but are no FIT file of a chain: "
                                "no \".FIT\" at bytes " + std::to_string(end + 8) + " to " + std::to_string(end + 11));
}

// A CRC that does not match is told and the file read all the same; a
// header CRC of 0 was left out by the writer. A change to any byte after
// the header shows.
TEST_F(TrackReaderTest, FitWrongCrcIsToldAndTheFixesRead)
{
    const std::string good = fitActivity(false, 4).bytes();
    std::string file = good;
    file[good.size() - 5] ^= 0x10;  // the last record's developer field
    file[12] = file[13] = 0;
    const Outcome read = outcomeOf(readFit, file);
    EXPECT_EQ(read.fixes.size(), 4u);
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "the CRC at byte %zu is 0x%04x, but the bytes before it give 0x%04x: the file is damaged, and its fixes are read as they are",
                  good.size() - 2, FitFile::crc(std::string_view(good).substr(0, good.size() - 2)),
                  FitFile::crc(std::string_view(file).substr(0, file.size() - 2)));
    EXPECT_EQ(read.warnings, std::vector<std::string>{expected});

    file = good.substr(0, good.size() - 2);
    file[12] ^= 1;
    const std::uint16_t sum = FitFile::crc(file);
    const Outcome header = outcomeOf(readFit, file + static_cast<char>(sum & 0xFF) + static_cast<char>(sum >> 8));
    EXPECT_EQ(header.fixes.size(), 4u);
    ASSERT_EQ(header.warnings.size(), 1u);
    EXPECT_EQ(header.warnings[0].rfind("the CRC of the FIT header at byte 0 is 0x", 0), 0u) << header.warnings[0];

    for (std::size_t at = 14; at < good.size(); ++at)
        for (const int change : {0x01, 0x80, 0xFF}) {
            file = good;
            file[at] = static_cast<char>(file[at] ^ change);
            EXPECT_FALSE(outcomeOf(readFit, file).warnings.empty()) << at;
        }
}

// A file cut short gives the records before the cut, and says where it
// ends; cut inside its header it is no FIT file.
TEST_F(TrackReaderTest, FitCutShortKeepsTheRecordsBeforeTheCut)
{
    const std::string file = fitActivity(true, 10).bytes();
    const std::size_t records = file.size() - 2 - 10 * 19;
    for (std::size_t size = 0; size < file.size(); ++size) {
        const Outcome read = outcomeOf(readFit, file.substr(0, size));
        ASSERT_EQ(read.fixes.size(), size < records ? 0 : std::min<std::size_t>(10, (size - records) / 19)) << size;
        ASSERT_EQ(read.damaged, size >= 14 ? 1 : 0) << size;
    }
    const auto damageAt = [&](std::size_t size) { return outcomeOf(readFit, file.substr(0, size)).firstDamage; };
    EXPECT_EQ(damageAt(records + 20), "byte " + std::to_string(records + 19) + ": the file ends inside a record message");
    EXPECT_EQ(damageAt(records + 38), "byte " + std::to_string(records + 38) + ": the file ends before the end of its messages at byte " +
                                          std::to_string(file.size() - 2));
    EXPECT_EQ(damageAt(file.size() - 1),
              "byte " + std::to_string(file.size() - 1) + ": the file ends before its CRC at byte " + std::to_string(file.size() - 2));
}

// Bytes that are no FIT file, or hold no fix, say why; a data message of a
// layout not defined ends the reading of its file. Damage anywhere never
// reads outside the bytes.
TEST_F(TrackReaderTest, FitDamageAndGarbageAreToldNeverMisread)
{
    EXPECT_TRUE(fitWithoutPositions(fitActivity(false, 1).bytes()).isEmpty());
    EXPECT_EQ(fitWithoutPositions("").toStdString(), "not a FIT file: 0 bytes are too few for a FIT header");
    EXPECT_EQ(fitWithoutPositions(std::string("\x0b\x10\0\0\0\0\0\0.FIT\0\0", 14)).toStdString(),
              "not a FIT file: a header size of 11 bytes, less than 12");
    FitFile settings, noFix;
    settings.define(0, kFileId, {{0, 1}}).data(0, {2}).define(1, 2, {{1, 4}}).data(1, {5});
    EXPECT_EQ(fitWithoutPositions(settings.bytes()).toStdString(), "no record messages among the FIT file's 2 messages");
    noFix.define(0, kRecord, kRecordFields).data(0, {FitFile::timeAfterGun(1), kNoFitPosition, 0, 0, 0});
    EXPECT_EQ(fitWithoutPositions(noFix.bytes()).toStdString(), "none of the FIT file's 1 record messages has a position");

    std::string file = fitActivity(false, 3).bytes();
    file[14 + 6 + 9] = 0x05;  // the file_id's data message now of local type 5
    const Outcome undefined = outcomeOf(readFit, file);
    EXPECT_TRUE(undefined.fixes.empty());
    EXPECT_EQ(undefined.firstDamage, "byte 29: a data message of local type 5, which no definition message before it defines; the " +
                                         std::to_string(file.size() - 31) + " bytes from it to byte " + std::to_string(file.size() - 2) +
                                         " are not read");
    EXPECT_EQ(fitWithoutPositions(file).toStdString(), "no message of the FIT file could be read");

    std::mt19937 random(7);
    const std::string good = fitActivity(true, 6).bytes();
    for (int k = 0; k < 20000; ++k) {
        std::string damaged = good;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        damaged.resize(k % 3 == 0 ? random() % damaged.size() : damaged.size());
        const std::vector<char> exact(damaged.begin(), damaged.end());  // the sanitizers see a read past its end
        ASSERT_LE(outcomeOf(readFit, std::string_view(exact.data(), exact.size())).fixes.size(), 6u);
        fitWithoutPositions(std::string_view(exact.data(), exact.size()));
    }
}

}  // namespace
}  // namespace keelrun
