#pragma once
// The fix sink every track reader feeds: it puts each fix on the race clock
// (seconds from the gun in UTC, plus the boat's logger clock offset) and
// keeps it when it falls in the race window.

#include "base/date_time.h"
#include "model/race_state.h"

namespace keelrun {

// Fixes of the pre-start are kept from this many seconds before the window.
inline constexpr int kPreStartMarginSeconds = 60;

// Receives one boat's fixes: race clock, the logger's clock offset, and the
// pre-start filter.
class FixSink {
public:
    FixSink(const RaceState &race, BoatEntry &boat);

    // A fix at `utc`, position in minutes of arc.
    void add(DateTime utc, double latMinutes, double lonMinutes);

private:
    BoatEntry &boat_;
    DateTime startTimeUtc_;
    int clockOffset_;
    int earliestTime_;
};

}  // namespace keelrun
