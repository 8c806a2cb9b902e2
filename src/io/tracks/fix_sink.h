#pragma once
// The fix sink every track reader feeds: it puts each fix on the race clock
// (seconds from the gun in UTC, plus the boat's logger clock offset) and
// keeps it when it falls in the race window.

#include <cstdint>
#include <optional>

#include <QString>

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

    // A fix at `utc`, position in minutes of arc. Fixes off the globe or off
    // the race clock's range are dropped.
    void add(DateTime utc, double latMinutes, double lonMinutes);
    // The same for a fix at a whole second of a day: `day` is its midnight
    // (UTC), `secondOfDay` 0..86399. Where the start is on a whole second, as
    // nearly always, the race clock is counted in whole seconds, to the very
    // second add() rounds to.
    void addAtSecond(DateTime day, int secondOfDay, double latMinutes, double lonMinutes);
    // The same for a fix at a time of day whose date the file does not
    // give: on the day that puts it within half a day of the start.
    void addNearStart(int secondOfDay, double latMinutes, double lonMinutes);
    // Whether no fix has been kept yet.
    bool keptNone() const { return boat_.sampleCount() == 0; }
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

private:
    // Keeps a fix `seconds` after the start in UTC (kNoSecondsBetween: none).
    void keep(int seconds, double latMinutes, double lonMinutes);

    BoatEntry &boat_;
    DateTime startTimeUtc_;
    std::optional<std::int64_t> startSecond_;  // the start on a whole second, counted from day 0
    int clockOffset_;
    int earliestTime_;
    int skipped_ = 0;
    int damaged_ = 0;
    QString firstDamage_;
};

}  // namespace keelrun
