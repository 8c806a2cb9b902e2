// Whole races from the simulator, read back through Keelrun's own loading:
// every reader must give back the logged positions and times, and the mark
// rounding detection must find the passings the simulator sailed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include <QTemporaryDir>

#include "race/fleet_speeds.h"
#include "race/loading_sequence.h"
#include "simulator.h"

namespace keelrun {
namespace {

using sim::TrackFormat;

// The nearest approach to a mark is blurred by the boat circling it a boat
// length or two off and by GPS noise; a line crossing is interpolated.
constexpr double kLineTolerance = 5;    // seconds
constexpr double kMarkTolerance = 30;   // seconds
constexpr double kPositionTolerance = 1e-3;  // minutes of arc, under 2 m

class SimulatedRaceTest : public ::testing::TestWithParam<TrackFormat> {
protected:
    void SetUp() override
    {
        sim::SimOptions options;
        options.name = "race01";
        options.seed = 11;
        options.boats = 4;
        options.classes = 1;
        options.laps = 1;
        options.minutes = 20;
        options.format = GetParam();
        race_.emplace(sim::simulateRace(options));
        sim::writeRaceFolder(*race_, dir_.path());
        result_ = loadRace(loaded_, DataFolder(dir_.path()), dir_.filePath("raceadmin/race01.txt"));
        ASSERT_TRUE(result_.ok()) << result_.message.toStdString();
        EXPECT_TRUE(result_.warnings.isEmpty()) << result_.warnings.join('\n').toStdString();  // a FIT file's CRCs match
    }

    QTemporaryDir dir_;
    std::optional<sim::SimulatedRace> race_;
    RaceState loaded_;
    LoadResult result_;
};

TEST_P(SimulatedRaceTest, ReadersGiveBackTheLoggedFixes)
{
    ASSERT_EQ(loaded_.boatCount, 4);
    const int earliest = -loaded_.preStartSeconds - 60;
    for (const sim::SimulatedBoat &simulated : race_->boats) {
        const BoatEntry &boat = loaded_.boats[simulated.number];
        ASSERT_EQ(boat.name.toStdString(), simulated.name);
        int i = 0;
        for (const sim::Fix &fix : simulated.fixes) {
            const double raceTime = static_cast<double>(fix.time + simulated.logger.clockOffset - race_->gunUtc);
            if (raceTime <= earliest)
                continue;
            if (++i > boat.sampleCount())
                break;  // the replay ends a minute after the boat's finish
            const TrackSample &s = boat.samples[i];
            ASSERT_EQ(s.time, raceTime) << simulated.trackFile << " fix " << i;
            ASSERT_NEAR(s.lat, fix.lat * 60, kPositionTolerance) << simulated.trackFile << " fix " << i;
            ASSERT_NEAR(s.lon, fix.lon * 60, kPositionTolerance) << simulated.trackFile << " fix " << i;
        }
        EXPECT_GE(boat.samples.back().time, *simulated.run.finishTime) << simulated.trackFile;
    }
}

TEST_P(SimulatedRaceTest, RoundingsMatchTheSailedPassings)
{
    for (const sim::SimulatedBoat &simulated : race_->boats) {
        const BoatEntry &boat = loaded_.boats[simulated.number];
        const auto &items = race_->course.items;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const auto &truth = simulated.run.passings[k];
            ASSERT_TRUE(truth.has_value());
            const double detected = boat.roundingTime[static_cast<int>(k) + 1];
            const bool line = items[k].kind != sim::CourseItem::Mark;
            EXPECT_NEAR(detected, *truth, line ? kLineTolerance : kMarkTolerance)
                << simulated.trackFile << " item " << items[k].text();
        }
    }
}

// A fleet as real ones sail: every boat dips over the line and back before
// the gun, one is over at the gun and restarts, one misses the windward
// mark, one's logger stops for over an hour, one's log holds 30 s twice.
TEST(SimulatedFleet, StartsMissedMarksAndGaps)
{
    constexpr int kOcs = 3, kMissMark = 5, kOverlap = 7, kGap = 9;
    constexpr double kStartTolerance = 10;  // GPS noise on a boat creeping up to the line
    sim::SimOptions options;
    options.name = "dip";
    options.seed = 7;
    options.boats = 12;
    options.classes = 1;
    options.laps = 1;
    options.minutes = 40;
    options.format = TrackFormat::Gpx;
    for (int b = 1; b <= options.boats; ++b)
        options.hardCases[b] = sim::Dip;
    options.hardCases[kOcs] |= sim::Ocs;
    options.hardCases[kMissMark] |= sim::MissMark;
    options.hardCases[kOverlap] |= sim::Overlap;
    options.hardCases[kGap] |= sim::Gap;
    const sim::SimulatedRace race = sim::simulateRace(options);
    QTemporaryDir dir;
    sim::writeRaceFolder(race, dir.path());
    RaceState loaded;
    const LoadResult result = loadRace(loaded, DataFolder(dir.path()), dir.filePath("raceadmin/dip.txt"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();

    const int finish = loaded.courseLength();
    for (const sim::SimulatedBoat &simulated : race.boats) {
        const BoatEntry &boat = loaded.boats[simulated.number];
        EXPECT_NEAR(boat.roundingTime[1], *simulated.run.passings.front(), kStartTolerance) << simulated.name;
        EXPECT_EQ(boat.overEarly, simulated.number == kOcs) << simulated.name;
        if (simulated.number == kMissMark) {
            EXPECT_EQ(boat.missedItem, 2);
            EXPECT_FALSE(passed(boat.roundingTime[finish]));
        } else if (simulated.number != kGap) {
            EXPECT_EQ(boat.missedItem, 0) << simulated.name;
            EXPECT_NEAR(boat.roundingTime[finish], *simulated.run.finishTime, kLineTolerance) << simulated.name;
        }
    }
    EXPECT_NE(loaded.results.leaderAt[finish], kMissMark);
}

// A racing logger's ten fixes a second: each is kept at its own time, and
// the speeds over ground are the boat's, not a tenth or a third of them. A
// racing logger wanders less than a hand-held GPS.
TEST(SimulatedFleet, TenFixesASecondGiveTrueSpeeds)
{
    sim::SimOptions options;
    options.name = "tenhertz";
    options.seed = 3;
    options.boats = 3;
    options.classes = 1;
    options.laps = 1;
    options.minutes = 20;
    options.format = TrackFormat::Gpx;
    options.minInterval = options.maxInterval = 0.1;
    options.gpsNoise = 0.5;
    const sim::SimulatedRace race = sim::simulateRace(options);
    QTemporaryDir dir;
    sim::writeRaceFolder(race, dir.path());
    RaceState loaded;
    const LoadResult result = loadRace(loaded, DataFolder(dir.path()), dir.filePath("raceadmin/tenhertz.txt"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_TRUE(result.warnings.isEmpty()) << result.warnings.join('\n').toStdString();

    for (const sim::SimulatedBoat &simulated : race.boats) {
        const BoatEntry &boat = loaded.boats[simulated.number];
        EXPECT_EQ(boat.fixInterval, 0.1) << simulated.name;
        // The boat sails straight between its positions a second apart.
        const auto &run = simulated.run;
        const auto trueKnots = [&](double t) {
            const auto k = static_cast<std::size_t>(std::floor(t - run.firstTime));
            return sim::length(run.positions[k + 1] - run.positions[k]) / sim::kKnot;
        };
        std::vector<double> errors;
        double topSpeed = 0, trueTop = 0;
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            const TrackSample &s = boat.samples[i];
            if (s.time < *run.passings.front() || s.time > *run.finishTime)
                continue;
            errors.push_back(std::abs(s.speed - trueKnots(s.time)));
            topSpeed = std::max(topSpeed, s.speed);
            trueTop = std::max(trueTop, trueKnots(s.time));
        }
        ASSERT_GT(errors.size(), 5000u) << simulated.name;
        std::sort(errors.begin(), errors.end());
        EXPECT_LT(errors[errors.size() / 2], 0.2) << simulated.name;  // knots
        EXPECT_LT(errors[errors.size() * 95 / 100], 0.6) << simulated.name;
        EXPECT_NEAR(topSpeed, trueTop, 0.1 * trueTop) << simulated.name;
    }
    // The scale the tracks are coloured on: the fleet's sailing, inside its extremes.
    EXPECT_GE(loaded.usualSpeeds.low, kMovingKnots);
    EXPECT_LT(loaded.usualSpeeds.low, loaded.usualSpeeds.high);
    EXPECT_LT(loaded.usualSpeeds.high, loaded.topSpeed);
}

std::string formatName(const ::testing::TestParamInfo<TrackFormat> &info)
{
    static const char *const kNames[] = {"gpx", "trb", "gdb", "mps", "trl", "dtr", "trk", "log", "tcx", "csv", "fit", "vkx"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Formats, SimulatedRaceTest,
                         ::testing::Values(TrackFormat::Gpx, TrackFormat::Trb, TrackFormat::Gdb, TrackFormat::Mps,
                                           TrackFormat::Trl, TrackFormat::Dtr, TrackFormat::Log, TrackFormat::Tcx,
                                           TrackFormat::Csv, TrackFormat::Fit, TrackFormat::Vkx),
                         formatName);

}  // namespace
}  // namespace keelrun
