// The start, the course progress and the polars worked out from simulated
// races, against what the simulated boats really did: where they were at
// the gun, when they passed each mark, and the polars they sailed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include <QTemporaryDir>

#include "race/course_progress.h"
#include "race/fleet_polars.h"
#include "race/leg_analysis.h"
#include "race/live_numbers.h"
#include "race/loading_sequence.h"
#include "race/manoeuvres.h"
#include "race/start_analysis.h"
#include "loaded_simulation.h"
#include "simulator.h"

namespace keelrun {
namespace {

// The loggers' fixes wander 2.5 m (one standard deviation on each axis)
// about where the boat was.
constexpr double kFixPrecision = 10;      // metres, four of those
constexpr double kMarkPrecision = 30;     // metres: a boat goes round a mark one to three lengths off
constexpr double kPassingPrecision = 20;  // seconds: when a boat went round a mark, from its fixes

using test::LoadedSimulation;

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

// Between the first and the last finish the running board lists the boats
// finished, in the order the simulator had them cross, then the fleet still
// racing, furthest round first; before the gun, nothing.
TEST_F(SimulatedProgressTest, TheRunningOrderPutsFinishersFirstThenTheFleetOnTheWater)
{
    ASSERT_TRUE(simulation_->ok);
    const sim::SimulatedRace &truth = simulation_->simulated;
    const RaceState &race = simulation_->race;
    const std::size_t finish = truth.course.items.size() - 1;
    std::vector<const sim::SimulatedBoat *> byFinish;
    for (const sim::SimulatedBoat &b : truth.boats)
        byFinish.push_back(&b);
    std::sort(byFinish.begin(), byFinish.end(), [&](auto *a, auto *b) { return *a->run.passings[finish] < *b->run.passings[finish]; });
    const double t = (*byFinish[3]->run.passings[finish] + *byFinish[4]->run.passings[finish]) / 2;  // four boats in

    const std::vector<RunningPlace> order = runningOrder(race, progress_, t);
    ASSERT_EQ(order.size(), truth.boats.size());
    for (std::size_t place = 0; place < 4; ++place) {
        EXPECT_TRUE(order[place].finished) << place;
        EXPECT_EQ(order[place].boat, byFinish[place]->number) << place;
    }
    const std::size_t i = static_cast<std::size_t>(t / progress_.step);
    for (std::size_t place = 4; place < order.size(); ++place) {
        EXPECT_FALSE(order[place].finished) << place;
        if (place > 4) {
            EXPECT_GE(progress_.boats[order[place - 1].boat][i].metres, progress_.boats[order[place].boat][i].metres) << place;
            EXPECT_GE(order[place].gapMetres, order[place - 1].gapMetres) << place;
        }
    }
    EXPECT_TRUE(runningOrder(race, progress_, -10).empty());
}

// Live ranks follow course progress, not the distance left to the next
// mark: on a beat a boat out on a wing can be nearer the mark and behind.
TEST_F(SimulatedProgressTest, LiveRanksFollowProgressNotTheDistanceToTheMark)
{
    ASSERT_TRUE(simulation_->ok);
    const RaceState &race = simulation_->race;
    int nearerButBehind = 0;
    for (double t = 60; t < race.results.firstPassTime[race.courseLength()]; t += 30) {
        const std::vector<LiveNumbers> live = liveNumbers(race, progress_, t);
        const std::size_t i = static_cast<std::size_t>(t / progress_.step);
        for (std::size_t k = 1; k < live.size(); ++k) {
            const LiveNumbers &ahead = live[k - 1], &behind = live[k];
            EXPECT_EQ(behind.rank, ahead.rank + 1);
            EXPECT_GE(progress_.boats[ahead.boat][i].metres, progress_.boats[behind.boat][i].metres) << "at " << t;
            EXPECT_NEAR(ahead.distanceToGoMetres + ahead.progressMetres, CourseMadeGood(race).courseLength(), 1e-6);
            if (ahead.leg == behind.leg && ahead.toNextMetres > behind.toNextMetres)
                ++nearerButBehind;
        }
    }
    EXPECT_GT(nearerButBehind, 0);
}

double percentileOf(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const double place = share * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(place);
    return values[below] + (place - static_cast<double>(below)) * (values[std::min(below + 1, values.size() - 1)] - values[below]);
}

// The wind file's speed at race time t, between its records.
double recordedSpeed(const RaceState &race, double t)
{
    const auto &w = race.windSamples;
    for (std::size_t i = 2; i < w.size(); ++i) {
        if (w[i].time >= t)
            return w[i - 1].tws + (w[i].tws - w[i - 1].tws) * (t - w[i - 1].time) / (w[i].time - w[i - 1].time);
    }
    return w.back().tws;
}

// A fleet of one class racing with a wind file, logging once a second.
struct PolarFleet {
    sim::FleetKind fleet;
    sim::CourseKind course;
    double minutes;
    std::uint64_t seed;
};

sim::SimOptions polarRace(const PolarFleet &fleet)
{
    sim::SimOptions options;
    options.seed = fleet.seed;
    options.boats = 16;
    options.classes = 1;
    options.laps = 2;
    options.fleet = fleet.fleet;
    options.course = fleet.course;
    options.minutes = fleet.minutes;
    options.windFile = true;
    options.minInterval = options.maxInterval = 1;
    return options;
}

class SimulatedPolarsTest : public ::testing::TestWithParam<PolarFleet> {};

// Each bin's target is the fleet's 90th percentile of what the class's
// polar gives at the true wind each boat sailed in, times its crew's skill,
// where the boats sailed at that angle to the wind the file records and in
// that band of its speeds. The bins the fleet sails most in are checked.
TEST_P(SimulatedPolarsTest, TargetsAreThePolarTheFleetSailed)
{
    const LoadedSimulation s(polarRace(GetParam()));
    ASSERT_TRUE(s.ok);
    const FleetPolar polar = fleetPolar(s.race);
    ASSERT_TRUE(polar.windFromRecords && polar.bandsByWindSpeed);
    const sim::Polar &truth = s.simulated.classes[0].polar;
    const WindDirectionAt recorded = analysisWind(s.race);
    std::map<std::pair<int, int>, std::vector<double>> sailed;
    for (const sim::SimulatedBoat &b : s.simulated.boats) {
        const auto near = [](double t, double when, double within) { return std::abs(t - when) <= within; };
        for (double t = *b.run.passings.front(); t < *b.run.finishTime; t += 1) {
            if (std::any_of(b.run.passings.begin(), b.run.passings.end(), [&](const auto &p) { return near(t, *p, 60); }) ||
                std::any_of(b.run.manoeuvres.begin(), b.run.manoeuvres.end(), [&](const auto &m) { return near(t, m.time, 20); }))
                continue;
            const sim::Vec2 here = truePosition(b, t);
            const double course = sim::bearingOf(truePosition(b, t + 1) - here);
            const sim::Wind wind = s.simulated.wind.at(t, here);
            const double told = std::abs(sim::normalizeAngle(course - recorded(t)));
            const int band = static_cast<int>(recordedSpeed(s.race, t) / kWindBandKnots) * kWindBandKnots;
            sailed[{band, std::min(static_cast<int>(told / kAngleBinDegrees), 35) * kAngleBinDegrees}].push_back(
                truth.speed(sim::normalizeAngle(course - wind.twd), wind.tws) * b.skill);
        }
    }
    constexpr std::size_t kMostSailed = 300;
    int checked = 0;
    for (const PolarBin &bin : polar.bins) {
        const std::vector<double> &speeds = sailed[{*bin.twsFrom, bin.twaFrom}];
        if (speeds.size() < kMostSailed)
            continue;
        ASSERT_TRUE(bin.target) << bin.twaFrom << " degrees, " << *bin.twsFrom << " knots";
        EXPECT_NEAR(*bin.target / percentileOf(speeds, kTargetPercentile), 1, 0.05) << bin.twaFrom << " degrees, " << *bin.twsFrom << " knots";
        ++checked;
    }
    EXPECT_GE(checked, 3);
}

// The crews sail at their skill's share of the polar: each boat's share of
// the target, over its legs, is its skill over the same share of the best
// crews' (who set the target), whatever the boat.
TEST(SimulatedTargetShares, FollowTheCrewsSkill)
{
    const LoadedSimulation s(polarRace({sim::FleetKind::Keelboats, sim::CourseKind::WindwardLeeward, 60, 9}));
    ASSERT_TRUE(s.ok);
    const FleetFixes fixes = fleetSteadyFixes(s.race);
    const auto legs = analyseLegs(s.race, fixes, fleetPolar(s.race, fixes));
    std::vector<double> perSkill;
    for (const sim::SimulatedBoat &b : s.simulated.boats) {
        double sum = 0;
        int count = 0;
        for (int j = 1; j < s.race.courseLength(); ++j) {
            if (const auto share = legs[b.number][j].targetShare) {
                sum += *share;
                ++count;
            }
        }
        ASSERT_EQ(count, s.race.courseLength() - 1) << b.name;
        perSkill.push_back(sum / count / b.skill);
    }
    const double middle = percentileOf(perSkill, 0.5);
    EXPECT_NEAR(middle, 1, 0.08);
    for (const double ratio : perSkill)
        EXPECT_NEAR(ratio / middle, 1, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Fleets, SimulatedPolarsTest,
                         ::testing::Values(PolarFleet{sim::FleetKind::Keelboats, sim::CourseKind::Triangle, 60, 4},
                                           PolarFleet{sim::FleetKind::Keelboats, sim::CourseKind::WindwardLeeward, 60, 9},
                                           PolarFleet{sim::FleetKind::Foilers, sim::CourseKind::WindwardLeeward, 20, 9}),
                         [](const ::testing::TestParamInfo<PolarFleet> &p) {
                             return std::string(p.param.fleet == sim::FleetKind::Foilers ? "Foilers" : "Keelboats") +
                                    (p.param.course == sim::CourseKind::Triangle ? "Triangle" : "WindwardLeeward");
                         });

}  // namespace
}  // namespace keelrun
