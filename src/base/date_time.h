#pragma once
// Date-times as the race files keep them: days since 1899-12-30 00:00 as a
// 64-bit float, with no zone of their own (local race time or UTC, as the
// field says).

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include <QDate>
#include <QDateTime>
#include <QString>

namespace keelrun {

struct DateTime {
    double days = 0;

    friend bool operator==(const DateTime &, const DateTime &) = default;
};

// The result of secondsBetween when the two date-times cannot be compared.
inline constexpr int kNoSecondsBetween = -1000000;
inline constexpr double kSecondsPerDay = 86400.0;

DateTime makeDateTime(int year, int month, int day, int hour = 0, int minute = 0, double second = 0);
// The few below are inline: the track readers call them for every fix.
inline DateTime addSeconds(DateTime t, double seconds) { return {t.days + seconds / kSecondsPerDay}; }
DateTime wholeDay(DateTime t);

// Accepts "yyyy/m/d h:m:s" (one- or two-digit parts), "yyyy-mm-dd", the ISO
// 8601 form with "T", a date alone, and a time without seconds. Fractions of
// a second are kept. Returns nothing for any other text or an impossible date.
std::optional<DateTime> parseDateTime(std::string_view text);

// A calendar date, or nothing when there is no such day.
std::optional<DateTime> validDate(int year, int month, int day);
// Seconds since midnight, or nothing for an impossible time of day.
inline std::optional<int> secondsOfDay(int hour, int minute, int second)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

// "h:m:s" (one or two digits each) as seconds since midnight. The form with
// `seconds` returns whether the text reads; the readers call it for every
// fix, where the optional's trip through memory would cost more than the
// reading.
bool parseTimeOfDay(std::string_view text, int &seconds);
inline std::optional<int> parseTimeOfDay(std::string_view text)
{
    int seconds;
    return parseTimeOfDay(text, seconds) ? std::optional<int>(seconds) : std::nullopt;
}

// b - a in whole seconds: the absolute difference rounded half up, negative
// when b is more than a millisecond earlier than a; kNoSecondsBetween when the
// difference does not fit.
inline int secondsBetween(DateTime a, DateTime b)
{
    const double seconds = (b.days - a.days) * kSecondsPerDay;
    if (!std::isfinite(seconds))
        return kNoSecondsBetween;
    const double whole = std::floor(std::fabs(seconds) + 0.5);
    if (whole > std::numeric_limits<int>::max())
        return kNoSecondsBetween;
    const int result = static_cast<int>(whole);
    return seconds < -0.001 ? -result : result;
}

QDateTime toQDateTime(DateTime t);       // the same wall-clock reading, in a zone without daylight saving
DateTime fromQDateTime(const QDateTime &t);
QString isoText(DateTime t);             // yyyy-MM-ddTHH:mm:ss
QString shortDateText(DateTime t);       // the user's short date form
QString dateTimeText(DateTime t);        // the user's short date and long time (with seconds), no zone
QString timeText(DateTime t);            // the user's long time (with seconds), no zone

}  // namespace keelrun
