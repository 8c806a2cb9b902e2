#include "edit/wind_edit.h"

#include "base/numbers.h"

namespace keelrun {
namespace {

constexpr int kGraphLeft = 40, kGraphTop = 40;

int graphWidth(int mapWidth) { return roundHalfEven(mapWidth / 2.0 - 45); }

}  // namespace

std::optional<WindSample> windRecordAt(const RaceState &race, QPoint at, int mapWidth, int clientHeight)
{
    const int width = graphWidth(mapWidth), height = clientHeight - 77;
    if (at.x() < kGraphLeft || at.x() > kGraphLeft + width || width <= 0 || height <= 0)
        return std::nullopt;
    WindSample record;
    record.time = roundHalfEven(race.windowLength * (kGraphTop + height - at.y()) / double(height) + race.windowStart);
    int d = roundHalfEven((360.0 * at.x() - 14400) / width) + race.windDirection - 90;
    if (d < 0)
        d += 360;
    record.twd = d <= 360 ? d : d - 360;
    return record;
}

WindMarkers windMarkers(QPoint pointer, int mapWidth)
{
    const double width = graphWidth(mapWidth);
    return {roundHalfEven(pointer.x() - 0.125 * width), roundHalfEven(pointer.x() + 0.125 * width),
            roundHalfEven(pointer.x() + 0.5 * width), pointer.y() - 10};
}

}  // namespace keelrun
