#include "io/tracks/fix_sink.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace keelrun {

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
    const std::int64_t time = std::int64_t{seconds} + clockOffset_;
    if (time <= earliestTime_ || time > std::numeric_limits<int>::max())
        return;
    boat_.samples.push_back({static_cast<double>(time), latMinutes, lonMinutes, 0, 0});
}

void FixSink::skip() { ++skipped_; }

}  // namespace keelrun
