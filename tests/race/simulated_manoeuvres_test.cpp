// Tacks and gybes found in simulated races against the turns the simulated
// boats sailed, at fix intervals from one to ten seconds, and the wind read
// from the fleet against the simulated wind where the fleet sails. The races
// have no wind file, so the search runs against the fleet's own wind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "race/loading_sequence.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "loaded_simulation.h"
#include "simulator.h"

namespace keelrun {
namespace {

constexpr double kTimeTolerance = 10;  // seconds
constexpr double kWindTolerance = 5;   // degrees, in 95 % of the minutes
constexpr double kWorstWind = 8;       // degrees, in any minute

// A turn from one settled beat to the other tack (a tack) or from one
// settled run to the other gybe (a gybe): the ones a detector must find.
// Turns at marks from a beat onto a run are neither.
bool betweenSettledCourses(const sim::SailedManoeuvre &m)
{
    if (m.twaIn * m.twaOut > 0 || m.spreadIn > 20 || m.spreadOut > 20)
        return false;
    if (m.kind == sim::SailedManoeuvre::Tack)
        return std::abs(m.twaIn) < 80 && std::abs(m.twaOut) < 80;
    return std::abs(m.twaIn) > 100 && std::abs(m.twaOut) > 100;
}

Manoeuvre::Kind kindOf(const sim::SailedManoeuvre &m)
{
    return m.kind == sim::SailedManoeuvre::Tack ? Manoeuvre::Tack : Manoeuvre::Gybe;
}

// The simulated wind where the boats racing at race time t are, and how
// many they are: the wind varies across the course, and the fleet can only
// tell of the wind it sails in.
std::pair<double, int> windOverTheFleet(const sim::SimulatedRace &race, double t)
{
    double x = 0, y = 0;
    int racing = 0;
    for (const sim::SimulatedBoat &b : race.boats) {
        const auto k = static_cast<std::size_t>(t - b.run.firstTime);
        if (t < b.run.passings.front().value_or(1e9) || t > b.run.finishTime.value_or(-1e9) || k >= b.run.positions.size())
            continue;
        const double twd = race.wind.at(t, b.run.positions[k]).twd * M_PI / 180;
        x += std::cos(twd);
        y += std::sin(twd);
        ++racing;
    }
    return {std::atan2(y, x) * 180 / M_PI, racing};
}

class SimulatedManoeuvresTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        sim::SimOptions options;
        options.seed = 21;
        options.boats = 12;
        options.classes = 2;
        options.laps = 2;
        options.minutes = 70;
        options.format = sim::TrackFormat::Gpx;
        options.minInterval = options.maxInterval = GetParam();
        race_.emplace(sim::simulateRace(options));
        sim::writeRaceFolder(*race_, dir_.path());
        const LoadResult result = loadRace(loaded_, DataFolder(dir_.path()), dir_.filePath("raceadmin/race01.txt"));
        ASSERT_TRUE(result.ok()) << result.message.toStdString();
        ASSERT_EQ(loaded_.windSampleCount(), 0);
    }

    QTemporaryDir dir_;
    std::optional<sim::SimulatedRace> race_;
    RaceState loaded_;
};

TEST_P(SimulatedManoeuvresTest, FindsTheTurnsTheBoatsSailed)
{
    int sailed = 0, found = 0, detected = 0, right = 0;
    for (const sim::SimulatedBoat &simulated : race_->boats) {
        const BoatEntry &boat = loaded_.boats[simulated.number];
        const auto &truth = simulated.run.manoeuvres;
        const auto matches = [&](const Manoeuvre &d, const sim::SailedManoeuvre &m) {
            return d.kind == kindOf(m) && std::abs(d.time - m.time) <= kTimeTolerance;
        };
        for (const sim::SailedManoeuvre &m : truth) {
            if (!betweenSettledCourses(m))
                continue;
            ++sailed;
            const bool seen = std::any_of(boat.manoeuvres.begin(), boat.manoeuvres.end(),
                                          [&](const Manoeuvre &d) { return matches(d, m); });
            found += seen ? 1 : 0;
            if (!seen)
                std::cout << "missed: " << simulated.name << " " << (m.kind ? "gybe" : "tack") << " at " << m.time
                              << " twa " << m.twaIn << " -> " << m.twaOut << " spread " << m.spreadIn << ", " << m.spreadOut;
        }
        // Before the start and after the finish the boats sail about; the
        // simulator keeps no record of those turns.
        const double start = *simulated.run.passings.front(), finish = *simulated.run.finishTime;
        for (const Manoeuvre &d : boat.manoeuvres) {
            if (d.time < start || d.time > finish)
                continue;
            ++detected;
            const bool real = std::any_of(truth.begin(), truth.end(), [&](const sim::SailedManoeuvre &m) { return matches(d, m); });
            right += real ? 1 : 0;
            if (!real)
                std::cout << "not sailed: " << simulated.name << " " << manoeuvreKindName(d.kind).toStdString() << " at "
                              << d.time;
        }
    }
    ASSERT_GT(sailed, 100);
    const double recall = double(found) / sailed, precision = double(right) / std::max(detected, 1);
    std::cout << "interval " << GetParam() << " s: " << sailed << " sailed, " << detected << " found; recall " << recall
              << ", precision " << precision << "\n";
    EXPECT_GE(recall, 0.95);
    EXPECT_GE(precision, 0.95);
}

TEST_P(SimulatedManoeuvresTest, ReadsTheWindFromTheFleet)
{
    ASSERT_FALSE(loaded_.estimatedWind.empty());
    // After the first beat (once the leading boat has gone round the first
    // mark), while at least a quarter of the fleet is racing.
    double firstMark = 1e9;
    for (const sim::SimulatedBoat &b : race_->boats)
        firstMark = std::min(firstMark, b.run.passings[1].value_or(1e9));
    int checked = 0, within = 0;
    double worst = 0;
    for (const WindEstimate &e : loaded_.estimatedWind) {
        if (e.time < firstMark)
            continue;
        const auto [simulated, racing] = windOverTheFleet(*race_, e.time);
        if (4 * racing < static_cast<int>(race_->boats.size()))
            continue;
        const double off = std::abs(signedAngle(e.twd - simulated));
        worst = std::max(worst, off);
        EXPECT_LE(off, kWorstWind) << "at " << e.time << ": estimated " << e.twd << ", simulated " << simulated;
        within += off <= kWindTolerance ? 1 : 0;
        ++checked;
    }
    std::cout << "interval " << GetParam() << " s: " << within << " of " << checked << " minutes within "
              << kWindTolerance << " degrees, worst " << worst << "\n";
    EXPECT_GT(checked, 30);
    EXPECT_GE(within, 0.95 * checked);
}

// The wind is read from the fleet, not from the organiser's mean wind: with
// the race file's WD right, a quarter or half the compass off, or missing,
// the estimate and the tacks and gybes are the same.
TEST_P(SimulatedManoeuvresTest, TheRaceFilesWindDoesNotLeadTheFleets)
{
    QFile file(dir_.filePath("raceadmin/race01.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    static const QRegularExpression wdLine(QStringLiteral("\r\nWD,(-?\\d+)"));
    const auto match = wdLine.match(text);
    ASSERT_TRUE(match.hasMatch());
    const int wd = match.captured(1).toInt();
    for (const QString &line : {QStringLiteral("\r\nWD,%1").arg((wd + 90) % 360), QStringLiteral("\r\nWD,%1").arg((wd + 180) % 360),
                                QString()}) {
        QString changed = text;
        changed.replace(match.capturedStart(), match.capturedLength(), line);
        QFile out(dir_.filePath("raceadmin/changed.txt"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(changed.toUtf8());
        out.close();
        RaceState other;
        ASSERT_TRUE(loadRace(other, DataFolder(dir_.path()), out.fileName()).ok());
        ASSERT_EQ(other.estimatedWind.size(), loaded_.estimatedWind.size()) << line.toStdString();
        for (std::size_t k = 0; k < other.estimatedWind.size(); ++k)
            EXPECT_LE(std::abs(signedAngle(other.estimatedWind[k].twd - loaded_.estimatedWind[k].twd)), 3) << line.toStdString();
        for (int b = 1; b <= loaded_.boatCount; ++b) {
            const auto &mine = loaded_.boats[b].manoeuvres, &theirs = other.boats[b].manoeuvres;
            ASSERT_EQ(theirs.size(), mine.size()) << line.toStdString() << " boat " << b;
            for (std::size_t k = 0; k < mine.size(); ++k) {
                EXPECT_EQ(theirs[k].kind, mine[k].kind) << line.toStdString();
                EXPECT_EQ(theirs[k].time, mine[k].time) << line.toStdString();
            }
        }
    }
}

// A foiling catamaran fleet: legs of two or three minutes, a tack or gybe
// about every minute, 5 to 8 s each, logged once, five and ten times a
// second. The turns away from the marks (none within 30 s of a rounding,
// where the boats go round in ways of their own) are found, and what is
// found there was sailed.
class SimulatedFoilersTest : public ::testing::TestWithParam<double> {};

TEST_P(SimulatedFoilersTest, FindsTheirQuickTurns)
{
    sim::SimOptions options;
    options.seed = 5;
    options.boats = 10;
    options.classes = 1;
    options.laps = 2;
    options.minutes = 15;
    options.fleet = sim::FleetKind::Foilers;
    options.format = sim::TrackFormat::Gpx;
    options.minInterval = options.maxInterval = GetParam();
    const test::LoadedSimulation simulation(options);
    ASSERT_TRUE(simulation.ok);
    const sim::SimulatedRace &race = simulation.simulated;
    const RaceState &loaded = simulation.race;

    int sailed = 0, found = 0, detected = 0, right = 0;
    for (const sim::SimulatedBoat &simulated : race.boats) {
        const BoatEntry &boat = loaded.boats[simulated.number];
        const auto &truth = simulated.run.manoeuvres;
        const auto matches = [&](const Manoeuvre &d, const sim::SailedManoeuvre &m) {
            return d.kind == kindOf(m) && std::abs(d.time - m.time) <= kTimeTolerance;
        };
        const auto awayFromMarks = [&](double t) {
            return std::none_of(simulated.run.passings.begin(), simulated.run.passings.end(),
                                [&](const std::optional<double> &p) { return p && std::abs(*p - t) < 30; });
        };
        for (const sim::SailedManoeuvre &m : truth) {
            if (m.atMark || !awayFromMarks(m.time))
                continue;
            ++sailed;
            found += std::any_of(boat.manoeuvres.begin(), boat.manoeuvres.end(), [&](const Manoeuvre &d) { return matches(d, m); });
        }
        for (const Manoeuvre &d : boat.manoeuvres) {
            if (d.time < *simulated.run.passings.front() || d.time > *simulated.run.finishTime || !awayFromMarks(d.time))
                continue;
            ++detected;
            right += std::any_of(truth.begin(), truth.end(), [&](const sim::SailedManoeuvre &m) { return matches(d, m); });
        }
    }
    ASSERT_GT(sailed, 60);
    EXPECT_GE(double(found) / sailed, 0.9);
    EXPECT_GE(double(right) / std::max(detected, 1), 0.95);
}

// Every fleet from dinghies to foilers, logged once, five and ten times a
// second: the tacks and gybes the crews would log between the start and the
// finish, at the marks too, are found, what is found was sailed, and the
// ground the turns away from the marks cost is measured as the simulator
// measured it (the fleet's median). The least each fleet must reach: slow
// boats lose a few metres a turn, as little as the fixes wander.
struct FleetAtRate {
    sim::FleetKind fleet;
    double interval;
    double recall, lossShare;
};

class SimulatedFleetsTest : public ::testing::TestWithParam<FleetAtRate> {};

TEST_P(SimulatedFleetsTest, FindTheTurnsTheCrewsWouldLog)
{
    sim::SimOptions options;
    options.seed = 6;
    options.boats = 10;
    options.classes = 1;
    options.laps = 2;
    options.fleet = GetParam().fleet;
    options.minutes = options.fleet == sim::FleetKind::Foilers ? 15 : 60;
    options.format = sim::TrackFormat::Gpx;
    options.minInterval = options.maxInterval = GetParam().interval;
    const test::LoadedSimulation simulation(options);
    ASSERT_TRUE(simulation.ok);
    const sim::SimulatedRace &race = simulation.simulated;
    const RaceState &loaded = simulation.race;

    int sailed = 0, found = 0, detected = 0, right = 0, atMarks = 0, foundAtMarks = 0;
    std::vector<double> lossFound, lossSailed;
    for (const sim::SimulatedBoat &simulated : race.boats) {
        if (!simulated.run.finishTime)
            continue;
        const BoatEntry &boat = loaded.boats[simulated.number];
        const auto &truth = simulated.run.manoeuvres;
        const auto matches = [&](const Manoeuvre &d, const sim::SailedManoeuvre &m) {
            return d.kind == kindOf(m) && std::abs(d.time - m.time) <= kTimeTolerance;
        };
        const double start = *simulated.run.passings.front(), finish = *simulated.run.finishTime;
        for (const sim::SailedManoeuvre &m : truth) {
            ++sailed;
            atMarks += m.atMark;
            const auto seen = std::find_if(boat.manoeuvres.begin(), boat.manoeuvres.end(), [&](const Manoeuvre &d) { return matches(d, m); });
            found += seen != boat.manoeuvres.end();
            foundAtMarks += m.atMark && seen != boat.manoeuvres.end();
            if (seen != boat.manoeuvres.end() && !m.atMark) {
                lossFound.push_back(seen->lossMetres);
                lossSailed.push_back(m.lossMetres);
            }
        }
        for (const Manoeuvre &d : boat.manoeuvres) {
            if (d.time < start || d.time > finish)
                continue;
            ++detected;
            right += std::any_of(truth.begin(), truth.end(), [&](const sim::SailedManoeuvre &m) { return matches(d, m); });
        }
    }
    const double recall = double(found) / std::max(sailed, 1), precision = double(right) / std::max(detected, 1);
    const auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    std::cout << sailed << " sailed (" << atMarks << " at marks, " << foundAtMarks << " found), " << detected << " found; recall " << recall
              << ", precision " << precision << "; median loss found " << median(lossFound) << " m, sailed " << median(lossSailed) << " m\n";
    ASSERT_GT(sailed, 40);
    EXPECT_GE(recall, GetParam().recall);
    EXPECT_GE(precision, 0.95);
    EXPECT_NEAR(median(lossFound), median(lossSailed), GetParam().lossShare * median(lossSailed));
}

INSTANTIATE_TEST_SUITE_P(
    Fleets, SimulatedFleetsTest,
    ::testing::Values(FleetAtRate{sim::FleetKind::Dinghies, 1, 0.9, 0.6}, FleetAtRate{sim::FleetKind::Dinghies, 0.2, 0.9, 0.6},
                      FleetAtRate{sim::FleetKind::Dinghies, 0.1, 0.9, 0.6}, FleetAtRate{sim::FleetKind::Keelboats, 1, 0.87, 0.2},
                      FleetAtRate{sim::FleetKind::Keelboats, 0.2, 0.87, 0.25}, FleetAtRate{sim::FleetKind::Keelboats, 0.1, 0.87, 0.6},
                      FleetAtRate{sim::FleetKind::Foilers, 1, 0.8, 0.2}, FleetAtRate{sim::FleetKind::Foilers, 0.2, 0.8, 0.2},
                      FleetAtRate{sim::FleetKind::Foilers, 0.1, 0.8, 0.2}),
    [](const ::testing::TestParamInfo<FleetAtRate> &p) {
        const char *fleet = p.param.fleet == sim::FleetKind::Dinghies ? "Dinghies" : p.param.fleet == sim::FleetKind::Foilers ? "Foilers" : "Keelboats";
        return std::string(fleet) + std::to_string(static_cast<int>(std::lround(1 / p.param.interval))) + "Hz";
    });

INSTANTIATE_TEST_SUITE_P(Rates, SimulatedFoilersTest, ::testing::Values(1.0, 0.2, 0.1),
                         [](const ::testing::TestParamInfo<double> &interval) {
                             return std::to_string(static_cast<int>(std::lround(1 / interval.param))) + "Hz";
                         });

INSTANTIATE_TEST_SUITE_P(Intervals, SimulatedManoeuvresTest, ::testing::Values(1, 2, 5, 10),
                         [](const ::testing::TestParamInfo<int> &interval) { return std::to_string(interval.param) + "s"; });

}  // namespace
}  // namespace keelrun
