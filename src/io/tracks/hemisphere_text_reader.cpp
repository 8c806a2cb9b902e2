// Hemisphere-letter text tracks (dtr, trk): one fix a line,
//   T  N3452.500  E13545.000  2009-05-03  02:15:30  0
// a "T", latitude and longitude each behind its hemisphere letter, the UTC
// date and time, and one field not used here. Lines that mention "DMS" or
// "DEG" switch how the coordinates are written for the lines that follow.

#include <cmath>
#include <string>

#include "base/line_splitter.h"
#include "base/text_file.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr double kMaxDaysFromRace = 364;

// Some loggers write dates as y-m-d: read them as y/m/d, but a date far from
// the race day is a logger without a clock and its fixes are pushed out of
// the race.
std::string normalisedDate(std::string_view text, DateTime raceDate)
{
    const std::size_t first = text.find('-');
    if (first == std::string_view::npos)
        return std::string(text);
    const std::size_t second = text.find('-', first + 1);
    std::string slashed(text);
    slashed[first] = '/';
    if (second != std::string_view::npos)
        slashed[second] = '/';
    const auto date = parseDateTime(slashed);
    if (date && std::round(std::fabs(date->days - raceDate.days)) > kMaxDaysFromRace)
        return "2000/1/1";
    return slashed;
}

// A line that mentions "DEG" anywhere switches to decimal degrees, else one
// that mentions "DMS" to degrees, minutes and seconds. Every line is looked
// at, so the two words are looked for in one pass.
CoordinateForm formSwitchedBy(std::string_view line, CoordinateForm current)
{
    bool mentionsDms = false;
    for (std::size_t d = line.find('D'); d != std::string_view::npos; d = line.find('D', d + 1)) {
        const std::string_view word = line.substr(d, 3);
        if (word == "DEG")
            return CoordinateForm::DecimalDegrees;
        mentionsDms |= word == "DMS";
    }
    return mentionsDms ? CoordinateForm::DegreesMinutesSeconds : current;
}

}  // namespace

void readHemisphereText(std::string_view bytes, const TrackContext &context, FixSink &sink)
{
    CoordinateForm form = CoordinateForm::DegreesMinutes;
    DateMemo dates;
    forEachLine(bytes, [&](std::string_view text, int) {
        form = formSwitchedBy(text, form);
        const SplitLine line = splitLine(text, ' ');
        if (line.count() != 6 || line.field(0).find('T') == std::string_view::npos)
            return;
        auto coordinate = [&](int i) {
            const std::string_view field = line.field(i);
            double minutes;
            if (!coordinateMinutes(field.substr(1), form, minutes))
                throwTrackError(context, bytes, static_cast<std::size_t>(field.data() - bytes.data()), field,
                                "a coordinate");
            return field[0] == 'S' || field[0] == 'W' ? -minutes : minutes;
        };
        const double lat = coordinate(1);
        const double lon = coordinate(2);
        const auto &date = dates.read(line.field(3), [&](std::string_view dateText) {
            return parseDateTime(normalisedDate(dateText, context.raceDate));
        });
        const auto clock = parseTimeOfDay(line.field(4));
        if (date && clock)
            sink.addAtSecond(*date, *clock, lat, lon);
    });
}

}  // namespace keelrun
