#pragma once
// The fix sink every track reader feeds: it puts each fix on the race clock
// (seconds from the gun in UTC, plus the boat's logger clock offset) and
// keeps it when it falls in the race window. Fix times are kept to the
// millisecond, the finest any logger writes: a 10 Hz logger's fixes are a
// tenth of a second apart, and the speed between two of them is only right
// with their true spacing.

#include <cstdint>
#include <limits>
#include <optional>

#include <QString>
#include <QStringList>

#include "base/date_time.h"
#include "model/race_state.h"

namespace keelrun {

// Fixes of the pre-start are kept from this many seconds before the window.
inline constexpr int kPreStartMarginSeconds = 60;

// A logger that is also the crew's start timer may log a day of racing, with
// a countdown and line pings for every start. The timer's zero nearest the
// gun is this race's, when within this many seconds of it: the starts of a
// day's races, or of the classes of one race, are five minutes apart or
// more, and a zero within half that is nearer this gun than any other.
inline constexpr int kTimerGunReachSeconds = 150;
// The line ends are the last pinged in this many seconds up to the gun: a
// ping after the gun is for the next start, and one from hours before may be
// of a line laid elsewhere.
inline constexpr int kLinePingReachSeconds = 3600;

// Receives one boat's fixes: race clock, the logger's clock offset, and the
// pre-start filter.
class FixSink {
public:
    FixSink(const RaceState &race, BoatEntry &boat);

    // A fix at `utc`, position in minutes of arc. Fixes off the globe or off
    // the race clock's range are dropped.
    void add(DateTime utc, double latMinutes, double lonMinutes);
    // The same for a fix at a count of milliseconds since 1970-01-01 UTC.
    void addUnixMilliseconds(std::int64_t milliseconds, double latMinutes, double lonMinutes);
    // The same for a fix at a time of a day: `day` is its midnight (UTC),
    // `millisecond` 0..86'399'999 the time after it. Where the start is on a
    // whole millisecond, as nearly always, the race clock is counted in
    // whole milliseconds, to the very one add() rounds to.
    void addAtTimeOfDay(DateTime day, std::int64_t millisecond, double latMinutes, double lonMinutes);
    void addAtSecond(DateTime day, int secondOfDay, double latMinutes, double lonMinutes)
    {
        addAtTimeOfDay(day, secondOfDay * std::int64_t{1000}, latMinutes, lonMinutes);
    }
    // The same for a fix at a time of day whose date the file does not
    // give: on the day that puts it within half a day of the start.
    void addNearStart(std::int64_t millisecond, double latMinutes, double lonMinutes);
    // The crew's start timer reached zero at a count of milliseconds since
    // 1970-01-01 UTC on the logger's clock. Kept when it is the zero nearest
    // the gun within kTimerGunReachSeconds.
    void timerGun(std::int64_t unixMilliseconds);
    // The crew pinged one end of the start line at a count of milliseconds
    // since 1970-01-01 UTC, position in minutes of arc. Kept when it is the
    // end's last ping in the kLinePingReachSeconds up to the gun; a position
    // off the globe is no ping.
    void pingedLineEnd(StartLineEnd end, std::int64_t unixMilliseconds, double latMinutes, double lonMinutes);
    // Whether no fix has been kept yet.
    bool keptNone() const { return boat_.sampleCount() == 0; }
    // Whether each fix kept was later than the one kept before it, as a
    // logger writes them, and whether every one was on a whole second: told
    // as the fixes come, so that the track need not be looked over for it.
    bool keptInTimeOrder() const { return keptInTimeOrder_; }
    bool keptOnWholeSeconds() const { return keptOnWholeSeconds_; }
    // A record that has a position but no readable time: passed over and
    // counted, so that the user hears of it.
    void skip();
    int skipped() const { return skipped_; }
    // A damaged record, one with a value that does not convert: passed over
    // and counted. The first is described, by `describe()`, for the user;
    // the others are only counted, as telling where a record is means
    // counting the lines before it.
    template <typename Describe>
    void passOverDamaged(Describe describe)
    {
        if (damaged_++ == 0)
            firstDamage_ = describe();
    }
    int damaged() const { return damaged_; }
    const QString &firstDamage() const { return firstDamage_; }
    // Something the user hears of the file as a whole rather than of a
    // record: a checksum that does not match the bytes, say. The fixes are
    // read all the same.
    void warn(QString text) { warnings_ << std::move(text); }
    const QStringList &warnings() const { return warnings_; }

private:
    // Keeps a fix `milliseconds` after the start in UTC.
    void keep(std::int64_t milliseconds, double latMinutes, double lonMinutes);
    // Milliseconds from the start in UTC to a Unix time in milliseconds;
    // nothing for a time too far off to count them (keep() and the callers
    // check the race clock's range of what comes back).
    std::optional<std::int64_t> sinceStart(std::int64_t unixMilliseconds) const;
    // The same on the race clock, the logger's clock offset applied.
    std::optional<std::int64_t> onRaceClock(std::int64_t unixMilliseconds) const;

    BoatEntry &boat_;
    DateTime startTimeUtc_;
    std::optional<std::int64_t> startMillisecond_;  // the start on a whole millisecond, counted from day 0
    std::int64_t clockOffset_;                      // milliseconds
    std::int64_t earliestTime_;                     // milliseconds on the race clock
    std::optional<std::int64_t> timerGun_;  // race clock, milliseconds: the zero kept
    std::optional<std::int64_t> pinged_[2];  // the same for the pings kept, by StartLineEnd
    std::int64_t lastKept_ = std::numeric_limits<std::int64_t>::min();
    bool keptInTimeOrder_ = true;
    bool keptOnWholeSeconds_ = true;
    int skipped_ = 0;
    int damaged_ = 0;
    QString firstDamage_;
    QStringList warnings_;
};

}  // namespace keelrun
