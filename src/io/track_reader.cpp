#include "io/track_reader.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QFile>

#include "io/load_error.h"
#include "io/numbers.h"
#include "io/track_bytes.h"

namespace keelrun {
namespace {

struct NamedFormat {
    const char *extension;
    TrackFormat format;
};

const std::array<NamedFormat, 8> kFormats{{
    {"gpx", {readGpx, 100, true, false}},
    {"trb", {readTrb, 100, true, false}},
    {"gdb", {readGdb, 50, false, true}},
    {"mps", {readMps, 50, false, true}},
    {"trl", {readTrl, 50, false, true}},
    {"dtr", {readHemisphereText, 100, true, false}},
    {"trk", {readHemisphereText, 100, true, false}},
    {"log", {readNmea, 100, true, false}},
}};

constexpr int kDefaultFixInterval = 30;

// Mean spacing of the fixes, leaving out five at each end where loggers
// often stutter.
int measuredFixInterval(const BoatEntry &boat, int threshold)
{
    const int n = boat.sampleCount();
    if (n <= threshold)
        return kDefaultFixInterval;
    return roundHalfEven((boat.samples[n - 5].time - boat.samples[5].time) / (n - 10));
}

// Corrected time: the race clock after the gun runs at the boat's handicap.
void applyHandicap(BoatEntry &boat)
{
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        TrackSample &s = boat.samples[i];
        if (s.time > 0)
            s.time = roundHalfEven(boat.handicap * s.time);
    }
}

// Boat n's entry moves to `slot` with an empty track.
BoatEntry &prepareSlot(RaceState &race, int n, int slot)
{
    BoatEntry &entry = race.boats[slot];
    if (slot != n)
        entry = std::move(race.boats[n]);
    entry.samples.assign(1, TrackSample{});
    entry.fixInterval = 0;
    return entry;
}

}  // namespace

FixSink::FixSink(const RaceState &race, BoatEntry &boat)
    : boat_(boat),
      startTimeUtc_(race.startTimeUtc),
      clockOffset_(boat.clockOffset),
      earliestTime_(-race.preStartSeconds - kPreStartMarginSeconds)
{
}

void FixSink::add(DateTime utc, double latMinutes, double lonMinutes)
{
    // A damaged record can hold any bits: positions off the globe and times
    // that cannot be put on the race clock are no fixes.
    if (!(std::abs(latMinutes) <= 90 * 60) || !(std::abs(lonMinutes) <= 180 * 60))
        return;
    const int seconds = secondsBetween(startTimeUtc_, utc);
    if (seconds == kNoSecondsBetween)
        return;
    const int time = seconds + clockOffset_;
    if (time <= earliestTime_)
        return;
    boat_.samples.push_back({static_cast<double>(time), latMinutes, lonMinutes, 0, 0});
}

const TrackFormat *trackFormatFor(const QString &trackFile)
{
    const QString extension = trackFile.right(3).toLower();
    const auto it = std::find_if(kFormats.begin(), kFormats.end(),
                                 [&](const NamedFormat &f) { return extension == QLatin1String(f.extension); });
    return it == kFormats.end() ? nullptr : &it->format;
}

TrackReadResult readTrack(RaceState &race, const DataFolder &folder, int n)
{
    BoatEntry &boat = prepareSlot(race, n, n - race.droppedBoats);
    const TrackFormat *format = trackFormatFor(boat.trackFile);
    if (!format)
        return {false, QStringLiteral("track files ending .%1 are not known").arg(boat.trackFile.right(3))};
    const auto path = folder.find(QStringLiteral("gpsdat"), boat.trackFile);
    if (!path)
        return {false, QStringLiteral("the track file is missing")};
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, file.errorString()};
    const QByteArray bytes = file.readAll();

    FixSink sink(race, boat);
    const TrackContext context{QStringLiteral("gpsdat/") + boat.trackFile, race.raceDate};
    format->decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), context, sink);

    if (format->resetsZoom && boat.sampleCount() < 100)
        race.zoomDivisor = 1;
    boat.fixInterval = measuredFixInterval(boat, format->fixIntervalThreshold);
    if (race.ctMode > 0 && boat.sampleCount() > 100 && boat.handicap > 0)
        applyHandicap(boat);
    return {format->beepsWhenDone, {}};
}

std::optional<double> coordinateMinutes(std::string_view number, CoordinateForm form)
{
    if (form == CoordinateForm::DecimalDegrees) {
        const auto degrees = parseNumber(number);
        return degrees ? std::optional<double>(*degrees * 60) : std::nullopt;
    }
    // Whole degrees, then two digits of minutes (and two of seconds), then
    // the decimals.
    const std::size_t point = number.find('.');
    const std::size_t degreeDigits = form == CoordinateForm::DegreesMinutes ? 2 : 4;
    if (point == std::string_view::npos || point < degreeDigits)
        return std::nullopt;
    const std::string_view degreeText = number.substr(0, point - degreeDigits);
    const auto degrees = degreeText.empty() ? std::optional<int>(0) : parseInteger(degreeText);
    if (!degrees)
        return std::nullopt;
    if (form == CoordinateForm::DegreesMinutes) {
        const auto minutes = parseNumber(number.substr(point - 2));
        return minutes ? std::optional<double>(*degrees * 60 + *minutes) : std::nullopt;
    }
    const auto minutes = parseInteger(number.substr(point - 4, 2));
    const auto seconds = parseNumber(number.substr(point - 2));
    if (!minutes || !seconds)
        return std::nullopt;
    return *degrees * 60 + *minutes + *seconds / 60;
}

void throwTrackError(const TrackContext &context, std::string_view bytes, std::size_t offset, std::string_view text,
                     const char *expected)
{
    offset = std::min(offset, bytes.size());
    const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 60)));
    throw LoadError(QStringLiteral("%1:%2 (byte %3): \"%4\" is not %5")
                        .arg(context.fileName)
                        .arg(line)
                        .arg(offset)
                        .arg(shown, QLatin1String(expected)));
}

}  // namespace keelrun
