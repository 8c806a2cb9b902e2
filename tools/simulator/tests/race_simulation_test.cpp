#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "io/race_file.h"
#include "race/loading_sequence.h"
#include "race_file_writer.h"
#include "simulator.h"
#include "track_decoders.h"
#include "truth_file.h"

namespace keelrun::sim {
namespace {

// A boat's track as read back from its file, on the race clock (seconds
// after the gun, the clock offset applied) and on the local plane.
struct TrackPoint {
    double t = 0;
    Vec2 p;
};

std::vector<TrackPoint> readTrack(const SimulatedRace &race, const SimulatedBoat &boat, const QString &folder)
{
    std::vector<TrackPoint> track;
    for (const auto &f : test::decodeTrackFile(folder + "/gpsdat/" + QString::fromStdString(boat.trackFile)))
        track.push_back({static_cast<double>(f.time + boat.logger.clockOffset - race.gunUtc),
                         race.plane.toPlane({f.lat, f.lon})});
    return track;
}

// When the track crosses the segment after `from` (upward only, if asked).
std::optional<double> crossing(const std::vector<TrackPoint> &track, const LineSegment &line, double from,
                               const Vec2 *upwardOnly)
{
    for (std::size_t i = 1; i < track.size(); ++i) {
        if (track[i].t <= from)
            continue;
        const double f = crossingFraction(line.end1, line.end2, track[i - 1].p, track[i].p);
        if (f >= 0 && (!upwardOnly || dot(track[i].p - track[i - 1].p, *upwardOnly) > 0))
            return track[i - 1].t + f * (track[i].t - track[i - 1].t);
    }
    return std::nullopt;
}

// The closest approach of the first visit within `reach` metres after `from`.
std::optional<double> rounding(const std::vector<TrackPoint> &track, Vec2 mark, double from, double reach)
{
    std::optional<double> best;
    double closest = reach;
    for (const TrackPoint &q : track) {
        if (q.t <= from)
            continue;
        const double d = length(q.p - mark);
        if (d < closest) {
            closest = d;
            best = q.t;
        } else if (best && d > closest + 60) {
            break;
        }
    }
    return best;
}

// The passage times of every course item, found from the track alone.
std::vector<std::optional<double>> passagesFromTrack(const SimulatedRace &race, const std::vector<TrackPoint> &track)
{
    const Course &c = race.course;
    std::vector<std::optional<double>> times;
    double after = -1;
    for (const CourseItem &item : c.items) {
        std::optional<double> t;
        if (item.kind == CourseItem::Mark)
            t = rounding(track, c.marks[item.number - 1], after, 60);
        else
            t = crossing(track, c.lines[item.number - 1], after, item.kind == CourseItem::Gate ? nullptr : &c.upwind);
        times.push_back(t);
        if (!t)
            break;
        after = *t;
    }
    return times;
}

// Going round a mark the distance to it hardly changes for a while, so the
// fix nearest to it may come from anywhere along the turn. Checks that the
// time found from the track lies where the boat really was within a few
// metres of its closest approach, or on the line crossing for lines.
void expectPassageMatches(const SimulatedRace &race, const SimulatedBoat &b, std::size_t item,
                          std::optional<double> fromTrack)
{
    ASSERT_TRUE(fromTrack && b.run.passings[item]) << b.trackFile << " item " << item;
    const double truth = *b.run.passings[item];
    const double slack = b.logger.interval + 2;
    const CourseItem &kind = race.course.items[item];
    if (kind.kind != CourseItem::Mark) {
        // A few metres of GPS error move a crossing at 45° by a few seconds.
        EXPECT_NEAR(*fromTrack, truth, slack + 3) << b.trackFile << " item " << item;
        return;
    }
    const Vec2 mark = race.course.marks[kind.number - 1];
    auto distanceAt = [&](double t) {
        return length(b.run.positions[static_cast<std::size_t>(std::lround(t - b.run.firstTime))] - mark);
    };
    const double near = distanceAt(truth) + 8;
    double from = std::round(truth), to = std::round(truth);
    while (distanceAt(from - 1) <= near)
        --from;
    while (distanceAt(to + 1) <= near)
        ++to;
    EXPECT_GE(*fromTrack, from - slack) << b.trackFile << " item " << item;
    EXPECT_LE(*fromTrack, to + slack) << b.trackFile << " item " << item;
}

SimOptions hardCaseOptions()
{
    SimOptions o;
    o.seed = 20240512;
    o.boats = 16;
    o.classes = 3;
    o.minutes = 35;
    o.minInterval = 1;
    o.maxInterval = 4;
    o.windFile = true;
    o.referenceLines = true;
    o.hardCases = {{2, Ocs}, {3, MissMark}, {4, Retire}, {5, FewFixes}, {6, MissingTrack}, {7, Hidden}, {8, Gap}};
    return o;
}

class SimulatedRaceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        dir_ = new QTemporaryDir;
        race_ = new SimulatedRace(simulateRace(hardCaseOptions()));
        writeRaceFolder(*race_, dir_->path());
        truth_ = new nlohmann::json(nlohmann::json::parse(truthJson(*race_)));
    }
    static void TearDownTestSuite()
    {
        delete truth_;
        delete race_;
        delete dir_;
    }
    static QString folder() { return dir_->path(); }
    static const SimulatedBoat &boat(int number) { return race_->boats[number - 1]; }

    static QTemporaryDir *dir_;
    static SimulatedRace *race_;
    static nlohmann::json *truth_;
};

QTemporaryDir *SimulatedRaceTest::dir_ = nullptr;
SimulatedRace *SimulatedRaceTest::race_ = nullptr;
nlohmann::json *SimulatedRaceTest::truth_ = nullptr;

TEST(SimulatedRace, SameSeedGivesTheSameRace)
{
    SimOptions o;
    o.boats = 4;
    o.minutes = 15;
    const SimulatedRace a = simulateRace(o), b = simulateRace(o);
    EXPECT_EQ(truthJson(a), truthJson(b));
    EXPECT_EQ(raceFileText(a), raceFileText(b));
    for (std::size_t i = 0; i < a.boats.size(); ++i) {
        ASSERT_EQ(a.boats[i].fixes.size(), b.boats[i].fixes.size());
        for (std::size_t k = 0; k < a.boats[i].fixes.size(); ++k) {
            EXPECT_EQ(a.boats[i].fixes[k].time, b.boats[i].fixes[k].time);
            EXPECT_EQ(a.boats[i].fixes[k].lat, b.boats[i].fixes[k].lat);
        }
    }
    o.seed = 2;
    EXPECT_NE(truthJson(simulateRace(o)), truthJson(a));
}

TEST_F(SimulatedRaceTest, EveryTrackFileReadsBackOnTheTrueClock)
{
    for (const SimulatedBoat &b : race_->boats) {
        if (b.cases & MissingTrack)
            continue;
        SCOPED_TRACE(b.trackFile);
        const auto decoded = test::decodeTrackFile(folder() + "/gpsdat/" + QString::fromStdString(b.trackFile));
        ASSERT_EQ(decoded.size(), b.fixes.size());
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            ASSERT_EQ(decoded[i].time, b.fixes[i].time);
            ASSERT_NEAR(decoded[i].lat, b.fixes[i].lat, 2e-5);  // 32-bit floats at the worst
            ASSERT_NEAR(decoded[i].lon, b.fixes[i].lon, 2e-5);
            // The logger's time plus the race file's offset is the time the
            // boat was at that place, give or take the GPS error.
            const double t = static_cast<double>(decoded[i].time + b.logger.clockOffset - race_->gunUtc);
            const auto index = static_cast<std::size_t>(t - b.run.firstTime);
            ASSERT_LT(index, b.run.positions.size());
            EXPECT_LT(length(race_->plane.toPlane({decoded[i].lat, decoded[i].lon}) - b.run.positions[index]), 20);
        }
    }
}

TEST_F(SimulatedRaceTest, TracksPassTheCourseInOrderAtTheTrueTimes)
{
    int checked = 0;
    for (const SimulatedBoat &b : race_->boats) {
        if (b.cases & ~Hidden)
            continue;
        SCOPED_TRACE(b.trackFile);
        const auto fromTrack = passagesFromTrack(*race_, readTrack(*race_, b, folder()));
        ASSERT_EQ(fromTrack.size(), race_->course.items.size());
        for (std::size_t k = 0; k < fromTrack.size(); ++k)
            expectPassageMatches(*race_, b, k, fromTrack[k]);
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

TEST_F(SimulatedRaceTest, FinishOrderOfTheTruthFileFollowsTheTracks)
{
    struct Finisher {
        int number;
        double truth, track, tolerance;
    };
    std::vector<Finisher> finishers;
    for (const auto &entry : (*truth_)["boats"]) {
        const SimulatedBoat &b = boat(entry["number"].get<int>());
        if (entry["finish_time"].is_null() || (b.cases & (MissingTrack | FewFixes | Gap)))  // no track at the finish
            continue;
        const auto track = readTrack(*race_, b, folder());
        const auto t = crossing(track, race_->course.finishLine(), *b.run.passings[b.run.passings.size() - 2],
                                &race_->course.upwind);
        ASSERT_TRUE(t) << b.trackFile;
        finishers.push_back({b.number, entry["finish_time"].get<double>(), *t, b.logger.interval + 2.0});
    }
    ASSERT_GE(finishers.size(), 10u);
    const auto order = (*truth_)["finish_order"].get<std::vector<int>>();
    for (const Finisher &a : finishers) {
        EXPECT_NEAR(a.track, a.truth, a.tolerance) << a.number;
        const auto rank = std::find(order.begin(), order.end(), a.number) - order.begin();
        EXPECT_EQ((*truth_)["boats"][a.number - 1]["finish_rank"].get<long>(), rank + 1);
        for (const Finisher &b : finishers)
            if (a.truth + a.tolerance + b.tolerance < b.truth) {
                EXPECT_LT(a.track, b.track) << a.number << " before " << b.number;
                EXPECT_LT(rank, std::find(order.begin(), order.end(), b.number) - order.begin());
            }
    }
}

TEST_F(SimulatedRaceTest, HardCasesDoWhatTheySay)
{
    const auto &entries = (*truth_)["boats"];
    // Over early: crossed before the gun, above the line at the gun, started again later.
    const auto ocs = readTrack(*race_, boat(2), folder());
    EXPECT_LT(entries[1]["early_crossing"].get<double>(), 0);
    EXPECT_GT(entries[1]["start_time"].get<double>(), 0);
    const bool aboveBeforeGun = std::any_of(ocs.begin(), ocs.end(), [](const TrackPoint &q) {
        return q.t < 0 && q.t > -10 && race_->course.aboveStart(q.p) > 3;
    });
    EXPECT_TRUE(aboveBeforeGun);

    // Missed the first windward mark: never within 0.2' (370 m) of it on the first beat.
    EXPECT_TRUE(entries[2]["passings"][1].is_null());
    const double leeward = entries[2]["passings"][2].get<double>();
    for (const TrackPoint &q : readTrack(*race_, boat(3), folder())) {
        if (q.t > 0 && q.t < leeward) {
            ASSERT_GT(length(q.p - race_->course.marks[0]), 370);
        }
    }

    // Retired: no finish, and the track stops when the boat retired.
    EXPECT_TRUE(entries[3]["finish_time"].is_null());
    const double retired = entries[3]["retired_at"].get<double>();
    EXPECT_LE(readTrack(*race_, boat(4), folder()).back().t, retired);
    EXPECT_TRUE(entries[3]["passings"].back().is_null());

    const auto few = test::decodeTrackFile(folder() + "/gpsdat/" + QString::fromStdString(boat(5).trackFile));
    EXPECT_GT(few.size(), 0u);
    EXPECT_LT(few.size(), 15u);

    EXPECT_FALSE(QFile::exists(folder() + "/gpsdat/" + QString::fromStdString(boat(6).trackFile)));
    EXPECT_FALSE(entries[5]["track_written"].get<bool>());

    const auto gap = readTrack(*race_, boat(8), folder());
    double longest = 0;
    for (std::size_t i = 1; i < gap.size(); ++i)
        longest = std::max(longest, gap[i].t - gap[i - 1].t);
    EXPECT_GT(longest, 3600);

    for (int number = 1; number <= 8; ++number)
        EXPECT_EQ(entries[number - 1]["cases"].size(), number == 1 ? 0u : 1u);
}

TEST_F(SimulatedRaceTest, RaceFileHasEveryTagAndReadsBack)
{
    QFile file(folder() + "/raceadmin/race01.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    EXPECT_EQ(raw.count("\r\n"), raw.count('\n'));
    for (const char *tag : {"T1", "T2", "NOTE", "ST", "FT", "TD", "CLSSEP", "CLSN", "BN", "MK", "LN", "RL", "CRS",
                            "LL", "MG", "WD", "WF", "LG", "BT", "NU", "PS", "CT", "FLG", "AT"})
        EXPECT_TRUE(raw.startsWith(QByteArray(tag) + ",") || raw.contains("\n" + QByteArray(tag) + ",") ||
                    raw.contains("\n" + QByteArray(tag) + "\r"))
            << tag;
    const QByteArray hidden = "BN," + QByteArray::fromStdString(boat(7).trackFile) + ",";
    EXPECT_EQ(raw.mid(raw.indexOf(hidden)).split('\r').first().count(','), 5);
    EXPECT_TRUE(raw.contains("BN," + QByteArray::fromStdString(boat(6).trackFile) + ","));

    RaceState state;
    state.raceFilePath = folder() + "/raceadmin/race01.txt";
    readRaceFile(state, DataFolder(folder()));
    EXPECT_EQ(state.boatCount, 15);  // the boat without a track file is left out
    EXPECT_EQ(state.classCount, 3);
    EXPECT_EQ(state.markCount, 2);
    EXPECT_EQ(state.lineCount, 2);
    EXPECT_EQ(state.refLineCount, 2);
    EXPECT_EQ(state.course.join(','), "L1,MK1,MK2,MK1,MK2,L2");
    EXPECT_EQ(state.timeDifference, 9);
    EXPECT_EQ(state.preStartSeconds, 300);
    EXPECT_EQ(state.raceDuration, race_->finishSeconds);
    EXPECT_EQ(state.windFile, "race01_wind.csv");
    // The variation plus the magnetic direction gives the true mean wind, to a degree.
    EXPECT_LE(std::abs(std::remainder(state.windDirection - race_->wind.meanDirection(), 360.0)), 1);
    for (int slot = 1, number = 1; number <= 16; ++number) {
        const SimulatedBoat &b = boat(number);
        if (b.cases & MissingTrack)
            continue;
        const BoatEntry &e = state.boats[slot++];
        EXPECT_EQ(e.name.toStdString(), b.name);
        EXPECT_EQ(e.classIndex, b.classNumber);
        EXPECT_EQ(e.handicap, race_->classes[b.classNumber - 1].handicap);
        EXPECT_EQ(e.clockOffset, b.logger.clockOffset);
        EXPECT_EQ(e.shown, number == 7 ? 0 : 1);
    }
    // The mark positions in minutes of arc are those of the simulation, to 0.2 m.
    const GeoDegrees windward = race_->plane.toDegrees(race_->course.marks[0]);
    EXPECT_NEAR(state.marks[1].lat, windward.lat * 60, 1e-4);
    EXPECT_NEAR(state.marks[1].lon, windward.lon * 60, 1e-4);
}

TEST_F(SimulatedRaceTest, FasterClassesHaveLargerHandicapsAndFinishSooner)
{
    const auto &classes = race_->classes;
    EXPECT_GT(classes.front().handicap, classes.back().handicap);
    auto meanFinish = [](int classNumber) {
        double sum = 0;
        int n = 0;
        for (const SimulatedBoat &b : race_->boats)
            if (b.classNumber == classNumber && b.run.finishTime && !(b.cases & MissMark)) {
                sum += *b.run.finishTime;
                ++n;
            }
        return sum / n;
    };
    EXPECT_LT(meanFinish(1), meanFinish(3));
}

TEST_F(SimulatedRaceTest, WindFileRecordsLocalTimesFromThePreStart)
{
    QFile file(folder() + "/winddat/race01_wind.csv");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines[0], "DATE TIME, TWS,TWD\r");
    EXPECT_TRUE(lines[1].startsWith("2024/05/12 10:55:00,"));
    const QList<QByteArray> fields = lines[1].trimmed().split(',');
    ASSERT_EQ(fields.size(), 3);
    EXPECT_GT(fields[1].toDouble(), 0);
    EXPECT_LT(std::abs(fields[2].toInt() - race_->wind.meanDirection()) , 40);
}

// The other courses: a leeward gate is passed between its marks, a triangle
// goes round the wing mark; both in order, at the true times.
TEST(SimulatedRace, GateAndTriangleCoursesAreSailedInOrder)
{
    for (const bool triangle : {false, true}) {
        SimOptions o;
        o.seed = 7;
        o.boats = 6;
        o.minutes = 30;
        o.course = triangle ? CourseKind::Triangle : CourseKind::WindwardLeeward;
        o.gate = !triangle;
        o.format = TrackFormat::Gpx;
        QTemporaryDir dir;
        const SimulatedRace race = simulateRace(o);
        writeRaceFolder(race, dir.path());
        EXPECT_EQ(race.course.items.size(), triangle ? 8u : 6u);
        EXPECT_EQ(race.course.marks.size(), 3u);
        for (const SimulatedBoat &b : race.boats) {
            const auto fromTrack = passagesFromTrack(race, readTrack(race, b, dir.path()));
            ASSERT_EQ(fromTrack.size(), race.course.items.size()) << triangle << " " << b.trackFile;
            for (std::size_t k = 0; k < fromTrack.size(); ++k)
                expectPassageMatches(race, b, k, fromTrack[k]);
        }
    }
}

// A fleet of foiling catamarans: some 20 knots upwind and over 30 down,
// legs of two or three minutes, a tack or gybe about every minute, each
// costing much of the boat's speed.
TEST(SimulatedRace, FoilersSailFastOnShortLegs)
{
    SimOptions o;
    o.seed = 5;
    o.boats = 6;
    o.classes = 1;
    o.laps = 2;
    o.minutes = 12;
    o.fleet = FleetKind::Foilers;
    const SimulatedRace race = simulateRace(o);
    for (const SimulatedBoat &b : race.boats) {
        const BoatRun &run = b.run;
        ASSERT_TRUE(run.finishTime) << b.name;
        const auto start = static_cast<std::size_t>(*run.passings.front() - run.firstTime);
        const auto finish = static_cast<std::size_t>(*run.finishTime - run.firstTime);
        double fastest = 0;
        for (std::size_t k = start; k < finish; ++k)
            fastest = std::max(fastest, length(run.positions[k + 1] - run.positions[k]) / kKnot);
        EXPECT_GT(fastest, 30) << b.name;
        EXPECT_LT(fastest, 48) << b.name;
        for (std::size_t leg = 1; leg < run.passings.size(); ++leg) {
            const double seconds = *run.passings[leg] - *run.passings[leg - 1];
            EXPECT_GT(seconds, 60) << b.name << " leg " << leg;
            EXPECT_LT(seconds, 270) << b.name << " leg " << leg;
        }
        const double minutes = (*run.finishTime - *run.passings.front()) / 60;
        EXPECT_GE(static_cast<double>(run.manoeuvres.size()), 0.7 * minutes) << b.name;
    }
}

// A fleet of start timers that log: the race loads with the starts and
// finishes the boats sailed; each boat's timer zero is the gun,
// whatever its logger's clock, and its line ends are the start line's (to
// the metre of 32-bit float degrees), the pin's hurried first ping 25 m
// short replaced by the second.
TEST(SimulatedRace, VkxFleetLoadsWithItsTimersAndPingedLine)
{
    SimOptions o;
    o.seed = 5;
    o.boats = 6;
    o.laps = 1;
    o.minutes = 20;
    o.format = TrackFormat::Vkx;
    QTemporaryDir dir;
    const SimulatedRace race = simulateRace(o);
    writeRaceFolder(race, dir.path());
    RaceState loaded;
    ASSERT_TRUE(loadRace(loaded, DataFolder(dir.path()), dir.filePath("raceadmin/race01.txt")).ok());
    ASSERT_EQ(loaded.boatCount, o.boats);
    ASSERT_TRUE(std::any_of(race.boats.begin(), race.boats.end(), [](const SimulatedBoat &b) { return b.logger.clockOffset != 0; }));
    const GeoDegrees pin = race.plane.toDegrees(race.course.startLine().end2);
    const GeoDegrees committee = race.plane.toDegrees(race.course.startLine().end1);
    for (const SimulatedBoat &b : race.boats) {
        SCOPED_TRACE(b.trackFile);
        const BoatEntry &boat = loaded.boats[b.number];
        EXPECT_NEAR(boat.roundingTime[1], *b.run.passings.front(), 5);
        EXPECT_NEAR(boat.roundingTime[loaded.courseLength()], *b.run.finishTime, 5);
        const LoggedStart &logged = boat.loggedStart;
        ASSERT_TRUE(logged.timerGun && logged.pinEnd && logged.boatEnd);
        EXPECT_EQ(*logged.timerGun, 0);
        EXPECT_NEAR(logged.pinEnd->lat, pin.lat * 60, 6e-4);
        EXPECT_NEAR(logged.pinEnd->lon, pin.lon * 60, 6e-4);
        EXPECT_NEAR(logged.boatEnd->lat, committee.lat * 60, 6e-4);
        EXPECT_NEAR(logged.boatEnd->lon, committee.lon * 60, 6e-4);
    }
}

TEST(SimulatedRace, ShiftJisRaceFileCarriesTheJapaneseNames)
{
    SimOptions o;
    o.boats = 5;
    o.minutes = 12;
    o.japanese = true;
    o.shiftJis = true;
    QTemporaryDir dir;
    const SimulatedRace race = simulateRace(o);
    writeRaceFolder(race, dir.path());
    QFile file(dir.path() + "/raceadmin/race01.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8.decode(raw));
    EXPECT_TRUE(utf8.hasError());  // really Shift-JIS, not UTF-8
    QStringDecoder shiftJis("Shift_JIS");
    const QString text = shiftJis.decode(raw);
    EXPECT_FALSE(shiftJis.hasError());
    EXPECT_TRUE(text.contains(QString::fromUtf8("T1,湾内ヨットレース2024\r\n")));
    for (const SimulatedBoat &b : race.boats)
        EXPECT_TRUE(text.contains(QString::fromStdString("," + b.name + ","))) << b.name;
    for (const BoatClassInfo &c : race.classes)
        EXPECT_TRUE(text.contains(QString::fromStdString("CLSN," + c.name + "\r\n")));

    RaceState state;
    state.raceFilePath = dir.path() + "/raceadmin/race01.txt";
    readRaceFile(state, DataFolder(dir.path()));
    ASSERT_EQ(state.boatCount, 5);
    EXPECT_EQ(state.boats[1].name.toStdString(), race.boats[0].name);
}

}  // namespace
}  // namespace keelrun::sim
