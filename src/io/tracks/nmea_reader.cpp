// NMEA 0183 logs: the recommended minimum sentence RMC carries time, date
// and position:
//   $GPRMC,hhmmss.ss,A,ddmm.mmmm,N,dddmm.mmmm,E,knots,course,ddmmyy,...*hh
// Other sentences are passed over. Instrument logs often have no RMC but
// GGA or GLL positions with a time of day, and ZDA sentences with the date;
// such a log is read from those.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <map>
#include <numeric>
#include <optional>
#include <vector>

#include <QStringList>

#include "base/byte_words.h"
#include "base/line_splitter.h"
#include "base/numbers.h"
#include "base/text_file.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr int kMillisecondsPerDay = 86'400'000;

// The bits of the first six bytes of a word.
constexpr std::uint64_t kFirstSix = 0x0000ffffffffffffu;

enum RmcField { Talker, Time, Status, Lat, LatHemisphere, Lon, LonHemisphere, Speed, Course, Date };

// The value of a hexadecimal digit, -1 for any other byte, from a table: the
// checksum's digits are letters or figures at random, and a branch on which
// they are would be mispredicted for nearly every other sentence.
int hexDigit(char c)
{
    static constexpr auto kValues = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        for (int i = 0; i < 10; ++i)
            values['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i)
            values['A' + i] = values['a' + i] = static_cast<signed char>(10 + i);
        return values;
    }();
    return kValues[static_cast<unsigned char>(c)];
}

// The exclusive or of the bytes, the NMEA checksum, taken as 64-bit words,
// two to a step and then one more where eight bytes are left. The last few
// are taken from the eight that end the text, less those already taken: the
// text's length then decides no branch.
unsigned checksumOf(std::string_view bytes)
{
    if (bytes.size() < 8) {
        unsigned sum = 0;
        for (const char c : bytes)
            sum ^= static_cast<unsigned char>(c);
        return sum;
    }
    std::uint64_t word = 0;
    std::size_t i = 0;
    for (; i + 16 <= bytes.size(); i += 16)
        word ^= wordAt(bytes.data() + i) ^ wordAt(bytes.data() + i + 8);
    if (i + 8 <= bytes.size()) {
        word ^= wordAt(bytes.data() + i);
        i += 8;
    }
    const std::size_t left = bytes.size() - i;  // 0 to 7, the highest bytes of the last word
    word ^= wordAt(bytes.data() + bytes.size() - 8) >> (8 * (7 - left)) >> 8;
    word ^= word >> 32;
    word ^= word >> 16;
    word ^= word >> 8;
    return word & 0xff;
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
// RMC sentence, in any case: setting bit 5 lowers a capital letter and
// makes no other byte an "r", "m" or "c".
bool namesRmc(std::string_view sentence)
{
    for (std::size_t i = 0; i + 3 <= sentence.size() && sentence[i] != ','; ++i) {
        if ((sentence[i] | 0x20) == 'r' && (sentence[i + 1] | 0x20) == 'm' && (sentence[i + 2] | 0x20) == 'c')
            return true;
    }
    return false;
}

// Whether the sentence is plainly another than RMC: no "r", in any case,
// among the six bytes before a comma ("$GPGGA,"), so that its first field
// cannot name RMC. A log holds as many such sentences as RMC sentences, and
// this one word passes them over.
bool plainlyOther(std::string_view sentence)
{
    if (sentence.size() < 8)
        return false;
    const std::uint64_t word = wordAt(sentence.data());
    const std::uint64_t r = bytesEqual(word | 0x20 * kEveryByte, 'r');
    return (word >> 48 & 0xff) == ',' && (r & kFirstSix) == 0;
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

// The decimals of a second after an hhmmss ("hhmmss.ss"), in milliseconds;
// 0 when there are none, or when what follows is not decimals.
int clockFraction(std::string_view afterSeconds)
{
    if (afterSeconds.size() < 2 || afterSeconds[0] != '.')
        return 0;
    return fractionMilliseconds(afterSeconds.substr(1)).value_or(0);
}

// hhmmss, perhaps with decimals of a second, as milliseconds of the day.
std::optional<int> readClock(std::string_view hhmmss)
{
    int hour, minute, second;
    const bool read = hhmmss.size() >= 6 && parseInteger(hhmmss.substr(0, 2), hour) &&
                      parseInteger(hhmmss.substr(2, 2), minute) && parseInteger(hhmmss.substr(4, 2), second);
    const auto seconds = read ? secondsOfDay(hour, minute, second) : std::nullopt;
    return seconds ? std::optional<int>(*seconds * 1000 + clockFraction(hhmmss.substr(6))) : std::nullopt;
}

// A ddmm.mmmm coordinate field signed by its hemisphere field ("S", "W").
bool signedCoordinate(const SplitLine &line, int f, int hemisphere, double &minutes)
{
    if (!coordinateMinutes(line.field(f), CoordinateForm::DegreesMinutes, minutes))
        return false;
    const std::string_view h = line.field(hemisphere);
    minutes = h == "S" || h == "W" ? -minutes : minutes;
    return true;
}

// Any RMC sentence: its checksum checked, then split into its fields, which
// are read one by one. A field that cannot be what it should be makes the
// sentence a damaged record, passed over and named to the sink.
void readAnyRmc(std::string_view bytes, std::string_view text, TextMemo<RmcDate> &dates, FixSink &sink)
{
    if (!stripChecksum(text))
        return;
    const SplitLine line = splitLine(text, ',', Date + 1);  // the fields after the date are not used
    if (!namesRmc(line.field(0)) || line.count() <= Date)
        return;
    for (const int f : {Time, Lat, Lon, Date}) {
        if (isEmpty(line.field(f)))
            return;
    }
    const auto damaged = [&](int f, const char *expected) {
        const std::string_view field = line.field(f);
        passOverDamaged(sink, bytes, static_cast<std::size_t>(field.data() - bytes.data()), field, expected);
    };
    // Two digits each: ddmmyy and hhmmss (perhaps with decimals of a second).
    if (line.field(Date).size() != 6)
        return damaged(Date, "a date (ddmmyy)");
    if (line.field(Time).size() < 6)
        return damaged(Time, "a time of day (hhmmss)");
    const RmcDate &date = dates.read(line.field(Date), readRmcDate);
    if (date.state == RmcDate::Unreadable)
        return damaged(Date, "a date (ddmmyy)");
    if (date.state == RmcDate::NoFixYet)
        return;
    const auto clock = readClock(line.field(Time));
    if (!clock)
        return damaged(Time, "a time of day (hhmmss)");
    double lat, lon;
    if (!signedCoordinate(line, Lat, LatHemisphere, lat))
        return damaged(Lat, "a coordinate (dddmm.mmmm)");
    if (!signedCoordinate(line, Lon, LonHemisphere, lon))
        return damaged(Lon, "a coordinate (dddmm.mmmm)");
    sink.addAtTimeOfDay(date.day, *clock, lat, lon);
}

// The usual RMC sentence, as nearly every logger writes it, is read where
// its fields stand, without splitting it: a "$", two capitals and "RMC", the
// checksum ending the line, and each field that is read in its usual form
// (hhmmss or hhmmss.ss, ddmm.mmmm, one letter, ddmmyy). The commas are found all at once,
// so that no field waits for the one before it to be read. Within that shape
// a sentence reads exactly as readAnyRmc reads it; anything else gives
// OtherForm, and the sentence is read again by readAnyRmc, which also names
// what is wrong.
enum class PlainRmc { OtherForm, NoFix, Read };
struct RmcFix {
    DateTime day;
    int millisecondOfDay = 0;
    double lat = 0;
    double lon = 0;
};

// A ddmm.mmmm coordinate that fills the text from `start` to `end`.
bool plainCoordinate(std::string_view text, std::size_t start, std::size_t end, double &minutes)
{
    return end > start && degreesMinutesField(text.substr(start, end - start), minutes);
}

// The hhmmss that starts a text of eight bytes or more, as seconds of the
// day; nothing when it is not six digits of a time of day.
std::optional<int> leadingClock(std::string_view text)
{
    const std::uint64_t word = wordAt(text.data());
    if ((notDigits(word) & kFirstSix) != 0)
        return std::nullopt;
    const std::uint64_t pairs = digitPairs(word);
    const auto pair = [&](int k) { return static_cast<int>(pairs >> 16 * k & 0xff); };
    return secondsOfDay(pair(0), pair(1), pair(2));
}

PlainRmc readPlainRmc(std::string_view text, TextMemo<RmcDate> &dates, RmcFix &fix)
{
    const auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (text.size() < 10 || text[0] != '$' || !capital(text[1]) || !capital(text[2]) || text.substr(3, 4) != "RMC,")
        return PlainRmc::OtherForm;
    const std::size_t star = text.size() - 3;
    const int high = hexDigit(text[star + 1]), low = hexDigit(text[star + 2]);
    if (text[star] != '*' || high < 0 || low < 0)
        return PlainRmc::OtherForm;
    if (checksumOf(text.substr(1, star - 1)) != static_cast<unsigned>(high * 16 + low))
        return PlainRmc::NoFix;  // damaged on the way

    // The fields from the time on, and where each ends up to the date, from
    // the commas of their first 64 bytes. The date ends with the next comma
    // or with the fields.
    const std::string_view fields = text.substr(7, star - 7);
    std::uint64_t commas = separatorBits(fields, ',');
    std::array<std::size_t, Date - Time + 1> ends;
    // Unrolled, so that the ends stay in registers rather than in memory.
#pragma GCC unroll 16
    for (std::size_t &end : ends) {
        end = commas != 0 ? static_cast<unsigned>(std::countr_zero(commas)) : fields.size() <= 64 ? fields.size() : 0;
        commas &= commas - 1;
    }
    const auto endOf = [&](RmcField f) { return ends[f - Time]; };
    const auto startOf = [&](RmcField f) { return f == Time ? 0 : ends[f - Time - 1] + 1; };
    const auto oneLetter = [&](RmcField f) { return endOf(f) == startOf(f) + 1; };
    if (endOf(Time) < 6 || endOf(Date) != startOf(Date) + 6)  // and so the fields hold eight bytes or more
        return PlainRmc::OtherForm;
    const auto clock = leadingClock(fields);
    const auto decimals = endOf(Time) == 6 ? std::optional<int>(0)
                          : fields[6] == '.' ? fractionMilliseconds(fields.substr(7, endOf(Time) - 7))
                                             : std::nullopt;
    const bool shaped = clock && decimals && plainCoordinate(fields, startOf(Lat), endOf(Lat), fix.lat) && oneLetter(LatHemisphere) &&
                        plainCoordinate(fields, startOf(Lon), endOf(Lon), fix.lon) && oneLetter(LonHemisphere);
    if (!shaped)
        return PlainRmc::OtherForm;
    const RmcDate &date = dates.read(fields.substr(startOf(Date), 6), readRmcDate);
    if (date.state == RmcDate::Unreadable)
        return PlainRmc::OtherForm;
    if (date.state == RmcDate::NoFixYet)
        return PlainRmc::NoFix;
    const auto negative = [&](RmcField hemisphere) { return fields[startOf(hemisphere)] == 'S' || fields[startOf(hemisphere)] == 'W'; };
    fix.day = date.day;
    fix.millisecondOfDay = *clock * 1000 + *decimals;
    fix.lat = negative(LatHemisphere) ? -fix.lat : fix.lat;
    fix.lon = negative(LonHemisphere) ? -fix.lon : fix.lon;
    return PlainRmc::Read;
}

// The type of an NMEA sentence, the three letters after its start ("$", or
// "!" for AIS) and the two letters of its talker: GLL for "$GPGLL,...";
// nothing for a line that is no sentence.
std::optional<std::string_view> sentenceType(std::string_view line)
{
    const auto letterOrDigit = [](char c) { return (c >= 'A' && c <= 'Z') || isDigit(c); };
    if (line.size() < 7 || (line[0] != '$' && line[0] != '!') || (line[6] != ',' && line[6] != '*'))
        return std::nullopt;
    const std::string_view name = line.substr(1, 5);
    if (!std::all_of(name.begin(), name.end(), letterOrDigit))
        return std::nullopt;
    return name.substr(2);
}

// "60 GLL, 20 GSV and 4 ZDA sentences", the most frequent first; past the
// fourth, the rest are summed as others.
QString sentenceCounts(const std::map<std::string_view, int> &counts)
{
    constexpr std::size_t kListed = 4;
    std::vector<std::pair<std::string_view, int>> types(counts.begin(), counts.end());
    std::stable_sort(types.begin(), types.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    const std::size_t listed = types.size() <= kListed + 1 ? types.size() : kListed;
    QStringList parts;
    for (std::size_t k = 0; k < listed; ++k)
        parts << QStringLiteral("%1 %2").arg(types[k].second).arg(QLatin1String(types[k].first));
    if (listed < types.size()) {
        const int others = std::accumulate(types.begin() + static_cast<std::ptrdiff_t>(listed), types.end(), 0,
                                           [](int sum, const auto &type) { return sum + type.second; });
        parts << QStringLiteral("%1 other").arg(others);
    }
    const QString last = parts.takeLast();
    const QString list = parts.isEmpty() ? last : parts.join(QLatin1String(", ")) + QLatin1String(" and ") + last;
    const bool one = counts.size() == 1 && counts.begin()->second == 1;
    return list + QLatin1String(one ? " sentence" : " sentences");
}

// Whether any line of the log is an RMC sentence.
bool anyRmc(std::string_view bytes)
{
    bool rmc = false;
    forEachLine(bytes, [&](std::string_view line, int) { rmc = rmc || namesRmc(line); });
    return rmc;
}

// A log without RMC sentences:
//   $GPZDA,hhmmss.ss,dd,mm,yyyy,zone hours,zone minutes*hh
//   $GPGGA,hhmmss.ss,ddmm.mmmm,N,dddmm.mmmm,E,quality (0: no fix),...*hh
//   $GPGLL,ddmm.mmmm,N,dddmm.mmmm,E,hhmmss.ss,status (V: no fix),...*hh
// A position is dated by the last ZDA sentence before it, or the day after
// once its time of day falls half a day behind the ZDA's (past midnight);
// before any ZDA, on the day that puts it nearest the start.
class PositionsWithoutRmc {
public:
    PositionsWithoutRmc(std::string_view bytes, FixSink &sink) : bytes_(bytes), sink_(sink) {}

    void read(std::string_view text)
    {
        const auto type = sentenceType(text);
        if (!type || !stripChecksum(text))
            return;
        const SplitLine line = splitLine(text, ',');
        if (*type == "ZDA")
            readZda(line);
        else if (*type == "GGA")
            readPosition(line, 1, 2, line.field(6) != "0");
        else if (*type == "GLL")
            readPosition(line, 5, 1, line.field(6) != "V");
    }

private:
    enum ZdaField { Tag, Clock, Day, Month, Year };

    void readZda(const SplitLine &line)
    {
        if (line.count() <= Year)
            return;
        for (const int f : {Clock, Day, Month, Year}) {
            if (isEmpty(line.field(f)))
                return;  // no date yet
        }
        const auto clock = clockOf(line, Clock);
        if (!clock)
            return;
        const auto part = [&](int f) { return parseInteger(line.field(f)); };
        const auto day = part(Day), month = part(Month), year = part(Year);
        const auto date = day && month && year ? validDate(*year, *month, *day) : std::nullopt;
        if (!date) {
            const std::string_view first = line.field(Day), last = line.field(Year);
            const std::string_view parts(first.data(), static_cast<std::size_t>(last.data() + last.size() - first.data()));
            return damaged(parts, "a date (dd,mm,yyyy)");
        }
        zdaDay_ = *date;
        zdaClock_ = *clock;
    }

    // A GGA or GLL position, its time of day in field `time` and its
    // latitude from field `lat` on.
    void readPosition(const SplitLine &line, int time, int lat, bool fixed)
    {
        if (line.count() <= std::max(time, lat + 3) || !fixed)
            return;
        for (const int f : {time, lat, lat + 2}) {
            if (isEmpty(line.field(f)))
                return;
        }
        const auto clock = clockOf(line, time);
        if (!clock)
            return;
        double latitude, longitude;
        if (!signedCoordinate(line, lat, lat + 1, latitude))
            return damaged(line.field(lat), "a coordinate (dddmm.mmmm)");
        if (!signedCoordinate(line, lat + 2, lat + 3, longitude))
            return damaged(line.field(lat + 2), "a coordinate (dddmm.mmmm)");
        if (*clock == lastClock_)
            return;  // GGA and GLL of the same fix
        lastClock_ = *clock;
        if (!zdaDay_)
            return sink_.addNearStart(*clock, latitude, longitude);
        const bool pastMidnight = *clock < zdaClock_ - kMillisecondsPerDay / 2;
        sink_.addAtTimeOfDay(DateTime{zdaDay_->days + (pastMidnight ? 1 : 0)}, *clock, latitude, longitude);
    }

    std::optional<int> clockOf(const SplitLine &line, int f)
    {
        const std::string_view field = line.field(f);
        const auto clock = readClock(field);
        if (!clock)
            damaged(field, "a time of day (hhmmss)");
        return clock;
    }

    void damaged(std::string_view text, const char *expected)
    {
        passOverDamaged(sink_, bytes_, static_cast<std::size_t>(text.data() - bytes_.data()), text, expected);
    }

    std::string_view bytes_;
    FixSink &sink_;
    std::optional<DateTime> zdaDay_;
    int zdaClock_ = 0;                // milliseconds of the day
    std::optional<int> lastClock_;    // the same
};

}  // namespace

QString nmeaWithoutPositions(std::string_view bytes)
{
    if (anyRmc(bytes))
        return {};
    std::map<std::string_view, int> counts;
    forEachLine(bytes, [&](std::string_view line, int) {
        if (const auto type = sentenceType(line))
            ++counts[*type];
    });
    if (counts.contains("GGA") || counts.contains("GLL"))
        return {};
    return QLatin1String("no RMC, GGA or GLL sentences; the file has ") +
           (counts.empty() ? QStringLiteral("no NMEA sentences") : sentenceCounts(counts));
}

void readNmea(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    TextMemo<RmcDate> dates;
    forEachLine(bytes, [&](std::string_view text, int) {
        if (plainlyOther(text))
            return;
        RmcFix fix;
        switch (readPlainRmc(text, dates, fix)) {
        case PlainRmc::Read:
            sink.addAtTimeOfDay(fix.day, fix.millisecondOfDay, fix.lat, fix.lon);
            break;
        case PlainRmc::NoFix:
            break;
        case PlainRmc::OtherForm:
            if (namesRmc(text))
                readAnyRmc(bytes, text, dates, sink);
            break;
        }
    });
    if (sink.keptNone() && !anyRmc(bytes)) {
        PositionsWithoutRmc positions(bytes, sink);
        forEachLine(bytes, [&](std::string_view text, int) { positions.read(text); });
    }
}

}  // namespace keelrun
