#include "io/tracks/fix_sink.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace keelrun {
namespace {

constexpr double kMillisecondsPerDay = kSecondsPerDay * 1000;
constexpr double kUnixEpochDay = 25569;  // 1970-01-01 in days since 1899-12-30
// Fix times further than this from the start (about 68 years) are no times
// a logger could have written: a damaged record's bits.
constexpr std::int64_t kFarthestMilliseconds = std::int64_t{std::numeric_limits<int>::max()} * 1000;

}  // namespace

FixSink::FixSink(const RaceState &race, BoatEntry &boat)
    : boat_(boat),
      startTimeUtc_(race.startTimeUtc),
      clockOffset_(std::int64_t{boat.clockOffset} * 1000),
      earliestTime_(-std::int64_t{race.preStartSeconds + kPreStartMarginSeconds} * 1000)
{
    const double start = startTimeUtc_.days * kMillisecondsPerDay;
    if (std::abs(start) < 1e15 && std::abs(start - std::round(start)) < 1e-3)
        startMillisecond_ = std::llround(start);
}

void FixSink::add(DateTime utc, double latMinutes, double lonMinutes)
{
    const double milliseconds = (utc.days - startTimeUtc_.days) * kMillisecondsPerDay;
    if (std::abs(milliseconds) < static_cast<double>(kFarthestMilliseconds))
        keep(std::llround(milliseconds), latMinutes, lonMinutes);
}

void FixSink::addUnixMilliseconds(std::int64_t milliseconds, double latMinutes, double lonMinutes)
{
    if (const auto since = sinceStart(milliseconds))
        keep(*since, latMinutes, lonMinutes);
}

std::optional<std::int64_t> FixSink::sinceStart(std::int64_t unixMilliseconds) const
{
    // Counted exactly in whole milliseconds where the start is on one; a
    // time too far from 1970 for that to stay in range (a logger's damaged
    // bits, any 64-bit number) is counted through the days, as add() does.
    constexpr std::int64_t epoch = static_cast<std::int64_t>(kUnixEpochDay) * 86'400'000;
    if (startMillisecond_ && unixMilliseconds <= kFarthestMilliseconds && unixMilliseconds >= -kFarthestMilliseconds)
        return epoch + unixMilliseconds - *startMillisecond_;
    const double days = kUnixEpochDay + static_cast<double>(unixMilliseconds) / kMillisecondsPerDay;
    const double milliseconds = (days - startTimeUtc_.days) * kMillisecondsPerDay;
    if (std::abs(milliseconds) < static_cast<double>(kFarthestMilliseconds))
        return std::llround(milliseconds);
    return std::nullopt;
}

std::optional<std::int64_t> FixSink::onRaceClock(std::int64_t unixMilliseconds) const
{
    const auto since = sinceStart(unixMilliseconds);
    if (!since || std::abs(*since) > kFarthestMilliseconds)
        return std::nullopt;
    return *since + clockOffset_;
}

void FixSink::timerGun(std::int64_t unixMilliseconds)
{
    const auto at = onRaceClock(unixMilliseconds);
    if (!at || std::abs(*at) > std::int64_t{kTimerGunReachSeconds} * 1000)
        return;
    if (timerGun_ && std::abs(*timerGun_) <= std::abs(*at))
        return;
    timerGun_ = *at;
    boat_.loggedStart.timerGun = static_cast<double>(*at) / 1000;
}

void FixSink::pingedLineEnd(StartLineEnd end, std::int64_t unixMilliseconds, double latMinutes, double lonMinutes)
{
    if (!(std::abs(latMinutes) <= 90 * 60) || !(std::abs(lonMinutes) <= 180 * 60))
        return;
    const auto at = onRaceClock(unixMilliseconds);
    if (!at || *at > 0 || *at < -std::int64_t{kLinePingReachSeconds} * 1000)
        return;
    std::optional<std::int64_t> &kept = pinged_[end == StartLineEnd::Pin ? 0 : 1];
    if (kept && *kept > *at)
        return;  // a later ping of that end came first in the file
    kept = *at;
    (end == StartLineEnd::Pin ? boat_.loggedStart.pinEnd : boat_.loggedStart.boatEnd) = GeoPoint{latMinutes, lonMinutes};
}

void FixSink::addAtTimeOfDay(DateTime day, std::int64_t millisecond, double latMinutes, double lonMinutes)
{
    // The days of a date-time are a double, so a difference that is a whole
    // number of milliseconds comes out of it give or take far less than
    // one: the whole number, which this counts exactly.
    if (!startMillisecond_ || day.days != std::floor(day.days) || !(std::abs(day.days) < 1e7)) {
        add(addSeconds(day, static_cast<double>(millisecond) / 1000), latMinutes, lonMinutes);
        return;
    }
    keep(static_cast<std::int64_t>(day.days) * 86'400'000 + millisecond - *startMillisecond_, latMinutes, lonMinutes);
}

void FixSink::addNearStart(std::int64_t millisecond, double latMinutes, double lonMinutes)
{
    double day = std::floor(startTimeUtc_.days);
    const double sinceStart = static_cast<double>(millisecond) - (startTimeUtc_.days - day) * kMillisecondsPerDay;
    if (sinceStart > kMillisecondsPerDay / 2)
        day -= 1;  // late on the day before the start
    else if (-sinceStart > kMillisecondsPerDay / 2)
        day += 1;  // early on the day after
    addAtTimeOfDay(DateTime{day}, millisecond, latMinutes, lonMinutes);
}

void FixSink::keep(std::int64_t milliseconds, double latMinutes, double lonMinutes)
{
    // A damaged record can hold any bits: positions off the globe and times
    // that cannot be put on the race clock are no fixes.
    if (!(std::abs(latMinutes) <= 90 * 60) || !(std::abs(lonMinutes) <= 180 * 60))
        return;
    if (std::abs(milliseconds) > kFarthestMilliseconds)
        return;
    const std::int64_t time = milliseconds + clockOffset_;
    if (time <= earliestTime_ || time > kFarthestMilliseconds)
        return;
    keptInTimeOrder_ = keptInTimeOrder_ && time > lastKept_;
    keptOnWholeSeconds_ = keptOnWholeSeconds_ && time % 1000 == 0;
    lastKept_ = time;
    boat_.samples.push_back({static_cast<double>(time) / 1000, latMinutes, lonMinutes, 0, 0});
}

void FixSink::skip() { ++skipped_; }

}  // namespace keelrun
