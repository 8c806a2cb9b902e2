#include "io/tracks/track_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <QFile>

#include "base/numbers.h"
#include "base/text_file.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

struct NamedFormat {
    const char *extension;
    TrackFormat format;
};

const std::array<NamedFormat, 12> kFormats{{
    {"gpx", {readGpx, 100, false, true, nullptr, 60}},
    {"trb", {readTrb, 100, false, false, nullptr, 12}},
    {"gdb", {readGdb, 50, true, false, nullptr, 16}},
    {"mps", {readMps, 50, true, false, nullptr, 24}},
    {"trl", {readTrl, 50, true, false, nullptr, 16}},
    {"dtr", {readHemisphereText, 100, false, true, nullptr, 40}},
    {"trk", {readHemisphereText, 100, false, true, nullptr, 40}},
    {"log", {readNmea, 100, false, true, nmeaWithoutPositions, 50}},
    {"tcx", {readTcx, 100, false, true, nullptr, 120}},
    {"csv", {readCsv, 100, false, true, csvWithoutColumns, 20}},
    {"fit", {readFit, 100, false, false, fitWithoutPositions, 12}},
    {"vkx", {readVkx, 100, false, false, vkxWithoutPositions, 45}},
}};

constexpr double kDefaultFixInterval = 30;
// The most fixes set aside for a track before it is read: a file of
// hundreds of megabytes, whatever it holds, takes its room as it reads.
constexpr std::size_t kMostFixesSetAside = std::size_t{1} << 24;

// A time to the precision of the log's own times: whole seconds, or
// milliseconds for a logger that writes fractions of a second.
double toLogPrecision(double seconds, bool wholeSeconds)
{
    return wholeSeconds ? roundHalfEven(seconds) : std::round(seconds * 1000) / 1000;
}

// Mean spacing of the fixes, leaving out five at each end where loggers
// often stutter.
double measuredFixInterval(const BoatEntry &boat, int threshold, bool wholeSeconds)
{
    const int n = boat.sampleCount();
    if (n <= threshold)
        return kDefaultFixInterval;
    return toLogPrecision((boat.samples[n - 5].time - boat.samples[5].time) / (n - 10), wholeSeconds);
}

// Corrected time: the race clock after the gun runs at the boat's handicap.
void applyHandicap(BoatEntry &boat, bool wholeSeconds)
{
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        TrackSample &s = boat.samples[i];
        if (s.time > 0)
            s.time = toLogPrecision(boat.handicap * s.time, wholeSeconds);
    }
}

// "1 fix was", "31 fixes were".
QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Puts the fixes in time order, file order among equal times, and keeps one
// fix at each time, the first in the file. Loggers write in time order, but a
// track joined from segments that overlap, or a logger whose clock steps
// back, does not, and a fix back in time reads as a leap at great speed.
// Returns what the user hears of it. Nearly every track comes in order, as
// the fix sink tells: only the others are put in order.
QString putInTimeOrder(BoatEntry &boat, const QString &fileName)
{
    const auto first = boat.samples.begin() + 1, last = boat.samples.end();
    int outOfOrder = 0;
    double latest = -std::numeric_limits<double>::infinity();
    for (auto s = first; s != last; ++s) {
        outOfOrder += s->time < latest;
        latest = std::max(latest, s->time);
    }
    if (outOfOrder > 0)
        std::stable_sort(first, last, [](const TrackSample &a, const TrackSample &b) { return a.time < b.time; });
    const auto kept = std::unique(first, last, [](const TrackSample &a, const TrackSample &b) { return a.time == b.time; });
    const auto repeated = static_cast<int>(last - kept);
    boat.samples.erase(kept, last);

    QStringList what;
    if (outOfOrder > 0)
        what << counted(outOfOrder, "fix out of time order was", "fixes out of time order were") + QLatin1String(" put in order");
    if (repeated > 0)
        what << counted(repeated, "fix at a time already taken was", "fixes at a time already taken were") + QLatin1String(" dropped");
    return fileName + QLatin1String(": ") + what.join(QLatin1String("; "));
}

// What the user hears of the records of a file that were passed over.
QStringList passedOver(const QString &fileName, const FixSink &sink)
{
    QStringList warnings;
    if (sink.skipped() > 0)
        warnings << QStringLiteral("%1: %2 track points without a readable time were skipped").arg(fileName, QString::number(sink.skipped()));
    if (sink.damaged() == 1)
        warnings << QStringLiteral("%1: 1 damaged record was skipped, %2").arg(fileName, sink.firstDamage());
    else if (sink.damaged() > 1)
        warnings << QStringLiteral("%1: %2 damaged records were skipped; the first, %3").arg(fileName, QString::number(sink.damaged()), sink.firstDamage());
    for (const QString &warning : sink.warnings())
        warnings << fileName + QLatin1String(": ") + warning;
    return warnings;
}

}  // namespace

const TrackFormat *trackFormatFor(const QString &trackFile)
{
    const QString extension = trackFile.right(3).toLower();
    const auto it = std::find_if(kFormats.begin(), kFormats.end(),
                                 [&](const NamedFormat &f) { return extension == QLatin1String(f.extension); });
    return it == kFormats.end() ? nullptr : &it->format;
}

DecodedTrack decodeTrack(const RaceState &race, const DataFolder &folder, BoatEntry boat)
{
    DecodedTrack decoded{std::move(boat), {}, {}};
    BoatEntry &entry = decoded.boat;
    entry.samples.assign(1, TrackSample{});
    entry.loggedStart = {};
    entry.fixInterval = 0;
    const TrackFormat *format = trackFormatFor(entry.trackFile);
    if (!format) {
        decoded.result.problem = QStringLiteral("track files ending .%1 are not known").arg(entry.trackFile.right(3));
        return decoded;
    }
    const auto path = folder.find(SubFolder::Tracks, entry.trackFile);
    if (!path) {
        decoded.result.problem = QStringLiteral("the track file is missing");
        return decoded;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        decoded.result.problem = file.errorString();
        return decoded;
    }
    const QByteArray bytes = format->text ? utf16AsUtf8(file.readAll()) : file.readAll();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    entry.samples.reserve(1 + std::min(view.size() / static_cast<std::size_t>(format->bytesPerFix), kMostFixesSetAside));
    FixSink sink(race, entry);
    const TrackContext context{subFolderName(SubFolder::Tracks) + QLatin1Char('/') + entry.trackFile, race.raceDate};
    format->decode(view, context, sink);
    decoded.warnings = passedOver(context.fileName, sink);
    if (entry.sampleCount() == 0 && format->whyNoFix)
        decoded.result.problem = format->whyNoFix(view);
    if (!sink.keptInTimeOrder()) {
        if (const QString ordered = putInTimeOrder(entry, context.fileName); !ordered.isEmpty())
            decoded.warnings << ordered;
    }

    // Whether every fix is on a whole second: the logs of loggers that
    // write once a second or less often. The fixes put in order are the
    // ones kept, less some at times already taken.
    const bool wholeSeconds = sink.keptOnWholeSeconds();
    entry.fixInterval = measuredFixInterval(entry, format->fixIntervalThreshold, wholeSeconds);
    if (race.ctMode > 0 && entry.sampleCount() > 100 && entry.handicap > 0)
        applyHandicap(entry, wholeSeconds);
    decoded.result.beep = format->beepsWhenDone;
    return decoded;
}

}  // namespace keelrun
