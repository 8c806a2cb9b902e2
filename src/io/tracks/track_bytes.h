#pragma once
// Helpers shared by the track readers: little-endian fields, Unix and ISO
// 8601 times, coordinate texts and the description of a damaged record's
// place.

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/byte_words.h"
#include "base/date_time.h"
#include "io/tracks/track_reader.h"

namespace keelrun {

inline std::int32_t int32At(std::string_view bytes, std::size_t offset)
{
    unsigned char b[4];
    std::memcpy(b, bytes.data() + offset, 4);
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                     std::uint32_t(b[3]) << 24);
}

inline float floatAt(std::string_view bytes, std::size_t offset)
{
    const auto bits = static_cast<std::uint32_t>(int32At(bytes, offset));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Garmin's angle unit: 2^31 semicircles are 180 degrees, so that a signed
// 32-bit integer spans the globe.
inline double semicirclesToMinutes(std::int32_t value) { return value * (180.0 / 2147483648.0) * 60.0; }

// Seconds since 1970-01-01 00:00:00 UTC.
inline DateTime fromUnixTime(double seconds) { return {25569.0 + seconds / 86400.0}; }

// The last date text read and what it gave: a track's fixes share their
// date for hours, and reading it again for each fix is a good part of the
// work.
template <typename Value>
class TextMemo {
public:
    template <typename Read>
    const Value &read(std::string_view text, Read readText)
    {
        if (!filled_ || !sameText(text, text_)) {
            text_ = text;
            value_ = readText(text_);
            filled_ = true;
        }
        return value_;
    }

private:
    std::string text_;
    Value value_{};
    bool filled_ = false;
};
using DateMemo = TextMemo<std::optional<DateTime>>;

// The digits of a fraction of a second ("2", "200", "123456") in
// milliseconds, rounded half up, so 0..1000; digits past the ninth are not
// read. Nothing when the text is empty or one of them is not a digit.
std::optional<int> fractionMilliseconds(std::string_view digits);

// An ISO 8601 time read: the whole second in UTC, and the fraction of a
// second after it that the text gave.
struct IsoTime {
    DateTime utc;
    double fraction = 0;  // 0 <= fraction < 1
    DateTime exact() const { return addSeconds(utc, fraction); }
};

// "2009-05-03T11:15:30.25+09:00": a date as parseDateTime reads it (its
// text read through `dates`), one of `separators`, "hh:mm:ss" (two digits
// each), then optionally a fraction of a second, then "Z", nothing (both
// UTC) or a zone offset (local time ahead of UTC) in any of the forms
// "+09:00", "+0900" and "+09", blanks allowed before it. Nothing when any
// part does not read.
std::optional<IsoTime> isoTime(std::string_view text, std::string_view separators, DateMemo &dates);

// How a text coordinate is written after its hemisphere letter.
enum class CoordinateForm {
    DegreesMinutes,         // ddmm.mmm
    DecimalDegrees,         // dd.ddd
    DegreesMinutesSeconds,  // ddmmss.s
};

// A position that is no place on the globe: the fix sink drops it.
inline constexpr double kOffTheGlobe = std::numeric_limits<double>::quiet_NaN();

// A coordinate number in minutes of arc; nothing when it does not convert
// (the minutes forms need a decimal point). A number that converts but
// cannot be a coordinate (more than three digits of whole degrees, more than
// 180 degrees) gives kOffTheGlobe: that fix is passed over.
// The form with `minutes` returns whether it converts, for the loops over
// every fix.
bool coordinateMinutes(std::string_view number, CoordinateForm form, double &minutes);
inline std::optional<double> coordinateMinutes(std::string_view number, CoordinateForm form)
{
    double minutes;
    return coordinateMinutes(number, form, minutes) ? std::optional<double>(minutes) : std::nullopt;
}

// A coordinate is read a word at a time in two ways, as a whole field from
// its first and its last eight bytes, or from its start on. Which is quicker
// depends on the reader around it, and was measured: the NMEA reader reads
// whole fields, the DTR/TRK reader (a sixth slower with whole fields) reads
// from the start on.

// A whole field that is a ddmm.mmmm coordinate, read as
// leadingDegreesMinutes reads it; false for anything else.
bool degreesMinutesField(std::string_view field, double &minutes);

// The usual ddmm.mmmm at the start of `text` (up to three digits of whole
// degrees, two of minutes, a point and up to 13 decimals), read in one pass
// into what coordinateMinutes gives for it. Returns how many characters it
// read, 0 when the text does not start so.
std::size_t leadingDegreesMinutes(std::string_view text, double &minutes);

// A damaged record: `text`, at byte `offset` of the file, is not `expected`
// ("a number"). The record is passed over; the sink counts it and keeps the
// place and the text of the first.
void passOverDamaged(FixSink &sink, std::string_view bytes, std::size_t offset, std::string_view text,
                     const char *expected);

}  // namespace keelrun
