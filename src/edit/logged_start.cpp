#include "edit/logged_start.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace keelrun {
namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::optional<GeoPoint> medianPoint(const std::vector<GeoPoint> &points)
{
    if (points.empty())
        return std::nullopt;
    std::vector<double> lat, lon;
    for (const GeoPoint &p : points) {
        lat.push_back(p.lat);
        lon.push_back(p.lon);
    }
    return GeoPoint{median(lat), median(lon)};
}

}  // namespace

FleetLoggedStart fleetLoggedStart(const RaceState &race)
{
    std::vector<double> guns;
    std::vector<GeoPoint> pins, boats;
    for (int b = 1; b <= race.boatCount; ++b) {
        const LoggedStart &logged = race.boats[b].loggedStart;
        if (logged.timerGun)
            guns.push_back(*logged.timerGun);
        if (logged.pinEnd && logged.boatEnd) {
            pins.push_back(*logged.pinEnd);
            boats.push_back(*logged.boatEnd);
        }
    }
    FleetLoggedStart start;
    start.timers = static_cast<int>(guns.size());
    start.pings = static_cast<int>(pins.size());
    if (!guns.empty())
        start.gun = std::round(median(guns));
    start.pinEnd = medianPoint(pins);
    start.boatEnd = medianPoint(boats);
    return start;
}

QString loggedStartSummary(const RaceState &race, const FleetLoggedStart &start)
{
    if (!start.any())
        return QStringLiteral("No logger recorded the start");
    QStringList parts;
    if (start.gun) {
        const QString shift = *start.gun == 0 ? QStringLiteral("as set")
                                              : QStringLiteral("%1%2 s").arg(*start.gun > 0 ? "+" : "").arg(*start.gun);
        parts << QStringLiteral("Loggers' gun %1 (%2, %3 %4)")
                     .arg(timeText(addSeconds(race.startTime, *start.gun)), shift)
                     .arg(start.timers)
                     .arg(start.timers == 1 ? "boat" : "boats");
    }
    if (start.pinEnd && start.boatEnd)
        parts << QStringLiteral("line pinged by %1 %2").arg(start.pings).arg(start.pings == 1 ? "boat" : "boats");
    return parts.join(QStringLiteral("; "));
}

}  // namespace keelrun
