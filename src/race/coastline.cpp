#include "race/coastline.h"

#include <cmath>

#include "base/numbers.h"
#include "base/text_file.h"

namespace keelrun {
namespace {

const QString kGeneralMap = QStringLiteral("TOBA");
const QString kGeneralFile = QStringLiteral("toba");

// Reads `name` of coastline/ when it can be read, passing the text and its
// shown name to `read`; a reader's complaint becomes a warning.
template <typename Read>
void readIfPresent(RaceState &race, const DataFolder &folder, const QString &name, Read read)
{
    const auto file = readTextFile(folder.path(SubFolder::Coastlines, name));
    if (!file)
        return;
    const QString why = read(file->text(), subFolderName(SubFolder::Coastlines) + QLatin1Char('/') + name);
    if (!why.isEmpty())
        race.warnings << why;
}

void readGeneral(RaceState &race, const DataFolder &folder)
{
    readIfPresent(race, folder, kGeneralFile + QStringLiteral(".cst"), [&](std::string_view text, const QString &name) {
        return readGeneralCoastline(text, name, race.coastPoints);
    });
}

void readLights(RaceState &race, const DataFolder &folder, const QString &map)
{
    readIfPresent(race, folder, map.toLower() + QStringLiteral(".lh"), [&](std::string_view text, const QString &name) {
        return readLightList(text, name, race.lights);
    });
}

}  // namespace

CoastWindow coastWindow(const RaceExtent &extent)
{
    CoastWindow w;
    w.size = std::max(1.2 * std::max(std::abs(extent.maxLat - extent.minLat), 0.8 * std::abs(extent.maxLon - extent.minLon)), 3.0);
    w.south = extent.centreLat - w.size / 2;
    w.north = extent.centreLat + w.size / 2;
    w.west = extent.centreLon - w.size / 1.6;
    w.east = extent.centreLon + w.size / 1.6;
    return w;
}

QStringList coastlineMapNames(const CoastWindow &window)
{
    if (window.size > 50)
        return {kGeneralMap};
    // The grid covers Japan's seas; elsewhere its codes name no file.
    if (window.south <= 0 || window.west < 100 * 60 || window.east >= 200 * 60)
        return {};
    QStringList names;
    const int south = roundHalfEven(window.south / 40 - 0.5), north = roundHalfEven(window.north / 40 - 0.5);
    const int west = roundHalfEven(window.west / 60 - 0.5), east = roundHalfEven(window.east / 60 - 0.5);
    for (int lat = south; lat <= north; ++lat) {
        for (int lon = west; lon <= east; ++lon)
            names << QString::number(lat) + QString::number(lon - 100);
    }
    return names;
}

GeoPoint datumShift(double lat, double lon)
{
    const double a = 6377397.155;
    const double fBessel = 1 / 299.152813, fWgs = 1 / 298.257222101;
    const double e2Bessel = 2 * fBessel - fBessel * fBessel, e2Wgs = 2 * fWgs - fWgs * fWgs;
    const double phi = lat / 60, lambda = lon / 60;
    const double s = std::sin(phi * kDegree);
    const double n = a / std::sqrt(1 - e2Bessel * s * s);
    const double x = n * std::cos(phi * kDegree) * std::cos(lambda * kDegree) - 148;
    const double y = n * std::cos(phi * kDegree) * std::sin(lambda * kDegree) + 508;
    const double z = n * (1 - e2Bessel) * s + 680;
    double lambda2 = std::atan(y / x) / kDegree;
    if (lambda2 > 180)
        lambda2 -= 180;
    if (lambda2 < 0)
        lambda2 += 180;
    const double phi2 = std::atan((z / (1 - e2Wgs)) / (y / std::sin(lambda2 * kDegree))) / kDegree;
    return {(phi2 - phi) * 60, (lambda2 - lambda) * 60};
}

void clipToWindow(std::vector<CoastPoint> &points, const CoastWindow &window)
{
    std::size_t kept = 0;
    bool gap = false;
    for (const CoastPoint &p : points) {
        const bool inside = window.south - 5 < p.lat && p.lat < window.north && window.west - 7.5 < p.lon && p.lon < window.east;
        if (!inside) {
            gap = true;
            continue;
        }
        points[kept] = p;
        points[kept].start = p.start || gap || kept == 0;
        gap = false;
        ++kept;
    }
    points.resize(kept);
}

void loadCoastline(RaceState &race, const DataFolder &folder)
{
    race.coastPoints.clear();
    race.lights.clear();
    const CoastWindow window = coastWindow(race.extent);
    race.mapParams = coastlineMapNames(window);
    if (race.mapParams != QStringList{kGeneralMap}) {
        const GeoPoint shift = datumShift(race.extent.centreLat, race.extent.centreLon);
        for (const QString &map : race.mapParams) {
            readIfPresent(race, folder, map + QStringLiteral(".cst"), [&](std::string_view text, const QString &name) {
                return readDetailedCoastline(text, name, window, shift, race.coastPoints);
            });
        }
        for (const QString &map : race.mapParams)
            readLights(race, folder, map);
    }
    // Where no detailed file covers the race the general file serves.
    if (race.coastPoints.empty()) {
        if (!race.mapParams.contains(kGeneralMap))
            race.mapParams << kGeneralMap;
        readGeneral(race, folder);
        readLights(race, folder, kGeneralMap);
    }
    if (race.coastPoints.size() > 10)
        clipToWindow(race.coastPoints, window);
}

}  // namespace keelrun
