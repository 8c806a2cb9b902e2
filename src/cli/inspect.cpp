#include "cli/inspect.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "base/parallel.h"
#include "race/leg_analysis.h"
#include "race/live_numbers.h"
#include "race/manoeuvres.h"
#include "race/plane.h"
#include "race/start_analysis.h"

namespace keelrun {
namespace {

using Json = nlohmann::ordered_json;

std::string utf8(const QString &text) { return text.toStdString(); }

Json texts(const QStringList &list)
{
    Json out = Json::array();
    for (const QString &item : list)
        out.push_back(utf8(item));
    return out;
}

std::string hexColour(Rgb c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
    return buffer;
}

// A whole number as one ("30"), any other as a fraction ("0.1").
Json wholeOrFraction(double value)
{
    return value == std::floor(value) && std::abs(value) < 1e15 ? Json(static_cast<long long>(value)) : Json(value);
}

Json point(const GeoPoint &p) { return {{"lat", p.lat}, {"lon", p.lon}}; }

// Entries 1..count of a table numbered by course item or leg.
template <typename T>
Json itemsJson(const ItemTable<T> &table, int count)
{
    Json out = Json::array();
    for (int k = 1; k <= count; ++k)
        out.push_back(table[k]);
    return out;
}

Json extentJson(const RaceExtent &e)
{
    return {{"maxLat", e.maxLat}, {"minLat", e.minLat},       {"maxLon", e.maxLon},
            {"minLon", e.minLon}, {"centreLat", e.centreLat}, {"centreLon", e.centreLon},
            {"cosLat", e.cosLat}, {"latSpan", e.latSpan},     {"lonSpan", e.lonSpan}};
}

Json resultsJson(const RaceState &s)
{
    const int n = s.courseLength();
    Json points = Json::array();
    for (int k = 1; k <= n; ++k)
        points.push_back(point(s.legs.coursePoint[k]));
    return {
        {"firstPassTime", itemsJson(s.results.firstPassTime, n)},
        {"leaderAt", itemsJson(s.results.leaderAt, n)},
        {"lastFinishTime", s.results.lastFinishTime},
        {"finishLine", s.results.finishLine},
        {"legBearing", itemsJson(s.legs.legBearing, n - 1)},
        {"legLength", itemsJson(s.legs.legLength, n)},
        {"turnBisector", itemsJson(s.legs.turnBisector, n - 1)},
        {"legKind", itemsJson(s.legs.legKind, n - 1)},
        {"coursePoint", points},
    };
}

Json sampleJson(const TrackSample &s) { return {{"time", s.time}, {"lat", s.lat}, {"lon", s.lon}}; }

// The sample arrays, one per field.
Json sampleArrays(const BoatEntry &boat)
{
    Json time = Json::array(), lat = Json::array(), lon = Json::array(), speed = Json::array(), heading = Json::array();
    for (int i = 1; i <= boat.sampleCount(); ++i) {
        const TrackSample &s = boat.samples[i];
        time.push_back(s.time);
        lat.push_back(s.lat);
        lon.push_back(s.lon);
        speed.push_back(s.speed);
        heading.push_back(s.heading);
    }
    return {{"time", time}, {"lat", lat}, {"lon", lon}, {"speed", speed}, {"heading", heading}};
}

Json boatResultsJson(const BoatEntry &boat, int courseLength)
{
    return {
        {"roundingTime", itemsJson(boat.roundingTime, courseLength)},
        {"overEarly", boat.overEarly},
        {"missedItem", boat.missedItem},
        {"finishRank", boat.finishRank},
        {"legDistance", itemsJson(boat.legDistance, courseLength)},
        {"upwindTime", boat.upwindTime},
        {"downwindTime", boat.downwindTime},
        {"upwindDistance", boat.upwindDistance},
        {"downwindDistance", boat.downwindDistance},
    };
}

// What the boat's logger recorded of the start, only what it has.
Json loggedStartJson(const LoggedStart &logged)
{
    Json j = Json::object();
    if (logged.timerGun)
        j["timerGun"] = *logged.timerGun;
    if (logged.pinEnd)
        j["pinEnd"] = point(*logged.pinEnd);
    if (logged.boatEnd)
        j["boatEnd"] = point(*logged.boatEnd);
    return j;
}

Json boatJson(const BoatEntry &boat, int courseLength, const InspectOptions &options)
{
    Json j = {
        {"trackFile", utf8(boat.trackFile)},
        {"name", utf8(boat.name)},
        {"classIndex", boat.classIndex},
        {"handicap", boat.handicap},
        {"clockOffset", boat.clockOffset},
        {"shown", boat.shown},
        {"colour", hexColour(boat.colour)},
        {"kmlColour", utf8(boat.kmlColour)},
        {"sampleCount", boat.sampleCount()},
        {"fixInterval", wholeOrFraction(boat.fixInterval)},
    };
    if (boat.sampleCount() > 0) {
        j["firstSample"] = sampleJson(boat.samples[1]);
        j["lastSample"] = sampleJson(boat.samples.back());
    }
    if (boat.loggedStart.any())
        j["loggedStart"] = loggedStartJson(boat.loggedStart);
    j.update(boatResultsJson(boat, courseLength));
    if (options.samples)
        j.update(sampleArrays(boat));
    return j;
}

Json manoeuvresJson(const std::vector<Manoeuvre> &manoeuvres)
{
    Json list = Json::array();
    for (const Manoeuvre &m : manoeuvres)
        list.push_back({{"time", m.time}, {"kind", utf8(manoeuvreKindName(m.kind))}, {"atMark", m.atMark},
                        {"headingIn", m.headingIn}, {"headingOut", m.headingOut}, {"speedIn", m.speedIn},
                        {"speedOut", m.speedOut}, {"duration", m.duration}, {"lossMetres", m.lossMetres},
                        {"lossSeconds", m.lossSeconds}});
    return list;
}

// Sets `key` when the figure is known.
void setKnown(Json &j, const char *key, const std::optional<double> &value)
{
    if (value)
        j[key] = *value;
}

Json startJson(const BoatStart &start)
{
    Json j = Json::object();
    setKnown(j, "metresFromLine", start.metresFromLine);
    setKnown(j, "placeAlongLine", start.placeAlongLine);
    setKnown(j, "knotsAtGun", start.knotsAtGun);
    setKnown(j, "startTime", start.startTime);
    setKnown(j, "knotsAtStart", start.knotsAtStart);
    j["overEarly"] = start.overEarly;
    Json approach = Json::array();
    for (std::size_t k = 0; k < kApproachMoments.size(); ++k) {
        if (start.approach[k])
            approach.push_back({{"time", kApproachMoments[k]}, {"lat", start.approach[k]->lat}, {"lon", start.approach[k]->lon}});
    }
    j["approach"] = approach;
    return j;
}

// The legs the boat sailed, each with its number.
Json legsJson(const ItemTable<LegResult> &legs, int courseLength)
{
    Json list = Json::array();
    for (int k = 1; k < courseLength; ++k) {
        const LegResult &leg = legs[k];
        if (!leg.sailed)
            continue;
        Json j = {{"leg", k}, {"seconds", leg.seconds}, {"sailedMetres", leg.sailedMetres}};
        setKnown(j, "efficiency", leg.efficiency);
        j.update({{"vmgKnots", leg.vmgKnots}, {"tacks", leg.tacks}, {"gybes", leg.gybes},
                  {"manoeuvreSeconds", leg.manoeuvreSeconds}, {"place", leg.place}, {"placesGained", leg.placesGained}});
        setKnown(j, "targetShare", leg.targetShare);
        list.push_back(std::move(j));
    }
    return list;
}

Json polarJson(const FleetPolar &polar)
{
    Json bins = Json::array();
    for (const PolarBin &bin : polar.bins) {
        Json j = {{"twaFrom", bin.twaFrom}};
        if (bin.twsFrom)
            j["twsFrom"] = *bin.twsFrom;
        j["fixes"] = bin.fixes;
        setKnown(j, "target", bin.target);
        bins.push_back(std::move(j));
    }
    return {{"windFromRecords", polar.windFromRecords}, {"bandsByWindSpeed", polar.bandsByWindSpeed},
            {"angleBinDegrees", kAngleBinDegrees},      {"windBandKnots", kWindBandKnots},
            {"targetFixes", kTargetFixes},              {"targetPercentile", kTargetPercentile},
            {"bins", bins}};
}

// The fleet at race clock t as the running leaderboard and the live
// numbers show it.
Json liveJson(const RaceState &s, double t)
{
    Json boats = Json::array();
    for (const LiveNumbers &n : liveNumbers(s, courseProgress(s), t)) {
        boats.push_back({{"boat", n.boat},
                         {"name", utf8(s.boats[n.boat].name)},
                         {"rank", n.rank},
                         {"finished", n.finished},
                         {"leg", n.leg},
                         {"progressMetres", n.progressMetres},
                         {"distanceToGoMetres", n.distanceToGoMetres},
                         {"toNextMetres", n.toNextMetres},
                         {"gapSeconds", n.gapSeconds},
                         {"gapMetres", n.gapMetres},
                         {"sog", n.sog},
                         {"cog", n.cog},
                         {"vmg", n.vmg}});
    }
    return {{"raceClock", t}, {"boats", boats}};
}

Json windJson(const RaceState &s)
{
    Json time = Json::array(), tws = Json::array(), twd = Json::array();
    for (int i = 1; i <= s.windSampleCount(); ++i) {
        time.push_back(s.windSamples[i].time);
        tws.push_back(s.windSamples[i].tws);
        twd.push_back(s.windSamples[i].twd);
    }
    return {{"time", time}, {"tws", tws}, {"twd", twd}};
}

Json courseJson(const RaceState &s)
{
    Json marks = Json::array();
    for (int i = 1; i <= s.markCount; ++i)
        marks.push_back({{"lat", s.marks[i].lat}, {"lon", s.marks[i].lon}});
    auto linesJson = [](const auto &table, int count) {
        Json out = Json::array();
        for (int i = 1; i <= count; ++i)
            out.push_back({{"end1", point(table[i].end1)}, {"end2", point(table[i].end2)}});
        return out;
    };
    return {
        {"marks", marks},
        {"lines", linesJson(s.lines, s.lineCount)},
        {"refLines", linesJson(s.refLines, s.refLineCount)},
        {"course", texts(s.course)},
    };
}

// The coastline read for the race: its size, the lights and, when asked,
// every point with true latitudes and where each polyline starts.
Json coastlineJson(const RaceState &s, const InspectOptions &options)
{
    Json j;
    j["coastPointCount"] = s.coastPoints.size();
    Json lights = Json::array();
    for (const Light &light : s.lights)
        lights.push_back({{"name", utf8(light.name)}, {"lat", light.lat}, {"lon", light.lon}, {"period", light.period},
                          {"flashes", light.flashes}, {"colours", utf8(light.colours)}, {"range", light.range}});
    j["lights"] = lights;
    if (options.coast) {
        Json points = Json::array();
        for (const CoastPoint &p : s.coastPoints)
            points.push_back({{"lat", p.lat}, {"lon", p.lon}, {"start", p.start}});
        j["coastPoints"] = points;
    }
    return j;
}

}  // namespace

std::string inspectJson(const RaceState &s, const InspectOptions &options)
{
    Json j;
    j["raceFilePath"] = utf8(s.raceFilePath);
    j["raceFileName"] = utf8(s.raceFileName);
    j["raceFileEncoding"] = s.raceFileEncoding.kind == TextEncoding::ShiftJis ? "Shift_JIS" : "UTF-8";
    j["title"] = utf8(s.title);
    j["subtitle"] = utf8(s.subtitle);
    j["note"] = utf8(s.note);
    j["flagText"] = utf8(s.flagText);
    j["startTime"] = utf8(isoText(s.startTime));
    j["finishTime"] = utf8(isoText(s.finishTime));
    j["timeDifference"] = s.timeDifference;
    j["startTimeUtc"] = utf8(isoText(s.startTimeUtc)) + "Z";
    j["finishTimeUtc"] = utf8(isoText(s.finishTimeUtc)) + "Z";
    j["raceDate"] = utf8(isoText(s.raceDate));
    j["raceDuration"] = s.raceDuration;
    j["preStartSeconds"] = s.preStartSeconds;
    j["windowStart"] = s.windowStart;
    j["windowEnd"] = s.windowEnd;
    j["windowLength"] = s.windowLength;
    j["classesEnabled"] = s.classesEnabled;
    j["classCount"] = s.classCount;
    j["boatCount"] = s.boatCount;
    j["droppedBoats"] = s.droppedBoats;
    j["handicapsPresent"] = s.handicapsPresent;
    j["ctMode"] = s.ctMode;
    j["markCount"] = s.markCount;
    j["lineCount"] = s.lineCount;
    j["refLineCount"] = s.refLineCount;
    j["courseLength"] = s.courseLength();
    j["mapParams"] = texts(s.mapParams);
    j.update(coastlineJson(s, options));
    j["laylineAngles"] = s.laylineAngles;
    j["boatLength"] = s.boatLength;
    j["magneticVariation"] = s.magneticVariation;
    j["windDirectionValue"] = s.windDirectionValue;
    j["windDirection"] = s.windDirection;
    j["windFile"] = utf8(s.windFile);
    j["windSampleCount"] = s.windSampleCount();
    j["maxWindSpeed"] = s.maxWindSpeed;
    j["windSamples"] = windJson(s);
    j["northUp"] = s.northUp;
    j["initialPlaySpeed"] = s.initialPlaySpeed;
    j["coverPresent"] = s.coverPresent;
    j["raceExtent"] = extentJson(s.extent);
    j["sunrise"] = s.daylight.sunrise;
    j["sunset"] = s.daylight.sunset;
    j["dayOffset"] = s.daylight.dayOffset;
    j["topSpeed"] = s.topSpeed;
    j.update(resultsJson(s));
    j["attachments"] = texts(s.attachments);

    Json classes = Json::array();
    for (int i = 1; i <= s.classCount; ++i)
        classes.push_back({{"name", utf8(s.classes[i].name)}});
    j["classes"] = classes;
    j.update(courseJson(s));
    j["warnings"] = texts(s.warnings);

    // With wind records, how far the fleet's reading is from them.
    const WindDirectionAt recorded = raceWind(s);
    Json estimate = Json::array();
    for (const WindEstimate &w : s.estimatedWind) {
        estimate.push_back({{"time", w.time}, {"twd", w.twd}});
        if (s.windSampleCount() > 0)
            estimate.back()["differenceFromWindFile"] = signedAngle(w.twd - recorded(w.time));
    }
    j["estimatedWind"] = estimate;

    // The boats, each on its own processor, then in boat order.
    const FleetFixes fixes = fleetSteadyFixes(s);
    const FleetPolar polar = fleetPolar(s, fixes);
    const auto legs = analyseLegs(s, fixes, polar);
    std::vector<Json> boatsJson(static_cast<std::size_t>(s.boatCount) + 1);
    parallelFor(1, s.boatCount, [&](int i) {
        Json &boat = boatsJson[static_cast<std::size_t>(i)];
        boat = boatJson(s.boats[i], s.courseLength(), options);
        boat["manoeuvres"] = manoeuvresJson(s.boats[i].manoeuvres);
        boat["start"] = startJson(analyseStart(s, s.boats[i]));
        boat["legs"] = legsJson(legs[static_cast<std::size_t>(i)], s.courseLength());
    });
    Json boats = Json::array();
    for (int i = 1; i <= s.boatCount; ++i)
        boats.push_back(std::move(boatsJson[static_cast<std::size_t>(i)]));
    j["boats"] = std::move(boats);
    j["polars"] = polarJson(polar);
    if (options.at)
        j["live"] = liveJson(s, *options.at);
    return j.dump(2) + "\n";
}

}  // namespace keelrun
