// keelrun-simulate: writes a simulated race as a Keelrun data folder.

#include <cstdio>
#include <stdexcept>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include "simulator.h"

using namespace keelrun::sim;

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int integerValue(const QCommandLineParser &p, const QString &name, int lo, int hi)
{
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < lo || v > hi)
        throw UsageError(QStringLiteral("--%1 must be a whole number from %2 to %3").arg(name).arg(lo).arg(hi).toStdString());
    return v;
}

double numberValue(const QCommandLineParser &p, const QString &name, double lo, double hi)
{
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok || v < lo || v > hi)
        throw UsageError(QStringLiteral("--%1 must be a number from %2 to %3").arg(name).arg(lo).arg(hi).toStdString());
    return v;
}

TrackFormat formatNamed(const QString &name)
{
    static const std::pair<const char *, TrackFormat> kFormats[] = {
        {"gpx", TrackFormat::Gpx}, {"trb", TrackFormat::Trb}, {"gdb", TrackFormat::Gdb}, {"mps", TrackFormat::Mps},
        {"trl", TrackFormat::Trl}, {"dtr", TrackFormat::Dtr}, {"trk", TrackFormat::Trk}, {"log", TrackFormat::Log},
        {"tcx", TrackFormat::Tcx}, {"csv", TrackFormat::Csv}, {"fit", TrackFormat::Fit}, {"vkx", TrackFormat::Vkx}};
    for (const auto &[text, format] : kFormats)
        if (name == QLatin1String(text))
            return format;
    throw UsageError("unknown --format " + name.toStdString());
}

// "5", "0.1" (ten fixes a second) or "1-5" (whole seconds, chosen per boat).
void readInterval(const QString &text, SimOptions &o)
{
    static const QRegularExpression single(QStringLiteral("^(0\\.\\d{1,3}|[1-9]\\d*)$"));
    static const QRegularExpression range(QStringLiteral("^(\\d+)-(\\d+)$"));
    if (const auto m = single.match(text); m.hasMatch()) {
        o.minInterval = o.maxInterval = m.captured(1).toDouble();
    } else if (const auto r = range.match(text); r.hasMatch()) {
        o.minInterval = r.captured(1).toInt();
        o.maxInterval = r.captured(2).toInt();
    } else {
        o.minInterval = 0;
    }
    if (o.minInterval < 0.05 || o.maxInterval > 60 || o.minInterval > o.maxInterval)
        throw UsageError("--interval must be SECONDS (0.05 to 60, e.g. 0.1 for ten fixes a second) or MIN-MAX, whole seconds from 1 to 60");
}

SimOptions readOptions(const QCommandLineParser &p)
{
    SimOptions o;
    if (!p.isSet("out"))
        throw UsageError("--out DIR is required");
    o.name = p.value("name").toStdString();
    if (!QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{1,40}$")).match(p.value("name")).hasMatch())
        throw UsageError("--name may hold letters, digits, '_' and '-' only");
    bool ok = false;
    o.seed = p.value("seed").toULongLong(&ok);
    if (!ok)
        throw UsageError("--seed must be a whole number");
    o.boats = integerValue(p, "boats", 1, 81);
    o.classes = integerValue(p, "classes", 1, std::min(10, o.boats));
    if (p.value("course") == "triangle")
        o.course = CourseKind::Triangle;
    else if (p.value("course") != "windward-leeward")
        throw UsageError("--course must be windward-leeward or triangle");
    if (p.value("fleet") == "dinghy")
        o.fleet = FleetKind::Dinghies;
    else if (p.value("fleet") == "foiler")
        o.fleet = FleetKind::Foilers;
    else if (p.value("fleet") != "keelboat")
        throw UsageError("--fleet must be keelboat, dinghy or foiler");
    o.gate = p.isSet("gate");
    if (o.gate && o.course == CourseKind::Triangle)
        throw UsageError("--gate goes with the windward-leeward course only");
    // At most 12 course items: the start, three marks a lap on a triangle or
    // two on a windward-leeward course, and the finish.
    o.laps = integerValue(p, "laps", 1, o.course == CourseKind::Triangle ? 3 : 5);
    o.minutes = numberValue(p, "minutes", 10, 600);
    if (p.value("format") != "mixed")
        o.format = formatNamed(p.value("format"));
    readInterval(p.value("interval"), o);
    if (p.isSet("trl-record"))
        o.trlRecordBytes = p.value("trl-record") == "16" ? 16 : p.value("trl-record") == "20" ? 20 : -1;
    if (o.trlRecordBytes < 0)
        throw UsageError("--trl-record must be 16 or 20");
    if (p.value("encoding") != "utf8" && p.value("encoding") != "sjis")
        throw UsageError("--encoding must be utf8 or sjis");
    o.shiftJis = p.value("encoding") == "sjis";
    o.japanese = p.isSet("japanese");
    o.latitude = numberValue(p, "lat", -80, 80);
    o.longitude = numberValue(p, "lon", -180, 180);
    const auto start = parseSlashText(p.value("start").toStdString());
    if (!start || start->year < 2000 || start->year > 2099)
        throw UsageError("--start must be \"yyyy/mm/dd hh:mm:ss\" in the years 2000 to 2099");
    o.start = *start;
    o.timeDifference = integerValue(p, "time-difference", -12, 14);
    o.windFile = p.isSet("wind-file");
    o.referenceLines = p.isSet("ref-lines");
    static const std::pair<const char *, HardCase> kCases[] = {
        {"ocs", Ocs}, {"miss-mark", MissMark}, {"retire", Retire}, {"few-fixes", FewFixes},
        {"missing-track", MissingTrack}, {"hidden", Hidden}, {"gap", Gap}, {"dip", Dip}, {"overlap", Overlap}};
    for (const auto &[option, flag] : kCases)
        for (const QString &v : p.values(option)) {
            if (v == "all") {
                for (int boat = 1; boat <= o.boats; ++boat)
                    o.hardCases[boat] |= flag;
                continue;
            }
            const int boat = v.toInt(&ok);
            if (!ok || boat < 1 || boat > o.boats)
                throw UsageError(std::string("--") + option + " needs a boat number from 1 to " + std::to_string(o.boats) + " or all");
            o.hardCases[boat] |= flag;
        }
    return o;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("keelrun-simulate");
    QCommandLineParser p;
    p.setApplicationDescription("Simulates a fleet race and writes it as a Keelrun data folder.");
    p.addHelpOption();
    const SimOptions d;
    auto option = [&p](const QString &name, const QString &help, const QString &valueName = {},
                       const QString &byDefault = {}) {
        const QString shown = byDefault.isEmpty() ? help : help + " Default: " + byDefault + ".";
        p.addOption(QCommandLineOption(name, shown, valueName, byDefault));
    };
    option("out", "The data folder to write.", "DIR");
    option("name", "Race name: raceadmin/NAME.txt and the track file names.", "NAME", "race01");
    option("seed", "Random seed; the same seed gives the same race.", "N", "1");
    option("boats", "Number of boats, 1 to 81.", "N", QString::number(d.boats));
    option("classes", "Number of classes, 1 to 10.", "K", QString::number(d.classes));
    option("course", "windward-leeward or triangle.", "KIND", "windward-leeward");
    option("laps", "Laps of the course.", "L", QString::number(d.laps));
    option("fleet", "The boats: keelboat, dinghy or foiler (foiling catamarans).", "KIND", "keelboat");
    option("gate", "A leeward gate instead of a leeward mark.");
    option("minutes", "Approximate race length in minutes.", "M", "60");
    option("format", "Track format: gpx, trb, gdb, mps, trl, dtr, trk, log, tcx, csv, fit, vkx, or mixed (the first eight in turn).", "FORMAT", "mixed");
    option("interval", "Seconds between fixes (0.1: ten a second), or a range MIN-MAX chosen per boat.", "SECONDS", "1-5");
    option("trl-record", "Record size of trl files, 16 or 20 (default: alternate).", "BYTES");
    option("encoding", "Race file encoding: utf8 or sjis.", "ENCODING", "utf8");
    option("japanese", "Japanese title, class and boat names.");
    option("lat", "Latitude of the race area centre, degrees.", "DEG", QString::number(d.latitude));
    option("lon", "Longitude of the race area centre, degrees.", "DEG", QString::number(d.longitude));
    option("start", "The gun, local time \"yyyy/mm/dd hh:mm:ss\".", "TIME", QString::fromStdString(slashText(d.start)));
    option("time-difference", "Hours local time is ahead of UTC.", "H", QString::number(d.timeDifference));
    option("wind-file", "Write winddat/NAME_wind.csv.");
    option("ref-lines", "Write reference lines (RL).");
    option("ocs", "Boat BOAT is over the line at the start and restarts.", "BOAT");
    option("miss-mark", "Boat BOAT misses the first windward mark.", "BOAT");
    option("retire", "Boat BOAT retires in the middle of the race.", "BOAT");
    option("few-fixes", "Boat BOAT's logger keeps fewer than 15 fixes.", "BOAT");
    option("missing-track", "Boat BOAT's track file is not written.", "BOAT");
    option("hidden", "Boat BOAT is hidden in the race file.", "BOAT");
    option("gap", "Boat BOAT's track has a gap of more than an hour.", "BOAT");
    option("dip", "Boat BOAT dips over the start line and back twice before the gun.", "BOAT");
    option("overlap", "Boat BOAT's log holds 30 s twice, as overlapping segments do.", "BOAT");
    p.process(app);

    try {
        const SimOptions o = readOptions(p);
        const SimulatedRace race = simulateRace(o);
        writeRaceFolder(race, p.value("out"));
        int finished = 0;
        for (const SimulatedBoat &b : race.boats)
            finished += b.run.finishTime ? 1 : 0;
        std::printf("%s: %d boats, %d finished; legs of %.0f m; finish time %d min after the gun\n",
                    qPrintable(p.value("out")), o.boats, finished, race.course.legLength, race.finishSeconds / 60);
    } catch (const UsageError &e) {
        std::fprintf(stderr, "keelrun-simulate: %s\n", e.what());
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "keelrun-simulate: %s\n", e.what());
        return 1;
    }
    return 0;
}
