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
    const double start = startTimeUtc_.days * kSecondsPerDay;
    if (std::abs(start) < 1e12 && std::abs(start - std::round(start)) < 1e-4)
        startSecond_ = std::llround(start);
}

void FixSink::add(DateTime utc, double latMinutes, double lonMinutes)
{
    keep(secondsBetween(startTimeUtc_, utc), latMinutes, lonMinutes);
}

void FixSink::addAtSecond(DateTime day, int secondOfDay, double latMinutes, double lonMinutes)
{
    // The days of a date-time are a double, so secondsBetween rounds a
    // difference that is a whole number of seconds give or take far less
    // than a millisecond: the whole number, which this counts exactly.
    if (!startSecond_ || day.days != std::floor(day.days) || !(std::abs(day.days) < 1e7)) {
        add(addSeconds(day, secondOfDay), latMinutes, lonMinutes);
        return;
    }
    const std::int64_t seconds = static_cast<std::int64_t>(day.days) * 86400 + secondOfDay - *startSecond_;
    const bool fits = seconds >= -std::numeric_limits<int>::max() && seconds <= std::numeric_limits<int>::max();
    keep(fits ? static_cast<int>(seconds) : kNoSecondsBetween, latMinutes, lonMinutes);
}

void FixSink::addNearStart(int secondOfDay, double latMinutes, double lonMinutes)
{
    double day = std::floor(startTimeUtc_.days);
    const double startSecond = (startTimeUtc_.days - day) * kSecondsPerDay;
    if (secondOfDay - startSecond > kSecondsPerDay / 2)
        day -= 1;  // late on the day before the start
    else if (startSecond - secondOfDay > kSecondsPerDay / 2)
        day += 1;  // early on the day after
    addAtSecond(DateTime{day}, secondOfDay, latMinutes, lonMinutes);
}

void FixSink::keep(int seconds, double latMinutes, double lonMinutes)
{
    // A damaged record can hold any bits: positions off the globe and times
    // that cannot be put on the race clock are no fixes.
    if (!(std::abs(latMinutes) <= 90 * 60) || !(std::abs(lonMinutes) <= 180 * 60))
        return;
    if (seconds == kNoSecondsBetween)
        return;
    const std::int64_t time = std::int64_t{seconds} + clockOffset_;
    if (time <= earliestTime_ || time > std::numeric_limits<int>::max())
        return;
    boat_.samples.push_back({static_cast<double>(time), latMinutes, lonMinutes, 0, 0});
}

void FixSink::skip() { ++skipped_; }

}  // namespace keelrun
