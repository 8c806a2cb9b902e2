// Hemisphere-letter text tracks (dtr, trk): one fix a line,
//   T  N3452.500  E13545.000  2009-05-03  02:15:30  0
// a "T", latitude and longitude each behind its hemisphere letter, the UTC
// date and time, and one field not used here. Lines that mention "DMS" or
// "DEG" switch how the coordinates are written for the lines that follow.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
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

// The date of a fix, read once for each run of fixes that share its text.
const std::optional<DateTime> &fixDate(DateMemo &dates, std::string_view text, DateTime raceDate)
{
    return dates.read(text, [&](std::string_view dateText) { return parseDateTime(normalisedDate(dateText, raceDate)); });
}

// The coordinate's sign is its hemisphere's: south and west are negative.
double signedBy(char hemisphere, double minutes) { return hemisphere == 'S' || hemisphere == 'W' ? -minutes : minutes; }

// Any line: the form words looked for, the line split at runs of blanks,
// then read field by field. A coordinate that cannot be read makes the line
// a damaged record, passed over and named to the sink.
void readAnyLine(std::string_view bytes, std::string_view text, const TrackContext &context, CoordinateForm &form,
                 DateMemo &dates, FixSink &sink)
{
    form = formSwitchedBy(text, form);
    const SplitLine line = splitLine(text, ' ');
    if (line.count() != 6 || line.field(0).find('T') == std::string_view::npos)
        return;
    const auto coordinate = [&](int i) -> std::optional<double> {
        const std::string_view field = line.field(i);
        double minutes;
        if (coordinateMinutes(field.substr(1), form, minutes))
            return signedBy(field[0], minutes);
        passOverDamaged(sink, bytes, static_cast<std::size_t>(field.data() - bytes.data()), field, "a coordinate");
        return std::nullopt;
    };
    const auto lat = coordinate(1);
    const auto lon = lat ? coordinate(2) : std::nullopt;
    if (!lon)
        return;
    const auto &date = fixDate(dates, line.field(3), context.raceDate);
    const auto clock = parseTimeOfDay(line.field(4));
    if (date && clock)
        sink.addAtSecond(*date, *clock, *lat, *lon);
}

// A fix as a plain line gives it.
struct LineFix {
    DateTime day;
    int secondOfDay = 0;
    double lat = 0;
    double lon = 0;
};

// The usual line in minutes, "T N3452.500 E13545.000 2009-05-03 02:15:30 0",
// six fields between single blanks, is read where its fields stand, its
// blanks found all at once. Within that shape it reads as readAnyLine reads
// it; any other line gives false, and is read again by readAnyLine, which
// also names what is wrong. A form word could only stand in the last field:
// the others are a "T", coordinates, a date and a time that read.
bool readPlainLine(std::string_view text, DateTime raceDate, DateMemo &dates, LineFix &fix)
{
    if (text.size() < 2 || text.size() > 64 || text[0] != 'T' || text[1] != ' ')
        return false;
    std::uint64_t blanks = blankBits(text);
    if (blanks >> (text.size() - 1) != 0)  // a blank that ends the line
        return false;
    std::array<std::size_t, 7> starts{};  // of the six fields, and one past the line's end
    for (std::size_t f = 1; f < 6; ++f, blanks &= blanks - 1) {
        starts[f] = static_cast<std::size_t>(std::countr_zero(blanks)) + 1;
        if (blanks == 0 || text[starts[f] - 1] != ' ')  // a tab is no separator
            return false;
    }
    if (blanks != 0)
        return false;
    starts[6] = text.size() + 1;
    const auto field = [&](std::size_t f) { return text.substr(starts[f], starts[f + 1] - 1 - starts[f]); };
    // The number is read from the rest of the line, not from its field
    // alone: the reading takes its digits a word at a time where the text
    // runs on long enough.
    const auto coordinate = [&](std::size_t f, double &minutes) {
        const std::size_t read = leadingDegreesMinutes(text.substr(starts[f] + 1), minutes);
        if (read == 0 || read != field(f).size() - 1)
            return false;
        minutes = signedBy(text[starts[f]], minutes);
        return true;
    };
    if (!coordinate(1, fix.lat) || !coordinate(2, fix.lon) || std::ranges::find(field(5), 'D') != field(5).end())
        return false;
    const auto &date = fixDate(dates, field(3), raceDate);
    if (!date || !parseTimeOfDay(field(4), fix.secondOfDay))
        return false;
    fix.day = *date;
    return true;
}

}  // namespace

void readHemisphereText(std::string_view bytes, const TrackContext &context, FixSink &sink)
{
    CoordinateForm form = CoordinateForm::DegreesMinutes;
    DateMemo dates;
    forEachLine(bytes, [&](std::string_view text, int) {
        LineFix fix;
        if (form == CoordinateForm::DegreesMinutes && readPlainLine(text, context.raceDate, dates, fix))
            sink.addAtSecond(fix.day, fix.secondOfDay, fix.lat, fix.lon);
        else
            readAnyLine(bytes, text, context, form, dates, sink);
    });
}

}  // namespace keelrun
