// GPX: the XML exchange format most loggers and apps export. Only track
// points matter here:
//   <trkpt lat="39.4077" lon="-0.3233"><ele>2</ele><time>2025-06-21T11:18:34Z</time></trkpt>
// The file is scanned rather than parsed as XML, matching tag and attribute
// names without regard to letter case, so that large files read fast and
// files that are not quite well-formed still give their points.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/byte_words.h"
#include "base/line_splitter.h"
#include "base/numbers.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr std::size_t kAttributeWindow = 50;  // characters after "lat"/"lon" searched for the value
constexpr std::size_t kTimeWindow = 50;

char lower(char c) { return static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0)); }

// Up to `most` bytes of `text` from `at`, which lies within it: substr
// without its check. The reading of a plain point is one large function,
// and there substr, with the exception it may throw, is called rather than
// inlined; on every field of every point that cost the GPX reader 6 %.
std::string_view partOf(std::string_view text, std::size_t at, std::size_t most)
{
    return {text.data() + at, std::min(most, text.size() - at)};
}

// Whether `text` has the word at `at`, in any letter case; the word as
// nearly every file writes it is matched in one comparison.
template <std::size_t N>
bool startsWithCaseless(std::string_view text, std::size_t at, const char (&lowerWord)[N])
{
    constexpr std::size_t length = N - 1;
    if (at + length > text.size())
        return false;
    if (std::memcmp(text.data() + at, lowerWord, length) == 0)
        return true;
    for (std::size_t k = 0; k < length; ++k) {
        if (lower(text[at + k]) != lowerWord[k])
            return false;
    }
    return true;
}

// The end of a track point's text that starts at `from`: just past its
// "</trkpt>", or past a "/gpx>" that ends the file, or the end of the file.
// (Extension tags such as "</gpxtpx:hr>" do not end a point.)
std::size_t endOfPoint(std::string_view bytes, std::size_t from)
{
    for (std::size_t i = bytes.find('/', from); i != std::string_view::npos; i = bytes.find('/', i + 1)) {
        if (i > from && bytes[i - 1] == '<' && startsWithCaseless(bytes, i + 1, "trkpt>"))
            return i + 7;
        if (startsWithCaseless(bytes, i + 1, "gpx>"))
            return i + 5;
    }
    return bytes.size();
}

// ASCII letters lowered, eight bytes at a time: in each byte below 0x80,
// adding 0x3f sets the top bit from 'A' up and adding 0x25 from past 'Z'
// up; where exactly one is set the byte is a capital, and 0x20 lowers it.
void lowerInto(std::string_view from, char *to)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    std::size_t k = 0;
    for (; k + 8 <= from.size(); k += 8) {
        std::uint64_t x;
        std::memcpy(&x, from.data() + k, 8);
        const std::uint64_t low7 = x & (0x7f * kOnes);
        const std::uint64_t capital = ~x & ((low7 + 0x3f * kOnes) ^ (low7 + 0x25 * kOnes)) & (0x80 * kOnes);
        x |= capital >> 2;
        std::memcpy(to + k, &x, 8);
    }
    for (; k < from.size(); ++k)
        to[k] = lower(from[k]);
}

// The time of a point from the lower-cased text after its "<time>" (at
// most kTimeWindow characters), converted to UTC with its fraction of a
// second; nothing when it cannot be read.
std::optional<DateTime> pointTime(std::string_view text, DateMemo &memo)
{
    const auto time = isoTime(trimmed(text.substr(0, text.find('<'))), "t", memo);
    return time ? std::optional<DateTime>(time->exact()) : std::nullopt;
}

// A point read: its fix, or a skip when its time could not be read.
void deliver(FixSink &sink, double latitude, double longitude, std::optional<DateTime> utc)
{
    if (utc)
        sink.add(*utc, latitude * 60.0, longitude * 60.0);
    else
        sink.skip();
}

// The usual forms of a time, a date of digits, "T", a clock, perhaps a
// fraction of a second, and "Z" with nothing around them
// ("2025-06-21T11:18:34Z", "2025-06-21T11:18:34.200Z"), read into its day
// and millisecond of the day without lowering or searching it; the date is
// the memo's, or read once. It reads as pointTime reads it.
enum class PlainTime { OtherForm, Unreadable, Read };
constexpr std::size_t kPlainTimeLength = 20;     // without a fraction
constexpr std::size_t kLongestPlainFraction = 9;  // digits: nanoseconds

PlainTime plainTime(std::string_view text, DateMemo &memo, DateTime &day, std::int64_t &millisecondOfDay)
{
    if (text.size() < kPlainTimeLength || text.size() == kPlainTimeLength + 1 ||
        text.size() > kPlainTimeLength + 1 + kLongestPlainFraction)
        return PlainTime::OtherForm;
    // "yyyy-mm-" as one word: with its dashes made '0', all digits.
    constexpr std::uint64_t kDashes = 0x2d00002d00000000u, kDashBytes = 0xff0000ff00000000u;
    const std::uint64_t dateWord = wordAt(text.data());
    const std::uint64_t dashesAsZeros = (dateWord & ~kDashBytes) | (0x3030303030303030u & kDashBytes);
    const bool fraction = text.size() > kPlainTimeLength;
    const bool shaped = (dateWord & kDashBytes) == kDashes && noneButDigits(dashesAsZeros) && isDigit(text[8]) &&
                        isDigit(text[9]) && text[10] == 'T' && text.back() == 'Z' && text[19] == (fraction ? '.' : 'Z');
    if (!shaped)
        return PlainTime::OtherForm;
    const std::optional<int> milliseconds = fraction ? fractionMilliseconds(text.substr(20, text.size() - 21)) : 0;
    if (!milliseconds)
        return PlainTime::OtherForm;
    const std::optional<DateTime> &date = memo.read(partOf(text, 0, 10), parseDateTime);
    int secondOfDay = 0;
    if (!date || !parseTimeOfDay(partOf(text, 11, 8), secondOfDay))
        return PlainTime::Unreadable;
    day = *date;
    millisecondOfDay = secondOfDay * std::int64_t{1000} + *milliseconds;
    return PlainTime::Read;
}

// One track point's text, lower-cased into a buffer the reader keeps from
// point to point, with its place in the file. A value that does not convert
// makes the point a damaged record, named to the sink.
class PointText {
public:
    PointText(std::string_view bytes, std::size_t begin, std::size_t end, FixSink &sink, std::string &buffer)
        : bytes_(bytes), begin_(begin), sink_(sink), text_(buffer)
    {
        text_.resize(end - begin);
        lowerInto(bytes.substr(begin, end - begin), text_.data());
    }

    std::size_t find(std::string_view word) const { return text_.find(word); }

    // The value of the attribute whose name of `length` letters is at
    // `name`: name="value" or name='value'.
    std::optional<double> attribute(std::size_t name, std::size_t length) const
    {
        const std::size_t at = name + length;
        const std::string_view window = std::string_view(text_).substr(at, kAttributeWindow);
        std::size_t open = window.find_first_not_of(" \t\r\n");
        if (open != std::string_view::npos && window[open] == '=')
            open = window.find_first_not_of(" \t\r\n", open + 1);
        const bool quoted = open != std::string_view::npos && (window[open] == '"' || window[open] == '\'');
        const std::size_t close = quoted ? window.find(window[open], open + 1) : std::string_view::npos;
        if (close == std::string_view::npos)
            return damaged(at, window.substr(0, window.find('>')), "a quoted number");
        return number(at + open + 1, window.substr(open + 1, close - open - 1));
    }

    // The elevation is not kept, but a malformed one means a damaged point.
    bool elevationReads() const
    {
        const std::size_t open = text_.find("<ele>");
        if (open == std::string::npos)
            return true;
        const std::size_t from = open + 5;
        const std::size_t close = text_.find("</ele>", from);
        return number(from, trimmed(std::string_view(text_).substr(from, close == std::string::npos ? close : close - from))).has_value();
    }

    // The point's time, converted to UTC; nothing when it cannot be read.
    std::optional<DateTime> time(DateMemo &memo) const
    {
        const std::size_t open = text_.find("<time>");
        if (open == std::string::npos)
            return std::nullopt;
        return pointTime(std::string_view(text_).substr(open + 6, kTimeWindow), memo);
    }

private:
    std::optional<double> number(std::size_t at, std::string_view text) const
    {
        const auto value = parseNumber(text);
        return value ? value : damaged(at, text, "a number");
    }

    std::optional<double> damaged(std::size_t at, std::string_view text, const char *expected) const
    {
        passOverDamaged(sink_, bytes_, begin_ + at, text, expected);
        return std::nullopt;
    }

    std::string_view bytes_;
    std::size_t begin_;
    FixSink &sink_;
    std::string &text_;
};

// Any track point from `begin`, just past its "<trkpt": its parts are
// looked for wherever they are in its text. Returns the end of the point.
std::size_t readAnyPoint(std::string_view bytes, std::size_t begin, std::string &lowered, DateMemo &dates, FixSink &sink)
{
    const std::size_t end = endOfPoint(bytes, begin);
    const PointText point(bytes, begin, end, sink, lowered);
    const std::size_t lat = point.find("lat"), lon = point.find("lon");
    if (lat != std::string::npos && lon != std::string::npos && point.find("time") != std::string::npos) {
        const auto latitude = point.attribute(lat, 3);
        const auto longitude = latitude ? point.attribute(lon, 3) : std::nullopt;
        if (longitude && point.elevationReads())
            deliver(sink, *latitude, *longitude, point.time(dates));
    }
    return end;
}

// Most loggers write every point in one plain shape, with the elevation
// optional and blanks allowed between the tags:
//   <trkpt lat="39.4077" lon="-0.3233"><ele>2</ele><time>2025-06-21T11:18:34Z</time></trkpt>
// Such a point is read straight from the file's bytes, which is several
// times faster than looking for each part. Within that shape a point reads
// exactly as readAnyPoint would read it; anything else (capitals, other
// quotes or attributes, extensions, a value that does not convert) gives
// kNotPlain, and the point is read again by readAnyPoint.
constexpr std::size_t kNotPlain = std::string_view::npos;

class PlainPoint {
public:
    PlainPoint(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    std::size_t at() const { return at_; }

    template <std::size_t N>
    bool take(const char (&word)[N])
    {
        constexpr std::size_t length = N - 1;
        if (at_ + length > bytes_.size() || std::memcmp(bytes_.data() + at_, word, length) != 0)
            return false;
        at_ += length;
        return true;
    }

    void skipBlanks()
    {
        while (at_ < bytes_.size() && isBlank(bytes_[at_]))
            ++at_;
    }

    // A number of at most `longest` characters and the `close` after it. A
    // text that converts holds only digits, signs, points and exponents, so
    // no tag, quote or attribute name can hide in it. A plain decimal is read
    // in one pass; other forms are looked at whole.
    bool number(char close, std::size_t longest, double &value)
    {
        const std::size_t read = leadingDecimal(partOf(bytes_, at_, longest), value);
        if (read > 0 && at_ + read < bytes_.size() && bytes_[at_ + read] == close) {
            at_ += read + 1;
            return true;
        }
        const std::size_t end = bytes_.substr(0, at_ + longest + 1).find(close, at_);
        if (end == std::string_view::npos)
            return false;
        const std::string_view text = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return parseNumber(text, value);
    }

    // Steps over a plain decimal of at most `longest` characters and the
    // `close` after it, without converting it: any such text converts.
    // Other forms are left to the reading that looks at them whole.
    bool skipPlainDecimal(char close, std::size_t longest)
    {
        const std::string_view text = partOf(bytes_, at_, longest);
        const auto digitsFrom = [&](std::size_t i) {
            while (i < text.size() && isDigit(text[i]))
                ++i;
            return i;
        };
        const std::size_t firstDigit = !text.empty() && text[0] == '-' ? 1 : 0;
        std::size_t end = digitsFrom(firstDigit);
        if (end == firstDigit)
            return false;
        if (end < text.size() && text[end] == '.') {
            const std::size_t fraction = end + 1;
            end = digitsFrom(fraction);
            if (end == fraction)
                return false;
        }
        if (at_ + end >= bytes_.size() || bytes_[at_ + end] != close)
            return false;
        at_ += end + 1;
        return true;
    }

    // Skips a time's text, a word at a time, up to the first "<" or "/":
    // a "/" in the text would make the point end elsewhere, and there the
    // "</time>" looked for next is not found.
    bool skipTimeText()
    {
        for (; at_ + 8 <= bytes_.size(); at_ += 8) {
            const std::uint64_t word = wordAt(bytes_.data() + at_);
            if (const std::uint64_t stops = bytesEqual(word, '<') | bytesEqual(word, '/')) {
                at_ += static_cast<std::size_t>(std::countr_zero(stops) / 8);
                return true;
            }
        }
        for (; at_ < bytes_.size(); ++at_) {
            if (bytes_[at_] == '<' || bytes_[at_] == '/')
                return true;
        }
        return false;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    std::string_view bytes_;
    std::size_t at_;
};

// The longest attribute value the plain shape takes: readAnyPoint finds the
// closing quote only within kAttributeWindow characters of the name's end.
constexpr std::size_t kPlainValueLength = kAttributeWindow - 8;

std::size_t readPlainPoint(std::string_view bytes, std::size_t begin, DateMemo &dates, FixSink &sink)
{
    if (std::memcmp(bytes.data() + begin - 5, "trkpt", 5) != 0)
        return kNotPlain;
    PlainPoint p(bytes, begin);
    double latitude, longitude;
    const bool position = p.take(" lat=\"") && p.number('"', kPlainValueLength, latitude) && p.take(" lon=\"") &&
                          p.number('"', kPlainValueLength, longitude);
    if (!position || !p.take(">"))
        return kNotPlain;
    p.skipBlanks();
    if (p.take("<ele>") && !(p.skipPlainDecimal('<', kPlainValueLength) && p.take("/ele>")))  // not kept
        return kNotPlain;
    p.skipBlanks();
    if (!p.take("<time>"))
        return kNotPlain;
    const std::size_t timeText = p.at();
    if (!p.skipTimeText())
        return kNotPlain;
    const std::size_t timeEnd = p.at();
    if (!p.take("</time>"))
        return kNotPlain;
    p.skipBlanks();
    if (!p.take("</trkpt>"))
        return kNotPlain;
    DateTime day;
    std::int64_t millisecondOfDay = 0;
    const PlainTime time = plainTime(partOf(bytes, timeText, timeEnd - timeText), dates, day, millisecondOfDay);
    if (time == PlainTime::OtherForm) {
        char window[kTimeWindow];
        const std::size_t length = std::min(kTimeWindow, p.at() - timeText);
        lowerInto(bytes.substr(timeText, length), window);
        deliver(sink, latitude, longitude, pointTime(std::string_view(window, length), dates));
    } else if (time == PlainTime::Read) {
        sink.addAtTimeOfDay(day, millisecondOfDay, latitude * 60.0, longitude * 60.0);
    } else {
        sink.skip();
    }
    return p.at();
}

// The next "<" from `from`; after a point, as a rule within the next few
// bytes, where one word finds it.
std::size_t nextTag(std::string_view bytes, std::size_t from)
{
    if (from + 8 <= bytes.size()) {
        const std::uint64_t marks = bytesEqual(wordAt(bytes.data() + from), '<');
        if (marks != 0)
            return from + static_cast<std::size_t>(std::countr_zero(marks) / 8);
        from += 8;
    }
    return bytes.find('<', from);
}

}  // namespace

void readGpx(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    std::string lowered;
    DateMemo dates;
    for (std::size_t lt = bytes.find('<'); lt != std::string_view::npos; lt = nextTag(bytes, lt + 1)) {
        if (startsWithCaseless(bytes, lt + 1, "/gpx>"))
            return;
        if (!startsWithCaseless(bytes, lt + 1, "trkpt"))
            continue;
        const std::size_t begin = lt + 6;
        std::size_t end = readPlainPoint(bytes, begin, dates, sink);
        if (end == kNotPlain)
            end = readAnyPoint(bytes, begin, lowered, dates, sink);
        if (end == bytes.size())
            return;
        lt = end - 1;
    }
}

}  // namespace keelrun
