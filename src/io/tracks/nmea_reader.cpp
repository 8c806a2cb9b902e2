// NMEA 0183 logs: the recommended minimum sentence RMC carries time, date
// and position:
//   $GPRMC,hhmmss.ss,A,ddmm.mmmm,N,dddmm.mmmm,E,knots,course,ddmmyy,...*hh
// Other sentences are passed over.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/line_splitter.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

enum RmcField { Talker = 0, Time = 1, Lat = 3, LatHemisphere = 4, Lon = 5, LonHemisphere = 6, Date = 9 };

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The exclusive or of the bytes, the NMEA checksum, taken eight bytes at a
// time.
unsigned checksumOf(std::string_view bytes)
{
    std::uint64_t word = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, bytes.data() + i, 8);
        word ^= eight;
    }
    word ^= word >> 32;
    word ^= word >> 16;
    word ^= word >> 8;
    unsigned sum = word & 0xff;
    for (; i < bytes.size(); ++i)
        sum ^= static_cast<unsigned char>(bytes[i]);
    return sum;
}

// Strips a "*hh" checksum from the sentence; false when it is there and wrong.
// The sum runs from after the "$" to the star.
bool stripChecksum(std::string_view &sentence)
{
    const std::size_t star = sentence.rfind('*');
    if (star == std::string_view::npos || star + 3 > sentence.size())
        return true;
    const int high = hexDigit(sentence[star + 1]), low = hexDigit(sentence[star + 2]);
    if (high < 0 || low < 0)
        return true;
    const std::size_t first = sentence.find('$') + 1;  // 0 without a "$"
    const unsigned sum = checksumOf(sentence.substr(first, star - std::min(first, star)));
    sentence = sentence.substr(0, star);
    return sum == static_cast<unsigned>(high * 16 + low);
}

// Whether the first field of a sentence, up to its first comma, names an
// RMC sentence, in any case. Setting bit 5 lowers a capital letter and
// makes no other byte an "r", "m" or "c"; a comma stays a comma. Logs hold
// as many other sentences, which are passed over with this before their
// checksum is worked out and their fields are split.
bool namesRmc(std::string_view sentence)
{
    for (std::size_t i = 0; i + 3 <= sentence.size() && sentence[i] != ','; ++i) {
        if ((sentence[i] | 0x20) == 'r' && (sentence[i + 1] | 0x20) == 'm' && (sentence[i + 2] | 0x20) == 'c')
            return true;
    }
    return false;
}

// Loggers write sentences with empty fields until they have a fix; the
// splitter reads an empty field as "0".
bool isEmpty(std::string_view field) { return field.empty() || field == "0"; }

// The date of an RMC sentence, ddmmyy: a day of this century, or zeros as
// some loggers write before their first fix, or no date.
struct RmcDate {
    enum State { Unreadable, NoFixYet, Read } state = Unreadable;
    DateTime day;
};

RmcDate readRmcDate(std::string_view ddmmyy)
{
    const auto twoDigits = [&](std::size_t at) { return parseInteger(ddmmyy.substr(at, 2)); };
    const auto day = twoDigits(0), month = twoDigits(2), year = twoDigits(4);
    if (!day || !month || !year)
        return {};
    if (*day < 1 || *month < 1 || *year < 1)
        return {RmcDate::NoFixYet, {}};
    const auto date = validDate(2000 + *year, *month, *day);
    return date ? RmcDate{RmcDate::Read, *date} : RmcDate{};
}

// hhmmss (decimals of a second not read) as seconds of the day.
std::optional<int> readRmcClock(std::string_view hhmmss)
{
    int hour, minute, second;
    const bool read = parseInteger(hhmmss.substr(0, 2), hour) && parseInteger(hhmmss.substr(2, 2), minute) &&
                      parseInteger(hhmmss.substr(4, 2), second);
    return read ? secondsOfDay(hour, minute, second) : std::nullopt;
}

}  // namespace

void readNmea(std::string_view bytes, const TrackContext &context, FixSink &sink)
{
    TextMemo<RmcDate> dates;
    forEachLine(bytes, [&](std::string_view text, int) {
        if (!namesRmc(text) || !stripChecksum(text))
            return;
        const SplitLine line = splitLine(text, ',', Date + 1);  // the fields after the date are not used
        if (!namesRmc(line.field(0)) || line.count() <= Date)
            return;
        for (const int f : {Time, Lat, Lon, Date}) {
            if (isEmpty(line.field(f)))
                return;
        }
        auto fail = [&](int f, const char *expected) {
            const std::string_view field = line.field(f);
            throwTrackError(context, bytes, static_cast<std::size_t>(field.data() - bytes.data()), field, expected);
        };
        // Two digits each: ddmmyy and hhmmss (decimals of a second not read).
        if (line.field(Date).size() != 6)
            fail(Date, "a date (ddmmyy)");
        if (line.field(Time).size() < 6)
            fail(Time, "a time of day (hhmmss)");
        const RmcDate &date = dates.read(line.field(Date), readRmcDate);
        if (date.state == RmcDate::Unreadable)
            fail(Date, "a date (ddmmyy)");
        if (date.state == RmcDate::NoFixYet)
            return;
        const auto clock = readRmcClock(line.field(Time));
        if (!clock)
            fail(Time, "a time of day (hhmmss)");
        auto coordinate = [&](int f, int hemisphere) {
            double minutes;
            if (!coordinateMinutes(line.field(f), CoordinateForm::DegreesMinutes, minutes))
                fail(f, "a coordinate (dddmm.mmmm)");
            const std::string_view h = line.field(hemisphere);
            return h == "S" || h == "W" ? -minutes : minutes;
        };
        const double lat = coordinate(Lat, LatHemisphere);
        const double lon = coordinate(Lon, LonHemisphere);
        sink.add(addSeconds(date.day, *clock), lat, lon);
    });
}

}  // namespace keelrun
