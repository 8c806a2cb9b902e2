#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "io/tracks/track_reader.h"
#include "track_builders.h"

namespace keelrun {
namespace {

using namespace test;

// Unix milliseconds `seconds` after the gun.
std::uint64_t at(double seconds) { return static_cast<std::uint64_t>(kGunUnix * 1000 + std::llround(seconds * 1000)); }

// A pinged coordinate as the log holds it, float degrees, in minutes of arc.
double minutesOf(float degrees) { return static_cast<double>(degrees) * 60; }

class VkxReaderTest : public ::testing::Test {
protected:
    void SetUp() override { race.startTimeUtc = makeDateTime(2009, 5, 3, 2, 0, 0); }

    BoatEntry read(const std::string &bytes, int clockOffset = 0)
    {
        BoatEntry boat;
        boat.clockOffset = clockOffset;
        FixSink sink(race, boat);
        readVkx(bytes, {"gpsdat/atlas.vkx", race.raceDate}, sink);
        damaged = sink.damaged();
        firstDamage = sink.firstDamage().toStdString();
        return boat;
    }

    RaceState race;
    int damaged = 0;
    std::string firstDamage;
};

// Ten fixes a second, each on its own millisecond, with every digit of its
// position; between them a row of every other key, filled with the key of a
// position, so that a row taken a byte short or long puts the reading out
// of step.
TEST_F(VkxReaderTest, PositionsKeepTheirMillisecondsAmongRowsOfEveryKind)
{
    const int others[][2] = {{0xFE, 2},  {0x01, 32}, {0x03, 20}, {0x04, 13}, {0x06, 18}, {0x07, 12}, {0x08, 13}, {0x0A, 16},
                             {0x0B, 16}, {0x0C, 12}, {0x0E, 16}, {0x0F, 16}, {0x10, 12}, {0x20, 13}, {0xFF, 7}};
    std::string log = kVkxHeader;
    for (int k = 0; k < 15; ++k)
        log += static_cast<char>(others[k][0]) + std::string(others[k][1], '\x02') +
               vkxPosition(at(-0.5 + 0.1 * k), 354000001 + k, -1392500000 - k);
    const BoatEntry boat = read(log, -3);
    EXPECT_EQ(damaged, 0) << firstDamage;
    ASSERT_EQ(boat.sampleCount(), 15);
    for (int k = 0; k < 15; ++k) {
        EXPECT_DOUBLE_EQ(boat.samples[k + 1].time, (-3500 + 100 * k) / 1000.0) << k;
        EXPECT_NEAR(boat.samples[k + 1].lat, (35.4000001 + k * 1e-7) * 60, 1e-9) << k;
        EXPECT_NEAR(boat.samples[k + 1].lon, (-139.25 - k * 1e-7) * 60, 1e-9) << k;
    }
    EXPECT_FALSE(boat.loggedStart.any());  // event 2 of the timer row is a sync, not the race start
}

// A day on the water: another class's gun, this race's, the next race's;
// the line ends pinged again, logged late, after the gun, hours before.
TEST_F(VkxReaderTest, TheRacesTimerZeroAndLastLinePingsAreKept)
{
    const std::string log = kVkxHeader + vkxTimer(at(-301.5), 3) + vkxPing(at(-4000), 1, 35.3f, 139.3f) +
                            vkxPing(at(-1800), 0, 35.40f, 139.20f) + vkxPing(at(-700), 1, 35.42f, 139.22f) +
                            vkxPing(at(-600), 0, 35.41f, -139.21f) + vkxPing(at(-750), 1, 35.5f, 139.5f) +
                            vkxTimer(at(0.5), 2) + vkxTimer(at(1.234), 3) + vkxPing(at(30), 0, 36.0f, 140.0f) +
                            vkxTimer(at(3600), 3);
    BoatEntry boat = read(log, -2);
    ASSERT_TRUE(boat.loggedStart.timerGun && boat.loggedStart.pinEnd && boat.loggedStart.boatEnd);
    EXPECT_DOUBLE_EQ(*boat.loggedStart.timerGun, -0.766);  // at 1.234 s on a logger 2 s fast
    EXPECT_DOUBLE_EQ(boat.loggedStart.pinEnd->lat, minutesOf(35.41f));
    EXPECT_DOUBLE_EQ(boat.loggedStart.pinEnd->lon, minutesOf(-139.21f));
    EXPECT_DOUBLE_EQ(boat.loggedStart.boatEnd->lat, minutesOf(35.42f));
    EXPECT_DOUBLE_EQ(boat.loggedStart.boatEnd->lon, minutesOf(139.22f));

    // On the race clock as the fixes are: a logger 601 s fast has no zero of
    // this race, and its pin's last ping before the gun is the one at its 30 s.
    boat = read(log, -601);
    EXPECT_FALSE(boat.loggedStart.timerGun);
    EXPECT_DOUBLE_EQ(boat.loggedStart.pinEnd->lat, 36.0 * 60);
    // Zeros of other starts only, pings too early or after the gun: nothing.
    EXPECT_FALSE(read(kVkxHeader + vkxTimer(at(-150.001), 3) + vkxTimer(at(150.001), 3) +
                      vkxPing(at(-3600.001), 0, 35.4f, 139.2f) + vkxPing(at(0.001), 1, 35.4f, 139.2f))
                     .loggedStart.any());
}

// What cannot be read is named by its byte offset; the rows before it, and
// after a damaged row, are read. Times no logger writes are no fixes.
TEST_F(VkxReaderTest, DamageIsNamedByItsPlaceAndTheRestRead)
{
    const std::string three = kVkxHeader + vkxPosition(at(0), 354000000, 1392500000) +
                               vkxPosition(at(1), 354000000, 1392500000) + vkxPosition(at(2), 354000000, 1392500000);
    EXPECT_EQ(read(three + "\x42" + std::string(20, '\0') + vkxPosition(at(3), 1, 1)).sampleCount(), 3);
    EXPECT_EQ(firstDamage, "byte 143: the row key 0x42 is none whose size is known, so no later row can be found; "
                           "the 66 bytes from there on were not read");
    const std::string fourth = vkxPosition(at(3), 354000000, 1392500000);
    for (std::size_t cut = 1; cut < fourth.size(); ++cut) {
        ASSERT_EQ(read(three + fourth.substr(0, cut)).sampleCount(), 3);
        ASSERT_EQ(firstDamage, "byte 143: the position row (key 0x02, 45 bytes) is cut short: the file ends " +
                                   std::to_string(cut) + " bytes into it");
    }

    const std::string bad = vkxPing(at(-60), 7, 35.4f, 139.2f) + vkxPing(at(-60), 0, std::numeric_limits<float>::quiet_NaN(), 139.2f);
    const BoatEntry boat = read(kVkxHeader + vkxPosition(at(1), 950000000, 1392500000) + bad + vkxTimer(std::uint64_t{1} << 63, 3) +
                                vkxPosition(std::uint64_t{1} << 63, 1, 1) + vkxPosition(~std::uint64_t{0}, 1, 1) + vkxPosition(at(3), 1, 1));
    ASSERT_EQ(boat.sampleCount(), 1);
    EXPECT_EQ(boat.samples[1].time, 3);
    EXPECT_FALSE(boat.loggedStart.any());
    EXPECT_EQ(damaged, 3);
    EXPECT_EQ(firstDamage, "byte 8: the position 95.0000000, 139.2500000 is off the globe");
    read(kVkxHeader + bad);
    EXPECT_EQ(firstDamage, "byte 8: the line end 7 is neither the pin (0) nor the boat (1)");
}

// A file given the name of a log that is none, or a log without positions,
// says what it is.
TEST_F(VkxReaderTest, FilesWithoutFixesSayWhy)
{
    const std::string gpx = "<?xml version=\"1.0\"?><gpx></gpx>";
    EXPECT_EQ(read(gpx).sampleCount(), 0);
    EXPECT_EQ(damaged, 0);  // no log at all, rather than a damaged one
    EXPECT_EQ(vkxWithoutPositions(gpx).toStdString(), "not a VKX log: no page header (key 0xFF, 8 bytes) at byte 0; "
                                                      "the file begins 0x3C 0x3F 0x78 0x6D 0x6C 0x20 0x76 0x65");
    EXPECT_EQ(vkxWithoutPositions("").toStdString(), "the file is empty");
    EXPECT_EQ(vkxWithoutPositions(kVkxHeader + vkxTimer(at(0), 3) + vkxTimer(at(9), 4) + "\x99").toStdString(),
              "no position rows in the log; it holds 1 page header, 2 race timer events before byte 36, where the row "
              "key 0x99 is none whose size is known, so no later row can be found; the 1 byte from there on was not read");
    EXPECT_TRUE(vkxWithoutPositions(kVkxHeader + vkxPosition(0, 0, 0)).isEmpty());
}

}  // namespace
}  // namespace keelrun
