// NMEA 0183 logs: the recommended minimum sentence RMC carries time, date
// and position:
//   $GPRMC,hhmmss.ss,A,ddmm.mmmm,N,dddmm.mmmm,E,knots,course,ddmmyy,...*hh
// Other sentences are passed over.

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

// Strips a "*hh" checksum from the sentence; false when it is there and wrong.
bool stripChecksum(std::string_view &sentence)
{
    const std::size_t star = sentence.rfind('*');
    if (star == std::string_view::npos || star + 3 > sentence.size())
        return true;
    const int high = hexDigit(sentence[star + 1]), low = hexDigit(sentence[star + 2]);
    if (high < 0 || low < 0)
        return true;
    unsigned sum = 0;
    for (std::size_t i = sentence.find('$') + 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(sentence[i]);
    sentence = sentence.substr(0, star);
    return sum == static_cast<unsigned>(high * 16 + low);
}

// Whether the sentence's first field, its talker and type, could name an
// RMC sentence. Logs hold as many other sentences, which are passed over
// before their checksum is worked out and their fields are split.
bool mayBeRmc(std::string_view sentence)
{
    const std::string_view first = sentence.substr(0, sentence.find(','));
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    for (std::size_t i = 0; i + 3 <= first.size(); ++i) {
        if (upper(first[i]) == 'R' && upper(first[i + 1]) == 'M' && upper(first[i + 2]) == 'C')
            return true;
    }
    return false;
}

// Loggers write sentences with empty fields until they have a fix; the
// splitter reads an empty field as "0".
bool isEmpty(std::string_view field) { return field.empty() || field == "0"; }

}  // namespace

void readNmea(std::string_view bytes, const TrackContext &context, FixSink &sink)
{
    forEachLine(bytes, [&](std::string_view text, int) {
        if (!mayBeRmc(text) || !stripChecksum(text))
            return;
        const SplitLine line = splitLine(text);
        if (line.tag().find("RMC") == std::string::npos || line.count() <= Date)
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
        auto twoDigits = [&](int f, std::size_t at) { return parseInteger(line.field(f).substr(at, 2)); };
        const auto day = twoDigits(Date, 0), month = twoDigits(Date, 2), year = twoDigits(Date, 4);
        if (!day || !month || !year)
            fail(Date, "a date (ddmmyy)");
        if (*day < 1 || *month < 1 || *year < 1)
            return;
        const auto date = validDate(2000 + *year, *month, *day);
        if (!date)
            fail(Date, "a date (ddmmyy)");
        const auto hour = twoDigits(Time, 0), minute = twoDigits(Time, 2), second = twoDigits(Time, 4);
        const auto clock = hour && minute && second ? secondsOfDay(*hour, *minute, *second) : std::nullopt;
        if (!clock)
            fail(Time, "a time of day (hhmmss)");
        auto coordinate = [&](int f, int hemisphere) {
            const auto minutes = coordinateMinutes(line.field(f), CoordinateForm::DegreesMinutes);
            if (!minutes)
                fail(f, "a coordinate (dddmm.mmmm)");
            const std::string_view h = line.field(hemisphere);
            return h == "S" || h == "W" ? -*minutes : *minutes;
        };
        const double lat = coordinate(Lat, LatHemisphere);
        const double lon = coordinate(Lon, LonHemisphere);
        sink.add(addSeconds(*date, *clock), lat, lon);
    });
}

}  // namespace keelrun
