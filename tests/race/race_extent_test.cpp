#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "race/race_extent.h"

namespace keelrun {
namespace {

RaceState raceWithTrack(std::initializer_list<TrackSample> samples)
{
    RaceState race;
    race.boatCount = 1;
    race.windowStart = -190;
    race.windowEnd = 1000;
    for (const TrackSample &s : samples)
        race.boats[1].samples.push_back(s);
    return race;
}

TEST(RaceExtent, RaceExtentHasAMarginAndEqualGroundSpans)
{
    const RaceState race = raceWithTrack({{-500, 50, 50}, {0, 2100, 8000}, {500, 2101, 8004}, {1001, 0, 0}});
    const RaceExtent e = computeRaceExtent(race, {{}, fixBlocks(race.boats[1])});
    EXPECT_EQ(e.maxLat, 2101);
    EXPECT_EQ(e.minLat, 2100);
    EXPECT_EQ(e.minLon, 8000);
    EXPECT_DOUBLE_EQ(e.centreLat, 2100.5);
    EXPECT_NEAR(e.cosLat, std::cos(2100.5 / 60 * std::numbers::pi / 180), 1e-12);
    EXPECT_DOUBLE_EQ(e.lonSpan, 4.8);
    EXPECT_DOUBLE_EQ(e.latSpan, 4.8 * e.cosLat);
}

// The box of every fix in the window, one fix after another.
GeoBox plainBox(const RaceState &race)
{
    GeoBox box{-20000, 20000, -20000, 20000};
    for (int b = 1; b <= race.boatCount; ++b) {
        for (int i = 1; i <= race.boats[b].sampleCount(); ++i) {
            const TrackSample &s = race.boats[b].samples[i];
            if (s.time >= race.windowStart && s.time <= race.windowEnd)
                box.add(s.lat, s.lon);
        }
    }
    return box;
}

// Equal to the last bit, the sign of a zero included.
bool same(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

// Whole blocks of fixes are taken whole only when they lie inside the
// window; the rest are looked at fix by fix. The positions come from a few
// values, zeros of both signs among them, so that the box keeps the first
// of equal extremes as one pass over the fixes does.
TEST(RaceExtent, BlocksOfFixesGiveWhatEveryFixInTheWindowGives)
{
    std::mt19937 random(7);
    const double values[] = {-1.0, -0.0, 0.0, -0.0, 0.0};
    std::uniform_int_distribution<int> value(0, 4);
    int blocksTakenWhole = 0;
    for (const int fixes : {0, 1, kFixesPerBlock - 1, kFixesPerBlock, kFixesPerBlock + 1, 5 * kFixesPerBlock + 3}) {
        for (const bool inOrder : {true, false}) {
            RaceState race;
            race.boatCount = 2;
            for (int b = 1; b <= 2; ++b) {
                for (int i = 0; i < fixes; ++i)
                    race.boats[b].samples.push_back({double(i + b), values[value(random)], values[value(random)], 0, 0});
                if (!inOrder)
                    std::shuffle(race.boats[b].samples.begin() + 1, race.boats[b].samples.end(), random);
            }
            const std::vector<std::vector<FixBlock>> blocks = {{}, fixBlocks(race.boats[1]), fixBlocks(race.boats[2])};
            for (const auto &[start, end] : std::initializer_list<std::pair<double, double>>{
                     {-10, 1e9}, {0, 256}, {1, 257}, {2, 300}, {100, 1000}, {257, 257}, {600, 500}, {2000, 3000}}) {
                race.windowStart = start;
                race.windowEnd = end;
                const RaceExtent e = computeRaceExtent(race, blocks);
                const GeoBox box = plainBox(race);
                EXPECT_TRUE(same(e.maxLat, box.maxLat) && same(e.minLat, box.minLat) && same(e.maxLon, box.maxLon) &&
                            same(e.minLon, box.minLon))
                    << fixes << " fixes " << (inOrder ? "in order" : "shuffled") << ", window " << start << " to " << end;
                for (const auto &boatBlocks : blocks) {
                    for (const FixBlock &block : boatBlocks)
                        blocksTakenWhole += block.earliest >= start && block.latest <= end;
                }
            }
        }
    }
    EXPECT_GT(blocksTakenWhole, 20);
}

}  // namespace
}  // namespace keelrun
