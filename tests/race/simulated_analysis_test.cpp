// The start and the course progress worked out from simulated races,
// against what the simulated boats really did: where they were at the gun,
// and when they passed each mark.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <QTemporaryDir>

#include "race/course_progress.h"
#include "race/loading_sequence.h"
#include "race/start_analysis.h"
#include "simulator.h"

namespace keelrun {
namespace {

// The loggers' fixes wander 2.5 m (one standard deviation on each axis)
// about where the boat was.
constexpr double kFixPrecision = 10;      // metres, four of those
constexpr double kMarkPrecision = 30;     // metres: a boat goes round a mark one to three lengths off
constexpr double kPassingPrecision = 20;  // seconds: when a boat went round a mark, from its fixes

// A simulated race, written out and loaded as a user would load it.
struct LoadedSimulation {
    explicit LoadedSimulation(const sim::SimOptions &options) : simulated(sim::simulateRace(options))
    {
        sim::writeRaceFolder(simulated, dir.path());
        ok = loadRace(race, DataFolder(dir.path()), dir.filePath("raceadmin/race01.txt")).ok();
    }
    QTemporaryDir dir;
    sim::SimulatedRace simulated;
    RaceState race;
    bool ok = false;
};

// Where a simulated boat truly was at a whole race second.
sim::Vec2 truePosition(const sim::SimulatedBoat &boat, double t)
{
    const auto k = static_cast<std::size_t>(std::lround(std::max(0.0, t - boat.run.firstTime)));
    return boat.run.positions[std::min(k, boat.run.positions.size() - 1)];
}

// Its speed made good over the seconds either side of t.
double trueKnots(const sim::SimulatedBoat &boat, double t)
{
    constexpr double kAround = 4;
    return sim::length(truePosition(boat, t + kAround) - truePosition(boat, t - kAround)) / (2 * kAround) / sim::kKnot;
}

// Twelve keelboats logging once a second; boat 3 is over the line at the
// gun and goes back, boat 5 dips the line twice before it.
class SimulatedStartTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim::SimOptions options;
        options.seed = 17;
        options.boats = 12;
        options.classes = 1;
        options.laps = 1;
        options.minutes = 30;
        options.minInterval = options.maxInterval = 1;
        options.hardCases = {{3, sim::Ocs}, {5, sim::Dip}};
        simulation_ = std::make_unique<LoadedSimulation>(options);
    }
    static void TearDownTestSuite() { simulation_.reset(); }
    static std::unique_ptr<LoadedSimulation> simulation_;
};
std::unique_ptr<LoadedSimulation> SimulatedStartTest::simulation_;

TEST_F(SimulatedStartTest, WhereAndHowFastTheBoatsWereAtTheGun)
{
    ASSERT_TRUE(simulation_->ok);
    const sim::SimulatedRace &truth = simulation_->simulated;
    const sim::LineSegment &line = truth.course.startLine();
    const double lineLength = sim::length(line.end2 - line.end1);
    double speedErrors = 0, speedBias = 0;
    int speeds = 0;
    for (const sim::SimulatedBoat &b : truth.boats) {
        const BoatEntry &boat = simulation_->race.boats[b.number];
        const BoatStart start = analyseStart(simulation_->race, boat);
        const sim::Vec2 atGun = truePosition(b, 0);
        ASSERT_TRUE(start.metresFromLine && start.placeAlongLine && start.knotsAtGun && start.startTime && start.knotsAtStart) << b.name;
        // Below the line is positive, as the boats wait for the gun.
        EXPECT_NEAR(*start.metresFromLine, -truth.course.aboveStart(atGun), kFixPrecision) << b.name;
        const double along = sim::dot(atGun - line.end1, line.end2 - line.end1) / (lineLength * lineLength);
        EXPECT_NEAR(*start.placeAlongLine, along, kFixPrecision / lineLength) << b.name;
        EXPECT_EQ(*start.startTime, boat.roundingTime[1]);
        EXPECT_EQ(start.overEarly, b.number == 3) << b.name;
        for (std::size_t k = 0; k < kApproachMoments.size(); ++k) {
            ASSERT_TRUE(start.approach[k]) << b.name;
            const sim::Vec2 p = truth.plane.toPlane({start.approach[k]->lat / 60, start.approach[k]->lon / 60});
            EXPECT_LT(sim::length(p - truePosition(b, kApproachMoments[k])), kFixPrecision) << b.name << " at " << kApproachMoments[k];
        }
        for (const auto &[measured, sailed] : {std::pair{*start.knotsAtGun, trueKnots(b, 0)},
                                               std::pair{*start.knotsAtStart, trueKnots(b, *b.run.passings[0])}}) {
            EXPECT_NEAR(measured, sailed, 1.5) << b.name;
            speedErrors += std::abs(measured - sailed);
            speedBias += measured - sailed;
            ++speeds;
        }
    }
    // Over eight seconds the fixes' wander makes a few tenths of a knot;
    // the fixes' own speeds, over a path the wander lengthens, would run a
    // knot high at three knots.
    EXPECT_LT(speedErrors / speeds, 0.5);
    EXPECT_NEAR(speedBias / speeds, 0, 0.25);
    const BoatStart early = analyseStart(simulation_->race, simulation_->race.boats[3]);
    EXPECT_LT(*early.metresFromLine, 0);
}

// Twelve keelboats in two classes twice round, logging every one to five
// seconds.
class SimulatedProgressTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim::SimOptions options;
        options.seed = 23;
        options.boats = 12;
        options.classes = 2;
        options.laps = 2;
        options.minutes = 50;
        simulation_ = std::make_unique<LoadedSimulation>(options);
        progress_ = courseProgress(simulation_->race);
    }
    static void TearDownTestSuite() { simulation_.reset(); }

    static std::size_t sampleAt(double t) { return static_cast<std::size_t>(std::lround(t / progress_.step)); }

    static std::unique_ptr<LoadedSimulation> simulation_;
    static CourseProgress progress_;
};
std::unique_ptr<LoadedSimulation> SimulatedProgressTest::simulation_;
CourseProgress SimulatedProgressTest::progress_;

// As each boat goes round a mark it has made good the legs before it; the
// boats that went round before it are ahead, those that go round after it
// behind; and its gap is the time it went round behind the leader.
TEST_F(SimulatedProgressTest, AtEachMarkTheBoatsAreInTheOrderTheyWentRound)
{
    ASSERT_TRUE(simulation_->ok);
    const sim::SimulatedRace &truth = simulation_->simulated;
    const CourseMadeGood madeGood(simulation_->race);
    double gapErrors = 0;
    int gaps = 0;
    for (std::size_t k = 1; k < truth.course.items.size(); ++k) {
        const double level = *madeGood.levelAt(static_cast<int>(k) + 1);
        for (const sim::SimulatedBoat &b : truth.boats) {
            const double passing = *b.run.passings[k];
            const std::size_t i = sampleAt(passing);
            const ProgressPoint &mine = progress_.boats[b.number][i];
            ASSERT_TRUE(mine.racing) << b.name;
            EXPECT_NEAR(mine.metres, level, kMarkPrecision) << b.name << " at item " << k + 1;
            for (const sim::SimulatedBoat &other : truth.boats) {
                const double otherPassing = *other.run.passings[k];
                const double otherMetres = progress_.boats[other.number][i].metres;
                if (otherPassing < passing - progress_.step) {
                    EXPECT_GT(otherMetres, mine.metres - kMarkPrecision) << other.name << " ahead of " << b.name;
                }
                if (otherPassing > passing + progress_.step) {
                    EXPECT_LT(otherMetres, mine.metres + kMarkPrecision) << other.name << " behind " << b.name;
                }
            }
            const int leader = progress_.leader[i];
            const double behind = passing - *truth.boats[static_cast<std::size_t>(leader) - 1].run.passings[k];
            EXPECT_NEAR(mine.gapSeconds, behind, kPassingPrecision) << b.name << " at item " << k + 1;
            gapErrors += std::abs(mine.gapSeconds - behind);
            ++gaps;
        }
    }
    EXPECT_LT(gapErrors / gaps, 5);
}

// The first boat round each mark leads there; a finisher holds the whole
// course, and its gap is its finish behind the winner's.
TEST_F(SimulatedProgressTest, TheFirstRoundLeadsAndFinishersHoldTheirPlaces)
{
    ASSERT_TRUE(simulation_->ok);
    const sim::SimulatedRace &truth = simulation_->simulated;
    const RaceState &race = simulation_->race;
    const CourseMadeGood madeGood(race);
    for (std::size_t k = 1; k < truth.course.items.size(); ++k) {
        const auto first = std::min_element(truth.boats.begin(), truth.boats.end(),
                                            [&](const auto &a, const auto &b) { return *a.run.passings[k] < *b.run.passings[k]; });
        const std::size_t i = sampleAt(*first->run.passings[k]) + 1;
        EXPECT_LT(progress_.boats[first->number][i].gapMetres, kMarkPrecision) << "item " << k + 1;
    }
    const int finish = race.courseLength();
    const double winner = race.results.firstPassTime[finish];
    const std::size_t end = progress_.times.size() - 1;
    for (const sim::SimulatedBoat &b : truth.boats) {
        const ProgressPoint &last = progress_.boats[b.number][end];
        EXPECT_EQ(last.metres, madeGood.courseLength()) << b.name;
        EXPECT_DOUBLE_EQ(last.gapSeconds, race.boats[b.number].roundingTime[finish] - winner) << b.name;
        EXPECT_EQ(last.gapMetres, 0) << b.name;
    }
    EXPECT_EQ(progress_.leader[end], race.results.leaderAt[finish]);
}

}  // namespace
}  // namespace keelrun
