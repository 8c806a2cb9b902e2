// Whole races from the simulator, read back through Keelrun's own loading:
// every reader must give back the logged positions and times, and the mark
// rounding detection must find the passings the simulator sailed.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include <QTemporaryDir>

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

std::string formatName(const ::testing::TestParamInfo<TrackFormat> &info)
{
    static const char *const kNames[] = {"gpx", "trb", "gdb", "mps", "trl", "dtr", "trk", "log"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Formats, SimulatedRaceTest,
                         ::testing::Values(TrackFormat::Gpx, TrackFormat::Trb, TrackFormat::Gdb, TrackFormat::Mps,
                                           TrackFormat::Trl, TrackFormat::Dtr, TrackFormat::Log),
                         formatName);

}  // namespace
}  // namespace keelrun
