#pragma once
// The start as the fleet's own loggers recorded it, where they are also the
// crews' start timers: the timers' zero and the pinged ends of the start
// line, which the organiser can take as the race's gun and start line.

#include <optional>

#include <QString>

#include "model/race_state.h"

namespace keelrun {

// What the boats' loggers agree on: the median of the timers' zeros (race
// clock seconds, to the whole second: a crew syncs its timer to the gun by
// hand) and the median of each pinged end. Nothing where no logger has it.
struct FleetLoggedStart {
    std::optional<double> gun;
    std::optional<GeoPoint> pinEnd, boatEnd;
    int timers = 0;  // boats whose timer reached zero near the gun
    int pings = 0;   // boats that pinged both ends
    bool any() const { return gun || (pinEnd && boatEnd); }
};
FleetLoggedStart fleetLoggedStart(const RaceState &race);

// "Loggers' gun 15:10:02 (+2 s, 3 boats); line pinged by 2 boats", or
// "No logger recorded the start".
QString loggedStartSummary(const RaceState &race, const FleetLoggedStart &start);

}  // namespace keelrun
