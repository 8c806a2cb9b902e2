#include "io/tracks/track_bytes.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "base/byte_words.h"
#include "base/line_splitter.h"
#include "base/numbers.h"

namespace keelrun {

namespace {

// Minutes of arc, or kOffTheGlobe beyond 180 degrees.
double onTheGlobe(double minutes) { return std::abs(minutes) <= 180 * 60 ? minutes : kOffTheGlobe; }

// A ddmm.mmmm coordinate from its parts: the digits before the point, and
// the minutes' digits (the two before the point and those after it).
double degreesAndMinutes(std::uint32_t whole, std::uint64_t minuteDigits, std::size_t places)
{
    return onTheGlobe(static_cast<int>(whole / 100) * 60.0 + decimalValue(minuteDigits, places));
}

// The same from the digits before the point and those after it, up to
// seven: the two digits of whole minutes are set before the decimals.
double degreesAndDecimals(std::uint32_t whole, std::uint64_t decimalDigits, std::size_t places)
{
    static constexpr std::uint32_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    return degreesAndMinutes(whole, std::uint64_t{whole % 100 * kScale[places]} + decimalDigits, places);
}

// The fraction of a second at the start of `rest`, ".25", taken off it; 0
// when there is none.
double takeFraction(std::string_view &rest)
{
    if (rest.empty() || rest.front() != '.')
        return 0;
    const std::size_t end = std::min(rest.find_first_not_of("0123456789", 1), rest.size());
    double fraction = 0;
    if (end > 1)
        parseNumber(rest.substr(0, end), fraction);
    rest.remove_prefix(end);
    return fraction;
}

// What follows the fraction: "z", nothing, or a zone offset, as seconds
// that local time is ahead of UTC.
std::optional<double> zoneOffsetSeconds(std::string_view zone)
{
    zone = trimmed(zone);
    if (zone.empty() || zone == "z" || zone == "Z")
        return 0.0;
    if (zone.front() != '+' && zone.front() != '-')
        return std::nullopt;
    const double sign = zone.front() == '-' ? -1.0 : 1.0;
    zone.remove_prefix(1);
    const bool shaped = zone.size() == 2 || zone.size() == 4 || (zone.size() == 5 && zone[2] == ':');
    if (!shaped)
        return std::nullopt;
    const std::string_view minuteText = zone.size() == 2 ? std::string_view("0") : zone.substr(zone.size() - 2);
    const auto hours = parseInteger(zone.substr(0, 2));
    const auto minutes = parseInteger(minuteText);
    if (!hours || !minutes || *hours < 0 || *hours > 23 || *minutes < 0 || *minutes > 59)
        return std::nullopt;
    return sign * (*hours * 3600.0 + *minutes * 60.0);
}

}  // namespace

std::optional<int> fractionMilliseconds(std::string_view digits)
{
    if (digits.size() == 3 && isDigit(digits[0]) && isDigit(digits[1]) && isDigit(digits[2]))  // as most write it
        return (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0, scale = 1;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (!isDigit(digits[i]))
            return std::nullopt;
        if (i < 9) {
            value = value * 10 + static_cast<std::uint64_t>(digits[i] - '0');
            scale *= 10;
        }
    }
    return static_cast<int>((value * 2000 / scale + 1) / 2);
}

std::optional<IsoTime> isoTime(std::string_view text, std::string_view separators, DateMemo &dates)
{
    constexpr std::size_t kClockLength = 8;  // hh:mm:ss
    const std::size_t split = text.find_first_of(separators);
    if (split == std::string_view::npos || text.size() - split - 1 < kClockLength)
        return std::nullopt;
    const std::optional<DateTime> &date = dates.read(text.substr(0, split), parseDateTime);
    int secondOfDay;
    if (!date || !parseTimeOfDay(text.substr(split + 1, kClockLength), secondOfDay))
        return std::nullopt;
    std::string_view rest = text.substr(split + 1 + kClockLength);
    const double fraction = takeFraction(rest);
    const auto offset = zoneOffsetSeconds(rest);
    if (!offset)
        return std::nullopt;
    return IsoTime{addSeconds(*date, secondOfDay - *offset), fraction};
}

bool degreesMinutesField(std::string_view field, double &minutes)
{
    // Nearly every coordinate fills eight to thirteen bytes: two to five
    // digits, the point, and one to seven decimals. Its first eight bytes and
    // its last eight hold them all, and are read as two words, neither
    // waiting for what the other holds.
    const std::size_t size = field.size();
    const auto readFromItsStart = [&] {
        const std::size_t read = leadingDegreesMinutes(field, minutes);
        return read > 0 && read == size;  // nothing read is no coordinate, even of an empty field
    };
    if (size < 8 || size > 13)
        return readFromItsStart();
    const std::uint64_t head = wordAt(field.data());
    const std::uint64_t tail = wordAt(field.data() + size - 8);
    const auto point = static_cast<std::size_t>(std::countr_zero(notDigits(head))) / 8;  // 8 when all are digits
    const std::size_t places = size - 1 - point;                                         // wraps past a late point
    if (point - 2 > 3 || places - 1 > 6 || (head >> 8 * point & 0xff) != '.')
        return readFromItsStart();
    const std::uint64_t decimals = tail >> (64 - 8 * places);  // in the low bytes, zeros above them
    if (leadingDigitCount(decimals) != places)
        return false;
    const auto whole = static_cast<std::uint32_t>(digitsValue(head, point));
    minutes = degreesAndDecimals(whole, topDigitsValue(tail & ~std::uint64_t{0} << (64 - 8 * places)), places);
    return true;
}

std::size_t leadingDegreesMinutes(std::string_view text, double &minutes)
{
    // Nearly every coordinate has up to five digits before the point and
    // up to seven after it: two words hold them, and are read without a
    // loop over the digits.
    if (text.size() >= 14) {
        const std::uint64_t head = wordAt(text.data());
        const std::size_t point = leadingDigitCount(head);
        if (point < 2 || point > 5 || text[point] != '.')
            return 0;
        const std::uint64_t tail = wordAt(text.data() + point + 1);
        const std::size_t places = leadingDigitCount(tail);
        if (places == 0)
            return 0;
        if (places < 8) {
            const auto whole = static_cast<std::uint32_t>(digitsValue(head, point));
            minutes = degreesAndDecimals(whole, digitsValue(tail, places), places);
            return point + 1 + places;
        }
    }
    constexpr std::size_t kMostPlaces = 13;  // the minutes' digits stay below 2^53
    std::uint32_t whole = 0;
    std::size_t i = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)  // a long run wraps, and is refused below
        whole = whole * 10 + static_cast<std::uint32_t>(text[i] - '0');
    const std::size_t point = i;
    if (point < 2 || point > 5 || point == text.size() || text[point] != '.')
        return 0;
    std::uint64_t minuteDigits = whole % 100;
    for (++i; i < text.size() && isDigit(text[i]); ++i)
        minuteDigits = minuteDigits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    const std::size_t places = i - point - 1;
    if (places == 0 || places > kMostPlaces)
        return 0;
    minutes = degreesAndMinutes(whole, minuteDigits, places);
    return i;
}

bool coordinateMinutes(std::string_view number, CoordinateForm form, double &minutes)
{
    if (form == CoordinateForm::DecimalDegrees) {
        double degrees;
        if (!parseNumber(number, degrees))
            return false;
        minutes = onTheGlobe(degrees * 60);
        return true;
    }
    if (form == CoordinateForm::DegreesMinutes && degreesMinutesField(number, minutes))
        return true;
    // Whole degrees, then two digits of minutes (and two of seconds), then
    // the decimals.
    const std::size_t point = number.find('.');
    const std::size_t degreeDigits = form == CoordinateForm::DegreesMinutes ? 2 : 4;
    if (point == std::string_view::npos || point < degreeDigits)
        return false;
    const std::string_view degreeText = number.substr(0, point - degreeDigits);
    int degrees = 0;
    if (!degreeText.empty() && !parseInteger(degreeText, degrees))
        return false;
    if (degreeText.size() > 3) {
        minutes = kOffTheGlobe;
        return true;
    }
    if (form == CoordinateForm::DegreesMinutes) {
        double wholeMinutes;
        if (!parseNumber(number.substr(point - 2), wholeMinutes))
            return false;
        minutes = onTheGlobe(degrees * 60.0 + wholeMinutes);
        return true;
    }
    int wholeMinutes;
    double seconds;
    if (!parseInteger(number.substr(point - 4, 2), wholeMinutes) || !parseNumber(number.substr(point - 2), seconds))
        return false;
    minutes = onTheGlobe(degrees * 60.0 + wholeMinutes + seconds / 60);
    return true;
}

void passOverDamaged(FixSink &sink, std::string_view bytes, std::size_t offset, std::string_view text,
                     const char *expected)
{
    sink.passOverDamaged([&] {
        offset = std::min(offset, bytes.size());
        const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
        const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 60)));
        return QStringLiteral("line %1 (byte %2): \"%3\" is not %4").arg(line).arg(offset).arg(shown, QLatin1String(expected));
    });
}

}  // namespace keelrun
