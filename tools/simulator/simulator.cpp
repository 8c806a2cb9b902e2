#include "simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include <QDir>
#include <QFile>

#include "names.h"
#include "race_file_writer.h"
#include "track_writers.h"
#include "truth_file.h"

namespace keelrun::sim {
namespace {

// Independent random streams, so that changing one part of the race (say the
// number of boats) leaves the others as they were.
enum Stream : std::uint64_t { RaceStream, WindStream, ClassStream, NameStream, PlanStream, HelmStream, LoggerStream, TimerStream };

constexpr double kGapSeconds = 3700;  // a logger switched off for just over an hour

// Time a boat of this polar needs for the course in a steady wind: beats and
// runs at the best VMG, reaches at the polar speed, and a little for each mark.
double estimateSeconds(const Course &c, const Polar &polar, double tws)
{
    const Vmg up = polar.bestUpwind(tws), down = polar.bestDownwind(tws);
    double total = 0;
    Vec2 from = c.pointOf(c.items[0]);
    for (std::size_t i = 1; i < c.items.size(); ++i) {
        const Vec2 to = c.pointOf(c.items[i]);
        const Vec2 d = to - from;
        const double offWind = std::fabs(normalizeAngle(bearingOf(d) - c.windDirection));
        if (offWind < up.angle)
            total += dot(d, c.upwind) / (up.vmg * kKnot);
        else if (offWind > down.angle)
            total -= dot(d, c.upwind) / (down.vmg * kKnot);
        else
            total += length(d) / (polar.speed(offWind, tws) * kKnot);
        total += 15;
        from = to;
    }
    return total;
}

std::vector<BoatClassInfo> makeClasses(const SimOptions &o)
{
    const bool foiling = o.fleet == FleetKind::Foilers;
    // A dinghy sails at about 60 % of a keelboat's speed.
    const double fleetFactor = o.fleet == FleetKind::Dinghies ? 0.6 : 1.0;
    const Polar reference(fleetFactor, foiling ? 35.5 : 23.5, foiling ? Hull::Foiling : Hull::Displacement);
    std::vector<BoatClassInfo> classes;
    for (int c = 0; c < o.classes; ++c) {
        Random rng = Random::stream(o.seed, ClassStream, static_cast<std::uint64_t>(c));
        // The fastest class first; speed factors spread over 0.88..1.12.
        const double speed = o.classes == 1 ? rng.uniform(0.95, 1.05)
                                            : 1.12 - 0.24 * c / (o.classes - 1) + rng.uniform(-0.01, 0.01);
        const double noGo = rng.uniform(22, 25);
        const double factor = fleetFactor * speed;
        Polar polar(factor, foiling ? noGo + 12 : noGo, foiling ? Hull::Foiling : Hull::Displacement);
        const double handicap = handicapFactor(polar, reference);
        // Hull speed grows with the square root of the length; a foiler's
        // length is its own (a 15 m catamaran).
        const double boatLength = foiling ? 15 * speed : std::round(100 * factor * factor) / 10;
        classes.push_back({className(speed, o.japanese, o.fleet), polar, handicap, boatLength});
    }
    return classes;
}

Course layCourse(const SimOptions &o, const WindField &wind, const std::vector<BoatClassInfo> &classes)
{
    double meanLength = 0;
    for (const auto &c : classes)
        meanLength += c.boatLength / static_cast<double>(classes.size());
    CourseSpec spec{o.course, o.laps, o.gate, wind.meanDirection(), 1500, o.boats, meanLength};
    const Polar &typical = classes[classes.size() / 2].polar;
    // The course scales with the leg length; a few rounds settle the fixed parts.
    for (int round = 0; round < 4; ++round) {
        const double seconds = 1.1 * estimateSeconds(buildCourse(spec), typical, wind.meanSpeed());
        spec.legLength = std::clamp(spec.legLength * o.minutes * 60 / seconds, 1000.0, 15000.0);
    }
    spec.legLength = std::round(spec.legLength / 10) * 10;
    return buildCourse(spec);
}

BoatPlan planBoat(const SimOptions &o, const BoatClassInfo &cls, unsigned cases, double expected, Random &rng)
{
    BoatPlan p;
    p.polar = &cls.polar;
    p.skill = std::clamp(1 - std::fabs(rng.normal()) * 0.03, 0.9, 1.0);
    p.shiftThreshold = rng.uniform(3, 9);
    p.cornering = rng.uniform(0.35, 0.9);
    p.minTackGap = rng.uniform(30, 80);
    p.roundingRadius = std::clamp(1.8 * cls.boatLength, 14.0, 30.0) + rng.uniform(-2, 3);
    if (o.fleet == FleetKind::Foilers) {
        // Legs of two or three minutes with a tack or gybe about every
        // minute; the turns are quick but wide, and come off the foils.
        p.minTackGap = rng.uniform(20, 40);
        p.roundingRadius = rng.uniform(50, 70);
        p.turnRate = 18;
        p.tackSpeedKept = 0.55;
        p.gybeSpeedKept = 0.75;
    }
    p.startPlace = rng.uniform(-0.35, 0.35);
    // Better crews hit the line closer to the gun.
    p.startDelay = 2 + rng.uniform(0, 6) + (1 - p.skill) * 200 * rng.uniform(0.3, 1);
    p.firstTime = -o.preStartMinutes * 60 - 180 - rng.integer(0, 120);
    p.driftSeconds = rng.uniform(180, 480);
    p.gateChoice = rng.chance(0.25) ? rng.integer(1, 2) : 0;
    if (cases & Ocs) {
        p.startDelay = -rng.uniform(4, 9);
        p.returnsAfterStart = true;
    }
    p.missesFirstMark = (cases & MissMark) != 0;
    if (cases & Dip)
        p.dips = {-rng.uniform(330, 310), -rng.uniform(250, 230)};
    if (cases & Retire)
        p.retireAt = std::round(expected * rng.uniform(0.35, 0.55));
    return p;
}

LoggerPlan planLogger(const SimOptions &o, unsigned cases, double expected, Random &rng)
{
    LoggerPlan l;
    if (o.minInterval == o.maxInterval && o.minInterval < 1) {
        // A racing logger, several fixes a second, on the second's grid.
        l.interval = o.minInterval;
    } else {
        const int interval = rng.integer(static_cast<int>(o.minInterval), static_cast<int>(o.maxInterval));
        l.interval = interval;
        l.phase = rng.integer(0, interval - 1);
    }
    // Most loggers keep GPS time; some run a little off, and a few were set
    // to the local time of the race area.
    const double clock = rng.uniform();
    l.clockOffset = clock < 0.55 ? 0 : clock < 0.9 ? rng.integer(-90, 90) : -o.timeDifference * 3600;
    l.noise = o.gpsNoise;
    if (cases & FewFixes)
        l.maxFixesAfterGun = 12;
    if (cases & Gap) {
        l.gapFrom = std::round(expected * 0.4);
        l.gapTo = l.gapFrom + kGapSeconds;
    }
    if (cases & Overlap)
        l.overlapAt = std::round(expected * 0.3);
    return l;
}

// The crew's use of a start timer that logs: set and started at the warning
// signal, synced a minute later at the preparatory signal, zero at the gun,
// stopped at the finish. Before the countdown they sail to each end of the
// line and ping it; the pin is pinged in a hurry 25 m short of the buoy,
// then again alongside it. Times are on the logger's clock.
StartLog planStartLog(const SimulatedRace &race, const SimulatedBoat &b, Random rng)
{
    using Timer = StartLog::TimerEvent;
    const auto loggerMilliseconds = [&](double raceSeconds) {
        return (race.gunUtc - b.logger.clockOffset) * 1000 + std::llround(raceSeconds * 1000);
    };
    const int countdown = race.options.preStartMinutes * 60;
    StartLog log;
    log.timer = {{loggerMilliseconds(-countdown - 30), Timer::Reset, countdown},
                 {loggerMilliseconds(-countdown), Timer::Started, countdown},
                 {loggerMilliseconds(-countdown + 60), Timer::Synced, countdown - 60},
                 {loggerMilliseconds(0), Timer::RaceStart, 0}};
    if (b.run.finishTime)
        log.timer.push_back({loggerMilliseconds(*b.run.finishTime), Timer::RaceEnd,
                             static_cast<int>(std::lround(*b.run.finishTime))});
    const LineSegment &line = race.course.startLine();
    const Vec2 short25 = line.end2 + unit(line.end1 - line.end2) * 25;
    const double boatPing = -countdown - 150 + rng.uniform(0, 40);
    const double hurriedPing = boatPing + rng.uniform(30, 40);
    const double pinPing = hurriedPing + rng.uniform(20, 40);
    log.pings = {{loggerMilliseconds(boatPing), StartLog::LineEnd::Boat, race.plane.toDegrees(line.end1)},
                 {loggerMilliseconds(hurriedPing), StartLog::LineEnd::Pin, race.plane.toDegrees(short25)},
                 {loggerMilliseconds(pinPing), StartLog::LineEnd::Pin, race.plane.toDegrees(line.end2)}};
    return log;
}

TrackFormat formatOf(const SimOptions &o, int index)
{
    return o.format ? *o.format : static_cast<TrackFormat>(index % kMixedFormatCount);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

SimulatedRace simulateRace(const SimOptions &o)
{
    Random raceRng = Random::stream(o.seed, RaceStream);
    const double windDirection = raceRng.integer(0, 359);
    // Foilers race in a foiling breeze, 12 to 20 knots.
    const double drawnSpeed = raceRng.uniform(7, 16);
    const double windSpeed = o.fleet == FleetKind::Foilers ? 12 + (drawnSpeed - 7) * 8 / 9 : drawnSpeed;
    SimulatedRace race{o, LocalPlane(o.latitude, o.longitude), toUnix(o.start) - o.timeDifference * 3600LL,
                       WindField(Random::stream(o.seed, WindStream), windDirection, windSpeed), Course{}, {}, {}, 0};
    race.classes = makeClasses(o);
    race.course = layCourse(o, race.wind, race.classes);
    const double expected =
        1.1 * estimateSeconds(race.course, race.classes[race.classes.size() / 2].polar, windSpeed);
    const double timeLimit = 3 * expected + 3600;

    Random nameRng = Random::stream(o.seed, NameStream);
    const std::vector<std::string> names = boatNames(o.boats, o.japanese, nameRng);
    int trlCount = 0;
    double lastFinish = 0;
    for (int i = 0; i < o.boats; ++i) {
        SimulatedBoat b;
        b.number = i + 1;
        b.name = names[i];
        b.classNumber = i * o.classes / o.boats + 1;
        b.cases = o.casesOf(b.number);
        b.format = formatOf(o, i);
        if (b.format == TrackFormat::Trl)
            b.trlRecordBytes = o.trlRecordBytes ? o.trlRecordBytes : (trlCount++ % 2 == 0 ? 16 : 20);
        char file[16];
        std::snprintf(file, sizeof file, "_%02d.", b.number);
        b.trackFile = o.name + file + extensionOf(b.format);

        Random planRng = Random::stream(o.seed, PlanStream, b.number);
        const BoatClassInfo &cls = race.classes[b.classNumber - 1];
        BoatPlan plan = planBoat(o, cls, b.cases, expected, planRng);
        b.logger = planLogger(o, b.cases, expected, planRng);
        if (b.cases & Gap)
            plan.sailUntil = b.logger.gapTo + 600;
        b.skill = plan.skill;
        b.run = sailBoat(race.course, race.wind, plan, Random::stream(o.seed, HelmStream, b.number), timeLimit);
        b.fixes = recordFixes(b.run, race.plane, race.gunUtc, b.logger,
                              Random::stream(o.seed, LoggerStream, b.number));
        b.start = planStartLog(race, b, Random::stream(o.seed, TimerStream, b.number));
        if (b.run.finishTime)
            lastFinish = std::max(lastFinish, *b.run.finishTime);
        race.boats.push_back(std::move(b));
    }
    // The organiser writes a finish time a little after the last boat.
    const double end = lastFinish > 0 ? lastFinish + 120 : 1.5 * expected;
    race.finishSeconds = static_cast<int>(std::ceil(end / 60)) * 60;
    return race;
}

void writeRaceFolder(const SimulatedRace &race, const QString &outDir)
{
    const SimOptions &o = race.options;
    const QDir root(outDir);
    for (const char *sub : {"raceadmin", "gpsdat", "winddat", "attachment"})
        if (!root.mkpath(sub))
            throw std::runtime_error("cannot create " + root.filePath(sub).toStdString());
    const QString name = QString::fromStdString(o.name);
    writeFile(root.filePath("raceadmin/" + name + ".txt"), encodedText(raceFileText(race), o.shiftJis));
    writeFile(root.filePath("attachment/" + name + "_notice.txt"), encodedText(noticeText(race), o.shiftJis));
    if (o.windFile)
        writeFile(root.filePath("winddat/" + name + "_wind.csv"), encodedText(windFileText(race), false));
    for (const SimulatedBoat &b : race.boats) {
        if (b.cases & MissingTrack)
            continue;
        const std::string stem = b.trackFile.substr(0, b.trackFile.rfind('.'));
        writeFile(root.filePath("gpsdat/" + QString::fromStdString(b.trackFile)),
                  writeTrack(b.format, b.fixes, b.start, stem, b.trlRecordBytes));
    }
    writeFile(root.filePath(name + ".truth.json"), QByteArray::fromStdString(truthJson(race)));
}

}  // namespace keelrun::sim
